#pragma once

#include <QStringList>

class Database;

// Deleting a vehicle or an owner together with every row that hangs on it. Each runs in one transaction:
// a failure leaves the file as it was, and the engine's error is thrown as CdbException.
namespace RecordDeletion {

// The tables whose rows belong to a vehicle through their VehicleID.
const QStringList& vehicleTables();

bool ownerHasVehicles(Database& db, qint32 ownerId);

// Removes the vehicle and its rows in the vehicle tables. Its seller contact stays.
void deleteVehicle(Database& db, qint32 vehicleId);

// Removes the owner, its contact row, its vehicles and their rows; returns how many vehicles went. The
// vehicles' seller contacts stay.
int deleteOwner(Database& db, qint32 ownerId);

} // namespace RecordDeletion
