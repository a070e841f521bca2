#include "insight/MaintenanceForecast.h"

#include "db/Database.h"
#include "fleet/VehicleListColumns.h"
#include "scheduling/Estimation.h"

#include <QSqlQuery>
#include <algorithm>

namespace MaintenanceForecast {

QString sourceText(PriceSource source)
{
    switch (source) {
    case PriceSource::Last:
        return QStringLiteral("last");
    case PriceSource::FleetAverage:
        return QStringLiteral("fleet average");
    case PriceSource::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QDate endDate(const QDate& today, int months)
{
    // QDate moves a day the target month lacks to that month's last day.
    return today.addMonths(months);
}

namespace {

// The price paid for each service in the latest occurrence of it on each vehicle, in one query; the
// order is the one the estimation takes the latest by.
QHash<qint64, double> lastPrices(Database& db, qint32 vehicleId)
{
    QString sql = QStringLiteral(
        "SELECT VehicleID, ServiceID, Price FROM (SELECT Maintenance.VehicleID, MaintServices.ServiceID, "
        "MaintServices.Price, ROW_NUMBER() OVER (PARTITION BY Maintenance.VehicleID, MaintServices.ServiceID "
        "ORDER BY Maintenance.MaintDate DESC, Maintenance.ActualMiles DESC, Maintenance.MaintID DESC) AS "
        "Latest FROM Maintenance INNER JOIN MaintServices ON Maintenance.MaintID = MaintServices.MaintID "
        "WHERE MaintServices.LinkInd = 0");
    if (vehicleId != 0)
        sql += QStringLiteral(" AND Maintenance.VehicleID = ?");
    sql += QStringLiteral(") WHERE Latest = 1");
    QSqlQuery query = db.prepare(sql);
    if (vehicleId != 0)
        query.addBindValue(vehicleId);
    db.exec(query);
    QHash<qint64, double> prices;
    while (query.next())
        prices.insert(Estimation::performedKey(query.value(0).toInt(), query.value(1).toInt()),
                      query.value(2).toDouble());
    return prices;
}

QHash<qint32, double> fleetAverages(Database& db)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT ServiceID, AVG(Price) FROM MaintServices WHERE "
                                                "LinkInd = 0 AND Price <> 0 GROUP BY ServiceID"));
    db.exec(query);
    QHash<qint32, double> averages;
    while (query.next())
        averages.insert(query.value(0).toInt(), query.value(1).toDouble());
    return averages;
}

// The reading a vehicle at reading today reaches on a later day at its truncated daily use.
qint64 readingOn(const QDate& day, const QDate& today, qint32 reading, qint32 perMonth)
{
    const auto perDay = static_cast<qint64>(perMonth * 0.032876352039977644);
    return reading + (perDay > 0 ? perDay * today.daysTo(day) : 0);
}

} // namespace

Forecast forecast(Database& db, qint32 vehicleId, const QDate& lastDay, const QList<int>& vehicleFields,
                  const QDateTime& now)
{
    using namespace Estimation;
    Forecast result;
    result.from = now.date();
    result.to = lastDay;

    QString sql =
        QStringLiteral("SELECT ") + entryColumns() + QStringLiteral(", ") + VehicleList::entryColumns() +
        QStringLiteral(", Services.ServiceDesc, Vehicles.rowid FROM Schedule INNER JOIN Vehicles ON "
                       "Vehicles.VehicleID = Schedule.VehicleID LEFT JOIN Owners ON "
                       "Vehicles.OwnerID = Owners.OwnerID ") +
        VehicleList::ownerJoins() +
        QStringLiteral(" LEFT JOIN Services ON Services.ServiceID = Schedule.ServiceID WHERE "
                       "Vehicles.ActiveInd <> 0");
    if (vehicleId != 0)
        sql += QStringLiteral(" AND Schedule.VehicleID = ?");
    QSqlQuery query = db.prepare(sql);
    if (vehicleId != 0)
        query.addBindValue(vehicleId);
    db.exec(query);

    const QHash<qint64, Performed> performed = performedOccurrences(db, vehicleId);
    const QHash<qint64, double> last = lastPrices(db, vehicleId);
    const QHash<qint32, double> averages = fleetAverages(db);
    QHash<qint32, qint64> vehicleOrder;

    constexpr int serviceColumn = EntryColumnCount + VehicleList::EntryColumnCount;
    while (query.next()) {
        const Entry entry = readEntry(query);
        std::optional<Result> due = estimateEntry(entry, performed, now);
        if (!due || entry.terms.performOnce == NeverEstimated)
            continue;
        if (!result.vehicles.contains(entry.vehicleId)) {
            result.vehicles.insert(
                entry.vehicleId,
                VehicleList::itemText(vehicleFields, VehicleList::readEntry(query, EntryColumnCount)));
            vehicleOrder.insert(entry.vehicleId, query.value(serviceColumn + 1).toLongLong());
        }
        result.services.insert(entry.serviceId, query.value(serviceColumn).toString());

        Occurrence occurrence{{}, entry.vehicleId, entry.serviceId, 0, PriceSource::Unknown};
        const auto lastPrice = last.constFind(performedKey(entry.vehicleId, entry.serviceId));
        const auto average = averages.constFind(entry.serviceId);
        if (lastPrice != last.cend() && *lastPrice != 0)
            occurrence = {{}, entry.vehicleId, entry.serviceId, *lastPrice, PriceSource::Last};
        else if (average != averages.cend())
            occurrence = {{}, entry.vehicleId, entry.serviceId, *average, PriceSource::FleetAverage};

        // An overdue service is done today, and counts on from there.
        QDate date = std::max(due->date, result.from);
        while (date <= result.to) {
            occurrence.date = date;
            result.occurrences.push_back(occurrence);
            if (entry.terms.performOnce != 0)
                break;
            const qint64 reading = readingOn(date, result.from, entry.reading, entry.perMonth);
            const Base base{date.toString(QStringLiteral("yyyyMMdd")), qint32(reading), true};
            const std::optional<Result> next =
                estimate(entry.terms, base, qint32(reading), entry.perMonth, QDateTime(date, now.time()));
            // An interval shorter than a day of use still moves on by a day, so the count ends.
            date = next ? std::max(next->date, date.addDays(1)) : result.to.addDays(1);
        }
    }
    query.finish();

    for (const Occurrence& occurrence : result.occurrences) {
        if (occurrence.source == PriceSource::Unknown)
            ++result.unknownCount;
        else
            result.knownTotal += occurrence.price;
    }
    const auto& services = result.services;
    std::sort(result.occurrences.begin(), result.occurrences.end(),
              [&](const Occurrence& a, const Occurrence& b) {
                  if (a.date != b.date)
                      return a.date < b.date;
                  if (a.vehicleId != b.vehicleId)
                      return vehicleOrder.value(a.vehicleId) < vehicleOrder.value(b.vehicleId);
                  const int byName = QString::compare(services.value(a.serviceId),
                                                      services.value(b.serviceId), Qt::CaseInsensitive);
                  return byName != 0 ? byName < 0 : a.serviceId < b.serviceId;
              });
    return result;
}

} // namespace MaintenanceForecast
