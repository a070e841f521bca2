#include "db/FileClaim.h"

#include "db/DbException.h"
#include "db/FileMessages.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace FileClaim {

namespace {

const QString LockPrefix = QStringLiteral(".velmora-lock-");
// Byte 0 is the claim itself; each holder's slot lies beyond it and is locked while the holder lives.
constexpr off_t SlotBase = 4096;
constexpr off_t SlotSize = 512;
constexpr int SlotCount = 64;
// The longest prefix the program puts before a file's name.
constexpr int LongestPrefix = 32;
constexpr int NameMax = 255;

QString programName;

struct Entry
{
    int fd = -1;
    bool withoutLockFile = false;
    int slot = -1;
    int shared = 0;
    int exclusive = 0;
    QString lockPath;
    QDateTime since;
};

std::recursive_mutex registryMutex;
std::map<QString, Entry>& registry()
{
    static std::map<QString, Entry> entries;
    return entries;
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString lockPathOf(const QString& real)
{
    const QFileInfo info(real);
    return QDir(info.absolutePath()).filePath(fittingName(LockPrefix, info.fileName()));
}

bool setLock(int fd, short type, off_t start, off_t length)
{
    struct flock lock
    {
    };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool lockedByOther(int fd, off_t start, off_t length)
{
    struct flock lock
    {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

bool noLockSupport(int error)
{
    return error == ENOLCK || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

QString userName()
{
    if (const passwd* entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

QString ownProgram()
{
    if (!programName.isEmpty())
        return programName;
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Velmora") : name;
}

void writeRecord(const Entry& entry)
{
    if (entry.fd < 0 || entry.slot < 0)
        return;
    const QString kind = entry.exclusive > 0 ? QStringLiteral("exclusive") : QStringLiteral("shared");
    QByteArray record = QStringList{ownProgram(),
                                    userName(),
                                    QSysInfo::machineHostName(),
                                    QString::number(::getpid()),
                                    entry.since.toString(Qt::ISODate),
                                    kind}
                            .join(QLatin1Char('\t'))
                            .toUtf8()
                            .left(SlotSize - 1);
    record.append(QByteArray(SlotSize - record.size(), '\0'));
    const off_t at = SlotBase + off_t(entry.slot) * SlotSize;
    [[maybe_unused]] const ssize_t written =
        ::pwrite(entry.fd, record.constData(), size_t(record.size()), at);
}

// Opens the lock file and takes the claim byte; retries when the file was removed between the open and the
// lock by a holder that was the last one.
int openAndLock(const QString& lockPath, const QString& real, short type, int& error)
{
    int fd = ::open(encoded(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EACCES)
        fd = ::open(encoded(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -3;
    }
    struct stat data
    {
    };
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) == 0 && opened.st_size == 0 && opened.st_uid == ::getuid() &&
        ::stat(encoded(real).constData(), &data) == 0)
        // Everyone who may write the data file may claim it.
        ::fchmod(fd, data.st_mode & 0666);
    if (!setLock(fd, type, 0, 1)) {
        error = errno;
        ::close(fd);
        return -1;
    }
    struct stat named
    {
    };
    if (::fstat(fd, &opened) != 0 || ::stat(encoded(lockPath).constData(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev) {
        ::close(fd);
        error = EAGAIN;
        return -2;
    }
    return fd;
}

[[noreturn]] void refuse(const QString& real, Kind wanted)
{
    const QList<Holder> holders = othersHolding(real);
    QString who = FileMessages::FileInUse.arg(QFileInfo(real).fileName());
    who.chop(1);
    for (const Holder& holder : holders) {
        // The one that stands in the way: the replacing program when a shared claim was wanted.
        if (wanted == Kind::Exclusive || holder.kind == Kind::Exclusive) {
            who = describe(real, holder);
            break;
        }
    }
    const QString& text =
        wanted == Kind::Exclusive ? FileMessages::CloseItThereFirst : FileMessages::TryAgainWhenDone;
    throw CdbException(InUseError, text.arg(who));
}

void acquire(const QString& real, Kind kind, int waitMs)
{
    std::lock_guard guard(registryMutex);
    Entry& entry = registry()[real];
    const short type = kind == Kind::Exclusive ? F_WRLCK : F_RDLCK;
    const bool needsLock = entry.fd < 0 && !entry.withoutLockFile;
    const bool needsUpgrade = !needsLock && kind == Kind::Exclusive && entry.exclusive == 0 && entry.fd >= 0;
    if (needsLock || needsUpgrade) {
        const QDateTime deadline = QDateTime::currentDateTimeUtc().addMSecs(waitMs);
        if (needsLock)
            entry.lockPath = lockPathOf(real);
        for (;;) {
            int error = 0;
            if (needsLock) {
                const int fd = openAndLock(entry.lockPath, real, type, error);
                if (fd >= 0) {
                    entry.fd = fd;
                    entry.since = QDateTime::currentDateTime();
                    break;
                }
                // No lock file can be made or locked here (a read-only folder, a file system without locks):
                // the claim is kept in this program only.
                if (fd == -3 || (fd == -1 && noLockSupport(error))) {
                    entry.withoutLockFile = true;
                    break;
                }
            } else {
                if (setLock(entry.fd, type, 0, 1))
                    break;
                error = errno;
                if (noLockSupport(error))
                    break;
            }
            if (QDateTime::currentDateTimeUtc() >= deadline) {
                if (entry.fd < 0 && entry.shared == 0 && entry.exclusive == 0)
                    registry().erase(real);
                refuse(real, kind);
            }
            QThread::msleep(15);
        }
        if (entry.fd >= 0 && entry.slot < 0) {
            for (int slot = 0; slot < SlotCount && entry.slot < 0; ++slot)
                if (setLock(entry.fd, F_WRLCK, SlotBase + off_t(slot) * SlotSize, SlotSize))
                    entry.slot = slot;
        }
    }
    (kind == Kind::Exclusive ? entry.exclusive : entry.shared) += 1;
    writeRecord(entry);
}

void giveBack(const QString& real, Kind kind)
{
    std::lock_guard guard(registryMutex);
    const auto found = registry().find(real);
    if (found == registry().end())
        return;
    Entry& entry = found->second;
    int& count = kind == Kind::Exclusive ? entry.exclusive : entry.shared;
    if (count > 0)
        --count;
    if (entry.exclusive > 0 || entry.shared > 0) {
        if (kind == Kind::Exclusive && entry.exclusive == 0 && entry.fd >= 0) {
            setLock(entry.fd, F_RDLCK, 0, 1);
            writeRecord(entry);
        }
        return;
    }
    if (entry.fd >= 0) {
        const QByteArray blank(SlotSize, '\0');
        if (entry.slot >= 0) {
            [[maybe_unused]] const ssize_t written = ::pwrite(
                entry.fd, blank.constData(), size_t(blank.size()), SlotBase + off_t(entry.slot) * SlotSize);
        }
        // The last holder removes the lock file; one that opened it meanwhile sees it gone and opens anew.
        if (setLock(entry.fd, F_WRLCK, 0, 0)) {
            struct stat opened
            {
            };
            struct stat named
            {
            };
            if (::fstat(entry.fd, &opened) == 0 && ::stat(encoded(entry.lockPath).constData(), &named) == 0 &&
                opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
                ::unlink(encoded(entry.lockPath).constData());
        }
        ::close(entry.fd);
    }
    registry().erase(found);
}

} // namespace

void setProgramName(const QString& name)
{
    programName = name;
}

QString realPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

QString nameTag(const QString& fileName)
{
    if (fileName.toUtf8().size() + LongestPrefix <= NameMax)
        return fileName;
    return QLatin1Char('#') +
           QString::fromLatin1(
               QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QString fittingName(const QString& prefix, const QString& fileName)
{
    return prefix + nameTag(fileName);
}

QList<Holder> othersHolding(const QString& path)
{
    const QString real = realPath(path);
    int ownSlot = -1;
    {
        std::lock_guard guard(registryMutex);
        const auto found = registry().find(real);
        if (found != registry().end())
            ownSlot = found->second.slot;
    }
    QList<Holder> holders;
    const int fd = ::open(encoded(lockPathOf(real)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return holders;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const off_t at = SlotBase + off_t(slot) * SlotSize;
        if (slot == ownSlot || !lockedByOther(fd, at, SlotSize))
            continue;
        QByteArray record(SlotSize, '\0');
        const ssize_t got = ::pread(fd, record.data(), size_t(SlotSize), at);
        if (got <= 0)
            continue;
        record.truncate(qsizetype(qstrnlen(record.constData(), size_t(got))));
        const QStringList fields = QString::fromUtf8(record).split(QLatin1Char('\t'));
        if (fields.size() < 6)
            continue;
        holders << Holder{fields[0],
                          fields[1],
                          fields[2],
                          fields[3].toLongLong(),
                          QDateTime::fromString(fields[4], Qt::ISODate),
                          fields[5] == QLatin1String("exclusive") ? Kind::Exclusive : Kind::Shared};
    }
    ::close(fd);
    return holders;
}

QString describe(const QString& path, const Holder& holder)
{
    const QString since = holder.since.date() == QDate::currentDate()
                              ? holder.since.toString(QStringLiteral("hh:mm"))
                              : holder.since.toString(QStringLiteral("MM/dd/yyyy hh:mm"));
    const QString& text =
        holder.kind == Kind::Exclusive ? FileMessages::BeingReplacedBy : FileMessages::OpenIn;
    return text.arg(QFileInfo(path).fileName(), holder.program, holder.user + QLatin1Char('@') + holder.host,
                    since);
}

Claim::Claim(const QString& path, Kind kind, int waitMs) : m_kind(kind)
{
    const QString real = realPath(path);
    acquire(real, kind, waitMs);
    m_path = real;
}

Claim::~Claim()
{
    release();
}

Claim::Claim(Claim&& other) noexcept : m_path(std::exchange(other.m_path, QString())), m_kind(other.m_kind) {}

Claim& Claim::operator=(Claim&& other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::exchange(other.m_path, QString());
        m_kind = other.m_kind;
    }
    return *this;
}

void Claim::release()
{
    if (m_path.isEmpty())
        return;
    giveBack(std::exchange(m_path, QString()), m_kind);
}

void removeStaleLockFiles(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({LockPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(name);
        {
            std::lock_guard guard(registryMutex);
            bool ours = false;
            for (const auto& [real, entry] : registry())
                ours = ours || entry.lockPath == path;
            if (ours)
                continue;
        }
        const int fd = ::open(encoded(path).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        // The same protocol as the last holder's: only a file no one holds any lock on goes.
        struct stat opened
        {
        };
        struct stat named
        {
        };
        if (setLock(fd, F_WRLCK, 0, 0) && ::fstat(fd, &opened) == 0 &&
            ::stat(encoded(path).constData(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev)
            ::unlink(encoded(path).constData());
        ::close(fd);
    }
}

bool tryExclusive(const QString& path, Claim& claim)
{
    try {
        claim = Claim(path, Kind::Exclusive, 0);
        return true;
    } catch (const CdbException&) {
        return false;
    }
}

} // namespace FileClaim
