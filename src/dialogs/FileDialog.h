#pragma once

#include <QList>
#include <QString>

class QWidget;

// What a showing of the file dialog asks for; recorded by the test hook in place of the window.
struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter;
    QString directory;
};

// The file dialog of export and import: starts in the directory it is given and offers transfer files. A name
// to save under that has no extension gets ".lrx"; any other is left as the user chose it. A cancel raises
// failure 32755, which the file commands' guard passes over silently.
class FileDialog {
public:
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& directory);
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& directory);

    static const QString filter;

    // Use-once answers for tests: each showing takes the oldest one (empty for a cancel), records what it
    // would have asked for, and opens no window.
    static void setNextFileName(const QString& fileName);
    static int unusedFileNames();
    static QList<FileDialogRequest> takeRequests();

private:
    static QString choose(QWidget* parent, const FileDialogRequest& request);
};
