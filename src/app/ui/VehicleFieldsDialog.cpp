#include "app/ui/VehicleFieldsDialog.h"

bool runVehicleFieldsDialog(CVelApp&, QWidget*)
{
    return false;
}
