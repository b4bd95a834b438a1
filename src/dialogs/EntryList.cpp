#include "dialogs/EntryList.h"

#include "catalogue/Database.h"
#include "catalogue/Failure.h"
#include "catalogue/Text.h"

#include <QSignalBlocker>

int EntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown;
}

QString EntryModel::text(int row) const {
    if (row < 0 || row >= shown)
        return {};
    const qsizetype start = row == 0 ? 0 : ends[row - 1];
    return characters.mid(start, ends[row] - start);
}

QVariant EntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row());
    if (role == Qt::UserRole)
        return ids[index.row()];
    return {};
}

void EntryModel::clear() {
    beginResetModel();
    characters = QString();
    ends = {};
    ids = {};
    shown = 0;
    endResetModel();
}

void EntryModel::stage(QStringView text) {
    characters.append(text);
    ends.append(characters.size());
    ids.append(0);
}

void EntryModel::stage(QLatin1StringView text) {
    characters.append(text);
    ends.append(characters.size());
    ids.append(0);
}

void EntryModel::commit() {
    if (ends.size() == shown)
        return;
    beginInsertRows({}, shown, int(ends.size()) - 1);
    shown = int(ends.size());
    endInsertRows();
}

qint32 EntryList::ItemData(int index) const {
    if (index < 0 || index >= entryModel.rowCount())
        throw failure::invalidPropertyArrayIndex();
    return entryModel.itemData(index);
}

void EntryList::Clear() {
    entryModel.clear();
    commitEntries();
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    setModel(&entryModel);
    setEditable(false);
    // Sizing to the contents would measure every entry; the window's layout is fixed anyway.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    connect(this, &QComboBox::activated, this, [this](int) {
        if (onClick)
            onClick();
    });
}

void ComboBox::selectEntry(int index) {
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
    if (onClick)
        onClick();
}

void ComboBox::selectByItemData(qint32 itemData) {
    for (int i = 0; i < ListCount(); ++i) {
        if (entryModel.itemData(i) == itemData) {
            selectEntry(i);
            return;
        }
    }
}

void ComboBox::commitEntries() {
    const QSignalBlocker blocker(this);
    const int kept = currentIndex();
    entryModel.commit();
    // The combo box would select the first entry of a list that was empty; a fill selects nothing.
    setCurrentIndex(kept);
}

ListBox::ListBox(QWidget* parent) : QListView(parent) {
    setModel(&entryModel);
    // A figure may have a hundred thousand parts: the view places the first rows at once and the rest in
    // batches while the program waits for the user, instead of holding everything up for all of them.
    setLayoutMode(QListView::Batched);
    setBatchSize(2000);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int ListBox::ListIndex() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void ListBox::setListIndex(int index) {
    selectionModel()->setCurrentIndex(entryModel.index(index), QItemSelectionModel::ClearAndSelect);
}

void ListBox::commitEntries() {
    entryModel.commit();
}

namespace {
bool isAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

QLatin1StringView trimAsciiBlanks(QLatin1StringView text) {
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// A name of plain ASCII, the common case, is taken from the engine's own UTF-8 as it is; anything else as the
// engine turns it into UTF-16.
void addName(EntryBatch& batch, const Recordset& rows, int column) {
    const Recordset::FieldValue name = rows.RawField(column);
    if (name.kind != Recordset::FieldKind::Text)
        batch.add(trimBlanks(requireText(rows.Fields(column))));
    else if (isAscii(name.utf8))
        batch.add(trimAsciiBlanks(QLatin1StringView(name.utf8.data(), name.utf8.size())));
    else
        batch.add(trimBlanks(rows.TextField(column)));
}

qint32 identifier(const Recordset& rows, int column, const QString& columnName, int nameColumn) {
    const Recordset::FieldValue id = rows.RawField(column);
    if (id.kind == Recordset::FieldKind::Whole)
        return toInt32(id.whole);
    return requireIdentifier(rows.Fields(column), columnName, rowNamed(textOrEmpty(rows.Fields(nameColumn))));
}

} // namespace

// A text name and a whole-number identifier are read as they lie in the engine; anything else goes through the
// general rules.
void fillEntries(Recordset& rows, EntryList& list, const QString& idColumn, const QString& nameColumn) {
    EntryBatch batch(list);
    if (rows.Eof())
        return;
    const int name = rows.FieldPosition(nameColumn);
    const int id = rows.FieldPosition(idColumn);
    while (!rows.Eof()) {
        addName(batch, rows, name);
        batch.setLastItemData(identifier(rows, id, idColumn, name));
        rows.MoveNext();
    }
}

void fillCategories(Database& db, EntryList& list) {
    Recordset rows = db.OpenRecordset(statements::listCategories());
    list.Clear();
    fillEntries(rows, list, QStringLiteral("CategoryID"), QStringLiteral("CategoryName"));
}
