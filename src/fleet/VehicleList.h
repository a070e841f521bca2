#pragma once

#include <QList>
#include <QString>
#include <vector>

class Database;

// The text every vehicle selector shows for a vehicle, built from the chosen display fields.
namespace VehicleList {

enum DisplayField : int {
    Year = 0,
    Make = 1,
    Model = 2,
    Vin = 3,
    License = 4,
    Number = 5,
    CompanyName = 6,
    LocationId = 7,
    ContactLastName = 8,
    ContactFirstName = 9,
};

// The names of the display fields, by field number ("Vehicle Year", ...).
const QStringList& fieldNames();

// One vehicle's display values, indexed by DisplayField.
struct Entry
{
    qint32 vehicleId = 0;
    QString values[10];
};

// Joins the values named by the ten slots (-1 = empty slot): a single blank between two of year, make and
// model and between first and last contact name, ", " otherwise; empty values are skipped with their
// separator, trailing blanks dropped.
QString itemText(const QList<int>& fieldSlots, const Entry& entry);

// Every vehicle with an owner (or only the given owner's), in file order, read in one query.
std::vector<Entry> entries(Database& db, qint32 ownerId = 0);

struct Item
{
    qint32 vehicleId;
    QString text;
};
std::vector<Item> items(Database& db, const QList<int>& fieldSlots, qint32 ownerId = 0);

} // namespace VehicleList
