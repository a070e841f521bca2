#include "db/DataFile.h"

#include "db/Database.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cstdio>
#include <sqlite3.h>

namespace DataFile {

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// Rollback journal beside a database file: it must travel with its file, or SQLite would apply it to
// whichever file ends up under the name.
QString journalOf(const QString& path)
{
    return path + QStringLiteral("-journal");
}

CdbException fileError(const QString& description)
{
    return CdbException(CdbException::FileNotFound, description);
}

// rename(2) replaces an existing target in one step, which QFile::rename refuses to do.
bool replaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool moveFile(const QString& from, const QString& to)
{
    if (!QFile::rename(from, to))
        return false;
    if (QFileInfo::exists(journalOf(from)))
        QFile::rename(journalOf(from), journalOf(to));
    return true;
}

QString freeName(const QString& base)
{
    QString name = base;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo::exists(journalOf(name)); ++n)
        name = base + QString::number(n);
    return name;
}

class SqliteHandle
{
public:
    SqliteHandle(const QString& path, int flags)
    {
        m_rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_handle, flags, nullptr);
        if (m_handle)
            sqlite3_busy_timeout(m_handle, 5000);
    }
    ~SqliteHandle() { sqlite3_close(m_handle); }
    SqliteHandle(const SqliteHandle&) = delete;
    SqliteHandle& operator=(const SqliteHandle&) = delete;

    sqlite3* get() const { return m_handle; }
    void throwIfFailed() const
    {
        if (m_rc != SQLITE_OK)
            throw CdbException(m_rc, m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle))
                                              : QString::fromUtf8(sqlite3_errstr(m_rc)));
    }

private:
    sqlite3* m_handle = nullptr;
    int m_rc = SQLITE_OK;
};

// Copies every page of source into destination with the online backup interface.
void copyPages(sqlite3* source, sqlite3* destination)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup)
        throw CdbException(sqlite3_errcode(destination), QString::fromUtf8(sqlite3_errmsg(destination)));
    const int stepResult = sqlite3_backup_step(backup, -1);
    const int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE) {
        const int code = stepResult == SQLITE_OK ? SQLITE_ERROR : stepResult;
        throw CdbException(code, QString::fromUtf8(sqlite3_errstr(code)));
    }
    if (finishResult != SQLITE_OK)
        throw CdbException(finishResult, QString::fromUtf8(sqlite3_errmsg(destination)));
}

void reopen(Database& db, const QString& path)
{
    try {
        db.open(path);
    } catch (const CdbException&) {
        // The caller reports the failure that brought it here.
    }
}

} // namespace

QString temporaryPath(const QString& databasePath)
{
    return databasePath.left(databasePath.size() - 3) + QStringLiteral("tmp");
}

bool sameFile(const QString& first, const QString& second)
{
    const QString a = QFileInfo(first).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(second).canonicalFilePath();
}

void checkDataFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw fileError(QStringLiteral("Could not find file '%1'.").arg(path));
    Database candidate;
    candidate.open(path, QString(), true);
    const QString verdict = candidate.scalar(QStringLiteral("PRAGMA quick_check")).toString();
    if (verdict != QLatin1String("ok"))
        throw CdbException(SQLITE_CORRUPT, QStringLiteral("The file is damaged: %1").arg(verdict));
    if (!candidate.hasTable(QStringLiteral("Utilities")))
        throw CdbException(CdbException::TableNotFound, QStringLiteral("no such table: Utilities"));
}

void backup(Database& db, const QString& targetPath)
{
    if (!db.isOpen())
        throw CdbException(3420, QStringLiteral("No data file is open."));
    const QString sourcePath = db.path();
    if (sameFile(targetPath, sourcePath))
        throw CdbException(3204, Messages::BackupOntoDataFile);

    // Written beside the target and moved over it only when complete, so a failure never costs the user
    // an earlier backup of the same name. QTemporaryFile makes it owner-only.
    QTemporaryFile staging(QFileInfo(targetPath).absolutePath() + QStringLiteral("/.velmora-backup-XXXXXX"));
    if (!staging.open())
        throw fileError(QStringLiteral("Could not write to the folder of '%1'.").arg(targetPath));
    staging.close();
    {
        // A connection of its own reads only committed data, whatever the application's is doing.
        SqliteHandle source(sourcePath, SQLITE_OPEN_READONLY);
        source.throwIfFailed();
        SqliteHandle destination(staging.fileName(), SQLITE_OPEN_READWRITE);
        destination.throwIfFailed();
        copyPages(source.get(), destination.get());
    }
    QFile::setPermissions(staging.fileName(), OwnerOnly);
    if (!replaceFile(staging.fileName(), targetPath))
        throw fileError(QStringLiteral("Could not write '%1'.").arg(targetPath));
    staging.setAutoRemove(false);
}

