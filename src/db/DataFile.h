#pragma once

#include <QString>

class Database;

// Whole-file work on the database: backup, restore and compaction. Every function throws CdbException
// with a description fit to show the user; none of them leaves the data half-replaced.
namespace DataFile {

// Where compaction keeps the file meanwhile: the path with its last three characters replaced by "tmp".
QString temporaryPath(const QString& databasePath);

// Whether two paths name the same file (after resolving links); false when either does not exist.
bool sameFile(const QString& first, const QString& second);

// Throws unless the file is an SQLite database that passes a quick check and has the Utilities table.
// The file is only read.
void checkDataFile(const QString& path);

// Writes a copy of the committed contents of the open database to target (owner-only permissions),
// replacing an existing file only once the copy is complete. An open transaction of the application's
// connection does not reach the copy.
void backup(Database& db, const QString& targetPath);

// Puts a copy of backupPath at databasePath and opens db on it. The file that was at databasePath is kept
// until the restored one has opened; if that fails it is put back (and reopened when db had it open).
// When db had it open it is deleted afterwards; an unopened file found there is left beside it under a
// free "<name>.old" name, since nothing has shown it holds nothing of value. Returns that name, or empty.
QString restore(Database& db, const QString& databasePath, const QString& backupPath);

// Rewrites the database file without its free space: the file moves to the temporary name, a compacted
// copy is written at databasePath and opened, and the temporary file is removed. On failure the original
// file is put back and reopened when db had it open.
void compact(Database& db, const QString& databasePath);

} // namespace DataFile
