#include "maintenance/Reminder.h"

#include "db/Database.h"
#include "db/Values.h"
#include "fleet/VehicleList.h"

#include <QHash>
#include <QSqlQuery>

namespace Reminder {

QList<DueService> dueServices(Database& db, const QList<int>& vehicleFields, int daysAhead,
                              const QDateTime& now)
{
    const QDateTime horizon = now.addSecs(qint64(daysAhead) * 86400);
    QSqlQuery query = db.prepare(QStringLiteral(
        "SELECT Schedule.VehicleID, Services.ServiceDesc, Schedule.EstPerformDate FROM Schedule "
        "INNER JOIN Services ON Schedule.ServiceID = Services.ServiceID "
        "INNER JOIN Vehicles ON Schedule.VehicleID = Vehicles.VehicleID "
        "WHERE Vehicles.ActiveInd <> 0 AND length(Schedule.EstPerformDate) = 8 AND Schedule.EstPerformDate "
        "<= ? "
        "ORDER BY Schedule.EstPerformDate, Schedule.VehicleID, Services.ServiceDesc"));
    query.addBindValue(horizon.date().toString(QStringLiteral("yyyyMMdd")));
    db.exec(query);
    QList<std::pair<qint32, DueService>> rows;
    while (query.next()) {
        DueService service;
        service.service = query.value(1).toString();
        service.date = query.value(2).toString();
        const QDateTime midnight(QDate::fromString(service.date, QStringLiteral("yyyyMMdd")), QTime(0, 0));
        if (!midnight.isValid() || midnight > horizon)
            continue;
        service.overdue = midnight < now;
        rows.append({query.value(0).toInt(), service});
    }
    QList<DueService> due;
    if (rows.isEmpty())
        return due;
    QHash<qint32, QString> vehicles;
    for (const VehicleList::Entry& entry : VehicleList::entries(db))
        vehicles.insert(entry.vehicleId, VehicleList::itemText(vehicleFields, entry));
    for (auto& [vehicleId, service] : rows) {
        service.vehicle = vehicles.value(vehicleId);
        due.append(service);
    }
    return due;
}

QString summary(const QList<DueService>& due, int daysAhead)
{
    const qsizetype overdue =
        std::count_if(due.begin(), due.end(), [](const DueService& s) { return s.overdue; });
    const qsizetype soon = due.size() - overdue;
    const auto counted = [](qsizetype n) {
        return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("service")
                                                         : QStringLiteral("services"));
    };
    QStringList parts;
    if (overdue > 0)
        parts.append(counted(overdue) + QStringLiteral(" overdue"));
    if (soon > 0)
        parts.append((overdue > 0 ? QString::number(soon) : counted(soon)) +
                     QStringLiteral(" due within %1 %2").arg(daysAhead).arg(daysAhead == 1 ? "day" : "days"));
    return parts.join(QStringLiteral(", "));
}

QString line(const DueService& service)
{
    return QStringLiteral("%1 %2: %3 - %4")
        .arg(service.overdue ? QStringLiteral("Overdue since") : QStringLiteral("Due"),
             Values::toShownDate(service.date), service.vehicle, service.service);
}

QString body(const QList<DueService>& due, int shown)
{
    QStringList lines;
    const int count = shown < 1 ? int(due.size()) : std::min<int>(shown, int(due.size()));
    for (int i = 0; i < count; ++i)
        lines.append(line(due[i]));
    if (count < due.size())
        lines.append(QStringLiteral("and %1 more").arg(due.size() - count));
    return lines.join(QLatin1Char('\n'));
}

} // namespace Reminder
