#include "db/DataFile.h"

#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/FaultPoint.h"
#include "db/FileClaim.h"
#include "db/FileMessages.h"
#include "db/Messages.h"
#include "db/Upgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DataFile {

namespace {

const QString TemporaryPrefix = QStringLiteral(".velmora-");
// A hard link to the file a restore replaces, kept until the restored file has opened.
const QString PreviousPurpose = QStringLiteral("previous");
// A note in the data file's folder naming a temporary the program made elsewhere (a backup's), so that
// recovery finds it too when the program is cut short.
const QString AwayPurpose = QStringLiteral("away");
const QString LockPrefix = QStringLiteral(".velmora-lock-");
// How long a whole-file replacement waits for other programs to let go of the file.
constexpr int ExclusiveWaitMs = 2000;
const QString JournalSuffix = QStringLiteral("-journal");

QString journalOf(const QString& path)
{
    return path + JournalSuffix;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString causeOfSystemError(int error, const QString& path)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileMessages::DiskFull.arg(shown(path));
    case EACCES:
    case EPERM:
    case EROFS:
        return FileMessages::NoPermission.arg(shown(path));
    case ENAMETOOLONG:
        return FileMessages::PathTooLong.arg(shown(path));
    case EBUSY:
    case ETXTBSY:
        return FileMessages::FileInUse.arg(shown(path));
    case ENOENT:
    case ENOTDIR:
        return FileMessages::FolderMissing.arg(shown(path));
    default:
        return FileMessages::OtherFileError.arg(shown(path), QString::fromLocal8Bit(std::strerror(error)));
    }
}

[[noreturn]] void throwSystemError(int error, const QString& path)
{
    throw CdbException(FileSystemError, causeOfSystemError(error, path));
}

// The program's own codes, which are not SQLite's and must not be read as its result codes.
bool isOwnCode(int code)
{
    for (int own : {3020, 3021, 3024, 3027, 3043, 3044, 3045, 3046, 3061, 3078, 3159, 3204, 3420})
        if (code == own)
            return true;
    return false;
}

