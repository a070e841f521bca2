#pragma once

#include <QList>
#include <QStringList>

class Database;
class QTextStream;

// Every log as CSV (RFC 4180: a header row, CRLF line ends, ISO dates, units named in the header, plain
// numbers), so that a user's records can always leave the program; and the gas log in the layout other
// fuel-log programs read, which the import reads back.
namespace LogExport {

enum class Log { Gas, Maintenance, JobOrders, Schedule, Vehicles };
enum class Layout { Csv, LubeLogger };

// Writes the log (vehicleId 0: every vehicle). Returns a refusal, or an empty text when written. Throws
// CdbException.
QString write(Database& db, QTextStream& out, Log log, Layout layout, qint32 vehicleId,
              const QList<int>& vehicleFields);

// `export DATAFILE --log NAME [--vehicle ID] [--format csv|lubelogger]`: 0 written, 1 refused, 2 bad arguments.
int runCommand(const QStringList& args, QTextStream& out, QTextStream& err, const QList<int>& vehicleFields);

// A field as RFC 4180 wants it: quoted when it holds a separator, a quote or a line break.
QString csvField(const QString& text);

} // namespace LogExport
