#pragma once

#include <QString>
#include <optional>

class Database;

// Readings only move forward in time: across a vehicle's maintenance and gas entries, a later date may not
// carry a lower reading and an earlier date may not carry a higher one. Equal dates or equal readings never
// conflict. Each form words its own message from the entry found.
namespace Chronology {

enum class EntryKind { Maintenance, Gas };

struct Conflict
{
    EntryKind kind = EntryKind::Maintenance;
    qint32 key = 0;     // MaintID or GasLogID
    QString date;       // stored "YYYYMMDD"
    qint32 reading = 0; // ActualMiles or Mileage
};

// The entry that contradicts a reading on a date (stored "YYYYMMDD") for the vehicle, or nothing.
// ownKind/ownKey name the entry being checked, which is left out (key 0: a new entry). Entries of the
// entry's own kind are reported before those of the other kind, and within a kind a later entry with a
// lower reading before an earlier one with a higher reading; among those, the nearest in date.
// One query over both tables. Throws CdbException.
std::optional<Conflict> findConflict(Database& db, qint32 vehicleId, const QString& storedDate,
                                     qint32 reading, EntryKind ownKind, qint32 ownKey);

} // namespace Chronology
