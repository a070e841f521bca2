#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class Database;
class Prompter;
class Settings;

// The home screen's quick vehicle update: a reading taken today, typed for one vehicle after another
// without opening the vehicle form.
namespace QuickUpdate {

struct Vehicle
{
    qint32 vehicleId = 0;
    qint32 reading = 0;
    qint32 purchaseReading = 0;
    qint16 measurement = 0;
    qint16 hoursInd = 0;
};

// The vehicle with that key, or nothing when it is not in the file. Engine failures throw CdbException.
std::optional<Vehicle> find(Database& db, qint32 vehicleId);

// Why the typed reading can not be stored on the vehicle, or "" when it can.
QString refusal(const QString& typed, const Vehicle& vehicle);

struct Outcome
{
    enum Kind {
        Stored,
        Refused,        // the typed text is not an acceptable reading: message says why
        Failed,         // the engine refused the write: message is its description
        VehicleMissing, // nothing to store on: the vehicle has been deleted meanwhile
    };
    Kind kind = Stored;
    QString message;
};

// Whether the typed reading may be stored: asks, when the setting allows, about a reading that implies
// far more use since the previous one than the vehicle's estimate. True also for a reading save refuses.
// Throws CdbException.
bool confirmed(Database& db, Prompter& prompter, const Settings& settings, qint32 vehicleId,
               const QString& typed);

// Checks the typed reading and stores it as the vehicle's actual reading taken today: the reading and
// both reading dates are written, and nothing else of the vehicle changes.
Outcome save(Database& db, qint32 vehicleId, const QString& typed);

} // namespace QuickUpdate
