#pragma once

#include <QSet>

class Database;

// Gas entries that follow a fill-up that was never recorded (as other fuel-log programs mark them). An
// added table beside the file's own, made when first needed, so files without it read as before: their
// gas entries simply have no missed fill-ups.
namespace MissedFillups {

// Creates the table when the file lacks it. Throws CdbException.
void ensureTable(Database& db);
// The marked gas entries of a vehicle (0: of every vehicle); empty when the file has no such table.
QSet<qint32> ofVehicle(Database& db, qint32 vehicleId);
void mark(Database& db, qint32 gasLogId);
// Removes marks whose gas entry is gone, so that a key used again never inherits one.
void dropOrphans(Database& db);

} // namespace MissedFillups
