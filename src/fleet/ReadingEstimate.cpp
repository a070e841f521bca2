#include "fleet/ReadingEstimate.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/sets/VehicleSet.h"

#include <QSqlQuery>
#include <algorithm>
#include <vector>

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
    Transaction transaction(db);
    // Only the four fields the estimate needs are read; each changed vehicle gets today's date, and its
    // reading too when that moved (a null reading parameter keeps the stored one as it is).
    QSqlQuery read = db.prepare(QStringLiteral(
        "SELECT rowid, EntryOfActualMiles, EstMilesPerMonth, DateOfEstimatedMiles, ActiveInd FROM Vehicles"));
    db.exec(read);
    struct Change
    {
        qint64 rowid;
        QVariant reading;
    };
    std::vector<Change> changes;
    while (read.next()) {
        const auto current = qint32(read.value(1).toLongLong());
        const QVariant date = read.value(3);
        const QString dateText = date.isNull() ? QString() : date.toString();
        const qint32 reading = broughtForward(current, qint32(read.value(2).toLongLong()), dateText,
                                              read.value(4).toLongLong() != 0, today);
        if (reading == current && dateText == todayText)
            continue;
        changes.push_back({read.value(0).toLongLong(), reading == current ? QVariant() : QVariant(reading)});
    }
    QSqlQuery write = db.prepare(QStringLiteral("UPDATE Vehicles SET DateOfEstimatedMiles = ?, "
                                                "EntryOfActualMiles = coalesce(?, EntryOfActualMiles) WHERE rowid = ?"));
    for (const Change& change : changes) {
        write.bindValue(0, todayText);
        write.bindValue(1, change.reading);
        write.bindValue(2, change.rowid);
        db.exec(write);
    }
    transaction.commit();
    return int(changes.size());
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
