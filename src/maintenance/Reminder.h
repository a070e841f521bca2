#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// What the reminder program tells the user: the scheduled services of active vehicles that are due, or
// fall due within the days-ahead horizon, as the schedule monitor would estimate them today (readings
// brought forward in memory). It only reads the file.
namespace Reminder {

struct DueService
{
    QString vehicle; // the vehicle's list text
    QString service;
    QString date; // stored "YYYYMMDD"
    bool overdue = false;
};

// Earliest first. A service is due when midnight of its date has passed, and due soon when that midnight
// is at most daysAhead days from now (the schedule monitor's red and blue rows).
QList<DueService> dueServices(Database& db, const QList<int>& vehicleFields, int daysAhead);

// "2 services overdue, 1 due within 5 days".
QString summary(const QList<DueService>& due, int daysAhead);
// One line per service: "Overdue since 03/15/2024: 2019 Ford - Oil/Filter Change".
QString line(const DueService& service);
// The first lines, then "and N more" for the rest (shown < 1: all lines).
QString body(const QList<DueService>& due, int shown);

} // namespace Reminder
