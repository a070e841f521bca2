#include "db/RecordSet.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/SqlText.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <bit>
#include <set>

namespace {

const QRegularExpression::PatternOption ci = QRegularExpression::CaseInsensitiveOption;

QString stripBrackets(QString name)
{
    name = name.trimmed();
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    return name;
}

CdbException noCurrentRecord()
{
    return CdbException(CdbException::NoCurrentRecord, QStringLiteral("No current record."));
}

} // namespace

RecordSet::RecordSet(Database& db) : m_db(db) {}

RecordSet::~RecordSet()
{
    dropCursor();
}

void RecordSet::bind(const char* name, Kind kind, void* member)
{
    Binding binding;
    binding.name = QString::fromLatin1(name);
    const int dot = binding.name.indexOf(QLatin1String("].["));
    if (dot > 0) {
        binding.table = stripBrackets(binding.name.left(dot + 1));
        binding.column = stripBrackets(binding.name.mid(dot + 2));
    } else {
        binding.column = stripBrackets(binding.name);
    }
    binding.kind = kind;
    binding.member = member;
    binding.slot = kind == Kind::Text ? m_textCount++ : m_numberCount++;
    m_bindings.push_back(binding);
}

void RecordSet::bindText(const char* name, QString* member) { bind(name, Kind::Text, member); }
void RecordSet::bindShort(const char* name, qint16* member) { bind(name, Kind::Short, member); }
void RecordSet::bindLong(const char* name, qint32* member) { bind(name, Kind::Long, member); }
void RecordSet::bindBool(const char* name, bool* member) { bind(name, Kind::Bool, member); }
void RecordSet::bindDouble(const char* name, double* member) { bind(name, Kind::Double, member); }

RecordSet::SourceParts RecordSet::sourceParts() const
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\b"), ci);
    static const QRegularExpression from(QStringLiteral("\\bfrom\\b"), ci);
    static const QRegularExpression where(QStringLiteral("\\bwhere\\b"), ci);
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"), ci);
    static const QRegularExpression join(
        QStringLiteral("\\b(?:inner\\s+|left\\s+(?:outer\\s+)?|right\\s+(?:outer\\s+)?)?join\\b"), ci);
    static const QRegularExpression on(QStringLiteral("\\bon\\b"), ci);

    SourceParts parts;
    const QString source = defaultSource().trimmed();
    if (!select.match(source).hasMatch()) {
        parts.from = source;
        parts.tables << stripBrackets(source);
        return parts;
    }
    const auto fromMatch = from.match(source);
    const auto whereMatch = where.match(source, fromMatch.capturedEnd());
    const auto orderMatch = orderBy.match(source, fromMatch.capturedEnd());
    const int fromEnd = whereMatch.hasMatch() ? whereMatch.capturedStart()
                        : orderMatch.hasMatch() ? orderMatch.capturedStart()
                                                : int(source.size());
    parts.from = source.mid(fromMatch.capturedEnd(), fromEnd - fromMatch.capturedEnd()).trimmed();
    if (whereMatch.hasMatch()) {
        const int whereEnd = orderMatch.hasMatch() ? orderMatch.capturedStart() : int(source.size());
        parts.where = source.mid(whereMatch.capturedEnd(), whereEnd - whereMatch.capturedEnd()).trimmed();
    }
    if (orderMatch.hasMatch())
        parts.orderBy = source.mid(orderMatch.capturedEnd()).trimmed();

    QString tables = parts.from;
    tables.replace(join, QStringLiteral(","));
    for (QString segment : tables.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto onMatch = on.match(segment);
        if (onMatch.hasMatch())
            segment = segment.left(onMatch.capturedStart());
        segment = segment.trimmed().section(QLatin1Char(' '), 0, 0);
        if (!segment.isEmpty())
            parts.tables << stripBrackets(segment);
    }
    return parts;
}

