#pragma once

#include <QDate>
#include <QDateTime>

// The one source of today's date and the present moment; tests fix it.
namespace Clock {

QDate today();
QDateTime now();
// Fixes the clock at a moment (an invalid value returns to the system clock).
void setNow(const QDateTime& moment);
void reset();

} // namespace Clock
