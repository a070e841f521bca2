#include "app/FormSwitch.h"

#include "context/Enums.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "db/Prompter.h"

#include <QVariant>

namespace FormSwitch {

namespace {

bool isVehicleBased(int formNumber)
{
    switch (formNumber) {
    case InsuranceForm:
    case LoanForm:
    case ScheduleForm:
    case MaintenanceForm:
    case GasForm:
    case PictureHomeForm:
    case ScheduleMonitorForm:
    case CompanyForm:
    case ReportForm:
    case JobOrderForm:
        return true;
    default:
        return false;
    }
}

bool tableIsEmpty(Database& db, const QString& table)
{
    // EXISTS stops at the first row, so the question costs the same with a large fleet.
    return db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(table)).toInt() == 0;
}

} // namespace

bool needsOwner(int formNumber)
{
    return formNumber == VehicleForm || isVehicleBased(formNumber);
}

bool needsVehicle(int formNumber)
{
    return isVehicleBased(formNumber);
}

int resolvePrerequisites(int formNumber, Database& db, Prompter& prompter)
{
    if (needsOwner(formNumber) && tableIsEmpty(db, QStringLiteral("Owners")))
        formNumber = prompter.yesNo(Messages::OwnerRequired) ? int(OwnerForm) : int(NoForm);
    if (needsVehicle(formNumber) && tableIsEmpty(db, QStringLiteral("Vehicles")))
        formNumber = prompter.yesNo(Messages::VehicleRequired) ? int(VehicleForm) : int(NoForm);
    return formNumber;
}

} // namespace FormSwitch
