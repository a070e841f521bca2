#include "scheduling/DueList.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/Values.h"
#include "fleet/ReadingEstimate.h"
#include "fleet/VehicleList.h"
#include "scheduling/Estimation.h"
#include "scheduling/ScheduleTexts.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <map>
#include <tuple>

namespace DueList {

Status statusOf(const QDateTime& due, int daysAhead, const QDateTime& now)
{
    if (due < now)
        return Status::Overdue;
    if (due <= now.addDays(daysAhead))
        return Status::DueSoon;
    return Status::Later;
}

Status statusOfDay(const QDate& due, int daysAhead, const QDateTime& now)
{
    const QDate today = now.date();
    if (due < today || (due == today && now.time() > QTime(0, 0)))
        return Status::Overdue;
    if (due <= today.addDays(daysAhead))
        return Status::DueSoon;
    return Status::Later;
}

QString statusText(Status status)
{
    switch (status) {
    case Status::Overdue:
        return QStringLiteral("Overdue");
    case Status::DueSoon:
        return QStringLiteral("Due soon");
    case Status::Later:
        break;
    }
    return QStringLiteral("Later");
}

List fill(Database& db, qint32 vehicleId, int daysAhead, const QList<int>& vehicleFields, Dates dates)
{
    using namespace Estimation;
    const QHash<qint64, Performed> performed = performedOccurrences(db, vehicleId);
    QHash<qint32, QString> vehicleTexts;
    for (const VehicleList::Item& item : VehicleList::items(db, vehicleFields))
        vehicleTexts.insert(item.vehicleId, item.text);

    QString sql =
        QStringLiteral("SELECT ") + entryColumns() +
        QStringLiteral(", Vehicles.Measurement, Vehicles.HoursInd, Services.ServiceDesc, "
                       "Vehicles.DateOfEstimatedMiles FROM Schedule "
                       "INNER JOIN Vehicles ON Vehicles.VehicleID = Schedule.VehicleID "
                       "LEFT JOIN Services ON Services.ServiceID = Schedule.ServiceID "
                       "WHERE Vehicles.ActiveInd <> 0");
    if (vehicleId != 0)
        sql += QStringLiteral(" AND Schedule.VehicleID = ?");
    sql += QStringLiteral(" ORDER BY Schedule.EstPerformDate, Schedule.ScheduleID");
    QSqlQuery query = db.prepare(sql);
    if (vehicleId != 0)
        query.addBindValue(vehicleId);
    db.exec(query);

    const QDateTime now = Clock::now();
    const QDate farAhead = now.date().addDays(DayLimit);
    const QDate farBack = now.date().addDays(-DayLimit);
    const QTime timeNow = now.time();
    List list;
    std::vector<std::pair<qint32, QString>> changes;
    // Rows are built as the entries are read; texts many rows share are made once (a fleet's entries come
    // from a few services, intervals and dates).
    QHash<qint32, QString> services;
    std::map<std::tuple<qint32, qint32, qint32>, QString> intervals;
    QHash<qint64, QString> dateTexts;
    const QDate today = now.date();
    while (query.next()) {
        Entry entry = readEntry(query);
        if (entry.terms.performOnce == NeverEstimated)
            continue;
        // A reading not yet brought forward today is taken as start-up would bring it (the vehicle is
        // active), so that the dates do not lag behind the vehicle's use.
        entry.reading = ReadingEstimate::broughtForward(
            entry.reading, entry.perMonth, query.value(EntryColumnCount + 3).toString(), true, today);
        const std::optional<Performed> latest = performedFor(entry, performed);
        const Base base = baseOf(entry.terms, latest);
        const std::optional<Result> result = estimate(entry.terms, base, entry.reading, entry.perMonth, now);
        const QString text = storedText(result);
        if (text != entry.stored)
            changes.emplace_back(entry.scheduleId, text);
        if (!result)
            continue;
        Row row;
        row.scheduleId = entry.scheduleId;
        row.vehicleId = entry.vehicleId;
        row.serviceId = entry.serviceId;
        row.vehicle = vehicleTexts.value(entry.vehicleId);
        auto service = services.find(entry.serviceId);
        if (service == services.end())
            service = services.insert(entry.serviceId, query.value(EntryColumnCount + 2).toString());
        row.service = *service;
        row.unit = Values::unitAbbreviation(query.value(EntryColumnCount).toInt(),
                                            query.value(EntryColumnCount + 1).toInt());
        const auto terms =
            std::make_tuple(entry.terms.everyMiles, entry.terms.everyMonth, entry.terms.everyDay);
        auto interval = intervals.find(terms);
        if (interval == intervals.end())
            interval =
                intervals
                    .emplace(terms, ScheduleTexts::performEvery(entry.terms.everyMiles,
                                                                entry.terms.everyMonth, entry.terms.everyDay))
                    .first;
        row.performEvery = interval->second;
        row.lastPerformed = ScheduleTexts::lastPerformed(base);
        row.fromBaseLine = !base.performed;
        list.usedBaseLine = list.usedBaseLine || row.fromBaseLine;
        row.date = result->date;
        auto date = dateTexts.find(result->date.toJulianDay());
        if (date == dateTexts.end())
            date =
                dateTexts.insert(result->date.toJulianDay(), result->date.toString(QStringLiteral("MM/dd/yyyy")));
        row.estimate = *date;
        // Now plus or minus 6000 days, compared as local date and time of day.
        const QDate& due = result->date;
        if (due > farAhead || (due == farAhead && result->time >= timeNow))
            row.estimate.prepend(QLatin1Char('>'));
        else if (due < farBack || (due == farBack && result->time <= timeNow))
            row.estimate.prepend(QLatin1Char('<'));
        // By the start of the day, as the monitor colours it: a date of today is already overdue.
        row.status = statusOfDay(due, daysAhead, now);
        list.rows.push_back(std::move(row));
    }
    query.finish();
    if (dates == Dates::Store)
        storeDates(db, changes);
    // Soonest first by the dates just worked out; entries due the same day keep their stored order.
    std::stable_sort(list.rows.begin(), list.rows.end(),
                     [](const Row& a, const Row& b) { return a.date < b.date; });
    return list;
}

} // namespace DueList
