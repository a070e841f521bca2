#include "app/ScheduleStatus.h"

#include "db/Clock.h"
#include "db/Database.h"

namespace ScheduleStatus {

Status fromDueDate(const QString& storedDate, int daysAhead, const QDateTime& now)
{
    if (storedDate.size() != 8)
        return NothingDue;
    for (const QChar c : storedDate)
        if (!c.isDigit())
            return NothingDue;
    const int year = storedDate.left(4).toInt();
    const int month = storedDate.mid(4, 2).toInt();
    const int day = storedDate.mid(6, 2).toInt();
    // Out-of-range days and months roll over into the next ones, as stored dates like 02/29 in any year may
    // need.
    const QDate date = QDate(year, 1, 1).addMonths(month - 1).addDays(day - 1);
    const QDateTime due(date, QTime(0, 0));
    if (due < now)
        return DueNow;
    if (due.addDays(-daysAhead) <= now)
        return DueSoon;
    return NothingDue;
}

QString earliestDueDate(Database& db)
{
    return db.scalar(QStringLiteral("SELECT MIN(EstPerformDate) FROM Schedule WHERE EstPerformDate <> ''"))
        .toString();
}

Status current(Database& db, int daysAhead)
{
    return fromDueDate(earliestDueDate(db), daysAhead, Clock::now());
}

} // namespace ScheduleStatus
