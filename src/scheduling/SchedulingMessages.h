#pragma once

#include "db/MessageTable.h"

// The message texts of the services catalogue, the schedule form and the schedule templates.
namespace SchedulingMessages {
#include "scheduling/SchedulingMessages.def"
} // namespace SchedulingMessages
