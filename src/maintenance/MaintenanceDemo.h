#pragma once

class Database;

// The sample fleet's maintenance history: past services of the delivery vans and the daily car, a job
// order done and turned into a maintenance entry (one ordered service left undone), and a job order still
// open at the fleet's service station.
namespace MaintenanceDemo {

// Adds the rows to a database holding the sample fleet; the caller holds the transaction.
void fill(Database& db);

} // namespace MaintenanceDemo
