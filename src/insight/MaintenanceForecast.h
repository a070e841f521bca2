#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

class Database;

// What scheduled maintenance will fall due over the coming months and what it is likely to cost. The first
// occurrence of an entry is its estimated due date (an overdue one counts once, today); each later one is
// estimated the same way from the one before, with the reading the vehicle's daily use gives it by then.
// An occurrence's price is the vehicle's last price for the service, else the fleet's average, else
// unknown.
namespace MaintenanceForecast {

enum class PriceSource { Last, FleetAverage, Unknown };
// "last", "fleet average", "unknown".
QString sourceText(PriceSource source);

struct Occurrence
{
    QDate date;
    qint32 vehicleId = 0;
    qint32 serviceId = 0;
    double price = 0; // 0 when unknown
    PriceSource source = PriceSource::Unknown;
};

struct Forecast
{
    QDate from; // today
    QDate to;   // the last day counted
    // By date, then vehicle in the vehicle list's order, then service by name.
    std::vector<Occurrence> occurrences;
    QHash<qint32, QString> vehicles; // texts of the vehicles listed
    QHash<qint32, QString> services; // ServiceDesc of the services listed
    double knownTotal = 0;
    int unknownCount = 0;
};

// Today plus that many calendar months; a day the last month lacks becomes its last day.
QDate endDate(const QDate& today, int months);

// The forecast for active vehicles (or only vehicleId's, when active) from now through the last day.
// Reads the schedule, the performed services and the prices in one query each; stores nothing. Throws
// CdbException.
Forecast forecast(Database& db, qint32 vehicleId, const QDate& lastDay, const QList<int>& vehicleFields,
                  const QDateTime& now);
inline Forecast forecast(Database& db, qint32 vehicleId, int months, const QList<int>& vehicleFields,
                         const QDateTime& now)
{
    return forecast(db, vehicleId, endDate(now.date(), months), vehicleFields, now);
}

} // namespace MaintenanceForecast
