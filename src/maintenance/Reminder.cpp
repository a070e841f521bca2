#include "maintenance/Reminder.h"

#include "db/Values.h"
#include "scheduling/DueList.h"

#include <algorithm>

namespace Reminder {

QList<DueService> dueServices(Database& db, const QList<int>& vehicleFields, int daysAhead)
{
    // The dates the schedule monitor would show today, worked out without writing to the file.
    QList<DueService> due;
    const DueList::List list = DueList::fill(db, 0, daysAhead, vehicleFields, DueList::Dates::ReadOnly);
    for (const DueList::Row& row : list.rows)
        if (row.status != DueList::Status::Later)
            due.append({list.vehicle(row), list.service(row), row.date.toString(QStringLiteral("yyyyMMdd")),
                        row.status == DueList::Status::Overdue});
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
