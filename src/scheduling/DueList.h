#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <vector>

class Database;

// The scheduled services of active vehicles that have a due date, soonest first, with the texts the
// schedule monitor shows. Filling it re-estimates every entry of an active vehicle from its reading brought
// forward to today and, unless asked to only read, stores the dates that changed, so that the stored due
// dates are up to date afterwards.
namespace DueList {

enum class Status { Overdue, DueSoon, Later };
enum class Dates { Store, ReadOnly };

struct Row
{
    qint32 scheduleId = 0;
    qint32 vehicleId = 0;
    qint32 serviceId = 0;
    QString vehicle;       // the vehicle's text in the selectors
    QString service;       // ServiceDesc
    QString unit;          // the vehicle's unit abbreviation: "mi", "km" or "hr"
    QString performEvery;  // "3000, 6(M)"
    QString lastPerformed; // "06/01/2023, 1200", or "*..." from the base line
    QString estimate;      // "MM/DD/YYYY", with ">" or "<" 6000 days or more away
    QDate date;
    Status status = Status::Later;
    bool fromBaseLine = false;
};

struct List
{
    std::vector<Row> rows;
    bool usedBaseLine = false; // some row's last-performed text came from the base line
};

// Overdue once the day has begun, due soon up to daysAhead days ahead, later after that.
Status statusOf(const QDateTime& due, int daysAhead, const QDateTime& now);
// The same for a due date taken from the start of its day, worked out on calendar days.
Status statusOfDay(const QDate& due, int daysAhead, const QDateTime& now);
// "Overdue", "Due soon", "Later".
QString statusText(Status status);

// The list for one vehicle (0: all vehicles), with vehicle texts built from the selector's field slots.
// Throws CdbException.
List fill(Database& db, qint32 vehicleId, int daysAhead, const QList<int>& vehicleFields,
          Dates dates = Dates::Store);

} // namespace DueList