// Refuses a path that exists but is not a regular file (a FIFO, a device, a folder): replacing it would
// break whatever it is, and copying from it may never end.
void requireRegularOrAbsent(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw CdbException(FileSystemError, FileMessages::NotRegularFile.arg(shown(path)));
    struct stat status
    {
    };
    if (::stat(encoded(path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        throw CdbException(FileSystemError, FileMessages::NotRegularFile.arg(shown(path)));
}

// A file that replaces another keeps its permissions and, as far as this user may set them, its owner
// and group, so the others who share it keep their access.
void takeOverModeAndOwner(const QString& stagingPath, const QString& targetPath)
{
    struct stat target
    {
    };
    if (::stat(encoded(targetPath).constData(), &target) != 0)
        return;
    const QByteArray staging = encoded(stagingPath);
    // Not every user may give a file away; the group and the mode are what sharing needs.
    [[maybe_unused]] const bool owned = ::chown(staging.constData(), target.st_uid, target.st_gid) == 0 ||
                                        ::chown(staging.constData(), uid_t(-1), target.st_gid) == 0;
    ::chmod(staging.constData(), target.st_mode & 07777);
}

void syncFolderOf(const QString& path)
{
    const int folder = ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void syncFile(const QString& path)
{
    const int file = ::open(encoded(path).constData(), O_RDONLY);
    if (file < 0)
        throwSystemError(errno, path);
    const int result = ::fsync(file);
    const int error = errno;
    ::close(file);
    if (result != 0)
        throwSystemError(error, path);
}

bool moveWithJournal(const QString& from, const QString& to)
{
    if (std::rename(encoded(from).constData(), encoded(to).constData()) != 0)
        return false;
    if (QFileInfo::exists(journalOf(from)))
        std::rename(encoded(journalOf(from)).constData(), encoded(journalOf(to)).constData());
    syncFolderOf(to);
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
        m_rc = sqlite3_open_v2(encoded(path).constData(), &m_handle, flags, nullptr);
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
void copyPages(sqlite3* source, sqlite3* destination, const QString& destinationPath, const QString& sourcePath)
{
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup)
        throw CdbException(sqlite3_errcode(destination), QString::fromUtf8(sqlite3_errmsg(destination)));
    FaultPoint::pass();
    const int stepResult = sqlite3_backup_step(backup, -1);
    const int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK) {
        int code = stepResult == SQLITE_DONE || stepResult == SQLITE_OK ? finishResult : stepResult;
        if (code == SQLITE_OK)
            code = SQLITE_ERROR;
        const int systemError = sqlite3_system_errno(destination);
        // A source that is locked or is not a database is the data file's trouble, not the backup's.
        if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
            throw CdbException(FileSystemError, FileMessages::FileInUse.arg(shown(sourcePath)));
        if ((code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT)
            throw CdbException(FileSystemError, FileMessages::SourceUnsound.arg(shown(sourcePath),
                                                                     QString::fromUtf8(sqlite3_errstr(code))));
        if ((code & 0xff) == SQLITE_FULL || (code & 0xff) == SQLITE_IOERR)
            throwSystemError(systemError ? systemError : ENOSPC, destinationPath);
        throw CdbException(code, QString::fromUtf8(sqlite3_errstr(code)));
    }
}

void reopen(Database& db, const QString& path)
{
    try {
        db.open(path);
    } catch (const CdbException&) {
        // The caller reports the failure that brought it here.
    }
}

// Rolls back the interrupted write a file's journal holds, so the journal goes before the file is
// renamed or replaced; a journal beside something that is not a database protects nothing and goes too.
void settleJournal(const QString& path)
{
    if (!QFileInfo::exists(journalOf(path)))
        return;
    if (QFileInfo::exists(path)) {
        Database probe;
        reopen(probe, path);
        // A journal that was not played back (empty, or cut before its header) is stale once no one else
        // holds the write lock; it goes while this connection holds it.
        if (probe.isOpen() && QFileInfo::exists(journalOf(path))) {
            try {
                probe.execute(QStringLiteral("BEGIN IMMEDIATE"));
                QFile::remove(journalOf(path));
                probe.execute(QStringLiteral("ROLLBACK"));
            } catch (const CdbException&) {
                // Another program is writing the file: its journal is in use.
            }
        }
    }
    if (QFileInfo::exists(journalOf(path)) && !QFileInfo::exists(path))
        QFile::remove(journalOf(path));
}

// The purpose and target file name of a program temporary: ".velmora-<purpose>-<random>-<target>".
struct TemporaryName
{
    QString purpose;
    QString target;
};

TemporaryName parseTemporary(QString name)
{
    if (name.endsWith(JournalSuffix))
        name.chop(JournalSuffix.size());
    const QStringList parts = name.mid(TemporaryPrefix.size()).split(QLatin1Char('-'));
    if (parts.size() < 3)
        return {};
    return {parts[0], QStringList(parts.mid(2)).join(QLatin1Char('-'))};
}

bool isFor(const TemporaryName& name, const QString& targetFileName)
{
    return name.target == FileClaim::nameTag(targetFileName);
}

// What an earlier, cut-short run of the same operation left for the same target.
void removeLeftoversFor(const QString& targetPath, const QString& purpose)
{
    const QFileInfo target(targetPath);
    const QDir folder = target.absoluteDir();
    for (const QString& name :
         folder.entryList({TemporaryPrefix + purpose + QStringLiteral("-*")}, QDir::Files | QDir::Hidden)) {
        if (isFor(parseTemporary(name), target.fileName()))
            QFile::remove(folder.filePath(name));
    }
}

// A file that can not be read because another program holds it is not thereby unsound.
enum class Soundness { Sound, Unsound, Unknown };

Soundness soundnessOf(const QString& path)
{
    try {
        checkDataFile(path);
        return Soundness::Sound;
    } catch (const CdbException& error) {
        const int primary = isOwnCode(error.code()) ? 0 : error.code() & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || error.code() == FileClaim::InUseError)
            return Soundness::Unknown;
        return Soundness::Unsound;
    }
}

bool sameInode(const QString& first, const QString& second)
{
    struct stat a
    {
    };
    struct stat b
    {
    };
    return ::stat(encoded(first).constData(), &a) == 0 && ::stat(encoded(second).constData(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Rows per table, to tell that a rewritten file holds everything the original did.
QStringList rowCounts(Database& db)
{
    QSqlQuery tables = db.prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    db.exec(tables);
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    tables.finish();
    QStringList counts;
    for (const QString& name : names)
        counts << name + QLatin1Char(':') +
                      db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(name)).toString();
    return counts;
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

QString causeOf(const CdbException& error, const QString& path)
{
    if (error.code() == FileSystemError || error.code() == FileClaim::InUseError ||
        error.code() == Database::FileReplacedError)
        return error.description();
    if (isOwnCode(error.code()))
        return error.description();
    const int systemError = Database::lastSystemError();
    switch (error.code() & 0xff) {
    case SQLITE_FULL:
        return FileMessages::DiskFull.arg(shown(path));
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return FileMessages::NoPermission.arg(shown(path));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FileMessages::FileInUse.arg(shown(path));
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        if (systemError != 0)
            return causeOfSystemError(systemError, path);
        break;
    default:
        break;
    }
    return error.description();
}

QString whyNotUsable(const CdbException& error, const QString& path)
{
    const int primary = isOwnCode(error.code()) ? 0 : error.code() & 0xff;
    const bool fileTrouble = error.code() == FileSystemError || error.code() == FileClaim::InUseError ||
                             primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_FULL ||
                             primary == SQLITE_IOERR || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN;
    if (fileTrouble)
        return causeOf(error, path);
    return FileMessages::NotADataFile.arg(path, error.description());
}

QString makeStagingFile(const QString& targetPath, const QString& purpose)
{
    const QFileInfo target(targetPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = FileClaim::fittingName(
            TemporaryPrefix + purpose + QLatin1Char('-') +
                QString::number(QRandomGenerator::global()->generate() % 0xFFFFFF, 36) + QLatin1Char('-'),
            target.fileName());
        const QString path = QDir(target.absolutePath()).filePath(name);
        const int file = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (file >= 0) {
            ::close(file);
            return path;
        }
        if (errno != EEXIST)
            throwSystemError(errno == ENAMETOOLONG ? ENAMETOOLONG : errno, targetPath);
    }
    throwSystemError(EEXIST, targetPath);
}

void removeWithJournal(const QString& path)
{
    if (path.isEmpty())
        return;
    QFile::remove(path);
    QFile::remove(journalOf(path));
}

void putInPlace(const QString& stagingPath, const QString& targetPath, bool replace)
{
    syncFile(stagingPath);
    FaultPoint::pass();
    // A journal left at the target would be played back onto the new file by the next open.
    settleJournal(targetPath);
    FaultPoint::pass();
    const QByteArray from = encoded(stagingPath);
    const QByteArray to = encoded(targetPath);
    if (replace) {
        requireRegularOrAbsent(targetPath);
        takeOverModeAndOwner(stagingPath, targetPath);
        if (std::rename(from.constData(), to.constData()) != 0)
            throwSystemError(errno, targetPath);
    } else {
        // A hard link is created only where nothing is, so a file that appeared meanwhile is never replaced.
        if (::link(from.constData(), to.constData()) != 0) {
            const int error = errno;
            if (error == EEXIST)
                throw CdbException(FileSystemError,
                                   FileMessages::ImportFolderHoldsDataFile.arg(
                                       QDir::toNativeSeparators(QFileInfo(targetPath).absolutePath())));
            if (QFileInfo::exists(targetPath) || std::rename(from.constData(), to.constData()) != 0)
                throwSystemError(error, targetPath);
        } else {
            FaultPoint::pass();
            ::unlink(from.constData());
        }
    }
    syncFolderOf(targetPath);
    FaultPoint::pass();
}

void copyFile(const QString& sourcePath, const QString& targetPath)
{
    if (QFileInfo::exists(sourcePath) && !QFileInfo(sourcePath).isFile())
        throw CdbException(FileSystemError, FileMessages::NotRegularFile.arg(shown(sourcePath)));
    removeLeftoversFor(targetPath, QStringLiteral("copy"));
    const QString staging = makeStagingFile(targetPath, QStringLiteral("copy"));
    try {
        const int in = ::open(encoded(sourcePath).constData(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            throw CdbException(FileSystemError, FileMessages::NoPermissionToRead.arg(shown(sourcePath)));
        const int out = ::open(encoded(staging).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (out < 0) {
            const int error = errno;
            ::close(in);
            throwSystemError(error, targetPath);
        }
        char buffer[65536];
        int error = 0;
        for (;;) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                error = got < 0 ? errno : 0;
                break;
            }
            for (ssize_t written = 0; written < got && error == 0;) {
                const ssize_t put = ::write(out, buffer + written, size_t(got - written));
                if (put < 0 && errno != EINTR)
                    error = errno;
                else if (put > 0)
                    written += put;
            }
            if (error != 0)
                break;
            FaultPoint::pass();
        }
        ::close(in);
        if (::close(out) != 0 && error == 0)
            error = errno;
        if (error != 0)
            throwSystemError(error, targetPath);
        putInPlace(staging, targetPath, true);
    } catch (const CdbException&) {
        removeWithJournal(staging);
        throw;
    }
}

QString openLikeTheProgram(Database& db, const QString& path, QTemporaryDir& scratch)
{
    if (!QFileInfo(path).isFile())
        throw CdbException(CdbException::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    const QFileInfo file(path);
    const bool writable = file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
    if (writable && QFileInfo::exists(journalOf(path))) {
        // Opening it for writing rolls the interrupted write back in place, as the program would.
        try {
            Database settle;
            settle.open(path);
        } catch (const CdbException& error) {
            // Another program holding it is no failure: the copy below is read as it will be after the
            // rollback. A full disk or a broken file is.
            const int primary = isOwnCode(error.code()) ? 0 : error.code() & 0xff;
            if (primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN ||
                primary == SQLITE_PERM || primary == SQLITE_READONLY)
                throw CdbException(FileSystemError, causeOf(error, path));
            if (primary != SQLITE_BUSY && primary != SQLITE_LOCKED && error.code() != FileClaim::InUseError)
                throw;
        }
    }
    // Read-only from here: a reader takes no claim, so it never stands in the way of a program that
    // writes or replaces the file.
    if (QFileInfo(journalOf(path)).size() == 0) {
        db.open(path, QString(), true);
        return path;
    }
    // The interrupted write must be rolled back to read the file as it was, but not in a place the user
    // keeps read-only: it is rolled back in a copy.
    const QString copy = scratch.filePath(file.fileName());
    copyFile(path, copy);
    copyFile(journalOf(path), journalOf(copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(journalOf(copy), QFile::ReadOwner | QFile::WriteOwner);
    db.open(copy);
    return copy;
}

QStringList problemsOf(Database& db)
{
    QStringList problems;
    // The full check: a quick one misses damaged index contents, which the next full check would report.
    QSqlQuery integrity = db.prepare(QStringLiteral("PRAGMA integrity_check"));
    db.exec(integrity);
    while (integrity.next()) {
        const QString line = integrity.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << QStringLiteral("damaged: ") + line;
    }
    integrity.finish();
    if (!problems.isEmpty())
        return problems;
    if (!db.hasTable(QStringLiteral("Utilities")))
        return {QStringLiteral("no such table: Utilities")};
    const QString version = DatabaseCreation::readVersion(db);
    for (const QString& part : Upgrade::missingParts(db, version))
        problems << QStringLiteral("missing: ") + part;
    return problems;
}

namespace {

// Parts the start-up repair adds do not keep a file from being used.
QStringList blockingProblemsOf(Database& db)
{
    QStringList problems = problemsOf(db);
    problems.removeIf([](const QString& problem) {
        return problem.startsWith(QLatin1String("missing: ")) && Upgrade::isRepairable(problem.mid(9));
    });
    return problems;
}

} // namespace

void checkDataFile(const QString& path)
{
    QTemporaryDir scratch;
    Database candidate;
    openLikeTheProgram(candidate, path, scratch);
    const QStringList problems = blockingProblemsOf(candidate);
    if (!problems.isEmpty())
        throw CdbException(problems.first().startsWith(QLatin1String("damaged"))
                               ? SQLITE_CORRUPT
                               : int(CdbException::TableNotFound),
                           problems.join(QLatin1Char('\n')));
}

QStringList recoverInterrupted(const QString& databasePath)
{
    QStringList done;
    if (databasePath.isEmpty())
        return done;
    const QFileInfo data(FileClaim::realPath(databasePath));
    const QDir folder = data.absoluteDir();
    if (!folder.exists())
        return done;
    const QString path = data.absoluteFilePath();
    // What another program is still working with is not a leftover: nothing is touched while anyone else
    // holds the file.
    FileClaim::removeStaleLockFiles(folder.absolutePath());
    FileClaim::Claim claim;
    if (!FileClaim::tryExclusive(path, claim))
        return done;
    bool removedTemporaries = false;

    const QStringList temporaries =
        folder.entryList({TemporaryPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    const auto isForData = [&](const QString& name) { return isFor(parseTemporary(name), data.fileName()); };
    // A restore that still has its staging copy never reached its rename: the data file is the old one.
    const bool restoreUnfinished = std::any_of(temporaries.begin(), temporaries.end(), [&](const QString& name) {
        return parseTemporary(name).purpose == QLatin1String("restore") && isForData(name);
    });

    // The program's own temporaries: a restore's link to the file it replaced decides how the restore ends;
    // a note names a temporary made in another folder; anything else is an unfinished copy whose original is
    // still whole.
    for (const QString& name : temporaries) {
        const QString temporary = folder.filePath(name);
        if (!QFileInfo::exists(temporary) || name.startsWith(LockPrefix))
            continue;
        const TemporaryName parsed = parseTemporary(name);
        if (!isForData(name)) {
            // Another file's: a leftover only when no program is working on that file (a backup claims its
            // target while it writes it).
            FileClaim::Claim other;
            if (parsed.purpose == PreviousPurpose || parsed.target.isEmpty() ||
                parsed.target.startsWith(QLatin1Char('#')) ||
                !FileClaim::tryExclusive(folder.filePath(parsed.target), other))
                continue;
        }
        if (parsed.purpose == PreviousPurpose) {
            if (name.endsWith(JournalSuffix))
                continue;
            if (!QFileInfo::exists(path)) {
                moveWithJournal(temporary, path);
                done << FileMessages::RestoreUndone.arg(shown(path));
            } else {
                if (!sameInode(temporary, path) && !restoreUnfinished && QFileInfo(temporary).size() > 0)
                    done << FileMessages::RestoreCompleted.arg(shown(path));
                removeWithJournal(temporary);
            }
            continue;
        }
        if (parsed.purpose == AwayPurpose) {
            QFile note(temporary);
            if (note.open(QIODevice::ReadOnly)) {
                const QStringList lines = QFile::decodeName(note.readAll()).split(QLatin1Char('\n'));
                note.close();
                if (lines.size() == 2 && !lines[0].isEmpty()) {
                    removeLeftoversFor(lines[1], lines[0]);
                    FileClaim::removeStaleLockFiles(QFileInfo(lines[1]).absolutePath());
                }
            }
        }
        removeWithJournal(temporary);
        removedTemporaries = true;
    }

    // What the restore of earlier versions left when it was cut short between its two renames.
    const QString old = path + QStringLiteral(".old");
    const QString restoring = path + QStringLiteral(".restoring");
    if (!QFileInfo::exists(path)) {
        if (QFileInfo::exists(old) && moveWithJournal(old, path))
            done << FileMessages::RestoreUndone.arg(shown(path));
        else if (QFileInfo::exists(restoring) && soundnessOf(restoring) == Soundness::Sound &&
                 moveWithJournal(restoring, path))
            done << FileMessages::RestoreCompleted.arg(shown(path));
    }
    if (QFileInfo::exists(path) && QFileInfo::exists(restoring)) {
        removeWithJournal(restoring);
        removedTemporaries = true;
    }

    // The compaction of earlier versions moved the file to the temporary name before writing the compacted
    // one; when that never finished, the temporary is the data. A file that merely can not be read now
    // (another program holds a lock on it) is not taken for an unfinished one.
    const QString moved = temporaryPath(path);
    if (QFileInfo::exists(moved) &&
        (!QFileInfo::exists(path) || soundnessOf(path) == Soundness::Unsound) &&
        soundnessOf(moved) == Soundness::Sound) {
        if (QFileInfo::exists(path) && QFileInfo(path).size() > 0) {
            const QString aside = freeName(path + QStringLiteral(".unfinished"));
            moveWithJournal(path, aside);
            done << FileMessages::CompactionUndone.arg(shown(path)) + QStringLiteral("  ") +
                        FileMessages::DamagedFileKeptAside.arg(shown(aside));
        } else {
            removeWithJournal(path);
            done << FileMessages::CompactionUndone.arg(shown(path));
        }
        moveWithJournal(moved, path);
    }

    // A journal without its file would be played back onto whatever file is put there next.
    if (QFileInfo::exists(path))
        settleJournal(path);
    if (!QFileInfo::exists(path) && QFileInfo::exists(journalOf(path))) {
        QFile::remove(journalOf(path));
        removedTemporaries = true;
    }
    if (removedTemporaries)
        done << FileMessages::TemporariesRemoved.arg(shown(path));
    return done;
}

LeftoverNote::LeftoverNote(const QString& dataPath, const QString& targetPath, const QString& purpose)
{
    if (dataPath.isEmpty() || QFileInfo(dataPath).absolutePath() == QFileInfo(targetPath).absolutePath())
        return;
    try {
        m_path = makeStagingFile(dataPath, AwayPurpose);
    } catch (const CdbException&) {
        return; // a data folder that takes no note: the next run of the operation clears what it leaves
    }
    QFile note(m_path);
    if (note.open(QIODevice::WriteOnly))
        note.write(QFile::encodeName(purpose + QLatin1Char('\n') + QFileInfo(targetPath).absoluteFilePath()));
}

LeftoverNote::~LeftoverNote()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

namespace {

// Where a copy of the data goes: the file a link names, never the link.
QString targetOf(const QString& path)
{
    const QString real = FileClaim::realPath(path);
    requireRegularOrAbsent(real);
    return real;
}

} // namespace

void backup(Database& db, const QString& targetPath)
{
    if (!db.isOpen())
        throw CdbException(3420, QStringLiteral("No data file is open."));
    const QString sourcePath = db.path();
    if (sameFile(targetPath, sourcePath))
        throw CdbException(3204, Messages::BackupOntoDataFile);
    const QString target = targetOf(targetPath);

    // Written beside the target and renamed over it only when complete and checked, so a failure or an
    // unsound data file never costs the user an earlier backup of the same name.
    // Claimed while it is written, so that no recovery takes its temporary for a leftover.
    const FileClaim::Claim targetClaim(target, FileClaim::Kind::Shared, ExclusiveWaitMs);
    removeLeftoversFor(target, QStringLiteral("backup"));
    const LeftoverNote note(sourcePath, target, QStringLiteral("backup"));
    const QString staging = makeStagingFile(target, QStringLiteral("backup"));
    try {
        {
            // A connection of its own reads only committed data, whatever the application's is doing.
            SqliteHandle source(sourcePath, SQLITE_OPEN_READONLY);
            SqliteHandle destination(staging, SQLITE_OPEN_READWRITE);
            try {
                source.throwIfFailed();
            } catch (const CdbException& error) {
                throw CdbException(error.code(), causeOf(error, sourcePath));
            }
            destination.throwIfFailed();
            // The copy is thrown away if it fails, so it needs no journal on disk.
            sqlite3_exec(destination.get(), "PRAGMA journal_mode = MEMORY", nullptr, nullptr, nullptr);
            copyPages(source.get(), destination.get(), target, sourcePath);
        }
        {
            Database copy;
            copy.open(staging);
            const QStringList problems = blockingProblemsOf(copy);
            if (!problems.isEmpty())
                throw CdbException(SQLITE_CORRUPT,
                                   FileMessages::SourceUnsound.arg(shown(sourcePath), problems.join(QStringLiteral("; "))));
        }
        putInPlace(staging, target, true);
    } catch (const CdbException&) {
        removeWithJournal(staging);
        throw;
    }
}

QString restore(Database& db, const QString& databasePath, const QString& backupPath)
{
    if (databasePath.isEmpty())
        throw CdbException(CdbException::FileNotFound,
                           QStringLiteral("No place for the data file was given."));
    if (sameFile(backupPath, databasePath))
        throw CdbException(3204, Messages::RestoreFromDataFile);
    if (!QFileInfo(backupPath).isFile())
        throw CdbException(FileSystemError, QFileInfo::exists(backupPath)
                                                ? FileMessages::NotRegularFile.arg(shown(backupPath))
                                                : FileMessages::FileMissing.arg(shown(backupPath)));
    const QString target = targetOf(databasePath);

    const bool wasOpen = db.isOpen() && sameFile(db.path(), target);
    // No other program may have the file open when it is replaced: what it saved afterwards would go to
    // the file that is no longer there.
    const FileClaim::Claim claim(target, FileClaim::Kind::Exclusive, ExclusiveWaitMs);
    // The copy takes the backup's journal along, so an interrupted write in the backup is rolled back in the
    // copy and never in the user's backup file.
    const QString staging = makeStagingFile(target, QStringLiteral("restore"));
    QString previous;
    try {
        copyFile(backupPath, staging);
        if (QFileInfo::exists(journalOf(backupPath)))
            copyFile(journalOf(backupPath), journalOf(staging));
        {
            // Checked here whatever the caller checked: the backup may have changed since.
            Database restored;
            restored.open(staging);
            const QStringList problems = blockingProblemsOf(restored);
            if (!problems.isEmpty())
                throw CdbException(SQLITE_CORRUPT, problems.join(QLatin1Char('\n')));
        }
        QFile::remove(journalOf(staging));

        db.close();
        if (QFileInfo::exists(target)) {
            settleJournal(target);
            // A link costs nothing and keeps the file that is replaced whole at every moment; it is made
            // under a fresh name, never over an empty placeholder that recovery could misread.
            const QString placeholder = makeStagingFile(target, PreviousPurpose);
            QFile::remove(placeholder);
            if (::link(encoded(target).constData(), encoded(placeholder).constData()) != 0)
                copyFile(target, placeholder);
            previous = placeholder;
        }
        FaultPoint::pass();
        putInPlace(staging, target, true);
    } catch (const CdbException&) {
        removeWithJournal(staging);
        removeWithJournal(previous);
        if (wasOpen && !db.isOpen())
            reopen(db, databasePath);
        throw;
    }
    try {
        db.open(databasePath);
    } catch (const CdbException&) {
        db.close();
        if (!previous.isEmpty())
            moveWithJournal(previous, target);
        else
            removeWithJournal(target);
        if (wasOpen)
            reopen(db, databasePath);
        throw;
    }
    FaultPoint::pass();
    if (previous.isEmpty())
        return {};
    if (wasOpen) {
        removeWithJournal(previous);
        return {};
    }
    const QString aside = freeName(target + QStringLiteral(".old"));
    moveWithJournal(previous, aside);
    return aside;
}

void compact(Database& db, const QString& databasePath)
{
    const QString target = FileClaim::realPath(databasePath);
    if (!QFileInfo(target).isFile())
        throw CdbException(CdbException::FileNotFound,
                           QStringLiteral("Could not find file '%1'.").arg(databasePath));
    const bool wasOpen = db.isOpen() && sameFile(db.path(), target);
    db.close();
    // VACUUM INTO takes an existing file only when it is empty; the staging file is made owner-only first.
    QString staging;
    try {
        // Held from the copy to the rename: a save another program made meanwhile would be lost.
        const FileClaim::Claim claim(target, FileClaim::Kind::Exclusive, ExclusiveWaitMs);
        staging = makeStagingFile(target, QStringLiteral("compact"));
        {
            Database source;
            source.open(target);
            const QStringList counts = rowCounts(source);
            QSqlQuery vacuum = source.prepare(QStringLiteral("VACUUM INTO ?"));
            vacuum.addBindValue(staging);
            source.exec(vacuum);
            vacuum.finish();
            source.close();

            Database compacted;
            compacted.open(staging);
            const QStringList problems = problemsOf(compacted);
            if (!problems.isEmpty())
                throw CdbException(SQLITE_CORRUPT, problems.join(QLatin1Char('\n')));
            if (rowCounts(compacted) != counts)
                throw CdbException(SQLITE_CORRUPT,
                                   QStringLiteral("The compacted copy does not hold every row."));
        }
        putInPlace(staging, target, true);
    } catch (const CdbException& error) {
        removeWithJournal(staging);
        if (wasOpen)
            reopen(db, databasePath);
        throw CdbException(error.code(), causeOf(error, target));
    }
    if (wasOpen)
        db.open(databasePath);
}

} // namespace DataFile
