#pragma once

#include <QString>

class Database;
class Prompter;

namespace DatabaseCreation {

// The password-style connect text the program has always opened its files with (SQLite ignores it).
inline const QString ConnectText = QStringLiteral(";PWD=VEL417305926");

// Makes a new database at the path: the tables of the current version, the default services and service
// types and the version marker, all or nothing. On failure tells the user and returns false.
bool createDatabase(const QString& path, Prompter& prompter);

// Sets the one Utilities row's VerInd to the current version (adding the row when there is none).
void writeVersionMarker(Database& db);

// The VerInd of the first Utilities row: empty when there is none, "2.0" when the field is missing.
// Throws CdbException for a file without Utilities (3078) or one that cannot be read.
QString readVersion(Database& db);

} // namespace DatabaseCreation
