#include "fleet/ReadingEstimate.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/sets/VehicleSet.h"

#include <algorithm>

namespace ReadingEstimate {

namespace {

// One day taken as 1/30.417 of a month.
constexpr double MonthsPerDay = 0.032876352039977644;

QString stored(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

} // namespace

qint32 broughtForward(qint32 reading, qint32 perMonth, const QString& estimatedDate, bool active,
                      const QDate& today)
{
    if (!active)
        return reading;
    const QDate from = QDate::fromString(estimatedDate, QStringLiteral("yyyyMMdd"));
    if (!from.isValid())
        return reading;
    // Whole calendar days; a date after today (a clock that was wrong) must not wind the reading back.
    const qint64 days = std::max<qint64>(0, from.daysTo(today));
    const auto perDay = static_cast<qint64>(perMonth * MonthsPerDay);
    const qint64 result = qint64(reading) + perDay * days;
    return result > HighestReading ? HighestReading : static_cast<qint32>(result);
}

void bringForward(CVehicleSet& vehicle)
{
    const QDate today = Clock::today();
    vehicle.m_EntryOfActualMiles = broughtForward(vehicle.m_EntryOfActualMiles, vehicle.m_EstMilesPerMonth,
                                                  vehicle.m_DateOfEstimatedMiles, vehicle.m_ActiveInd, today);
    vehicle.m_DateOfEstimatedMiles = stored(today);
}

void recordActualReading(CVehicleSet& vehicle, qint32 reading, const QString& storedDate)
{
    vehicle.m_DateOfActualMiles = storedDate;
    vehicle.m_DateOfEstimatedMiles = storedDate;
    vehicle.m_EntryOfActualMiles = reading;
    bringForward(vehicle);
}

int bringAllForward(Database& db)
{
    const QDate today = Clock::today();
    const QString todayText = stored(today);
    int changed = 0;
    Transaction transaction(db);
    CVehicleSet vehicles(db);
    vehicles.open();
    for (; !vehicles.isEOF(); vehicles.moveNext()) {
        const qint32 reading = broughtForward(vehicles.m_EntryOfActualMiles, vehicles.m_EstMilesPerMonth,
                                              vehicles.m_DateOfEstimatedMiles, vehicles.m_ActiveInd, today);
        if (reading == vehicles.m_EntryOfActualMiles && vehicles.m_DateOfEstimatedMiles == todayText)
            continue;
        vehicles.edit();
        vehicles.m_EntryOfActualMiles = reading;
        vehicles.m_DateOfEstimatedMiles = todayText;
        vehicles.update();
        ++changed;
    }
    vehicles.close();
    transaction.commit();
    return changed;
}

} // namespace ReadingEstimate

namespace ReadingEstimate {

bool recordIfMoreRecent(Database& db, qint32 vehicleId, qint32 reading, const QString& storedDate)
{
    CVehicleSet vehicle(db);
    vehicle.m_strFilter = QStringLiteral("VehicleID = %1").arg(vehicleId);
    vehicle.open();
    if (vehicle.isEOF())
        return false;
    const int order = vehicle.m_DateOfActualMiles.compare(storedDate);
    if (order > 0 || (order == 0 && vehicle.m_EntryOfActualMiles >= reading))
        return false;
    vehicle.edit();
    recordActualReading(vehicle, reading, storedDate);
    vehicle.update();
    return true;
}

} // namespace ReadingEstimate
