#pragma once

#include "db/MessageTable.h"

// The program's message texts, once each; numbered ones carry their number.
namespace Messages {
#include "db/Messages.def"
} // namespace Messages
