#pragma once

#include "db/FileClaim.h"

#include <QSqlDatabase>
#include <vector>
#include <QString>

class QSqlQuery;

// Something that is still reading a result on the connection (a record set reading its rows as they are
// visited). It is told to read the rest before the connection writes, rolls back or closes, so that what it
// reads is the result as it was when it ran, whatever the statement changes.
class PendingReader
{
public:
    virtual void finishReading() = 0;

protected:
    ~PendingReader() = default;
};

// A connection to one database file. The application keeps one open for the whole run; record sets,
// direct statements, upgrades and imports all work through one of these.
class Database
{
public:
    // Code of the refusal to write to a file that another program replaced.
    static constexpr int FileReplacedError = 3046;

    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file. The connect text may carry a password, which SQLite files do not have: it is
    // accepted and ignored. Throws CdbException when the file is missing or is not a database. A connection
    // that may write holds a shared claim on the file (see FileClaim) for as long as it is open, waiting a
    // while for a compaction or restore by another program to end.
    void open(const QString& path, const QString& connect = QString(), bool readOnly = false);
    // Creates a new empty file (owner-only permissions) and opens it; an existing file is replaced.
    void create(const QString& path);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    bool isReadOnly() const { return m_readOnly; }

    // What became of the file since this connection opened it or last asked: another program committed to
    // it (Changed), or put another file in its place or removed it (Replaced).
    enum class FileState { Same, Changed, Replaced };
    FileState fileState();
    // Whether the path now names another file than the one opened (or none).
    bool replaced() const;

    // Runs one statement in the program's filter dialect. With failOnError an engine failure throws.
    void execute(const QString& statement, bool failOnError = true);
    // Runs a query and returns the first column of its first row (a null variant when there is none).
    QVariant scalar(const QString& query);

    // The operating system's error number behind the last engine failure of this thread (0 when none is
    // known), so that a message can say "disk full" rather than "disk I/O error".
    static int lastSystemError();

    QSqlDatabase& connection() { return m_db; }
    QSqlQuery prepare(const QString& statement);
    void exec(QSqlQuery& query);

    // The fields of a table in file order, lower-case names (for the record sets' writes).
    QStringList columnsOf(const QString& table);
    bool hasTable(const QString& table);

    // Nesting-safe transaction steps (savepoints); prefer the Transaction guard.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    int transactionDepth() const { return m_depth; }

    void addReader(PendingReader* reader);
    void removeReader(PendingReader* reader);

private:
    void applySafetyPragmas();
    void finishReaders();
    void noteSystemError();
    // A connection must never write to a file that another program has replaced: it opens the path again
    // and refuses the write.
    void refuseWriteToReplacedFile();

    QSqlDatabase m_db;
    QString m_connectionName;
    QString m_path;
    int m_depth = 0;
    bool m_readOnly = false;
    FileClaim::Claim m_claim;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    qint64 m_dataVersion = -1;
    std::vector<PendingReader*> m_readers;
};

// All-or-nothing scope: rolled back unless commit() was called.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};
