#pragma once

#include <QDate>
#include <QString>

class CVehicleSet;
class Database;

// Keeps a vehicle's current reading moving between actual readings: from the date it was last estimated
// up to today it gains the vehicle's estimated use per day.
namespace ReadingEstimate {

constexpr qint32 HighestReading = 999999;

// The reading after bringing it forward from estimatedDate ("YYYYMMDD") to today. The use per day is
// truncated before it is multiplied, so under 31 a month adds nothing; inactive vehicles, unreadable dates
// and dates not before today leave the reading as it is.
qint32 broughtForward(qint32 reading, qint32 perMonth, const QString& estimatedDate, bool active,
                      const QDate& today);

// Brings the current row of the set forward to today (the caller edits and writes the row): the reading
// grows for an active vehicle and the estimate date becomes today for every vehicle.
void bringForward(CVehicleSet& vehicle);

// Sets the actual reading and its date (both estimate dates become that date), then brings it forward.
void recordActualReading(CVehicleSet& vehicle, qint32 reading, const QString& storedDate);

// Brings every vehicle forward to today, all or nothing. Returns how many rows changed.
int bringAllForward(Database& db);

} // namespace ReadingEstimate

namespace ReadingEstimate {

// Records an entry's reading as the vehicle's actual reading when the entry is more recent than the
// vehicle's last actual reading (a later date, or the same date with a higher reading), then brings it
// forward; the caller runs it inside its save's transaction. Returns whether the vehicle moved.
bool recordIfMoreRecent(Database& db, qint32 vehicleId, qint32 reading, const QString& storedDate);

} // namespace ReadingEstimate
