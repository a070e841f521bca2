#pragma once

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
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file. The connect text may carry a password, which SQLite files do not have: it is
    // accepted and ignored. Throws CdbException when the file is missing or is not a database.
    void open(const QString& path, const QString& connect = QString(), bool readOnly = false);
    // Creates a new empty file (owner-only permissions) and opens it; an existing file is replaced.
    void create(const QString& path);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }

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

    QSqlDatabase m_db;
    QString m_connectionName;
    QString m_path;
    int m_depth = 0;
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
