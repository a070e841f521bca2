#pragma once

#include <QString>
#include <QStringList>

class CdbException;
class Database;
class QTemporaryDir;

// Whole-file work on the database: creating files under a temporary name and putting them in place,
// backup, restore, compaction, the checks a chosen file must pass, and the recovery of operations that
// were cut short. Every function that fails throws CdbException with a description fit to show the user;
// none of them leaves a file half-replaced.
namespace DataFile {

// Code of a failure of the file system itself (no space, no permission, ...); its description says the
// cause.
constexpr int FileSystemError = 3043;

// Where the compaction of earlier versions kept the file meanwhile: the path with its last three characters
// replaced by "tmp". Only recovery still looks there.
QString temporaryPath(const QString& databasePath);

// Whether two paths name the same file (after resolving links); false when either does not exist.
bool sameFile(const QString& first, const QString& second);

// The user-facing cause of a failure while writing path: disk full, no permission, path too long, file in
// use, or the engine's own description.
QString causeOf(const CdbException& error, const QString& path);

// Why a file can not be used: the cause when the file system or another program stands in the way (disk
// full, in use, no permission), else "<path> is not a Velmora database (<description>)".
QString whyNotUsable(const CdbException& error, const QString& path);

// A new empty owner-only file in the folder of targetPath under a hidden name of the program's
// temporaries (".velmora-<purpose>-..."), which recovery removes when an operation leaves one behind.
QString makeStagingFile(const QString& targetPath, const QString& purpose);
// Removes a file and the rollback journal beside it.
void removeWithJournal(const QString& path);
// Puts a complete staging file at targetPath in one rename after syncing it to disk. Without replace an
// existing target is never touched (the staging file stays and the call throws).
void putInPlace(const QString& stagingPath, const QString& targetPath, bool replace);
// Copies a file to targetPath through a staging file, so an earlier file there is replaced only by a
// complete copy.
void copyFile(const QString& sourcePath, const QString& targetPath);

// Opens a file for reading (no claim, so it never holds up a program that writes or replaces it) after
// rolling back a write that was interrupted, as the program's open would; when the file or its folder can
// not be written, that happens in a copy made in scratch. Returns the path actually opened.
QString openLikeTheProgram(Database& db, const QString& path, QTemporaryDir& scratch);
// What is wrong with an open data file: failed integrity checks, a missing Utilities table, tables and
// fields the program binds that the file lacks (not counting those its version's upgrades add). Empty
// when the file is sound.
QStringList problemsOf(Database& db);
// Throws unless the file is a sound data file (see problemsOf). A user's file is never changed beyond
// rolling back an interrupted write.
void checkDataFile(const QString& path);

// While it exists, a note beside the data file tells its recovery to remove what an operation cut short
// left for targetPath in another folder (a backup's or an import's temporary copy).
class LeftoverNote
{
public:
    LeftoverNote(const QString& dataPath, const QString& targetPath, const QString& purpose);
    ~LeftoverNote();
    LeftoverNote(const LeftoverNote&) = delete;
    LeftoverNote& operator=(const LeftoverNote&) = delete;

private:
    QString m_path;
};

// Finishes or undoes what an interrupted create, import, restore, compaction or backup left beside the
// data file, removes the program's stray temporary files there, and returns what was done, for the user.
QStringList recoverInterrupted(const QString& databasePath);

// Writes a copy of the committed contents of the open database to target (owner-only permissions),
// replacing an existing file only once the copy is complete. An open transaction of the application's
// connection does not reach the copy.
void backup(Database& db, const QString& targetPath);

// Puts a checked copy of backupPath (a full check here, whatever the caller checked before) at databasePath in one rename and opens db on it. If it can not be
// opened, the file that was there is put back (and reopened when db had it open). When db had it open it
// is deleted afterwards; an unopened file found there is left beside it under a free "<name>.old" name,
// since nothing has shown it holds nothing of value. Returns that name, or empty.
QString restore(Database& db, const QString& databasePath, const QString& backupPath);

// Rewrites the database file without its free space: a compacted copy is written under a staging name,
// checked, and renamed over the file; db is reopened on it when it had it open.
// Restore and compaction replace the real file a symbolic link names, keep its permissions and owner,
// and hold the exclusive claim from the copy to the rename: they refuse, naming who has it, while another
// program has the file open.
void compact(Database& db, const QString& databasePath);

} // namespace DataFile
