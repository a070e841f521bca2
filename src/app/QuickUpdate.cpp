#include "app/QuickUpdate.h"

#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Values.h"
#include "db/sets/VehicleSet.h"
#include "fleet/ReadingPlausibility.h"

namespace QuickUpdate {

namespace {

void openVehicle(CVehicleSet& set, qint32 vehicleId)
{
    set.m_strFilter = QStringLiteral("VehicleID = %1").arg(vehicleId);
    set.open();
}

} // namespace

std::optional<Vehicle> find(Database& db, qint32 vehicleId)
{
    CVehicleSet set(db);
    openVehicle(set, vehicleId);
    if (set.isEOF())
        return std::nullopt;
    return Vehicle{set.m_VehicleID, set.m_EntryOfActualMiles, set.m_PurchaseMileage, set.m_Measurement,
                   set.m_HoursInd};
}

QString refusal(const QString& typed, const Vehicle& vehicle)
{
    const qint32 reading = Values::parseWholeNumber(typed);
    if (reading >= Values::ParseError)
        return Values::fieldMessage(Messages::ReadingOutOfRange, QStringLiteral("This"));
    if (reading < vehicle.purchaseReading)
        return QString(Messages::ReadingBelowPurchase)
            .replace(QStringLiteral("%1"), Values::readingLabel(vehicle.measurement, vehicle.hoursInd))
            .replace(QStringLiteral("%2"), Values::readingName(vehicle.measurement, vehicle.hoursInd));
    return QString();
}

bool confirmed(Database& db, Prompter& prompter, const Settings& settings, qint32 vehicleId,
               const QString& typed)
{
    const qint32 reading = Values::parseWholeNumber(typed);
    if (reading >= Values::ParseError)
        return true;
    return ReadingPlausibility::confirmed(db, prompter, settings, vehicleId, {Values::todayStored(), reading},
                                          ReadingPlausibility::Source::Vehicle);
}

Outcome save(Database& db, qint32 vehicleId, const QString& typed)
{
    try {
        CVehicleSet set(db);
        openVehicle(set, vehicleId);
        if (set.isEOF())
            return {Outcome::VehicleMissing, QString()};
        const Vehicle vehicle{set.m_VehicleID, set.m_EntryOfActualMiles, set.m_PurchaseMileage,
                              set.m_Measurement, set.m_HoursInd};
        const QString why = refusal(typed, vehicle);
        if (!why.isEmpty())
            return {Outcome::Refused, why};
        // The reading is today's, so there is nothing to bring forward.
        set.edit();
        set.m_EntryOfActualMiles = Values::parseWholeNumber(typed);
        set.m_DateOfActualMiles = Values::todayStored();
        set.m_DateOfEstimatedMiles = set.m_DateOfActualMiles;
        set.update();
        return {Outcome::Stored, QString()};
    } catch (const CdbException& error) {
        return {Outcome::Failed, error.description()};
    }
}

} // namespace QuickUpdate
