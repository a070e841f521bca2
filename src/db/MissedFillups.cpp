#include "db/MissedFillups.h"

#include "db/Database.h"

#include <QSqlQuery>
#include <QVariant>

namespace MissedFillups {

namespace {
const QString Table = QStringLiteral("MissedFillups");
}

void ensureTable(Database& db)
{
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS MissedFillups (GasLogID INTEGER NOT NULL PRIMARY KEY)"));
}

QSet<qint32> ofVehicle(Database& db, qint32 vehicleId)
{
    QSet<qint32> marked;
    if (!db.hasTable(Table))
        return marked;
    QString sql = QStringLiteral("SELECT m.GasLogID FROM MissedFillups m JOIN GasLog g ON g.GasLogID = m.GasLogID");
    if (vehicleId > 0)
        sql += QStringLiteral(" WHERE g.VehicleID = ") + QString::number(vehicleId);
    QSqlQuery query = db.prepare(sql);
    db.exec(query);
    while (query.next())
        marked.insert(query.value(0).toInt());
    return marked;
}

void mark(Database& db, qint32 gasLogId)
{
    ensureTable(db);
    db.execute(QStringLiteral("INSERT OR IGNORE INTO MissedFillups (GasLogID) VALUES (%1)").arg(gasLogId));
}

void dropOrphans(Database& db)
{
    if (db.hasTable(Table))
        db.execute(QStringLiteral(
            "DELETE FROM MissedFillups WHERE GasLogID NOT IN (SELECT GasLogID FROM GasLog)"));
}

} // namespace MissedFillups
