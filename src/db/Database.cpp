#include "db/Database.h"

#include "db/DbException.h"
#include "db/FaultPoint.h"
#include "db/FileMessages.h"
#include "db/SqlText.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cerrno>
#include <utility>

#include <sqlite3.h>
#include <sys/stat.h>

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

bool writes(const QString& statement)
{
    const QString text = statement.trimmed();
    for (const char* start : {"SELECT", "PRAGMA", "RELEASE", "ROLLBACK"})
        if (text.startsWith(QLatin1String(start), Qt::CaseInsensitive))
            return false;
    return true;
}

thread_local int systemError = 0;

// How long a program opening the file waits for another program's compaction or restore to end.
constexpr int ClaimWaitMs = 10000;

bool identityOf(const QString& path, quint64& device, quint64& inode)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    device = quint64(info.st_dev);
    inode = quint64(info.st_ino);
    return true;
}

// The program's own temporaries are private to the operation that made them and need no claim.
bool isTemporary(const QString& path)
{
    return QFileInfo(path).fileName().startsWith(QLatin1String(".velmora-"));
}

} // namespace

int Database::lastSystemError()
{
    return systemError;
}

void Database::noteSystemError()
{
    // The engine does not keep the cause of every failed write (a rollback at open, for one); a full disk
    // or a file-size limit is still known from the last system call.
    const int lastCall = errno;
    systemError = lastCall == ENOSPC || lastCall == EFBIG || lastCall == EDQUOT ? lastCall : 0;
    if (!m_db.isValid())
        return;
    const QVariant handle = m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData()))
            if (const int recorded = sqlite3_system_errno(connection))
                systemError = recorded;
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
    if (!readOnly && !isTemporary(path))
        m_claim = FileClaim::Claim(path, FileClaim::Kind::Shared, ClaimWaitMs);
    identityOf(path, m_device, m_inode);
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
    m_readOnly = readOnly;
    try {
        applySafetyPragmas();
        // SQLite opens any file lazily; reading the schema is what tells a database from other files.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        m_dataVersion = scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
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
    m_readOnly = false;
    m_claim.release();
}

bool Database::replaced() const
{
    quint64 device = 0;
    quint64 inode = 0;
    return !identityOf(m_path, device, inode) || device != m_device || inode != m_inode;
}

Database::FileState Database::fileState()
{
    if (!isOpen())
        return FileState::Same;
    if (replaced())
        return FileState::Replaced;
    const qint64 version = scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
    if (version == std::exchange(m_dataVersion, version))
        return FileState::Same;
    return FileState::Changed;
}

void Database::refuseWriteToReplacedFile()
{
    // Inside a transaction the file was checked when it began, and the engine's lock keeps it until the end.
    if (m_depth > 0 || m_path.isEmpty() || !replaced())
        return;
    const QString path = m_path;
    const bool readOnly = m_readOnly;
    close();
    try {
        open(path, QString(), readOnly);
    } catch (const CdbException&) {
        // The refusal below says what happened; the next use reports why the file can not be opened.
    }
    throw CdbException(FileReplacedError, FileMessages::FileReplaced.arg(QFileInfo(path).fileName()));
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
    if (!query.prepare(statement)) {
        // Preparing reads the schema, which may roll back an interrupted write and fail doing so.
        noteSystemError();
        throw CdbException::fromSqlError(query.lastError());
    }
    return query;
}

void Database::exec(QSqlQuery& query)
{
    if (!leavesReadersAlone(query.lastQuery()))
        finishReaders();
    if (writes(query.lastQuery()))
        refuseWriteToReplacedFile();
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
    if (writes(statement))
        refuseWriteToReplacedFile();
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
