#include "scheduling/ScheduleEntries.h"

#include "db/Database.h"
#include "db/Values.h"
#include "db/sets/ScheduleSet.h"
#include "scheduling/Estimation.h"
#include "scheduling/ScheduleTexts.h"

#include <QSqlQuery>

namespace ScheduleEntries {

std::vector<ListRow> listRows(Database& db, qint32 vehicleId, bool showAll)
{
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT Services.ServiceID, ServiceTypes.ServiceType, Services.ServiceDesc, Schedule.ScheduleID, "
        "Schedule.PerformEveryMiles, Schedule.PerformEveryMonth, Schedule.PerformEveryDay, "
        "Schedule.LastDate, "
        "Schedule.LastMiles FROM Services INNER JOIN ServiceTypes ON Services.ServiceTypeID = "
        "ServiceTypes.ServiceTypeID LEFT JOIN Schedule ON Schedule.ServiceID = Services.ServiceID AND "
        "Schedule.VehicleID = ? ORDER BY ServiceTypes.ServiceType, Services.ServiceDesc, Services.ServiceID, "
        "Schedule.ScheduleID"));
    query.addBindValue(vehicleId);
    db.exec(query);
    std::vector<ListRow> rows;
    const QHash<qint64, Estimation::Performed> performed = Estimation::performedOccurrences(db, vehicleId);
    qint32 previousService = 0;
    while (query.next()) {
        ListRow row;
        row.serviceId = query.value(0).toInt();
        // A file with two entries for one service shows the first.
        if (row.serviceId == previousService && !rows.empty())
            continue;
        previousService = row.serviceId;
        const bool scheduled = !query.value(3).isNull();
        if (!scheduled && !showAll)
            continue;
        row.serviceType = query.value(1).toString();
        row.service = query.value(2).toString();
        row.key = scheduled ? query.value(3).toInt() : -row.serviceId;
        if (scheduled) {
            row.performEvery = ScheduleTexts::performEvery(query.value(4).toInt(), query.value(5).toInt(),
                                                           query.value(6).toInt());
            Estimation::Terms terms;
            terms.lastDate = query.value(7).toString();
            terms.lastMiles = query.value(8).toInt();
            const auto found = performed.constFind(Estimation::performedKey(vehicleId, row.serviceId));
            const Estimation::Base base = Estimation::baseOf(
                terms,
                found == performed.cend() ? std::nullopt : std::optional<Estimation::Performed>(*found));
            row.lastPerformed = ScheduleTexts::lastPerformed(base);
            row.fromBaseLine = !base.performed;
        }
        rows.push_back(row);
    }
    return rows;
}

std::optional<Entry> find(Database& db, qint32 scheduleId)
{
    CScheduleSet set(db);
    set.m_strFilter = QStringLiteral("ScheduleID = %1").arg(scheduleId);
    set.open();
    if (set.isEOF())
        return std::nullopt;
    Entry entry;
    entry.scheduleId = set.m_ScheduleID;
    entry.vehicleId = set.m_VehicleID;
    entry.serviceId = set.m_ServiceID;
    entry.everyMiles = set.m_PerformEveryMiles;
    entry.everyMonth = set.m_PerformEveryMonth;
    entry.everyDay = set.m_PerformEveryDay;
    entry.lastMiles = set.m_LastMiles;
    entry.lastDate = set.m_LastDate;
    entry.description = set.m_Description;
    entry.stationId = set.m_StationID;
    entry.performOnce = set.m_PerformOnce;
    return entry;
}

qint32 save(Database& db, Entry entry)
{
    Transaction transaction(db);
    CScheduleSet set(db);
    bool adding = entry.scheduleId == 0;
    if (!adding) {
        set.m_strFilter = QStringLiteral("ScheduleID = %1").arg(entry.scheduleId);
        set.open();
        adding = set.isEOF();
    }
    if (adding) {
        // Also for an entry removed meanwhile: the values on screen become a new one.
        entry.scheduleId = set.nextIdentifier();
        set.m_strFilter = QStringLiteral("ScheduleID = %1").arg(entry.scheduleId);
        set.open();
        set.addNew();
        set.m_ScheduleID = entry.scheduleId;
        set.m_ServiceID = entry.serviceId;
        set.m_VehicleID = entry.vehicleId;
        set.m_EstPerformDate.clear();
    } else {
        set.edit();
    }
    set.m_PerformEveryMiles = entry.everyMiles;
    set.m_PerformEveryMonth = entry.everyMonth;
    set.m_PerformEveryDay = qint16(entry.everyDay);
    set.m_LastMiles = entry.lastMiles;
    set.m_LastDate = entry.lastDate;
    set.m_Description = entry.description;
    set.m_StationID = entry.stationId;
    set.m_PerformOnce = entry.performOnce;
    set.update();
    set.close();
    Estimation::reestimateEntry(db, entry.scheduleId);
    transaction.commit();
    return entry.scheduleId;
}

void remove(Database& db, qint32 scheduleId)
{
    db.execute(QStringLiteral("DELETE FROM Schedule WHERE ScheduleID = %1").arg(scheduleId));
}

Problem check(Typed& typed, Entry& entry)
{
    const qint32 interval = Values::parseWholeNumber(typed.interval);
    if (interval >= IntervalLimit)
        return Problem::Interval;
    if (typed.months.trimmed().isEmpty())
        typed.months = QStringLiteral("0");
    const qint32 months = Values::parseWholeNumber(typed.months);
    if (months > MonthsLimit)
        return Problem::Months;
    if (typed.days.trimmed().isEmpty())
        typed.days = QStringLiteral("0");
    const qint32 days = Values::parseWholeNumber(typed.days);
    if (days > DaysLimit)
        return Problem::Days;
    if (interval == 0 && months == 0 && days == 0)
        return Problem::AllZero;
    if (months != 0 && days != 0)
        return Problem::MonthsAndDays;
    const qint32 reading = Values::parseWholeNumber(typed.baseLineReading);
    if (reading >= ReadingLimit)
        return Problem::BaseLineReading;
    const QString date = Values::normaliseDate(typed.baseLineDate);
    if (date.isEmpty())
        return Problem::BaseLineDate;
    typed.baseLineDate = date;
    entry.everyMiles = interval;
    entry.everyMonth = months;
    entry.everyDay = days;
    entry.lastMiles = reading;
    entry.lastDate = Values::toStoredDate(date);
    return Problem::None;
}

} // namespace ScheduleEntries
