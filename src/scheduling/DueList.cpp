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

namespace {

const QString UnitTexts[] = {QStringLiteral("mi"), QStringLiteral("km"), QStringLiteral("hr")};

quint8 unitOf(int measurement, int hoursInd)
{
    return hoursInd != 0 ? 2 : measurement != 0 ? 1 : 0;
}

// A stored "YYYYMMDD" as the number it spells; -1 for an empty or malformed text, which never equals a date.
qint32 storedNumber(const QString& stored)
{
    if (stored.size() != 8)
        return -1;
    qint32 number = 0;
    for (const QChar ch : stored) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return -1;
        number = number * 10 + (ch.unicode() - u'0');
    }
    return number;
}

qint32 dateNumber(const QDate& date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

struct Vehicle
{
    qint32 reading = 0;
    qint32 perMonth = 0;
    qint32 text = 0;
    quint8 unit = 0;
};

// Interns texts so that rows hold an index.
class Texts
{
public:
    explicit Texts(std::vector<QString>& texts) : m_texts(texts) {}
    qint32 of(const QString& text)
    {
        auto found = m_index.constFind(text);
        if (found != m_index.cend())
            return *found;
        m_texts.push_back(text);
        return *m_index.insert(text, qint32(m_texts.size() - 1));
    }

private:
    std::vector<QString>& m_texts;
    QHash<QString, qint32> m_index;
};

} // namespace

QString List::unit(const Row& row) const
{
    return UnitTexts[std::min<int>(row.unit, 2)];
}

QString List::performEvery(const Row& row) const
{
    return ScheduleTexts::performEvery(row.everyMiles, row.everyMonth, row.everyDay);
}

QString List::lastPerformed(const Row& row) const
{
    return (row.fromBaseLine ? QStringLiteral("*") : QString()) + texts[size_t(row.baseDateText)] +
           QStringLiteral(", ") + QString::number(row.baseReading);
}

QString List::estimate(const Row& row) const
{
    const QString date = row.date.toString(QStringLiteral("MM/dd/yyyy"));
    return row.beyond > 0 ? QLatin1Char('>') + date : row.beyond < 0 ? QLatin1Char('<') + date : date;
}

