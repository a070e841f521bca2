#include "fleet/Chronology.h"

#include "db/Database.h"

#include <QSqlQuery>

namespace Chronology {

std::optional<Conflict> findConflict(Database& db, qint32 vehicleId, const QString& storedDate,
                                     qint32 reading, EntryKind ownKind, qint32 ownKey)
{
    // Ranks: own kind before the other, "later but lower" before "earlier but higher", then nearest date.
    // Each half is a per-vehicle lookup on its table's vehicle index.
    static const QString statement = QStringLiteral(
        "SELECT kind, key, date, reading FROM ("
        " SELECT 1 AS kind, GasLogID AS key, Date AS date, Mileage AS reading FROM GasLog"
        "  WHERE VehicleID = :vehicle AND GasLogID <> :gasKey"
        "   AND ((Date < :date AND Mileage > :reading) OR (Date > :date AND Mileage < :reading))"
        " UNION ALL"
        " SELECT 0, MaintID, MaintDate, ActualMiles FROM Maintenance"
        "  WHERE VehicleID = :vehicle AND MaintID <> :maintenanceKey"
        "   AND ((MaintDate < :date AND ActualMiles > :reading) OR (MaintDate > :date AND ActualMiles < "
        ":reading)))"
        " ORDER BY kind <> :ownKind, date < :date, CASE WHEN date > :date THEN date END ASC, date DESC"
        " LIMIT 1");
    QSqlQuery query = db.prepare(statement);
    const int own = ownKind == EntryKind::Gas ? 1 : 0;
    query.bindValue(QStringLiteral(":vehicle"), vehicleId);
    query.bindValue(QStringLiteral(":date"), storedDate);
    query.bindValue(QStringLiteral(":reading"), reading);
    query.bindValue(QStringLiteral(":gasKey"), ownKind == EntryKind::Gas ? ownKey : 0);
    query.bindValue(QStringLiteral(":maintenanceKey"), ownKind == EntryKind::Maintenance ? ownKey : 0);
    query.bindValue(QStringLiteral(":ownKind"), own);
    db.exec(query);
    if (!query.next())
        return std::nullopt;
    return Conflict{query.value(0).toInt() == 1 ? EntryKind::Gas : EntryKind::Maintenance,
                    query.value(1).toInt(), query.value(2).toString(), query.value(3).toInt()};
}

} // namespace Chronology
