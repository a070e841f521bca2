#pragma once

#include <QString>

// Messages of the maintenance entries, job orders and the schedule monitor; numbered ones carry their number.
namespace MaintenanceMessages {

inline const QString TotalPriceOutOfRange =
    QStringLiteral("Total Price must be numeric and between 0 and 1,000,000.");
// %1 the reading label, %2 the date, %3 the reading of the other entry.
inline const QString MaintenanceConflict =
    QStringLiteral("Can not perform maintenance with given Date and %1 because of another maintenance entry "
                   "recorded on %2 at %3 %1.");
// %1 the date, %2 the reading of the gas entry.
inline const QString GasConflict = QStringLiteral("Can not perform maintenance with given date and mileage "
                                                  "because of a gas entry recorded on %1 at %2 miles.");
// %1 the reading label, %2 the reading name.
inline const QString ReadingMoved =
    QStringLiteral("The %1 entered for this maintenance is more current than the vehicle's current %2.  "
                   "Updating the vehicle's current %2.");
inline const QString DeleteMaintenanceQuestion =
    QStringLiteral("Do you want to delete the selected maintenance entry?");
inline const QString NewJobOrderQuestion = QStringLiteral(
    "Not all services from job order were performed. Would you like to create a new job order?");
// %1 the new JCN.
inline const QString NewJobOrderCreated =
    QStringLiteral("A new job order has been created with JCN = %1.  Please update this Job Order with "
                   "desired information.");

// 61489
inline const QString DeleteJobOrderQuestion = QStringLiteral("Do you want to delete the selected job order?");
// 61539
inline const QString CompletedJobOrderEdit = QStringLiteral(
    "Can't edit a Job Order that has been completed.  Please remove the related Maintenance record first.");
// 61540
inline const QString JobOrderAlreadyPerformed =
    QStringLiteral("This Job Order already has a maintenance entry tied to it.");
// 61541
inline const QString JobOrderTiedQuestion = QStringLiteral(
    "This job order is tied to a Maintenance Record.  The relationship will be lost if this Job "
    "Order is deleted.  Continue?");
// 61542
inline const QString DuplicateJcnQuestion =
    QStringLiteral("Using this JCN will cause a duplicate.  Do you want to use this JCN anyway?");
inline const QString JobOrderPrintNote =
    QStringLiteral("The Job Order report is currently configured to only print the Job Order currently "
                   "selected.  If you wish "
                   "other Job Orders to be printed, press the Select Job Orders button.");

inline const QString MultipleServicesAllVehicles =
    QStringLiteral("You can not select multiple services when displaying all vehicles.");
inline const QString TooManyServices =
    QStringLiteral("You can only have a maximum of ten services selected to perform this operation.");

} // namespace MaintenanceMessages
