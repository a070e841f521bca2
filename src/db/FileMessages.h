#pragma once

#include "db/MessageTable.h"

// Messages of the whole-file operations: what went wrong with a file, and what was done about the leftovers
// of an operation that was cut short. %1 is a path unless said otherwise.
namespace FileMessages {
#include "db/FileMessages.def"
} // namespace FileMessages
