#pragma once

#include "db/MessageTable.h"

// Messages of the maintenance entries, job orders and the schedule monitor; numbered ones carry their number.
namespace MaintenanceMessages {
#include "maintenance/MaintenanceMessages.def"
} // namespace MaintenanceMessages
