#pragma once

class Database;

// The sample fleet's schedules: entries on every vehicle (some overdue, some due soon, some later), an
// oil change performed on two vehicles that moves their base, and one template.
namespace ScheduleDemo {

// Adds the rows to the vehicles already on file and estimates them. Throws CdbException.
void fill(Database& db);

} // namespace ScheduleDemo
