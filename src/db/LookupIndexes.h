#pragma once

#include <QStringList>
#include <vector>

class Database;

// Secondary indexes for the lookups the program makes by vehicle, by maintenance entry, by due date and by
// contact name. They are plain (non-unique) indexes named <Table>_<Fields>; they change no stored value, so
// older copies of the program read the file as before. The indexes of the file's own definition are left
// as they are.
namespace LookupIndexes {

struct LookupIndex
{
    QString table;
    QStringList fields;     // as they are ordered: "MaintDate DESC"
    QString name() const;   // Maintenance_VehicleID_MaintDate_ActualMiles
};

const std::vector<LookupIndex>& all();

// Creates the lookup indexes a file of the current version lacks, in one transaction; a file of an older
// version is left alone until it is upgraded, and a field the file lacks is skipped. Speed only: a file
// that refuses them (read-only, full disk) stays usable, so the return value says whether all are in place.
bool ensure(Database& db);
// The same on a connection of its own (after an upgrade, which leaves its connection closed).
bool ensureFile(const QString& path);

} // namespace LookupIndexes
