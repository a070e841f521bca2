#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class QSqlQuery;

// An updatable result over one table or one fixed query, holding its current row in typed members.
// Subclasses bind their members by field name and give their default source; the filter and sort texts
// are the program's own dialect ("[Table].[Field]", "= TRUE", quoted stored dates) and are turned into
// SQL here. Opening runs the query; rows are read from it as they are visited and kept, so moving back,
// bookmarks and counts work as over a fully read result. Writes go straight to the file; before any write
// on the connection the rest of the result is read, so the set keeps the rows it had when it ran.
class RecordSet : private PendingReader
{
public:
    enum class EditMode { None, Edit, AddNew };
    // Identifies one row for as long as the row exists (the file's row identifiers).
    using Bookmark = std::vector<qint64>;

    explicit RecordSet(Database& db);
    virtual ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    virtual QString defaultSource() const = 0;

    QString m_strFilter;
    QString m_strSort;

    void open();
    void close();
    void requery();
    bool isOpen() const { return m_open; }
    bool isBOF();
    bool isEOF();

    void moveFirst();
    void moveNext();
    void movePrev();
    void moveLast();
    bool findFirst(const QString& criteria);
    bool findNext(const QString& criteria);
    bool findPrev(const QString& criteria);
    bool findLast(const QString& criteria);

    void addNew();
    void edit();
    void update();
    void cancelUpdate();
    void deleteRow();
    EditMode editMode() const { return m_mode; }

    Bookmark bookmark();
    void setBookmark(const Bookmark& mark);
    Bookmark lastModifiedBookmark() const { return m_lastModified; }

    // Rows visited so far; after moveLast, the full count.
    int recordCount();
    QVariant fieldValue(const QString& name);

    Database& database() { return m_db; }
    // The SELECT the set runs for its current source, filter and sort.
    QString selectStatement() const;

protected:
    void bindText(const char* name, QString* member);
    void bindShort(const char* name, qint16* member);
    void bindLong(const char* name, qint32* member);
    void bindBool(const char* name, bool* member);
    void bindDouble(const char* name, double* member);

    // Highest value of the key field plus one (1 for an empty table). Leaves the set with an empty filter
    // and the key's ascending sort, to be read again on next use.
    qint32 nextIdentifierOf(const QString& keyField);

private:
    enum class Kind { Text, Short, Long, Bool, Double };
    struct Binding
    {
        QString name;     // as bound: "ContactType" or "[ContactInfo].[ContactID]"
        QString table;    // qualifier when given
        QString column;   // field name without brackets
        Kind kind;
        void* member;
        int tableIndex = -1; // table written by this member, resolved on first write
        size_t slot = 0;     // its place among the row's texts, or among its numbers
    };
    struct SourceParts
    {
        QString from;
        QString where;
        QString orderBy;
        QStringList tables;
    };

    void bind(const char* name, Kind kind, void* member);
    SourceParts sourceParts() const;
    QString whereClause(const SourceParts& parts, const QString& extra) const;
    void load();
    void ensureLoaded();
    // Reads rows until the one at index is held (or the result ends); whether it exists.
    bool has(int index);
    void readMoreRows();
    void finishReading() override;
    void dropCursor();
    int rowCount() const { return m_tableCount == 0 ? 0 : int(m_rowids.size() / m_tableCount); }
    QVariant valueAt(int row, const Binding& binding) const;
    Bookmark rowidsAt(int row) const;
    bool rowIs(int row, const Bookmark& mark) const;
    // Keeps the members' values as the row's (a row appended at the end when row is rowCount()).
    void storeMembers(int row);
    void appendMembers(const Bookmark& rowids);
    void eraseRow(int row);
    void requireCurrent();
    void loadMembers();
    void resetMembers();
    QVariant memberValue(const Binding& binding) const;
    void setMember(Binding& binding, const QVariant& value);
    void resolveTables();
    bool find(const QString& criteria, int start, int step);
    void touch() { if (m_pos + 1 > m_visited) m_visited = m_pos + 1; }

    Database& m_db;
    std::vector<Binding> m_bindings;
    // The rows read so far, one after the other, already converted to the members' kinds: each row's texts,
    // its numbers in eight bytes each (integers, or a double's bits), and its row identifiers.
    std::vector<QString> m_texts;
    std::vector<quint64> m_numbers;
    std::vector<qint64> m_rowids;
    size_t m_textCount = 0;
    size_t m_numberCount = 0;
    size_t m_tableCount = 0;
    std::unique_ptr<QSqlQuery> m_cursor; // the result still being read; null once it is all held
    SourceParts m_parts;
    bool m_open = false;
    bool m_stale = false;
    bool m_tablesResolved = false;
    int m_pos = -1;
    int m_visited = 0;
    bool m_onDeleted = false;
    EditMode m_mode = EditMode::None;
    std::vector<QVariant> m_before;
    Bookmark m_lastModified;
};
