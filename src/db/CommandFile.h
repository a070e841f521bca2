#pragma once

#include <QString>
#include <functional>

class Database;
class QTextStream;

// The data file of a command-line tool: opened after the checks every file chosen by the user gets, with
// the vehicle the command asks for (0: none) checked to be in it, then handed to the work. Failures are
// written to err as "velmora-cli: ...". Returns 0, or 1 when the file or the vehicle can not be used or
// the engine failed during the work.
int runOnDataFile(const QString& path, qint32 vehicleId, QTextStream& err,
                  const std::function<void(Database&)>& work);
