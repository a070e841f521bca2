#pragma once

#include <QString>

class Database;
class Prompter;

namespace DatabaseCreation {

// The password-style connect text the program has always opened its files with (SQLite ignores it).
inline const QString ConnectText = QStringLiteral(";PWD=VEL417305926");

// Makes a new database at the path: the tables of the current version, the default services and service
// types and the version marker, all or nothing. The file is built under a temporary name and replaces what
// is at the path only when complete. On failure tells the user the cause and returns false.
bool createDatabase(const QString& path, Prompter& prompter);

// Fills an empty open file with the tables, default rows and version marker, in one transaction.
void fillNewFile(Database& db);

// Makes a staging file beside targetPath (DataFile::makeStagingFile) and opens db on it, with its journal
// kept in memory. Returns the staging path.
QString openStagingFile(Database& db, const QString& targetPath, const QString& purpose);

// Sets the one Utilities row's VerInd to the current version (adding the row when there is none).
void writeVersionMarker(Database& db);

// The VerInd of the first Utilities row: empty when there is none, "2.0" when the field is missing.
// Throws CdbException for a file without Utilities (3078) or one that cannot be read.
QString readVersion(Database& db);

} // namespace DatabaseCreation
