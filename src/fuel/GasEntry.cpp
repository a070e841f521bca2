#include "fuel/GasEntry.h"

#include "db/Clock.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/GasLogSet.h"
#include "fleet/Chronology.h"
#include "fuel/FuelMessages.h"

GasUnits GasUnits::of(int measurement, int hoursInd)
{
    GasUnits units;
    units.distanceWord = hoursInd != 0      ? QStringLiteral("Hours")
                         : measurement != 0 ? QStringLiteral("Kilometers")
                                            : QStringLiteral("Mileage");
    units.distanceLabel =
        hoursInd != 0 ? QStringLiteral("Elapsed Hours") : units.distanceWord + QStringLiteral(" Driven");
    units.fuelWord = Values::fuelUnit(measurement);
    units.costLabel = QStringLiteral("Cost Per ") + units.fuelWord;
    units.readingWord = Values::readingLabel(measurement, hoursInd);
    units.economyHeading = Values::economyHeading(measurement, hoursInd);
    return units;
}

std::optional<GasRecord> GasRecord::load(Database& db, qint32 gasLogId)
{
    CGasLogSet set(db);
    set.m_strFilter = QStringLiteral("GasLogID = %1").arg(gasLogId);
    set.open();
    if (set.isEOF())
        return std::nullopt;
    GasRecord record;
    record.reading = set.m_Mileage;
    record.date = set.m_Date;
    record.amount = set.m_Gallons;
    record.costPerUnit = set.m_CostGallon;
    record.total = set.m_TotalCost;
    record.stationId = set.m_StationID;
    record.description = set.m_BriefDesc;
    record.full = set.m_Fillup == 0;
    record.estimated = set.m_Estimated != 0;
    return record;
}

qint32 GasRecord::save(Database& db, qint32 vehicleId, qint32 gasLogId) const
{
    CGasLogSet set(db);
    set.m_strFilter = QStringLiteral("GasLogID = %1").arg(gasLogId);
    set.open();
    qint32 key = gasLogId;
    if (gasLogId <= 0 || set.isEOF()) {
        key = set.nextIdentifier();
        set.addNew();
        set.m_GasLogID = key;
    } else {
        set.edit();
    }
    set.m_Mileage = reading;
    set.m_BriefDesc = description;
    set.m_Fillup = full ? 0 : 1;
    set.m_Estimated = estimated ? 1 : 0;
    set.m_CostGallon = costPerUnit;
    set.m_Gallons = amount;
    set.m_Date = date;
    set.m_TotalCost = total;
    set.m_StationID = stationId;
    set.m_VehicleID = vehicleId;
    set.update();
    return key;
}

void GasRecord::remove(Database& db, qint32 gasLogId)
{
    CGasLogSet set(db);
    set.m_strFilter = QStringLiteral("GasLogID = %1").arg(gasLogId);
    set.open();
    if (!set.isEOF())
        set.deleteRow();
}

