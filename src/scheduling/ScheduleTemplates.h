#pragma once

#include "db/ListEntry.h"

#include <QList>

class Database;

// Named copies of a vehicle's schedule (services, intervals, description, station and frequency, without
// the base line) that schedule the same services on another vehicle in one step. Every function throws
// CdbException.
namespace ScheduleTemplates {

constexpr int NameLength = 50;

// Every template by name.
QList<ListEntry> names(Database& db);
// Another template than exceptId already has the name (compared without regard to case).
bool nameInUse(Database& db, const QString& name, qint32 exceptId = 0);
// A new template with the vehicle's schedule, all or nothing. Returns its key.
qint32 create(Database& db, const QString& name, qint32 vehicleId);
void rename(Database& db, qint32 templateId, const QString& name);
// Removes the template with its rows, all or nothing; schedule entries made from it stay.
void remove(Database& db, qint32 templateId);
// Schedules the template's services the vehicle does not schedule yet, from a base line of today at
// reading 0, and estimates them. Entries already there are left as they are. Returns how many were added.
int apply(Database& db, qint32 templateId, qint32 vehicleId);

} // namespace ScheduleTemplates
