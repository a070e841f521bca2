#include "insight/CostSummary.h"

#include "db/Database.h"
#include "db/Values.h"
#include "fleet/VehicleListColumns.h"

namespace CostSummary {

Unit unitOf(int measurement, int hoursInd)
{
    if (hoursInd != 0)
        return Unit::Hours;
    return measurement != 0 ? Unit::Kilometers : Unit::Miles;
}

QString unitAbbreviation(Unit unit)
{
    switch (unit) {
    case Unit::Miles:
        return Values::unitAbbreviation(0, 0);
    case Unit::Kilometers:
        return Values::unitAbbreviation(1, 0);
    case Unit::Hours:
        break;
    }
    return Values::unitAbbreviation(0, 1);
}

std::optional<double> Row::costPerUnit() const
{
    if (distance <= 0)
        return std::nullopt;
    return totalCost() / double(distance);
}

namespace {

// Per vehicle: the sums and the reading range of one table's entries in the period.
QString aggregate(const QString& table, const QString& sums, const QString& reading, const QString& date,
                  bool dated)
{
    return QStringLiteral("(SELECT VehicleID, %1, MIN(%2) AS Low, MAX(%2) AS High FROM %3%4 GROUP BY "
                          "VehicleID)")
        .arg(sums, reading, table, dated ? QStringLiteral(" WHERE %1 BETWEEN ? AND ?").arg(date) : QString());
}

} // namespace

Reader::Reader(Database& db, const Request& request, const QList<int>& vehicleFields)
    : m_vehicleFields(vehicleFields)
{
    const bool dated = request.from.isValid() && request.to.isValid();
    // Vehicles without an owner are listed too, so that no entry's cost is left out of the totals.
    QString sql =
        QStringLiteral("SELECT ") + VehicleList::entryColumns() +
        QStringLiteral(", Vehicles.Measurement, Vehicles.HoursInd, Gas.Cost, Gas.Amount, Gas.Low, Gas.High, "
                       "Maint.Cost, Maint.Low, Maint.High FROM Vehicles LEFT JOIN Owners ON "
                       "Vehicles.OwnerID = Owners.OwnerID ") +
        VehicleList::ownerJoins() + QStringLiteral(" LEFT JOIN ") +
        aggregate(QStringLiteral("GasLog"), QStringLiteral("SUM(TotalCost) AS Cost, SUM(Gallons) AS Amount"),
                  QStringLiteral("Mileage"), QStringLiteral("Date"), dated) +
        QStringLiteral(" AS Gas ON Gas.VehicleID = Vehicles.VehicleID LEFT JOIN ") +
        aggregate(QStringLiteral("Maintenance"), QStringLiteral("SUM(TotalPrice) AS Cost"),
                  QStringLiteral("ActualMiles"), QStringLiteral("MaintDate"), dated) +
        QStringLiteral(" AS Maint ON Maint.VehicleID = Vehicles.VehicleID WHERE (Gas.VehicleID IS NOT NULL "
                       "OR Maint.VehicleID IS NOT NULL)");
    if (request.vehicleId != 0)
        sql += QStringLiteral(" AND Vehicles.VehicleID = ?");
    sql += QStringLiteral(" ORDER BY Vehicles.rowid");
    m_query = db.prepare(sql);
    const QString from = request.from.toString(QStringLiteral("yyyyMMdd"));
    const QString to = request.to.toString(QStringLiteral("yyyyMMdd"));
    for (int table = 0; dated && table < 2; ++table) {
        m_query.addBindValue(from);
        m_query.addBindValue(to);
    }
    if (request.vehicleId != 0)
        m_query.addBindValue(request.vehicleId);
    db.exec(m_query);
}

bool Reader::next(Row& row)
{
    if (m_nextTotal < 0) {
        if (m_query.next()) {
            constexpr int first = VehicleList::EntryColumnCount;
            const QSqlQuery& q = m_query;
            row = Row{};
            const VehicleList::Entry entry = VehicleList::readEntry(q, 0);
            row.vehicleId = entry.vehicleId;
            row.vehicle = VehicleList::itemText(m_vehicleFields, entry);
            row.unit = unitOf(q.value(first).toInt(), q.value(first + 1).toInt());
            row.fuelCost = q.value(first + 2).toDouble();
            row.fuelAmount = q.value(first + 3).toDouble();
            row.maintenanceCost = q.value(first + 6).toDouble();
            // The range over both tables' readings; a table without entries in the period has NULLs.
            std::optional<qint64> low;
            std::optional<qint64> high;
            for (int column : {first + 4, first + 7}) {
                if (q.value(column).isNull())
                    continue;
                const qint64 lowHere = q.value(column).toLongLong();
                const qint64 highHere = q.value(column + 1).toLongLong();
                low = low ? std::min(*low, lowHere) : lowHere;
                high = high ? std::max(*high, highHere) : highHere;
            }
            row.distance = low ? *high - *low : 0;

            std::optional<Row>& total = m_totals[int(row.unit)];
            if (!total)
                total = Row{0, QStringLiteral("Total"), row.unit};
            total->distance += row.distance;
            total->fuelCost += row.fuelCost;
            total->fuelAmount += row.fuelAmount;
            total->maintenanceCost += row.maintenanceCost;
            return true;
        }
        m_query.finish();
        m_nextTotal = 0;
    }
    while (m_nextTotal < UnitCount) {
        const std::optional<Row>& total = m_totals[m_nextTotal++];
        if (total) {
            row = *total;
            return true;
        }
    }
    return false;
}

} // namespace CostSummary
