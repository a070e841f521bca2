#include "fleet/ReadingPlausibility.h"

#include "context/Settings.h"
#include "db/Database.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/ReadingEstimate.h"

#include <QDate>
#include <QSqlQuery>
#include <algorithm>
#include <optional>

namespace ReadingPlausibility {

namespace {

QDate dateOf(const QString& stored)
{
    return QDate::fromString(stored, QStringLiteral("yyyyMMdd"));
}

bool later(const Reading& a, const Reading& b)
{
    return a.date != b.date ? a.date > b.date : a.reading > b.reading;
}

} // namespace

QString question(const Reading& previous, const Reading& proposed, qint32 perMonth, int measurement,
                 int hoursInd)
{
    const QDate from = dateOf(previous.date);
    const QDate to = dateOf(proposed.date);
    const qint64 jump = qint64(proposed.reading) - previous.reading;
    if (perMonth <= 0 || jump < LeastJump || !from.isValid() || !to.isValid() || to < from)
        return QString();
    const qint64 days = std::max<qint64>(1, from.daysTo(to));
    // A month is 30.417 days; compared in whole numbers so that the edge is exact.
    if (jump * 30417 <= 3 * qint64(perMonth) * days * 1000)
        return QString();
    const qint64 perMonthImplied = jump * 30417 / (days * 1000);
    return QStringLiteral("%1 on %2 means %3 %4 a month since %5 on %6, %7 times the estimated %8. Save it "
                          "anyway?")
        .arg(Values::withThousands(proposed.reading), Values::toShownDate(proposed.date),
             Values::withThousands(perMonthImplied), Values::unitWord(measurement, hoursInd).toLower(),
             Values::withThousands(previous.reading), Values::toShownDate(previous.date),
             QString::number(perMonthImplied / perMonth), Values::withThousands(perMonth));
}

QString questionFor(Database& db, qint32 vehicleId, const Reading& proposed, Source source, qint32 ownKey)
{
    QSqlQuery vehicle = db.prepare(QStringLiteral(
        "SELECT EstMilesPerMonth, Measurement, HoursInd, DateOfActualMiles, "
        "DateOfEstimatedMiles, EntryOfActualMiles, ActiveInd FROM Vehicles WHERE VehicleID = ?"));
    vehicle.addBindValue(vehicleId);
    db.exec(vehicle);
    if (!vehicle.next())
        return QString();
    const qint32 perMonth = vehicle.value(0).toInt();
    const int measurement = vehicle.value(1).toInt();
    const int hoursInd = vehicle.value(2).toInt();
    std::optional<Reading> previous;
    if (source == Source::Vehicle) {
        // The stored reading carries the estimate added since the actual one; taking it off again gives
        // the reading last typed.
        const QString actualDate = vehicle.value(3).toString();
        const QDate estimated = dateOf(vehicle.value(4).toString());
        const qint32 stored = vehicle.value(5).toInt();
        // The form shows the stored reading with its actual date: saved again unchanged, it asks nothing.
        if (stored == proposed.reading && actualDate == proposed.date)
            return QString();
        const qint32 added = estimated.isValid()
                                 ? ReadingEstimate::broughtForward(0, perMonth, actualDate,
                                                                   vehicle.value(6).toInt() != 0, estimated)
                                 : 0;
        // A reading typed for the same date corrects the stored one rather than following it.
        if (dateOf(actualDate).isValid() && actualDate < proposed.date)
            previous = Reading{actualDate, std::max(0, stored - added)};
    }
    vehicle.finish();

    QSqlQuery entries = db.prepare(QStringLiteral(
        "SELECT Date, Reading FROM (SELECT MaintDate AS Date, ActualMiles AS Reading FROM Maintenance WHERE "
        "VehicleID = ? AND MaintID <> ? UNION ALL SELECT Date, Mileage FROM GasLog WHERE VehicleID = ? AND "
        "GasLogID <> ?) WHERE Date <> '' AND Date <= ? ORDER BY Date DESC, Reading DESC LIMIT 1"));
    entries.addBindValue(vehicleId);
    entries.addBindValue(source == Source::Maintenance ? ownKey : 0);
    entries.addBindValue(vehicleId);
    entries.addBindValue(source == Source::Gas ? ownKey : 0);
    entries.addBindValue(proposed.date);
    db.exec(entries);
    if (entries.next()) {
        const Reading entry{entries.value(0).toString(), entries.value(1).toInt()};
        if (!previous || later(entry, *previous))
            previous = entry;
    }
    entries.finish();
    return previous ? question(*previous, proposed, perMonth, measurement, hoursInd) : QString();
}

bool confirmed(Database& db, Prompter& prompter, const Settings& settings, qint32 vehicleId,
               const Reading& proposed, Source source, qint32 ownKey)
{
    if (settings.integer(QStringLiteral("Messages"), QLatin1String(SettingKey)) == 0)
        return true;
    const QString text = questionFor(db, vehicleId, proposed, source, ownKey);
    return text.isEmpty() || prompter.yesNoDefaultNo(text);
}

} // namespace ReadingPlausibility
