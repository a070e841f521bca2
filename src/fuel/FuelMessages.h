#pragma once

#include <QString>

// Message texts of the gas form.
namespace FuelMessages {

inline const QString DeleteGasEntryQuestion = QStringLiteral("Do you want to delete the selected gas entry?");
// 61470
inline const QString TotalPriceOutOfRange =
    QStringLiteral("Total Price must be numeric and between 0 and 1,000,000.");
// 61525; %1 is the cost label ("Cost Per Gallon")
inline const QString CostPerUnitOutOfRange =
    QStringLiteral("%1 must be numeric and between $0 and $1,000.00");
// 61526
inline const QString AmountOutOfRange =
    QStringLiteral("Amount of Fuel must be numeric and between .001 and 100,000");
// 61528; %1 is the distance label ("Mileage Driven")
inline const QString DistanceOutOfRange = QStringLiteral("%1 must be numeric and between 1 and 100,000");

// %1 the reading label ("Mileage"), %2 the entry's date, %3 its reading.
inline const QString GasEntryConflict = QStringLiteral(
    "Can not enter gas with given Date and %1 because of another gas entry recorded on %2 at %3 %1.");
inline const QString MaintenanceEntryConflict = QStringLiteral(
    "Can not enter gas with given Date and %1 because of a maintenance entry recorded on %2 at %3 %1.");

// %1 the reading label ("Mileage"), %2 the reading word ("Odometer Reading").
inline const QString ReadingMovedNote =
    QStringLiteral("The %1 entered for this Gas Entry is more current than the vehicle's current %2.  "
                   "Updating the vehicle's current %2.");

// Which value to work out when only one of amount, cost per unit and total was changed; %1 the cost label.
inline const QString CalculateAfterAmountQuestion = QStringLiteral(
    "In order to calculate correctly, I need more information.  If you wish to calculate the %1, press OK.  "
    "Otherwise, if you wish to calculate the Total Cost, press Cancel");
inline const QString CalculateAfterCostQuestion = QStringLiteral(
    "In order to calculate correctly, I need more information.  If you wish to calculate the Amount of Fuel, "
    "press OK.  Otherwise, if you wish to calculate the Total Cost, press Cancel");
inline const QString CalculateAfterTotalQuestion = QStringLiteral(
    "In order to calculate correctly, I need more information.  If you wish to calculate the Amount of Fuel, "
    "press OK.  Otherwise, if you wish to calculate the %1, press Cancel");

} // namespace FuelMessages
