#include "insight/MaintenanceForecast.h"

#include "db/Database.h"
#include "fleet/VehicleListColumns.h"
#include "scheduling/Estimation.h"

#include <QSqlQuery>
#include <algorithm>
#include <tuple>

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

// The latest performed occurrence of each service on each vehicle, with the price paid for it, in one
// query; the order is the one the estimation takes the latest by.
struct Latest
{
    QHash<qint64, Estimation::Performed> performed;
    QHash<qint64, double> prices;
};

Latest latestOccurrences(Database& db, qint32 vehicleId)
{
    QString sql = QStringLiteral(
        "SELECT VehicleID, ServiceID, MaintDate, ActualMiles, Price FROM (SELECT Maintenance.VehicleID, "
        "MaintServices.ServiceID, Maintenance.MaintDate, Maintenance.ActualMiles, MaintServices.Price, "
        "ROW_NUMBER() OVER (PARTITION BY Maintenance.VehicleID, MaintServices.ServiceID ORDER BY "
        "Maintenance.MaintDate DESC, Maintenance.ActualMiles DESC, Maintenance.MaintID DESC) AS Place FROM "
        "Maintenance INNER JOIN MaintServices ON Maintenance.MaintID = MaintServices.MaintID WHERE "
        "MaintServices.LinkInd = 0");
    if (vehicleId != 0)
        sql += QStringLiteral(" AND Maintenance.VehicleID = ?");
    sql += QStringLiteral(") WHERE Place = 1");
    QSqlQuery query = db.prepare(sql);
    if (vehicleId != 0)
        query.addBindValue(vehicleId);
    db.exec(query);
    Latest latest;
    while (query.next()) {
        const qint64 key = Estimation::performedKey(query.value(0).toInt(), query.value(1).toInt());
        latest.performed.insert(key, {query.value(2).toString(), query.value(3).toInt()});
        latest.prices.insert(key, query.value(4).toDouble());
    }
    return latest;
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

    const Latest latest = latestOccurrences(db, vehicleId);
    const QHash<qint64, Performed>& performed = latest.performed;
    const QHash<qint64, double>& last = latest.prices;
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
            // Counted from this occurrence, with the reading the vehicle's daily use gives it by then.
            const auto reading = qint32(entry.reading + dailyUse(entry.perMonth) * result.from.daysTo(date));
            const std::optional<Day> next = dueDay(entry.terms, date, reading, reading, entry.perMonth, date);
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
    // By date, then vehicle in the list's order, then service by name: ranks worked out once.
    QList<qint32> serviceIds = result.services.keys();
    std::sort(serviceIds.begin(), serviceIds.end(), [&](qint32 a, qint32 b) {
        const int byName =
            QString::compare(result.services.value(a), result.services.value(b), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    QHash<qint32, int> serviceRank;
    for (int rank = 0; rank < serviceIds.size(); ++rank)
        serviceRank.insert(serviceIds[rank], rank);
    struct Key
    {
        qint64 day;
        qint64 vehicle;
        int service;
        size_t index;
        bool operator<(const Key& other) const
        {
            return std::tie(day, vehicle, service) < std::tie(other.day, other.vehicle, other.service);
        }
    };
    std::vector<Key> keys;
    keys.reserve(result.occurrences.size());
    for (size_t i = 0; i < result.occurrences.size(); ++i) {
        const Occurrence& occurrence = result.occurrences[i];
        keys.push_back({occurrence.date.toJulianDay(), vehicleOrder.value(occurrence.vehicleId),
                        serviceRank.value(occurrence.serviceId), i});
    }
    std::sort(keys.begin(), keys.end());
    std::vector<Occurrence> sorted;
    sorted.reserve(keys.size());
    for (const Key& key : keys)
        sorted.push_back(result.occurrences[key.index]);
    result.occurrences = std::move(sorted);
    return result;
}

} // namespace MaintenanceForecast
