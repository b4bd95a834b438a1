#include "app/AccessStart.h"

#include "access/AccessConversion.h"
#include "catalogue/Failure.h"
#include "dialogs/Twips.h"
#include "dialogs/WindowFont.h"
#include "dialogs/frmMsgBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QProgressDialog>

namespace accessStart {
namespace {
const QString caption = QStringLiteral("LumaretTool");

// The message box cuts what does not fit; a long folder is shortened in its middle so that its line still shows
// where it starts and which folder it ends in.
QString fittingPath(const QString& path) {
    constexpr double messageWidthTwips = 4575;
    return QFontMetrics(windowFont())
        .elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, px(messageWidthTwips) - 4);
}

// A failure's text names files by their full path; here the folder stands on a line of its own already.
Failure shortened(Failure failure, const QFileInfo& catalogue) {
    failure.description.replace(QLatin1Char('\'') + catalogue.absoluteFilePath() + QLatin1Char('\''),
                                catalogue.fileName());
    failure.description.replace(catalogue.absoluteFilePath(), catalogue.fileName());
    return failure;
}

void refuse(const QString& text) {
    ShowMessage(text, msgbox::OkOnly | msgbox::Stop, caption);
}

// Progress for a file big enough to take a moment; a small one is done before the window would show.
class ConversionProgressWindow {
public:
    ConversionProgressWindow()
        : dialog(QStringLiteral("Converting the Access catalogue..."), QStringLiteral("Cancel"), 0, 1) {
        dialog.setWindowTitle(caption);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(700);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
    }

    void show(const ConversionProgress& progress) {
        dialog.setMaximum(progress.tableCount);
        dialog.setValue(progress.tablesDone);
        dialog.setLabelText(QStringLiteral("Table %1 of %2 (%3): %4 rows")
                                .arg(qMin(progress.tablesDone + 1, progress.tableCount))
                                .arg(progress.tableCount)
                                .arg(progress.table, QLocale::c().toString(progress.rowsDone)));
        QCoreApplication::processEvents();
        if (dialog.wasCanceled())
            throw Failure(failure::Cancelled, QStringLiteral("The conversion was cancelled."));
    }

private:
    QProgressDialog dialog;
};

// Converts into a new file beside the original, then swaps the names; on any failure the folder is as before.
void convertInPlace(const QFileInfo& catalogue, const QString& kept) {
    const QString converted = catalogue.dir().filePath(
        QStringLiteral(".%1.%2.converting").arg(catalogue.fileName()).arg(QCoreApplication::applicationPid()));
    {
        ConversionProgressWindow progress;
        convertAccessFile(catalogue.absoluteFilePath(), converted, true,
                          [&](const ConversionProgress& done) { progress.show(done); });
    }
    QFile original(catalogue.absoluteFilePath());
    if (!original.rename(kept)) {
        QFile::remove(converted);
        throw Failure(failure::PathFileAccessError,
                      QStringLiteral("The Access file could not be renamed (%1). Nothing was changed.")
                          .arg(original.errorString()));
    }
    QFile fresh(converted);
    if (!fresh.rename(catalogue.absoluteFilePath())) {
        const QString reason = fresh.errorString();
        QFile::rename(kept, catalogue.absoluteFilePath());
        QFile::remove(converted);
        throw Failure(
            failure::PathFileAccessError,
            QStringLiteral("The converted catalogue could not take its name (%1). Nothing was changed.").arg(reason));
    }
}
} // namespace

QString keptOriginalPath(const QString& cataloguePath) {
    const QFileInfo info(cataloguePath);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("mdb") : info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".access.") + suffix);
}

QString question(const QString& cataloguePath) {
    const QFileInfo catalogue(cataloguePath);
    return QStringLiteral("%1 is an Access catalogue. Convert it now? The original is kept beside it as %2.\r\n%3")
        .arg(catalogue.fileName(), QFileInfo(keptOriginalPath(cataloguePath)).fileName(),
             fittingPath(catalogue.absolutePath()));
}

QString keptNameTakenNotice(const QString& cataloguePath) {
    const QFileInfo catalogue(cataloguePath);
    return QStringLiteral("%1 is an Access catalogue, but %2 is already there to keep it as. Nothing was changed; "
                          "move that file away first.\r\n%3")
        .arg(catalogue.fileName(), QFileInfo(keptOriginalPath(cataloguePath)).fileName(),
             fittingPath(catalogue.absolutePath()));
}

bool offerConversion(const QString& cataloguePath) {
    const QFileInfo catalogue(cataloguePath);
    const QString kept = keptOriginalPath(cataloguePath);
    if (QFileInfo::exists(kept)) {
        refuse(keptNameTakenNotice(cataloguePath));
        return false;
    }
    const msgbox::Answer answer = ShowMessage(question(cataloguePath), msgbox::YesNo | msgbox::Information, caption);
    if (answer != msgbox::Yes)
        return false;
    try {
        convertInPlace(catalogue, kept);
    } catch (const std::exception& exception) {
        const Failure failure = shortened(failure::fromException(exception), catalogue);
        refuse(startupReport(QString(), failure));
        return false;
    }
    return true;
}

} // namespace accessStart
