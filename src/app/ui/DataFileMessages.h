#pragma once

#include "db/MessageTable.h"

// Texts of the data file commands and the welcome dialog that have no number of their own.
namespace DataFileMessages {
#include "app/ui/DataFileMessages.def"
} // namespace DataFileMessages
