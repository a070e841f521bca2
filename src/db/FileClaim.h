#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Claims on a data file shared by several programs, possibly on several machines. A program that writes
// the file holds a shared claim for as long as it has it open; an operation that replaces the whole file
// (compaction, restore) holds the exclusive claim from its copy to its rename. The claim is an advisory
// byte-range lock on a lock file beside the data file (".velmora-lock-<name>"), which works on local disks
// and on network shares with lock support; each holder also writes who it is (program, user, host,
// process, time) into its own slot of that file and keeps that slot locked, so a slot whose lock is gone
// belongs to a program that ended or crashed and is never taken for a live holder. Readers take no claim.
namespace FileClaim {

enum class Kind { Shared, Exclusive };

struct Holder
{
    QString program;
    QString user;
    QString host;
    qint64 process = 0;
    QDateTime since;
    Kind kind = Kind::Shared;
};

// Code of the refusal when the file is claimed by another program.
constexpr int InUseError = 3045;

// The name the program gives itself in the lock file ("Velmora", "velmora-cli"); the application name
// unless set.
void setProgramName(const QString& name);

// The file a path names after following symbolic links (the path itself when it does not exist), so that
// every program claims and replaces the real file.
QString realPath(const QString& path);

// A name for a file beside fileName that starts with prefix and still fits where fileName fits: the file
// name is replaced by a short digest of it when the whole would be too long for the file system.
QString fittingName(const QString& prefix, const QString& fileName);
// The part of such a name that stands for fileName.
QString nameTag(const QString& fileName);

// The live holders of claims on the file other than this program.
QList<Holder> othersHolding(const QString& path);
// "Velmora.vel is open in Velmora on anna@office-pc since 09:12" and the like, for one holder.
QString describe(const QString& path, const Holder& holder);

// A claim held until it is released or destroyed. Claims of one program on one file are counted: the
// program's own shared claims never stand in the way of its exclusive one.
class Claim
{
public:
    Claim() = default;
    // Takes the claim, waiting up to waitMs for other programs to give way; throws CdbException
    // (InUseError) naming a holder when it cannot. A file whose folder can not hold the lock file (a
    // read-only folder) is claimed without one: nothing can be written there anyway.
    Claim(const QString& path, Kind kind, int waitMs);
    ~Claim();
    Claim(Claim&& other) noexcept;
    Claim& operator=(Claim&& other) noexcept;
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;

    void release();
    bool held() const { return !m_path.isEmpty(); }

private:
    QString m_path;
    Kind m_kind = Kind::Shared;
};

// Removes the lock files in the folder that no live program holds (left by one that was killed).
void removeStaleLockFiles(const QString& folder);

// Takes the exclusive claim only if no other program holds any claim; false otherwise.
bool tryExclusive(const QString& path, Claim& claim);

} // namespace FileClaim
