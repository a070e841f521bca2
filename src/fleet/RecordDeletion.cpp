#include "fleet/RecordDeletion.h"

#include "db/Database.h"
#include "db/MissedFillups.h"

#include <QVariant>

namespace RecordDeletion {

const QStringList& vehicleTables()
{
    static const QStringList tables{
        QStringLiteral("Schedule"),      QStringLiteral("Loan"),
        QStringLiteral("Insurance"),     QStringLiteral("InsCoverage"),
        QStringLiteral("Maintenance"),   QStringLiteral("GasLog"),
        QStringLiteral("MaintServices"), QStringLiteral("MaintServicesUnexpected"),
        QStringLiteral("JobOrder"),
    };
    return tables;
}

bool ownerHasVehicles(Database& db, qint32 ownerId)
{
    return !db.scalar(QStringLiteral("SELECT 1 FROM Vehicles WHERE OwnerID = ") + QString::number(ownerId) +
                      QStringLiteral(" LIMIT 1"))
                .isNull();
}

void deleteVehicle(Database& db, qint32 vehicleId)
{
    const QString id = QString::number(vehicleId);
    Transaction transaction(db);
    db.execute(QStringLiteral("DELETE FROM Vehicles WHERE VehicleID = ") + id);
    for (const QString& table : vehicleTables())
        db.execute(QStringLiteral("DELETE FROM %1 WHERE VehicleID = ").arg(table) + id);
    MissedFillups::dropOrphans(db);
    transaction.commit();
}

int deleteOwner(Database& db, qint32 ownerId)
{
    const QString id = QString::number(ownerId);
    // One statement per table for all the owner's vehicles, rather than nine per vehicle.
    const QString ownersVehicles =
        QStringLiteral("(SELECT VehicleID FROM Vehicles WHERE OwnerID = ") + id + QLatin1Char(')');
    Transaction transaction(db);
    const QVariant contactId =
        db.scalar(QStringLiteral("SELECT ContactID FROM Owners WHERE OwnerID = ") + id);
    const int vehicleCount =
        db.scalar(QStringLiteral("SELECT count(*) FROM Vehicles WHERE OwnerID = ") + id).toInt();
    if (vehicleCount > 0) {
        for (const QString& table : vehicleTables())
            db.execute(QStringLiteral("DELETE FROM %1 WHERE VehicleID IN ").arg(table) + ownersVehicles);
        db.execute(QStringLiteral("DELETE FROM Vehicles WHERE OwnerID = ") + id);
        MissedFillups::dropOrphans(db);
    }
    if (!contactId.isNull())
        db.execute(QStringLiteral("DELETE FROM ContactInfo WHERE ContactID = ") +
                   QString::number(contactId.toLongLong()));
    db.execute(QStringLiteral("DELETE FROM Owners WHERE OwnerID = ") + id);
    transaction.commit();
    return vehicleCount;
}

} // namespace RecordDeletion
