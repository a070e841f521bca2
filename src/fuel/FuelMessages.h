#pragma once

#include "db/MessageTable.h"

// Message texts of the gas form.
namespace FuelMessages {
#include "fuel/FuelMessages.def"
} // namespace FuelMessages
