#include "db/Database.h"

#include "db/DbException.h"
#include "db/FaultPoint.h"
#include "db/SqlText.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include <sqlite3.h>

namespace {

QAtomicInt connectionCounter;

// Statements that change nothing a pending read could see; everything else lets the readers finish first.
bool leavesReadersAlone(const QString& statement)
{
    const QString text = statement.trimmed();
    for (const char* start : {"SELECT", "SAVEPOINT", "RELEASE"})
        if (text.startsWith(QLatin1String(start), Qt::CaseInsensitive))
            return true;
    return false;
}

thread_local int systemError = 0;

} // namespace

int Database::lastSystemError()
{
    return systemError;
}

void Database::noteSystemError()
{
    systemError = 0;
    if (!m_db.isValid())
        return;
    const QVariant handle = m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData()))
            systemError = sqlite3_system_errno(connection);
    }
}

Database::Database()
    : m_connectionName(QStringLiteral("velmora-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Database::~Database()
{
    close();
}

void Database::open(const QString& path, const QString& connect, bool readOnly)
{
    Q_UNUSED(connect);
    close();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw CdbException(CdbException::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                    : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        noteSystemError();
        CdbException error = CdbException::fromSqlError(m_db.lastError());
        close();
        throw error;
    }
    m_path = path;
    try {
        applySafetyPragmas();
        // SQLite opens any file lazily; reading the schema is what tells a database from other files.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (...) {
        close();
        throw;
    }
}

void Database::create(const QString& path)
{
    close();
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw CdbException(3204,
                           QStringLiteral("Database '%1' already exists and can't be replaced.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw CdbException(3044, QStringLiteral("'%1' isn't a valid path.").arg(path));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    open(path);
}

void Database::applySafetyPragmas()
{
    execute(QStringLiteral("PRAGMA trusted_schema = OFF"));
    execute(QStringLiteral("PRAGMA cell_size_check = ON"));
}

void Database::close()
{
    finishReaders();
    if (m_db.isValid()) {
        if (m_db.isOpen())
            m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_path.clear();
    m_depth = 0;
}

bool Database::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

QSqlQuery Database::prepare(const QString& statement)
{
    if (!isOpen())
        throw CdbException(3420, QStringLiteral("Object invalid or no longer set."));
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw CdbException::fromSqlError(query.lastError());
    return query;
}

void Database::exec(QSqlQuery& query)
{
    if (!leavesReadersAlone(query.lastQuery()))
        finishReaders();
    FaultPoint::pass();
    if (!query.exec()) {
        noteSystemError();
        throw CdbException::fromSqlError(query.lastError());
    }
}

void Database::execute(const QString& statement, bool failOnError)
{
    if (!isOpen()) {
        if (failOnError)
            throw CdbException(3420, QStringLiteral("Object invalid or no longer set."));
        return;
    }
    if (!leavesReadersAlone(statement))
        finishReaders();
    FaultPoint::pass();
    QSqlQuery query(m_db);
    if (!query.exec(SqlText::toSqlite(statement)) && failOnError) {
        noteSystemError();
        throw CdbException::fromSqlError(query.lastError());
    }
}

QVariant Database::scalar(const QString& queryText)
{
    QSqlQuery query = prepare(SqlText::toSqlite(queryText));
    exec(query);
    return query.next() ? query.value(0) : QVariant();
}

QStringList Database::columnsOf(const QString& table)
{
    QSqlQuery query = prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    query.addBindValue(table);
    exec(query);
    QStringList names;
    while (query.next())
        names << query.value(0).toString().toLower();
    return names;
}

bool Database::hasTable(const QString& table)
{
    QSqlQuery query = prepare(QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    query.addBindValue(table);
    exec(query);
    return query.next() && query.value(0).toInt() > 0;
}

void Database::addReader(PendingReader* reader)
{
    if (std::find(m_readers.begin(), m_readers.end(), reader) == m_readers.end())
        m_readers.push_back(reader);
}

void Database::removeReader(PendingReader* reader)
{
    m_readers.erase(std::remove(m_readers.begin(), m_readers.end(), reader), m_readers.end());
}

void Database::finishReaders()
{
    // Each reader removes itself when it is done.
    const std::vector<PendingReader*> readers = m_readers;
    for (PendingReader* reader : readers)
        reader->finishReading();
    m_readers.clear();
}

void Database::beginTransaction()
{
    execute(QStringLiteral("SAVEPOINT velmora_%1").arg(m_depth));
    ++m_depth;
}

void Database::commitTransaction()
{
    if (m_depth == 0)
        return;
    execute(QStringLiteral("RELEASE velmora_%1").arg(m_depth - 1));
    --m_depth;
}

void Database::rollbackTransaction()
{
    if (m_depth == 0)
        return;
    --m_depth;
    execute(QStringLiteral("ROLLBACK TO velmora_%1").arg(m_depth), false);
    execute(QStringLiteral("RELEASE velmora_%1").arg(m_depth), false);
}

Transaction::Transaction(Database& db) : m_db(db)
{
    m_db.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_done)
        m_db.rollbackTransaction();
}

void Transaction::commit()
{
    m_db.commitTransaction();
    m_done = true;
}
