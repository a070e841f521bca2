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

namespace DueList {

Status statusOf(const QDateTime& due, int daysAhead, const QDateTime& now)
{
    if (due < now)
        return Status::Overdue;
    if (due <= now.addDays(daysAhead))
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
    QString sql = QStringLiteral("SELECT ") + entryColumns() +
                  QStringLiteral(", Services.ServiceDesc, Vehicles.Measurement, Vehicles.HoursInd, "
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
    struct Listed
    {
        Entry entry;
        QString service;
        QString unit;
    };
    std::vector<Listed> entries;
    const QDate today = Clock::today();
    while (query.next()) {
        Entry entry = readEntry(query);
        // A reading not yet brought forward today is taken as start-up would bring it (the vehicle is
        // active), so that the dates do not lag behind the vehicle's use.
        entry.reading = ReadingEstimate::broughtForward(
            entry.reading, entry.perMonth, query.value(EntryColumnCount + 3).toString(), true, today);
        entries.push_back({entry, query.value(EntryColumnCount).toString(),
                           Values::unitAbbreviation(query.value(EntryColumnCount + 1).toInt(),
                                                    query.value(EntryColumnCount + 2).toInt())});
    }
    query.finish();

    QHash<qint32, QString> vehicleTexts;
    for (const VehicleList::Item& item : VehicleList::items(db, vehicleFields))
        vehicleTexts.insert(item.vehicleId, item.text);
    const QHash<qint64, Performed> performed = performedOccurrences(db, vehicleId);

    const QDateTime now = Clock::now();
    const QDateTime farAhead = now.addDays(DayLimit);
    const QDateTime farBack = now.addDays(-DayLimit);
    List list;
    std::vector<std::pair<qint32, QString>> changes;
    for (const auto& [entry, service, unit] : entries) {
        if (entry.terms.performOnce == NeverEstimated)
            continue;
        const std::optional<Result> result = estimateEntry(entry, performed, now);
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
        row.service = service;
        row.unit = unit;
        row.performEvery =
            ScheduleTexts::performEvery(entry.terms.everyMiles, entry.terms.everyMonth, entry.terms.everyDay);
        const Base base = baseOf(entry.terms, performedFor(entry, performed));
        row.lastPerformed = ScheduleTexts::lastPerformed(base);
        row.fromBaseLine = !base.performed;
        list.usedBaseLine = list.usedBaseLine || row.fromBaseLine;
        row.date = result->date;
        row.estimate = result->date.toString(QStringLiteral("MM/dd/yyyy"));
        if (result->moment >= farAhead)
            row.estimate.prepend(QLatin1Char('>'));
        else if (result->moment <= farBack)
            row.estimate.prepend(QLatin1Char('<'));
        // By the start of the day, as the monitor colours it: a date of today is already overdue.
        row.status = statusOf(QDateTime(result->date, QTime(0, 0)), daysAhead, now);
        list.rows.push_back(std::move(row));
    }
    if (dates == Dates::Store)
        storeDates(db, changes);
    // Soonest first by the dates just worked out; entries due the same day keep their stored order.
    std::stable_sort(list.rows.begin(), list.rows.end(),
                     [](const Row& a, const Row& b) { return a.date < b.date; });
    return list;
}

} // namespace DueList
