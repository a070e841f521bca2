#pragma once

#include "db/MessageTable.h"

// Messages of the report form and the report command, with their numbers.
namespace ReportMessages {
#include "reports/ReportMessages.def"
} // namespace ReportMessages
