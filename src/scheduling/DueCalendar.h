#pragma once

#include "scheduling/DueList.h"

#include <QDateTime>
#include <QString>

// The due list as an iCalendar file (RFC 5545): one all-day event per service with a due date, with a UID
// that stays the same for a schedule entry, so that a calendar updates the event when the date moves
// rather than adding another.
namespace DueCalendar {

QString toICalendar(const DueList::List& list, const QDateTime& stamp);

} // namespace DueCalendar
