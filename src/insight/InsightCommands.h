#pragma once

#include <QList>
#include <QStringList>

class QTextStream;

// velmora-cli costs and forecast. Each returns 0, 1 for a file it cannot use (or a vehicle not in it), 2
// for bad arguments. vehicleFields are the user's vehicle list fields.
int runCostsCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                    const QList<int>& vehicleFields);
int runForecastCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                       const QList<int>& vehicleFields);

inline constexpr const char* InsightUsageLines =
    "  velmora-cli costs DATAFILE [--vehicle ID] [--from MM/DD/YYYY --to MM/DD/YYYY] [--csv]\n"
    "                                               what each vehicle cost per unit of distance\n"
    "  velmora-cli forecast DATAFILE --months N [--vehicle ID] [--csv]\n"
    "                                               the scheduled services due and their expected prices\n";
