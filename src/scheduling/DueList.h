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

enum class Status : quint8 { Overdue, DueSoon, Later };
enum class Dates { Store, ReadOnly };

// A row keeps numbers only; its texts are made when asked for (a fleet lists hundreds of thousands of
// rows, and a view shows a screenful). Texts that many rows share are kept once in the list.
struct Row
{
    qint32 scheduleId = 0;
    qint32 vehicleId = 0;
    qint32 serviceId = 0;
    qint32 everyMiles = 0;
    qint32 everyMonth = 0;
    qint32 everyDay = 0;
    qint32 baseReading = 0;
    qint32 vehicleText = 0; // indexes into List's shared texts
    qint32 serviceText = 0;
    qint32 baseDateText = 0; // the base date as MM/DD/YYYY
    QDate date;
    qint32 storedDate =
        -1;           // the stored date read before the fill, as YYYYMMDD: it orders rows due the same day
    qint8 beyond = 0; // 1: 6000 days or more ahead, -1: as far behind
    quint8 unit = 0;  // 0 miles, 1 kilometres, 2 hours
    Status status = Status::Later;
    bool fromBaseLine = false;
};

struct List
{
    std::vector<Row> rows;
    std::vector<QString> texts;
    bool usedBaseLine = false; // some row's last-performed text came from the base line

    QString vehicle(const Row& row) const { return texts[size_t(row.vehicleText)]; }
    QString service(const Row& row) const { return texts[size_t(row.serviceText)]; }
    // "mi", "km" or "hr".
    QString unit(const Row& row) const;
    // "3000, 6(M)".
    QString performEvery(const Row& row) const;
    // "06/01/2023, 1200", or "*..." from the base line.
    QString lastPerformed(const Row& row) const;
    // "MM/DD/YYYY", with ">" or "<" 6000 days or more away.
    QString estimate(const Row& row) const;
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
