#pragma once

#include <QDateTime>
#include <QString>

class Database;

// The home screen's schedule light: whether any scheduled service is due now, due soon or not yet.
namespace ScheduleStatus {

enum Status : int {
    NothingDue = 1,
    DueSoon = 2,
    DueNow = 3,
};

// The light for the earliest stored due date ("YYYYMMDD"): due now once that day has begun, due soon from
// daysAhead days before it, otherwise nothing due. A date that is not 8 characters, or not digits, is no
// date.
Status fromDueDate(const QString& storedDate, int daysAhead, const QDateTime& now);

// The earliest estimated due date of any schedule entry of any vehicle ("" when none), in one query.
QString earliestDueDate(Database& db);

// The light as of the clock's present moment.
Status current(Database& db, int daysAhead);

} // namespace ScheduleStatus