QString RecordSet::whereClause(const SourceParts& parts, const QString& extra) const
{
    QStringList conditions;
    for (const QString& condition : {parts.where, m_strFilter, extra})
        if (!condition.trimmed().isEmpty())
            conditions << QLatin1Char('(') + SqlText::toSqlite(condition) + QLatin1Char(')');
    return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QString RecordSet::selectStatement() const
{
    const SourceParts parts = sourceParts();
    QStringList columns;
    for (const Binding& binding : m_bindings)
        columns << (binding.table.isEmpty() ? QStringLiteral("[%1]").arg(binding.column)
                                            : QStringLiteral("[%1].[%2]").arg(binding.table, binding.column));
    for (const QString& table : parts.tables)
        columns << QStringLiteral("[%1].rowid").arg(table);
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                  parts.from + whereClause(parts, QString());
    const QString order = m_strSort.trimmed().isEmpty() ? parts.orderBy : m_strSort;
    if (!order.trimmed().isEmpty())
        sql += QStringLiteral(" ORDER BY ") + SqlText::toSqlite(order);
    return sql;
}

void RecordSet::load()
{
    dropCursor();
    m_texts.clear();
    m_numbers.clear();
    m_rowids.clear();
    m_tableCount = size_t(m_parts.tables.size());
    auto cursor = std::make_unique<QSqlQuery>(m_db.prepare(selectStatement()));
    m_db.exec(*cursor);
    m_cursor = std::move(cursor);
    m_db.addReader(this);
    m_stale = false;
    m_onDeleted = false;
    m_mode = EditMode::None;
    const bool any = has(0);
    m_pos = any ? 0 : -1;
    m_visited = any ? 1 : 0;
    if (any)
        loadMembers();
}

void RecordSet::readMoreRows()
{
    // A small result is read whole at once, which also ends its statement; a large one a batch at a time.
    constexpr int BatchRows = 64;
    QSqlQuery& cursor = *m_cursor;
    const int valueCount = int(m_bindings.size());
    for (int read = 0; read < BatchRows; ++read) {
        if (!cursor.next()) {
            const QSqlError error = cursor.lastError();
            dropCursor();
            if (error.isValid())
                throw CdbException::fromSqlError(error);
            return;
        }
        // Converted once here, so that visiting a row again only copies.
        for (int i = 0; i < valueCount; ++i) {
            const QVariant value = cursor.value(i);
            switch (m_bindings[size_t(i)].kind) {
            case Kind::Text:
                m_texts.push_back(value.toString());
                break;
            case Kind::Double:
                m_numbers.push_back(std::bit_cast<quint64>(value.toDouble()));
                break;
            default:
                m_numbers.push_back(quint64(value.toLongLong()));
                break;
            }
        }
        for (size_t i = 0; i < m_tableCount; ++i)
            m_rowids.push_back(cursor.value(valueCount + int(i)).toLongLong());
    }
}

bool RecordSet::has(int index)
{
    if (index < 0)
        return false;
    while (index >= rowCount() && m_cursor)
        readMoreRows();
    return index < rowCount();
}

void RecordSet::finishReading()
{
    try {
        while (m_cursor)
            readMoreRows();
    } catch (const CdbException&) {
        // Told by the connection, which goes on with its own work; the rows read so far stay.
        dropCursor();
    }
}

void RecordSet::dropCursor()
{
    if (!m_cursor)
        return;
    m_cursor.reset();
    m_db.removeReader(this);
}

RecordSet::Bookmark RecordSet::rowidsAt(int row) const
{
    const auto first = m_rowids.begin() + std::ptrdiff_t(size_t(row) * m_tableCount);
    return Bookmark(first, first + std::ptrdiff_t(m_tableCount));
}

bool RecordSet::rowIs(int row, const Bookmark& mark) const
{
    return mark.size() == m_tableCount &&
           std::equal(mark.begin(), mark.end(), m_rowids.begin() + std::ptrdiff_t(size_t(row) * m_tableCount));
}

QVariant RecordSet::valueAt(int row, const Binding& binding) const
{
    if (binding.kind == Kind::Text)
        return m_texts[size_t(row) * m_textCount + binding.slot];
    const quint64 number = m_numbers[size_t(row) * m_numberCount + binding.slot];
    if (binding.kind == Kind::Double)
        return std::bit_cast<double>(number);
    return qint64(number);
}

void RecordSet::storeMembers(int row)
{
    if (row == rowCount()) {
        m_texts.resize(m_texts.size() + m_textCount);
        m_numbers.resize(m_numbers.size() + m_numberCount);
    }
    for (const Binding& binding : m_bindings) {
        const void* member = binding.member;
        const size_t slot = size_t(row) * (binding.kind == Kind::Text ? m_textCount : m_numberCount) + binding.slot;
        switch (binding.kind) {
        case Kind::Text:
            m_texts[slot] = memberValue(binding).toString();
            break;
        case Kind::Short:
            m_numbers[slot] = quint64(qint64(*static_cast<const qint16*>(member)));
            break;
        case Kind::Long:
            m_numbers[slot] = quint64(qint64(*static_cast<const qint32*>(member)));
            break;
        case Kind::Bool:
            m_numbers[slot] = *static_cast<const bool*>(member) ? quint64(-1) : 0;
            break;
        case Kind::Double:
            m_numbers[slot] = std::bit_cast<quint64>(*static_cast<const double*>(member));
            break;
        }
    }
}

void RecordSet::appendMembers(const Bookmark& rowids)
{
    storeMembers(rowCount());
    m_rowids.insert(m_rowids.end(), rowids.begin(), rowids.end());
}

void RecordSet::eraseRow(int row)
{
    const auto texts = m_texts.begin() + std::ptrdiff_t(size_t(row) * m_textCount);
    m_texts.erase(texts, texts + std::ptrdiff_t(m_textCount));
    const auto numbers = m_numbers.begin() + std::ptrdiff_t(size_t(row) * m_numberCount);
    m_numbers.erase(numbers, numbers + std::ptrdiff_t(m_numberCount));
    const auto rowids = m_rowids.begin() + std::ptrdiff_t(size_t(row) * m_tableCount);
    m_rowids.erase(rowids, rowids + std::ptrdiff_t(m_tableCount));
}

void RecordSet::open()
{
    m_parts = sourceParts();
    m_tablesResolved = false;
    load();
    m_open = true;
}

void RecordSet::close()
{
    dropCursor();
    m_texts.clear();
    m_numbers.clear();
    m_rowids.clear();
    m_open = false;
    m_stale = false;
    m_mode = EditMode::None;
    m_pos = -1;
    m_visited = 0;
}

void RecordSet::requery()
{
    if (!m_open) {
        open();
        return;
    }
    load();
}

void RecordSet::ensureLoaded()
{
    if (!m_open)
        throw CdbException(3420, QStringLiteral("Object invalid or no longer set."));
    if (m_stale)
        load();
}

bool RecordSet::isBOF()
{
    ensureLoaded();
    return !has(0) || m_pos < 0;
}

bool RecordSet::isEOF()
{
    ensureLoaded();
    return !has(0) || (m_pos >= 0 && !has(m_pos));
}

void RecordSet::requireCurrent()
{
    ensureLoaded();
    if (m_onDeleted || !has(m_pos))
        throw noCurrentRecord();
}

void RecordSet::moveFirst()
{
    ensureLoaded();
    if (!has(0))
        throw noCurrentRecord();
    m_pos = 0;
    m_onDeleted = false;
    loadMembers();
    touch();
}

void RecordSet::moveLast()
{
    ensureLoaded();
    finishReading();
    if (rowCount() == 0)
        throw noCurrentRecord();
    m_pos = rowCount() - 1;
    m_onDeleted = false;
    loadMembers();
    touch();
}

void RecordSet::moveNext()
{
    ensureLoaded();
    if (m_onDeleted)
        m_onDeleted = false; // the row after a deleted one already sits at its position
    else if (!has(0) || (m_pos >= 0 && !has(m_pos)))
        throw noCurrentRecord();
    else
        ++m_pos;
    if (has(m_pos)) {
        loadMembers();
        touch();
    }
}

void RecordSet::movePrev()
{
    ensureLoaded();
    if (!has(0) || m_pos < 0)
        throw noCurrentRecord();
    m_onDeleted = false;
    m_pos = std::min(m_pos, rowCount()) - 1;
    if (m_pos >= 0) {
        loadMembers();
        touch();
    }
}

bool RecordSet::find(const QString& criteria, int start, int step)
{
    ensureLoaded();
    // The database tells which rows of the result meet the criteria; the rows are then visited in the
    // set's order, reading further only as far as the first of them.
    QStringList rowidColumns;
    for (const QString& table : m_parts.tables)
        rowidColumns << QStringLiteral("[%1].rowid").arg(table);
    QSqlQuery query = m_db.prepare(QStringLiteral("SELECT ") + rowidColumns.join(QStringLiteral(", ")) +
                                   QStringLiteral(" FROM ") + m_parts.from + whereClause(m_parts, criteria));
    m_db.exec(query);
    std::set<Bookmark> matches;
    while (query.next()) {
        Bookmark mark;
        for (int i = 0; i < rowidColumns.size(); ++i)
            mark.push_back(query.value(i).toLongLong());
        matches.insert(std::move(mark));
    }
    if (matches.empty())
        return false;
    for (int i = start; i >= 0 && has(i); i += step) {
        if (matches.count(rowidsAt(i))) {
            m_pos = i;
            m_onDeleted = false;
            loadMembers();
            touch();
            return true;
        }
    }
    return false;
}

bool RecordSet::findFirst(const QString& criteria) { return find(criteria, 0, 1); }

bool RecordSet::findLast(const QString& criteria)
{
    ensureLoaded();
    finishReading();
    return find(criteria, rowCount() - 1, -1);
}

bool RecordSet::findNext(const QString& criteria)
{
    ensureLoaded();
    return find(criteria, m_onDeleted ? m_pos : m_pos + 1, 1);
}

bool RecordSet::findPrev(const QString& criteria)
{
    ensureLoaded();
    return find(criteria, std::min(m_pos, rowCount()) - 1, -1);
}

QVariant RecordSet::memberValue(const Binding& binding) const
{
    switch (binding.kind) {
    case Kind::Text: {
        // An empty member is stored as '' (never NULL), so filters such as "Description = ''" find it.
        const QString& text = *static_cast<QString*>(binding.member);
        return text.isNull() ? QVariant(QString::fromLatin1("", 0)) : QVariant(text);
    }
    case Kind::Short:
        return int(*static_cast<qint16*>(binding.member));
    case Kind::Long:
        return *static_cast<qint32*>(binding.member);
    case Kind::Bool:
        return *static_cast<bool*>(binding.member) ? -1 : 0;
    case Kind::Double:
        return *static_cast<double*>(binding.member);
    }
    return {};
}

void RecordSet::setMember(Binding& binding, const QVariant& value)
{
    switch (binding.kind) {
    case Kind::Text:
        *static_cast<QString*>(binding.member) = value.isNull() ? QString() : value.toString();
        break;
    case Kind::Short:
        *static_cast<qint16*>(binding.member) = qint16(value.toInt());
        break;
    case Kind::Long:
        *static_cast<qint32*>(binding.member) = qint32(value.toLongLong());
        break;
    case Kind::Bool:
        *static_cast<bool*>(binding.member) = value.toLongLong() != 0;
        break;
    case Kind::Double:
        *static_cast<double*>(binding.member) = value.toDouble();
        break;
    }
}

void RecordSet::loadMembers()
{
    const QString* texts = m_texts.data() + size_t(m_pos) * m_textCount;
    const quint64* numbers = m_numbers.data() + size_t(m_pos) * m_numberCount;
    for (const Binding& binding : m_bindings) {
        void* member = binding.member;
        switch (binding.kind) {
        case Kind::Text:
            *static_cast<QString*>(member) = texts[binding.slot];
            break;
        case Kind::Short:
            *static_cast<qint16*>(member) = qint16(numbers[binding.slot]);
            break;
        case Kind::Long:
            *static_cast<qint32*>(member) = qint32(numbers[binding.slot]);
            break;
        case Kind::Bool:
            *static_cast<bool*>(member) = numbers[binding.slot] != 0;
            break;
        case Kind::Double:
            *static_cast<double*>(member) = std::bit_cast<double>(numbers[binding.slot]);
            break;
        }
    }
}

void RecordSet::resetMembers()
{
    for (Binding& binding : m_bindings)
        setMember(binding, binding.kind == Kind::Text ? QVariant(QString()) : QVariant(0));
}

void RecordSet::resolveTables()
{
    if (m_tablesResolved)
        return;
    std::vector<QStringList> columns;
    for (const QString& table : m_parts.tables)
        columns.push_back(m_db.columnsOf(table));
    for (Binding& binding : m_bindings) {
        binding.tableIndex = -1;
        for (int t = 0; t < int(m_parts.tables.size()); ++t) {
            const bool named = !binding.table.isEmpty() &&
                               binding.table.compare(m_parts.tables[t], Qt::CaseInsensitive) == 0;
            if (named || (binding.table.isEmpty() && columns[t].contains(binding.column.toLower()))) {
                binding.tableIndex = t;
                break;
            }
        }
    }
    m_tablesResolved = true;
}

void RecordSet::addNew()
{
    if (!m_open)
        throw CdbException(3420, QStringLiteral("Object invalid or no longer set."));
    if (m_parts.tables.size() != 1)
        throw CdbException(CdbException::ReadOnlyOperation,
                           QStringLiteral("Cannot add a row to a set of more than one table."));
    resetMembers();
    m_mode = EditMode::AddNew;
}

void RecordSet::edit()
{
    requireCurrent();
    m_before.clear();
    for (const Binding& binding : m_bindings)
        m_before.push_back(memberValue(binding));
    m_mode = EditMode::Edit;
}

void RecordSet::cancelUpdate()
{
    m_mode = EditMode::None;
    if (m_open && !m_stale && !m_onDeleted && m_pos >= 0 && m_pos < rowCount())
        loadMembers();
}

void RecordSet::update()
{
    if (m_mode == EditMode::None)
        throw CdbException(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    finishReading();
    resolveTables();
    if (m_mode == EditMode::AddNew) {
        QStringList names;
        QStringList marks;
        QVariantList values;
        for (const Binding& binding : m_bindings) {
            if (binding.tableIndex != 0 || names.contains(binding.column, Qt::CaseInsensitive))
                continue;
            names << QStringLiteral("[%1]").arg(binding.column);
            marks << QStringLiteral("?");
            values << memberValue(binding);
        }
        QSqlQuery query = m_db.prepare(QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                                           .arg(m_parts.tables[0], names.join(QStringLiteral(", ")),
                                                marks.join(QStringLiteral(", "))));
        for (const QVariant& value : values)
            query.addBindValue(value);
        m_db.exec(query);
        m_lastModified = Bookmark{query.lastInsertId().toLongLong()};
        if (!m_stale)
            appendMembers(m_lastModified);
        m_mode = EditMode::None;
        cancelUpdate();
        return;
    }

    requireCurrent();
    // A row never moves to another vehicle: every form keeps its records to the vehicle they were made for,
    // so a save that would change the vehicle is a fault, and refusing it keeps the data intact.
    for (size_t i = 0; i < m_bindings.size(); ++i)
        if (m_bindings[i].column.compare(QLatin1String("VehicleID"), Qt::CaseInsensitive) == 0 &&
            memberValue(m_bindings[i]) != m_before[i])
            throw CdbException(CdbException::VehicleChanged, Messages::RecordOfAnotherVehicle);
    const Bookmark rowids = rowidsAt(m_pos);
    for (int t = 0; t < int(m_parts.tables.size()); ++t) {
        QStringList assignments;
        QVariantList values;
        for (size_t i = 0; i < m_bindings.size(); ++i) {
            const Binding& binding = m_bindings[i];
            const QVariant value = memberValue(binding);
            if (binding.tableIndex != t || value == m_before[i])
                continue;
            assignments << QStringLiteral("[%1] = ?").arg(binding.column);
            values << value;
        }
        if (assignments.isEmpty())
            continue;
        QSqlQuery query = m_db.prepare(QStringLiteral("UPDATE [%1] SET %2 WHERE rowid = ?")
                                           .arg(m_parts.tables[t], assignments.join(QStringLiteral(", "))));
        for (const QVariant& value : values)
            query.addBindValue(value);
        query.addBindValue(rowids[t]);
        m_db.exec(query);
    }
    storeMembers(m_pos);
    m_lastModified = rowids;
    m_mode = EditMode::None;
}

void RecordSet::deleteRow()
{
    requireCurrent();
    finishReading();
    // Through a join only the first table's row goes: deleting a schedule entry must not delete the service.
    QSqlQuery query =
        m_db.prepare(QStringLiteral("DELETE FROM [%1] WHERE rowid = ?").arg(m_parts.tables.first()));
    query.addBindValue(m_rowids[size_t(m_pos) * m_tableCount]);
    m_db.exec(query);
    eraseRow(m_pos);
    m_onDeleted = true;
    m_mode = EditMode::None;
    if (m_visited > 0)
        --m_visited;
}

RecordSet::Bookmark RecordSet::bookmark()
{
    requireCurrent();
    return rowidsAt(m_pos);
}

void RecordSet::setBookmark(const Bookmark& mark)
{
    ensureLoaded();
    for (int i = 0; has(i); ++i) {
        if (rowIs(i, mark)) {
            m_pos = i;
            m_onDeleted = false;
            loadMembers();
            touch();
            return;
        }
    }
    throw CdbException(3159, QStringLiteral("Not a valid bookmark."));
}

int RecordSet::recordCount()
{
    ensureLoaded();
    return m_visited;
}

QVariant RecordSet::fieldValue(const QString& name)
{
    requireCurrent();
    const QString wanted = stripBrackets(name);
    for (size_t i = 0; i < m_bindings.size(); ++i) {
        const Binding& binding = m_bindings[i];
        if (binding.name.compare(name, Qt::CaseInsensitive) == 0 ||
            (binding.column.compare(wanted, Qt::CaseInsensitive) == 0 && !wanted.contains(QLatin1Char('.'))))
            return valueAt(m_pos, binding);
    }
    // A field the set does not bind is read from the file for the current row.
    QStringList conditions;
    for (const QString& table : m_parts.tables)
        conditions << QStringLiteral("[%1].rowid = ?").arg(table);
    QSqlQuery query = m_db.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                       .arg(name, m_parts.from, conditions.join(QStringLiteral(" AND "))));
    for (qint64 rowid : rowidsAt(m_pos))
        query.addBindValue(rowid);
    m_db.exec(query);
    return query.next() ? query.value(0) : QVariant();
}

qint32 RecordSet::nextIdentifierOf(const QString& keyField)
{
    m_strFilter.clear();
    m_strSort = keyField + QStringLiteral(" Asc");
    if (!m_open) {
        m_parts = sourceParts();
        m_tablesResolved = false;
        m_open = true;
    }
    // The highest key is read directly; the rows themselves are read again only when the set is next used.
    const QVariant highest =
        m_db.scalar(QStringLiteral("SELECT MAX([%1]) FROM %2").arg(keyField, m_parts.from));
    dropCursor();
    m_stale = true;
    return highest.isNull() ? 1 : qint32(highest.toLongLong() + 1);
}