List fill(Database& db, qint32 vehicleId, int daysAhead, const QList<int>& vehicleFields, Dates dates)
{
    using namespace Estimation;
    List list;
    Texts texts(list.texts);
    const QDateTime now = Clock::now();
    const QDate today = now.date();

    QHash<qint32, Vehicle> vehicles;
    {
        QHash<qint32, qint32> vehicleTexts;
        for (const VehicleList::Item& item : VehicleList::items(db, vehicleFields))
            vehicleTexts.insert(item.vehicleId, texts.of(item.text));
        QString sql = QStringLiteral("SELECT VehicleID, EntryOfActualMiles, EstMilesPerMonth, Measurement, "
                                     "HoursInd, DateOfEstimatedMiles FROM Vehicles WHERE ActiveInd <> 0");
        if (vehicleId != 0)
            sql += QStringLiteral(" AND VehicleID = ?");
        QSqlQuery query = db.prepare(sql);
        if (vehicleId != 0)
            query.addBindValue(vehicleId);
        db.exec(query);
        const qint32 noText = texts.of(QString());
        while (query.next()) {
            const qint32 id = query.value(0).toInt();
            Vehicle vehicle;
            vehicle.perMonth = query.value(2).toInt();
            // A reading not yet brought forward today is taken as start-up would bring it (the vehicle is
            // active), so that the dates do not lag behind the vehicle's use.
            vehicle.reading = ReadingEstimate::broughtForward(query.value(1).toInt(), vehicle.perMonth,
                                                              query.value(5).toString(), true, today);
            vehicle.unit = unitOf(query.value(3).toInt(), query.value(4).toInt());
            vehicle.text = vehicleTexts.value(id, noText);
            vehicles.insert(id, vehicle);
        }
    }
    QHash<qint32, qint32> services;
    {
        QSqlQuery query = db.prepare(QStringLiteral("SELECT ServiceID, ServiceDesc FROM Services"));
        db.exec(query);
        while (query.next())
            services.insert(query.value(0).toInt(), texts.of(query.value(1).toString()));
    }

    // Both walks run in (vehicle, service) order on their indexes, so each entry meets the latest performed
    // occurrence of its service without a table of them.
    QString entrySql = QStringLiteral(
        "SELECT ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, PerformEveryMonth, "
        "PerformEveryDay, LastDate, LastMiles, EstPerformDate FROM Schedule");
    if (vehicleId != 0)
        entrySql += QStringLiteral(" WHERE VehicleID = ?");
    entrySql += QStringLiteral(" ORDER BY VehicleID, ServiceID");
    QSqlQuery entries = db.prepare(entrySql);
    QSqlQuery latest = latestPerformed(db, vehicleId);
    if (vehicleId != 0)
        entries.addBindValue(vehicleId);
    db.exec(entries);
    bool latestRow = latest.next();

    const QDate farAhead = today.addDays(DayLimit);
    const QDate farBack = today.addDays(-DayLimit);
    const QTime timeNow = now.time();
    const qint32 noService = texts.of(QString());
    std::vector<std::pair<qint32, QString>> changes;
    while (entries.next()) {
        const qint32 entryVehicle = entries.value(1).toInt();
        const auto vehicle = vehicles.constFind(entryVehicle);
        if (vehicle == vehicles.cend())
            continue; // inactive: its stored date is left alone
        Terms terms;
        terms.performOnce = qint16(entries.value(3).toInt());
        if (terms.performOnce == NeverEstimated)
            continue;
        const qint32 serviceId = entries.value(2).toInt();
        const std::pair<qint32, qint32> key(entryVehicle, serviceId);
        while (latestRow && std::pair(latest.value(0).toInt(), latest.value(1).toInt()) < key)
            latestRow = latest.next();
        std::optional<Performed> performed;
        if (latestRow && std::pair(latest.value(0).toInt(), latest.value(1).toInt()) == key)
            performed = Performed{latest.value(3).toString(), latest.value(4).toInt()};
        terms.everyMiles = entries.value(4).toInt();
        terms.everyMonth = entries.value(5).toInt();
        terms.everyDay = entries.value(6).toInt();
        terms.lastDate = entries.value(7).toString();
        terms.lastMiles = entries.value(8).toInt();
        const qint32 scheduleId = entries.value(0).toInt();
        const QString storedText = entries.value(9).toString();
        const qint32 stored = storedNumber(storedText);
        const Base base = baseOf(terms, performed);
        const std::optional<Result> result = estimate(terms, base, vehicle->reading, vehicle->perMonth, now);
        if (result ? dateNumber(result->date) != stored || storedText.size() != 8 : !storedText.isEmpty())
            changes.emplace_back(scheduleId, Estimation::storedText(result));
        if (!result)
            continue;
        Row row;
        row.scheduleId = scheduleId;
        row.vehicleId = entryVehicle;
        row.serviceId = serviceId;
        row.everyMiles = terms.everyMiles;
        row.everyMonth = terms.everyMonth;
        row.everyDay = terms.everyDay;
        row.baseReading = base.reading;
        row.vehicleText = vehicle->text;
        row.serviceText = services.value(serviceId, noService);
        row.baseDateText = texts.of(Values::toShownDate(base.date));
        row.unit = vehicle->unit;
        row.fromBaseLine = !base.performed;
        list.usedBaseLine = list.usedBaseLine || row.fromBaseLine;
        row.date = result->date;
        // Now plus or minus 6000 days, compared as local date and time of day.
        const QDate& due = result->date;
        if (due > farAhead || (due == farAhead && result->time >= timeNow))
            row.beyond = 1;
        else if (due < farBack || (due == farBack && result->time <= timeNow))
            row.beyond = -1;
        // By the start of the day, as the monitor colours it: a date of today is already overdue.
        row.status = statusOfDay(due, daysAhead, now);
        row.storedDate = stored;
        list.rows.push_back(row);
    }
    entries.finish();
    latest.finish();
    if (dates == Dates::Store)
        storeDates(db, changes);
    // Soonest first by the dates just worked out; entries due the same day in their stored order.
    std::sort(list.rows.begin(), list.rows.end(), [](const Row& a, const Row& b) {
        return std::tie(a.date, a.storedDate, a.scheduleId) < std::tie(b.date, b.storedDate, b.scheduleId);
    });
    return list;
}

} // namespace DueList
