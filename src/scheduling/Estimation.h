#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

class Database;
class QSqlQuery;

// When a scheduled service falls due: the earlier of a date-based estimate (the interval in months or
// days after the base date) and a distance-based estimate (the distance left divided by the vehicle's
// daily use). The base is the latest time the service was performed on the vehicle, else the entry's own
// base line.
namespace Estimation {

// A schedule entry whose PerformOnce holds this is never estimated and keeps its stored date.
constexpr qint16 NeverEstimated = 2;
// A distance estimate never lies further than this many days from today.
constexpr int DayLimit = 6000;

// What an entry says about its interval and base line.
struct Terms
{
    qint16 performOnce = 0;
    qint32 everyMiles = 0;
    qint32 everyMonth = 0;
    qint32 everyDay = 0;
    QString lastDate; // stored, "YYYYMMDD"
    qint32 lastMiles = 0;
};

// The occasion the next one is counted from.
struct Base
{
    QString date; // stored, "YYYYMMDD"; empty: no date-based estimate
    qint32 reading = 0;
    bool performed = false; // from a performed maintenance rather than the base line
};

struct Result
{
    QDate date;
    // With the date, the moment the estimate stands for: midnight, or now's time of day for a distance
    // estimate (now plus whole days); the schedule monitor marks moments 6000 days or more away. Kept as a
    // time of day: a local date and time costs a time-zone lookup, and the due list has thousands.
    QTime time;
    bool distanceBased = false;
};

// The latest performed occurrence of a service, when there is one.
struct Performed
{
    QString date;
    qint32 reading = 0;
};

// The base of an entry: the performed occurrence when there is one, else the base line.
Base baseOf(const Terms& terms, const std::optional<Performed>& performed);

// The whole units a vehicle is estimated to cover a day: perMonth over 30.417, truncated.
qint64 dailyUse(qint32 perMonth);

// The day an entry falls due from a base date and reading, for a vehicle at reading on today with
// perMonth use a month; none when neither estimate can be made. PerformOnce is not looked at.
struct Day
{
    QDate date;
    bool distanceBased = false;
};
std::optional<Day> dueDay(const Terms& terms, const QDate& baseDate, qint32 baseReading, qint32 reading,
                          qint32 perMonth, const QDate& today);

// The estimate for an entry with this base, for a vehicle now at reading with perMonth use a month; none
// when neither estimate can be made (or the entry is never estimated).
std::optional<Result> estimate(const Terms& terms, const Base& base, qint32 reading, qint32 perMonth,
                               const QDateTime& now);

// The text stored for an estimate: "YYYYMMDD", or empty for none.
QString storedText(const std::optional<Result>& result);

// The latest performed occurrence (LinkInd 0) of every service done on the vehicle, by ServiceID, read in
// one query; vehicleId 0 reads every vehicle's, keyed by (vehicle, service) through performedKey.
QHash<qint64, Performed> performedOccurrences(Database& db, qint32 vehicleId);
// The same as a query run and positioned before its first row, ordered by vehicle and service: VehicleID,
// ServiceID, a sort key, MaintDate, ActualMiles.
QSqlQuery latestPerformed(Database& db, qint32 vehicleId);
inline qint64 performedKey(qint32 vehicleId, qint32 serviceId)
{
    return (qint64(vehicleId) << 32) | quint32(serviceId);
}

// A schedule entry with what its estimate needs from its vehicle.
struct Entry
{
    qint32 scheduleId = 0;
    qint32 vehicleId = 0;
    qint32 serviceId = 0;
    Terms terms;
    QString stored;      // EstPerformDate as read
    qint32 reading = 0;  // the vehicle's EntryOfActualMiles
    qint32 perMonth = 0; // the vehicle's EstMilesPerMonth
};

// The select list of an Entry over "Schedule LEFT JOIN Vehicles"; readEntry takes them from the first
// columns of a row, so that a query may add its own after them.
QString entryColumns();
constexpr int EntryColumnCount = 12;
Entry readEntry(const QSqlQuery& query);
std::optional<Performed> performedFor(const Entry& entry, const QHash<qint64, Performed>& performed);
std::optional<Result> estimateEntry(const Entry& entry, const QHash<qint64, Performed>& performed,
                                    const QDateTime& now);
// Writes the (ScheduleID, EstPerformDate) pairs in one transaction.
void storeDates(Database& db, const std::vector<std::pair<qint32, QString>>& changes);

// Re-estimates one schedule entry from the vehicle's current reading and use, storing the date when its
// text changed. Returns the estimate (none also for a missing entry). Throws CdbException.
std::optional<Result> reestimateEntry(Database& db, qint32 scheduleId);

// Re-estimates every entry of the vehicle, storing only changed texts, in one transaction. Returns how
// many stored dates changed. Throws CdbException.
int reestimateVehicle(Database& db, qint32 vehicleId);

} // namespace Estimation
