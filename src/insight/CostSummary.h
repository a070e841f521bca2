#pragma once

#include <QDate>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <array>
#include <optional>

class Database;

// What each vehicle cost over a period, per unit of its reading: fuel (the gas log's totals and amounts)
// and maintenance (the entries' total prices), against the distance between its lowest and highest
// reading among those entries. Vehicles come in the vehicle list's order, then one total per unit.
namespace CostSummary {

// The reading units, in the order their totals come.
enum class Unit { Miles, Kilometers, Hours };
constexpr int UnitCount = 3;
Unit unitOf(int measurement, int hoursInd);
// "mi", "km", "hr".
QString unitAbbreviation(Unit unit);

struct Request
{
    qint32 vehicleId = 0; // 0: every vehicle
    QDate from;           // both invalid: every entry; both valid: entries dated from..to, ends included
    QDate to;
};

struct Row
{
    qint32 vehicleId = 0; // 0 on a total row
    QString vehicle;      // the vehicle's text, "Total" on a total row
    Unit unit = Unit::Miles;
    qint64 distance = 0;
    double fuelCost = 0;
    double fuelAmount = 0;
    double maintenanceCost = 0;

    bool isTotal() const { return vehicleId == 0; }
    double totalCost() const { return fuelCost + maintenanceCost; }
    // The total over the distance; none at no distance.
    std::optional<double> costPerUnit() const;
};

// Reads the rows as they are asked for: one query with one aggregate per table, so that a report lays the
// rows out while the engine reads them.
class Reader
{
public:
    // Throws CdbException.
    Reader(Database& db, const Request& request, const QList<int>& vehicleFields);
    // The next vehicle row, then the total rows of the units that had one; false after the last.
    bool next(Row& row);

private:
    QSqlQuery m_query;
    QList<int> m_vehicleFields;
    std::array<std::optional<Row>, UnitCount> m_totals;
    int m_nextTotal = -1; // -1 while vehicle rows remain
};

} // namespace CostSummary
