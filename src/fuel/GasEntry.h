#pragma once

#include <QString>
#include <functional>
#include <optional>

class Database;

// The words the gas form shows for a vehicle's units.
struct GasUnits
{
    QString distanceWord;   // "Mileage", "Kilometers" or "Hours": the reading's label and list heading
    QString distanceLabel;  // "Mileage Driven", "Kilometers Driven", "Elapsed Hours"
    QString fuelWord;       // "Gallon" or "Liter"
    QString costLabel;      // "Cost Per Gallon"
    QString readingWord;    // "Odometer Reading" or "Hour Meter Reading"
    QString economyHeading; // "MPG", "KPL", "HPG", "HPL"

    static GasUnits of(int measurement, int hoursInd);
};

// One GasLog row as the gas form edits it.
struct GasRecord
{
    qint32 reading = 0;
    QString date; // stored "YYYYMMDD"
    double amount = 0.0;
    double costPerUnit = 0.0;
    double total = 0.0;
    qint32 stationId = 0;
    QString description;
    bool full = true;
    bool estimated = false;

    static std::optional<GasRecord> load(Database& db, qint32 gasLogId);
    // Writes the row (key 0: a new row with the next key) and returns its key. The caller holds the
    // transaction that also moves the vehicle's reading. Throws CdbException.
    qint32 save(Database& db, qint32 vehicleId, qint32 gasLogId) const;
    static void remove(Database& db, qint32 gasLogId);
};

// The gas form's fields as typed, for the checks made before a save.
struct GasEntryTexts
{
    QString date;
    QString reading;
    QString distance;
    QString amount;
    QString costPerUnit;
    QString total;
};

namespace GasChecks {

enum class Field { Date, Reading, Distance, Amount, CostPerUnit, Total };
struct Problem
{
    QString message;
    Field field;
};

// The first failed check in the order the user is told about them, ending with the chronology of the
// vehicle's gas and maintenance entries. Normalises texts.date when it is valid. previousReading is the
// highest reading while adding and the entry's own previous reading otherwise. Throws CdbException.
std::optional<Problem> firstProblem(Database& db, qint32 vehicleId, qint32 gasLogId, GasEntryTexts& texts,
                                    const GasUnits& units, qint32 previousReading, bool vehicleHasEntries);

// Amounts as the three-way calculation accepts them; others are left out of it.
bool validAmount(double value);
bool validCostPerUnit(double value);
bool validTotal(double value);

} // namespace GasChecks

// Amount of fuel, cost per unit and total price are three views of two values: the two most recently
// edited determine the third (while adding); for an entry on file, where all three are known, a single
// edited field needs the user to say which of the other two to work out.
class FuelCalculation
{
public:
    enum Field { None = 0, CostPerUnit = 1, Total = 2, Amount = 3 };
    struct Result
    {
        Field field = None;
        double value = 0.0;
    };

    void reset();
    // A change the user made to the field.
    void edited(Field field);
    Field lastEdited() const { return m_last; }

    // Works out the third value. text(field) gives a field's text; askOk(last) puts the question for an
    // entry on file and returns true for OK. Nothing when fewer than two values are known, or when the
    // result would need a division by zero.
    std::optional<Result> calculate(bool adding, const std::function<QString(Field)>& text,
                                    const std::function<bool(Field)>& askOk);

private:
    double& working(Field field);

    double m_amount = 0.0;
    double m_cost = 0.0;
    double m_total = 0.0;
    Field m_last = None;
    Field m_previous = None;
};
