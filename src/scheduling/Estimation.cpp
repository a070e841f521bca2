#include "scheduling/Estimation.h"

#include "db/Clock.h"
#include "db/Database.h"
#include "db/Values.h"

#include <QSqlQuery>
#include <algorithm>

namespace Estimation {

namespace {

// One day being 1/30.417 of a month.
constexpr double MonthsPerDay = 0.032876352039977644;

// A stored date read as the value rules read it: a day past the end of its month (February 29 of a
// year that is not a leap year, kept in old files) carries into the next month.
QDate storedDay(const QString& stored)
{
    if (stored.isEmpty())
        return {};
    // Most stored dates are plain calendar days, read without building texts.
    if (stored.size() == 8) {
        int parts[3] = {0, 0, 0};
        const int widths[3] = {4, 2, 2};
        bool digits = true;
        for (int part = 0, at = 0; part < 3; ++part)
            for (int i = 0; i < widths[part]; ++i, ++at) {
                const char16_t ch = stored[at].unicode();
                digits = digits && ch >= u'0' && ch <= u'9';
                parts[part] = parts[part] * 10 + (ch - u'0');
            }
        if (digits && QDate::isValid(parts[0], parts[1], parts[2]))
            return QDate(parts[0], parts[1], parts[2]);
    }
    return QDate::fromString(Values::addDays(Values::toShownDate(stored), 0), QStringLiteral("MM/dd/yyyy"));
}

// Whole days in a number of months, a month being 30.417 days, truncated after multiplying.
qint64 daysInMonths(qint32 months)
{
    return qint64(months) * 30417 / 1000;
}

} // namespace

Base baseOf(const Terms& terms, const std::optional<Performed>& performed)
{
    if (performed)
        return {performed->date, performed->reading, true};
    return {terms.lastDate, terms.lastMiles, false};
}

qint64 dailyUse(qint32 perMonth)
{
    return static_cast<qint64>(perMonth * MonthsPerDay);
}

std::optional<Day> dueDay(const Terms& terms, const QDate& baseDate, qint32 baseReading, qint32 reading,
                          qint32 perMonth, const QDate& today)
{
    std::optional<Day> byDate;
    if ((terms.everyMonth != 0 || terms.everyDay != 0) && baseDate.isValid()) {
        // Calendar days, so that a daylight-saving change in between cannot move the day.
        const QDate due = baseDate.addDays(daysInMonths(terms.everyMonth) + terms.everyDay);
        // A date beyond four-digit years can not be stored: such an interval gives no estimate, and the
        // other entries are listed as usual.
        if (due.isValid() && due.year() >= 1 && due.year() <= 9999)
            byDate = Day{due, false};
    }

    std::optional<Day> byDistance;
    const qint64 perDay = dailyUse(perMonth);
    if (terms.everyMiles != 0 && perDay > 0) {
        const qint64 remaining = qint64(baseReading) - reading + terms.everyMiles;
        const qint64 days = std::clamp<qint64>(remaining / perDay, -DayLimit, DayLimit);
        byDistance = Day{today.addDays(days), true};
    }

    if (byDate && byDistance)
        return byDate->date < byDistance->date ? byDate : byDistance;
    return byDate ? byDate : byDistance;
}

std::optional<Result> estimate(const Terms& terms, const Base& base, qint32 reading, qint32 perMonth,
                               const QDateTime& now)
{
    if (terms.performOnce == NeverEstimated)
        return std::nullopt;
    const std::optional<Day> due =
        dueDay(terms, storedDay(base.date), base.reading, reading, perMonth, now.date());
    if (!due)
        return std::nullopt;
    // A distance estimate stands for now plus whole days; a date estimate for the start of its day.
    return Result{due->date, due->distanceBased ? now.time() : QTime(0, 0), due->distanceBased};
}

QString storedText(const std::optional<Result>& result)
{
    return result ? result->date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QSqlQuery latestPerformed(Database& db, qint32 vehicleId)
{
    // The engine keeps the latest per service: the greatest date, then reading, as one number (the date's
    // digits above any reading); the row's own date and reading come with it. The grouping walks the
    // performed services' (vehicle, service) index, so it needs no sorting however large the fleet.
    QString sql = QStringLiteral(
        "SELECT MaintServices.VehicleID, MaintServices.ServiceID, MAX(CAST(Maintenance.MaintDate AS INTEGER) "
        "* 10000000000 + Maintenance.ActualMiles), Maintenance.MaintDate, Maintenance.ActualMiles FROM "
        "MaintServices INNER JOIN Maintenance ON Maintenance.MaintID = MaintServices.MaintID AND "
        "Maintenance.VehicleID = MaintServices.VehicleID WHERE MaintServices.LinkInd = 0");
    if (vehicleId != 0)
        sql += QStringLiteral(" AND MaintServices.VehicleID = ?");
    sql += QStringLiteral(" GROUP BY MaintServices.VehicleID, MaintServices.ServiceID ORDER BY "
                          "MaintServices.VehicleID, MaintServices.ServiceID");
    QSqlQuery query = db.prepare(sql);
    query.setForwardOnly(true);
    if (vehicleId != 0)
        query.addBindValue(vehicleId);
    db.exec(query);
    return query;
}

QHash<qint64, Performed> performedOccurrences(Database& db, qint32 vehicleId)
{
    QSqlQuery query = latestPerformed(db, vehicleId);
    QHash<qint64, Performed> latest;
    while (query.next())
        latest.insert(performedKey(query.value(0).toInt(), query.value(1).toInt()),
                      Performed{query.value(3).toString(), query.value(4).toInt()});
    return latest;
}

QString entryColumns()
{
    return QStringLiteral(
        "Schedule.ScheduleID, Schedule.VehicleID, Schedule.ServiceID, Schedule.PerformOnce, "
        "Schedule.PerformEveryMiles, Schedule.PerformEveryMonth, Schedule.PerformEveryDay, "
        "Schedule.LastDate, "
        "Schedule.LastMiles, Schedule.EstPerformDate, Vehicles.EntryOfActualMiles, "
        "Vehicles.EstMilesPerMonth");
}

Entry readEntry(const QSqlQuery& query)
{
    Entry row;
    row.scheduleId = query.value(0).toInt();
    row.vehicleId = query.value(1).toInt();
    row.serviceId = query.value(2).toInt();
    row.terms.performOnce = qint16(query.value(3).toInt());
    row.terms.everyMiles = query.value(4).toInt();
    row.terms.everyMonth = query.value(5).toInt();
    row.terms.everyDay = query.value(6).toInt();
    row.terms.lastDate = query.value(7).toString();
    row.terms.lastMiles = query.value(8).toInt();
    row.stored = query.value(9).toString();
    row.reading = query.value(10).toInt();
    row.perMonth = query.value(11).toInt();
    return row;
}

std::optional<Performed> performedFor(const Entry& row, const QHash<qint64, Performed>& performed)
{
    const auto found = performed.constFind(performedKey(row.vehicleId, row.serviceId));
    return found == performed.cend() ? std::nullopt : std::optional<Performed>(*found);
}

std::optional<Result> estimateEntry(const Entry& row, const QHash<qint64, Performed>& performed,
                                    const QDateTime& now)
{
    return estimate(row.terms, baseOf(row.terms, performedFor(row, performed)), row.reading, row.perMonth,
                    now);
}

void storeDates(Database& db, const std::vector<std::pair<qint32, QString>>& changes)
{
    if (changes.empty())
        return;
    Transaction transaction(db);
    QSqlQuery update =
        db.prepare(QStringLiteral("UPDATE Schedule SET EstPerformDate = ? WHERE ScheduleID = ?"));
    for (const auto& [scheduleId, text] : changes) {
        update.addBindValue(text);
        update.addBindValue(scheduleId);
        db.exec(update);
    }
    transaction.commit();
}

namespace {

// Estimates the rows and writes the dates whose text changed; entries never estimated keep theirs.
int estimateAndStore(Database& db, const std::vector<Entry>& rows, const QHash<qint64, Performed>& performed)
{
    const QDateTime now = Clock::now();
    std::vector<std::pair<qint32, QString>> changes;
    for (const Entry& row : rows) {
        if (row.terms.performOnce == NeverEstimated)
            continue;
        const QString text = storedText(estimateEntry(row, performed, now));
        if (text != row.stored)
            changes.emplace_back(row.scheduleId, text);
    }
    storeDates(db, changes);
    return int(changes.size());
}

} // namespace

std::optional<Result> reestimateEntry(Database& db, qint32 scheduleId)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT ") + entryColumns() +
                                 QStringLiteral(" FROM Schedule LEFT JOIN Vehicles ON Vehicles.VehicleID = "
                                                "Schedule.VehicleID WHERE Schedule.ScheduleID = ?"));
    query.addBindValue(scheduleId);
    db.exec(query);
    if (!query.next())
        return std::nullopt;
    const Entry row = readEntry(query);
    query.finish();

