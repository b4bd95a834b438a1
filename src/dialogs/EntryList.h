#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <QListView>
#include <QVector>
#include <functional>

class Database;
class Recordset;

// The entries of a list: shown text and a 32-bit item data each. The texts lie one after another in one string,
// so that a list of a million entries costs little more than its characters; a view asks for the few it shows.
// A fill stages its entries and hands them to the view in one insertion when it ends.
class EntryModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void clear();
    QString text(int row) const;
    qint32 itemData(int row) const { return row >= 0 && row < shown ? ids[row] : 0; }

    // Entries added after the shown ones, not yet part of the model.
    void stage(QStringView text);
    void stage(QLatin1StringView text);
    void setLastStagedItemData(qint32 value) { ids.last() = value; }
    // Shows the staged entries.
    void commit();

private:
    QString characters;      // every entry's text, one after another
    QVector<qsizetype> ends; // where each entry's text ends in characters
    QVector<qint32> ids;
    int shown = 0;
};

// The list operations the commands use, the same for a drop-down list and a list box.
class EntryList {
public:
    virtual ~EntryList() = default;

    EntryModel& entries() { return entryModel; }
    const EntryModel& entries() const { return entryModel; }
    int ListCount() const { return entryModel.rowCount(); }
    virtual int ListIndex() const = 0;
    // The item data of an entry; an index with no entry (-1 when nothing is selected) fails.
    qint32 ItemData(int index) const;
    qint32 selectedItemData() const { return ItemData(ListIndex()); }
    // Empties the list; nothing is selected afterwards.
    void Clear();

protected:
    friend class EntryBatch;
    // Shows the entries staged in the model.
    virtual void commitEntries() = 0;

    EntryModel entryModel;
};

// Collects the entries of one fill and shows them when it ends, also when a failure ends it early: the rows
// read before the failure stay listed, as they would had they been added one by one.
class EntryBatch {
public:
    explicit EntryBatch(EntryList& list) : list(list) {}
    ~EntryBatch() { list.commitEntries(); }
    EntryBatch(const EntryBatch&) = delete;
    EntryBatch& operator=(const EntryBatch&) = delete;

    void add(QStringView text) { list.entryModel.stage(text); }
    void add(QLatin1StringView text) { list.entryModel.stage(text); }
    void setLastItemData(qint32 value) { list.entryModel.setLastStagedItemData(value); }

private:
    EntryList& list;
};

// A pick-only drop-down list. Filling selects nothing and runs no handler; selecting an entry, whether the
// user picks it or the program calls selectEntry, runs onClick at once.
class ComboBox : public QComboBox, public EntryList {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent);

    int ListIndex() const override { return currentIndex(); }
    QString Text() const { return currentText(); }
    void selectEntry(int index);
    // Selects, as selectEntry does, the first entry carrying itemData; with none, the selection stays as it is.
    void selectByItemData(qint32 itemData);

    std::function<void()> onClick;

protected:
    void commitEntries() override;
};

// A single-selection list box; selecting an entry runs no handler.
class ListBox : public QListView, public EntryList {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    int ListIndex() const override;
    void setListIndex(int index);

protected:
    void commitEntries() override;
};

// Reads rows of (identifier, name) into a list. The entry goes in before its item data is read, so a row with
// a null identifier leaves its entry behind with item data 0 when the fill stops there.
void fillEntries(Recordset& rows, EntryList& list, const QString& idColumn, const QString& nameColumn);
// Every category of the catalogue, in the order of the category list; selects nothing.
void fillCategories(Database& db, EntryList& list);
