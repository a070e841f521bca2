#pragma once

#include <QString>
#include <optional>
#include <vector>

class Database;

// The schedule of one vehicle: its entries, the rows of the schedule form's list and the checks of the
// values typed for an entry. Functions that touch the file throw CdbException.
namespace ScheduleEntries {

constexpr int DescriptionLength = 50;
// Limits of the values typed on the schedule form.
constexpr qint32 IntervalLimit = 500000;
constexpr qint32 MonthsLimit = 240;
constexpr qint32 DaysLimit = 7300;
constexpr qint32 ReadingLimit = 1000000;
// The Frequency choices, stored in PerformOnce.
enum Frequency : qint16 { NormalSchedule = 0, OneTimeSchedule = 1 };

struct Entry
{
    qint32 scheduleId = 0;
    qint32 vehicleId = 0;
    qint32 serviceId = 0;
    qint32 everyMiles = 0;
    qint32 everyMonth = 0;
    qint32 everyDay = 0;
    qint32 lastMiles = 0;
    QString lastDate; // stored
    QString description;
    qint32 stationId = 0;
    qint16 performOnce = NormalSchedule;
};

// One line of the schedule form's list: a catalogue service with the vehicle's entry for it, if any.
struct ListRow
{
    // The entry's ScheduleID, or minus the ServiceID for a service without an entry.
    qint32 key = 0;
    qint32 serviceId = 0;
    QString serviceType;
    QString service;
    QString performEvery;  // empty without an entry
    QString lastPerformed; // empty without an entry
    bool fromBaseLine = false;
};

// Every service (or only those the vehicle schedules) by type and description, in two queries.
std::vector<ListRow> listRows(Database& db, qint32 vehicleId, bool showAll);

std::optional<Entry> find(Database& db, qint32 scheduleId);
// Writes the entry (scheduleId 0: a new one with the next key) and stores its new estimate. Returns its key.
qint32 save(Database& db, Entry entry);
void remove(Database& db, qint32 scheduleId);

// The values as typed on the form.
struct Typed
{
    QString interval;
    QString months;
    QString days;
    QString baseLineReading;
    QString baseLineDate;
};

enum class Problem {
    None,
    Interval, // "%1 must be numeric and between 0 and 500,000."
    Months,
    Days,
    AllZero, // a question for an existing entry, a refusal for a new one
    MonthsAndDays,
    BaseLineReading,
    BaseLineDate,
};

// The first problem of the typed values, in the form's order. Empty months and days count as 0 and are
// written back as "0"; a valid date is written back in its normal form. On success entry receives the
// intervals and the base line.
Problem check(Typed& typed, Entry& entry);

} // namespace ScheduleEntries