    QSqlQuery latest = db.prepare(QStringLiteral(
        "SELECT Maintenance.MaintDate, Maintenance.ActualMiles FROM Maintenance INNER JOIN MaintServices ON "
        "Maintenance.MaintID = MaintServices.MaintID WHERE MaintServices.LinkInd = 0 AND "
        "Maintenance.VehicleID = ? "
        "AND MaintServices.ServiceID = ? ORDER BY Maintenance.MaintDate DESC, Maintenance.ActualMiles DESC "
        "LIMIT 1"));
    latest.addBindValue(row.vehicleId);
    latest.addBindValue(row.serviceId);
    db.exec(latest);
    QHash<qint64, Performed> performed;
    if (latest.next())
        performed.insert(performedKey(row.vehicleId, row.serviceId),
                         Performed{latest.value(0).toString(), latest.value(1).toInt()});
    latest.finish();

    estimateAndStore(db, {row}, performed);
    return estimateEntry(row, performed, Clock::now());
}

int reestimateVehicle(Database& db, qint32 vehicleId)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT ") + entryColumns() +
                                 QStringLiteral(" FROM Schedule LEFT JOIN Vehicles ON Vehicles.VehicleID = "
                                                "Schedule.VehicleID WHERE Schedule.VehicleID = ?"));
    query.addBindValue(vehicleId);
    db.exec(query);
    std::vector<Entry> rows;
    while (query.next())
        rows.push_back(readEntry(query));
    query.finish();
    if (rows.empty())
        return 0;
    return estimateAndStore(db, rows, performedOccurrences(db, vehicleId));
}

} // namespace Estimation
