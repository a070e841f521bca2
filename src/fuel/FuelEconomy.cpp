#include "fuel/FuelEconomy.h"

#include "db/Database.h"
#include "db/MissedFillups.h"
#include "db/Values.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>

namespace FuelEconomy {

double FullFillWalk::add(qint32 reading, double fuel, bool full, bool missed)
{
    if (missed && m_state == State::AfterFirstFull)
        m_gap = true;
    qint32 distance = 0;
    if (full) {
        if (m_state != State::BeforeFirstFull) {
            distance = reading - m_previousFull;
            m_lastFull = reading;
        } else {
            m_state = State::AtFirstFull;
            m_firstFull = reading;
        }
        m_previousFull = reading;
    }
    if (m_state == State::AfterFirstFull)
        m_accumulated += fuel;
    else if (m_state == State::AtFirstFull)
        m_state = State::AfterFirstFull;

    if (distance <= 0)
        return 0.0;
    // A tank measured with no fuel gives no figure rather than an infinite one, and its distance stays out
    // of the overall figure.
    if (m_gap || m_accumulated <= 0.0) {
        m_unmeasured += distance;
        m_accumulated = 0.0;
        m_gap = false;
        return 0.0;
    }
    const double economy = distance / m_accumulated;
    m_countedFuel += m_accumulated;
    m_accumulated = 0.0;
    return economy;
}

double FullFillWalk::overall() const
{
    return m_countedFuel > 0.0 && measuredDistance() >= 1 ? measuredDistance() / m_countedFuel : 0.0;
}

Listed listEconomy(const std::vector<FillUp>& entries)
{
    Listed listed;
    listed.economy.reserve(entries.size());
    FullFillWalk walk;
    for (const FillUp& entry : entries) {
        listed.economy.push_back(walk.add(entry.reading, entry.fuel, entry.full, entry.missed));
        listed.highestReading = entry.reading;
    }
    listed.overall = walk.overall();
    return listed;
}

LastTen lastTen(const std::vector<FillUp>& entries)
{
    constexpr int Count = 10;
    // Ten measurements need eleven full tanks: start at the eleventh-last, or at the beginning.
    size_t start = 0;
    int fullSeen = 0;
    for (size_t i = entries.size(); i-- > 0;) {
        if (entries[i].full && ++fullSeen == Count + 1) {
            start = i;
            break;
        }
    }
    LastTen result;
    FullFillWalk walk;
    for (size_t i = start; i < entries.size(); ++i) {
        const double economy = walk.add(entries[i].reading, entries[i].fuel, entries[i].full, entries[i].missed);
        if (economy > 0.0 && int(result.values.size()) < Count)
            result.values.push_back(economy);
    }
    result.economy = walk.overall();
    return result;
}

std::vector<FillUp> readFillUps(Database& db, qint32 vehicleId)
{
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT GasLogID, Mileage, Date, TotalCost, Gallons, Fillup FROM GasLog WHERE VehicleID = ? "
        "ORDER BY Mileage, Date, GasLogID"));
    query.addBindValue(vehicleId);
    db.exec(query);
    const QSet<qint32> missed = MissedFillups::ofVehicle(db, vehicleId);
    std::vector<FillUp> entries;
    while (query.next())
        entries.push_back({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toString(),
                           query.value(3).toDouble(), query.value(4).toDouble(), query.value(5).toInt() == 0,
                           missed.contains(query.value(0).toInt())});
    return entries;
}

QString distanceText(qint32 distance, bool earliestEntry)
{
    if (distance != 0)
        return Values::withThousands(distance);
    return earliestEntry ? QStringLiteral("N/A") : QStringLiteral("Undetermined");
}

} // namespace FuelEconomy

namespace FuelEconomy {

std::vector<double> chartTicks(const std::vector<double>& values)
{
    double highest = 0.0;
    double lowest = 0.0;
    for (double value : values) {
        if (value <= 0.0)
            continue;
        highest = std::max(highest, value);
        lowest = lowest > 0.0 ? std::min(lowest, value) : value;
    }
    if (highest <= 0.0) {
        highest = 30.0;
        lowest = 26.0;
    }
    const double range = highest > lowest ? highest - lowest : 0.01;
    const double quarter = range * 0.25;
    std::vector<double> ticks;
    if (quarter > 0.5) {
        const int step = int(quarter) + (quarter < 1.0 ? 2 : 1);
        for (int i = 0; i < 5; ++i)
            ticks.push_back(std::floor(lowest + i * step));
    } else {
        double base = std::floor(lowest);
        if (lowest - base > 0.4)
            base += 0.5;
        for (int i = 0; i < 5; ++i)
            ticks.push_back(base + 0.5 * i);
    }
    return ticks;
}

} // namespace FuelEconomy