namespace GasChecks {

bool validAmount(double value)
{
    return value > 0.0 && value < 100000.0;
}

bool validCostPerUnit(double value)
{
    return value >= 0.0 && value < 1000.0;
}

bool validTotal(double value)
{
    return value >= 0.0 && value < 1000000.0;
}

namespace {

bool wholeNumberIn(qint32 value, qint32 lowest, qint32 highest)
{
    return value >= lowest && value <= highest;
}

} // namespace

std::optional<Problem> firstProblem(Database& db, qint32 vehicleId, qint32 gasLogId, GasEntryTexts& texts,
                                    const GasUnits& units, qint32 previousReading, bool vehicleHasEntries)
{
    const QString date = Values::normaliseDate(texts.date);
    if (date.isEmpty())
        return Problem{Messages::DateInvalid, Field::Date};
    texts.date = date;
    const QString storedDate = Values::toStoredDate(date);
    if (storedDate > Values::todayStored())
        return Problem{Messages::FutureDate, Field::Date};

    const qint32 reading = Values::parseWholeNumber(texts.reading);
    if (!wholeNumberIn(reading, 1, 999999))
        return Problem{Values::fieldMessage(Messages::ReadingOutOfRange, units.distanceWord), Field::Reading};

    if (previousReading > 0 && previousReading <= reading && vehicleHasEntries &&
        !wholeNumberIn(Values::parseWholeNumber(texts.distance), 1, 99999))
        return Problem{Values::fieldMessage(FuelMessages::DistanceOutOfRange, units.distanceLabel),
                       Field::Distance};

    if (!validAmount(Values::parseAmount(texts.amount)))
        return Problem{FuelMessages::AmountOutOfRange, Field::Amount};
    if (!validCostPerUnit(Values::parseAmount(texts.costPerUnit)))
        return Problem{Values::fieldMessage(FuelMessages::CostPerUnitOutOfRange, units.costLabel),
                       Field::CostPerUnit};
    if (!validTotal(Values::parseAmount(texts.total)))
        return Problem{FuelMessages::TotalPriceOutOfRange, Field::Total};

    const std::optional<Chronology::Conflict> conflict =
        Chronology::findConflict(db, vehicleId, storedDate, reading, Chronology::EntryKind::Gas, gasLogId);
    if (!conflict)
        return std::nullopt;
    const bool gas = conflict->kind == Chronology::EntryKind::Gas;
    const QString message = gas ? FuelMessages::GasEntryConflict : FuelMessages::MaintenanceEntryConflict;
    return Problem{
        message.arg(units.distanceWord, Values::toShownDate(conflict->date),
                    gas ? Values::withThousands(conflict->reading) : QString::number(conflict->reading)),
        Field::Date};
}

} // namespace GasChecks

void FuelCalculation::reset()
{
    *this = FuelCalculation();
}

void FuelCalculation::edited(Field field)
{
    if (field == m_last)
        return;
    m_previous = m_last;
    m_last = field;
}

double& FuelCalculation::working(Field field)
{
    return field == Amount ? m_amount : field == CostPerUnit ? m_cost : m_total;
}

std::optional<FuelCalculation::Result> FuelCalculation::calculate(bool adding,
                                                                  const std::function<QString(Field)>& text,
                                                                  const std::function<bool(Field)>& askOk)
{
    if (m_last == None)
        return std::nullopt;
    bool known[4] = {false, false, false, false};
    for (Field field : {CostPerUnit, Total, Amount}) {
        known[field] = !adding || field == m_last || field == m_previous;
        // While adding, the previous field is read again too: its value may never have been taken (the
        // focus went from it into the station box, which does not calculate).
        if (!known[field])
            continue;
        const double value = Values::parseAmount(text(field));
        const bool valid = field == Amount        ? GasChecks::validAmount(value)
                           : field == CostPerUnit ? GasChecks::validCostPerUnit(value)
                                                  : GasChecks::validTotal(value);
        if (valid)
            working(field) = value;
    }
    if (!adding && m_previous == None) {
        const bool ok = askOk(m_last);
        Field recomputed = None;
        if (m_last == Amount)
            recomputed = ok ? CostPerUnit : Total;
        else if (m_last == CostPerUnit)
            recomputed = ok ? Amount : Total;
        else
            recomputed = ok ? Amount : CostPerUnit;
        known[recomputed] = false;
    }
    if (known[Amount] && known[CostPerUnit])
        return Result{Total, m_amount * m_cost};
    // No division by zero: a cost or an amount of 0 gives nothing to work out from.
    if (known[Total] && known[CostPerUnit])
        return m_cost > 0.0 ? std::optional<Result>(Result{Amount, m_total / m_cost}) : std::nullopt;
    if (known[Total] && known[Amount])
        return m_amount > 0.0 ? std::optional<Result>(Result{CostPerUnit, m_total / m_amount}) : std::nullopt;
    return std::nullopt;
}
