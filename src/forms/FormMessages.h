#pragma once

#include "db/MessageTable.h"

// Texts of the shared form machinery that have no number of their own.
namespace FormMessages {
#include "forms/FormMessages.def"
} // namespace FormMessages
