#pragma once

#include <QString>
#include <vector>

class Database;

// Fuel economy under the full-fill rule: only a full tank closes a measurement. The fuel of partial fills
// before the first full tank, and of the first full tank itself, is never counted; partial fills between
// two full tanks are charged to the next full tank. Economy is distance per unit of fuel in the vehicle's
// own units (miles per gallon, kilometers per liter, hours per gallon or liter).
namespace FuelEconomy {

// One gas entry as the economy needs it.
struct FillUp
{
    qint32 gasLogId = 0;
    qint32 reading = 0;
    QString date; // stored "YYYYMMDD"
    double totalCost = 0.0;
    double fuel = 0.0;
    bool full = true;
    bool missed = false; // a fill-up before this one was never recorded
};

// Walks entries one by one in the order given (reading order for the form, date order for the report).
class FullFillWalk
{
public:
    // The economy this entry closes, 0 when it closes none (a partial fill, the first full tank, a full
    // tank not beyond the previous one, or a full tank that measured no fuel, as old files may hold).
    // An entry marked missed follows an unrecorded fill-up: the tank it (or the next full tank) closes holds
    // fuel nobody knows of, so it gives no figure and its distance stays out of the overall figure.
    double add(qint32 reading, double fuel, bool full, bool missed = false);

    // (last full reading - first full reading) / counted fuel; 0 with fewer than two full tanks.
    double overall() const;
    // Distance and fuel of the measurements closed so far.
    qint32 measuredDistance() const { return m_lastFull - m_firstFull - m_unmeasured; }
    double countedFuel() const { return m_countedFuel; }
    bool started() const { return m_state != State::BeforeFirstFull; }

private:
    enum class State { BeforeFirstFull, AtFirstFull, AfterFirstFull };
    State m_state = State::BeforeFirstFull;
    qint32 m_previousFull = 0;
    qint32 m_firstFull = 0;
    qint32 m_lastFull = 0;
    qint32 m_unmeasured = 0; // distance of full tanks that measured no fuel
    double m_accumulated = 0.0;
    double m_countedFuel = 0.0;
    bool m_gap = false; // a missed fill-up since the last full tank
};

struct Listed
{
    std::vector<double> economy; // per entry, in the order of the entries
    double overall = 0.0;
    qint32 highestReading = 0; // reading of the last entry in reading order
};

// The economy of every entry of one vehicle, given in reading order ("Mileage Asc, Date Asc").
Listed listEconomy(const std::vector<FillUp>& entries);

// The figures of the statistics chart: the economy of the last ten full tanks, oldest first, and the
// economy over them. The walk starts at the full tank that is the base of the last ten measurements.
struct LastTen
{
    std::vector<double> values;
    double economy = 0.0;
};
LastTen lastTen(const std::vector<FillUp>& entries);

// The vehicle's gas entries in reading order, in one query of the columns the list needs.
std::vector<FillUp> readFillUps(Database& db, qint32 vehicleId);

// The "driven this tank" distance of an entry shown on the form: the number, or for no distance "N/A" on
// the vehicle's earliest entry and "Undetermined" on any other.
QString distanceText(qint32 distance, bool earliestEntry);

} // namespace FuelEconomy

namespace FuelEconomy {

// The five tick values of the statistics chart's vertical scale, lowest first, for the economy values
// shown (zeros are not economy values; with none the scale runs as for 26.0 to 30.0).
std::vector<double> chartTicks(const std::vector<double>& values);

} // namespace FuelEconomy
