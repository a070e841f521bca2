#pragma once

#include <QList>
#include <QStringList>

class QTextStream;

// velmora-cli due PATH [--vehicle ID] [--days N] [--csv]: the services due, soonest first, after storing
// the re-estimated dates. Returns 0, 1 for a file it cannot use, 2 for bad arguments. daysAhead and
// vehicleFields are the user's settings, used unless the arguments say otherwise.
int runDueCommand(const QStringList& args, QTextStream& out, QTextStream& err, int daysAhead,
                  const QList<int>& vehicleFields);

inline constexpr const char* DueUsageLine =
    "  velmora-cli due PATH [--vehicle ID] [--days N] [--csv | --ics]  list the scheduled services by due date\n";
