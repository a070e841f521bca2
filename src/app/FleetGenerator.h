#pragma once

#include <QStringList>

class Database;
class QTextStream;

// A made-up fleet of any size for measuring the program at scale: owners with several vehicles each in
// miles, kilometres or engine hours, their schedules, maintenance with performed services, job orders,
// fill-ups, loans and insurance, with readings that grow with the dates. The same seed gives the same rows
// (dates are counted back from today).
namespace FleetGenerator {

struct Counts
{
    int owners = 0;
    int vehicles = 0;
    int companies = 0;
    int schedules = 0;
    int maintenance = 0;
    int performedServices = 0;
    int jobOrders = 0;
    int fillUps = 0;
    int loans = 0;
    int insurance = 0;
};

// Adds the fleet to a database of the current version (with its default services), in one transaction.
Counts fill(Database& db, int vehicles, quint32 seed);

// velmora-cli generate-fleet PATH --vehicles N [--seed S]: a new data file holding a generated fleet.
int runCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace FleetGenerator