QString restore(Database& db, const QString& databasePath, const QString& backupPath)
{
    if (databasePath.isEmpty())
        throw fileError(QStringLiteral("No place for the data file was given."));
    if (sameFile(backupPath, databasePath))
        throw CdbException(3204, Messages::RestoreFromDataFile);

    const bool wasOpen = db.isOpen() && sameFile(db.path(), databasePath);
    const QString staging = freeName(databasePath + QStringLiteral(".restoring"));
    if (!QFile::copy(backupPath, staging))
        throw fileError(QStringLiteral("Could not copy '%1' to '%2'.").arg(backupPath, staging));
    QFile::setPermissions(staging, OwnerOnly);

    db.close();
    QString aside;
    if (QFileInfo::exists(databasePath)) {
        aside = freeName(databasePath + QStringLiteral(".old"));
        if (!moveFile(databasePath, aside)) {
            QFile::remove(staging);
            if (wasOpen)
                reopen(db, databasePath);
            throw fileError(QStringLiteral("Could not move '%1' out of the way.").arg(databasePath));
        }
    }
    const auto putBack = [&] {
        db.close();
        QFile::remove(databasePath);
        QFile::remove(journalOf(databasePath));
        if (!aside.isEmpty())
            moveFile(aside, databasePath);
        if (wasOpen)
            reopen(db, databasePath);
    };
    if (!QFile::rename(staging, databasePath)) {
        QFile::remove(staging);
        putBack();
        throw fileError(QStringLiteral("Could not write '%1'.").arg(databasePath));
    }
    try {
        db.open(databasePath);
    } catch (const CdbException&) {
        putBack();
        throw;
    }
    if (wasOpen && !aside.isEmpty()) {
        QFile::remove(aside);
        aside.clear();
    }
    return aside;
}

void compact(Database& db, const QString& databasePath)
{
    if (!QFileInfo(databasePath).isFile())
        throw fileError(QStringLiteral("Could not find file '%1'.").arg(databasePath));
    const QString temporary = temporaryPath(databasePath);
    // Whatever is under the temporary name may be the only copy of someone's data: never replace it.
    if (QFileInfo::exists(temporary) || QFileInfo::exists(journalOf(temporary)))
        throw CdbException(3204, Values::fieldMessage(Messages::TemporaryFileInTheWay, temporary));

    const bool wasOpen = db.isOpen() && sameFile(db.path(), databasePath);
    db.close();
    if (!moveFile(databasePath, temporary)) {
        if (wasOpen)
            reopen(db, databasePath);
        throw fileError(QStringLiteral("Could not move '%1' to '%2'.").arg(databasePath, temporary));
    }
    try {
        {
            Database source;
            source.open(temporary);
            // VACUUM INTO takes an existing file only when it is empty; making it first keeps it owner-only.
            QFile target(databasePath);
            if (!target.open(QIODevice::WriteOnly))
                throw fileError(QStringLiteral("Could not write '%1'.").arg(databasePath));
            target.close();
            target.setPermissions(OwnerOnly);
            QSqlQuery vacuum = source.prepare(QStringLiteral("VACUUM INTO ?"));
            vacuum.addBindValue(databasePath);
            source.exec(vacuum);
        }
        db.open(databasePath);
    } catch (const CdbException&) {
        db.close();
        QFile::remove(databasePath);
        QFile::remove(journalOf(databasePath));
        moveFile(temporary, databasePath);
        if (wasOpen)
            reopen(db, databasePath);
        throw;
    }
    QFile::remove(temporary);
}

} // namespace DataFile
