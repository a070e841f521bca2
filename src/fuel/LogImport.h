#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;
class QTextStream;

// Fill-ups from other fuel-log programs' CSV files, read into one vehicle's gas entries. The file's own
// units, date order and number forms are worked out from the file itself, never from this machine's
// locale, and anything that stays uncertain is refused with a reason rather than guessed.
namespace LogImport {

enum class Format { Auto, Fuelly, LubeLogger, Fuelio };
enum class DateOrder { Unknown, MonthFirst, DayFirst };

struct Options
{
    qint32 vehicleId = 0;
    QString car;
    Format format = Format::Auto;
    DateOrder dateOrder = DateOrder::Unknown;
    bool dryRun = false;
    bool skipConflicts = false;
};

// One fill-up as it will be stored, in the vehicle's units.
struct Row
{
    int line = 0;       // of the record's start in the file
    QString date;       // stored "YYYYMMDD"
    qint32 reading = 0;
    double amount = 0.0;
    double costPerUnit = 0.0;
    double total = 0.0;
    bool partial = false;
    bool missed = false;
    QString notes;
    enum class Fate { Import, Duplicate, Conflict } fate = Fate::Import;
    QString conflictWith; // the entry a conflicting row contradicts, in words
};

struct Result
{
    QString error; // a refusal; empty when the import can go ahead (or went ahead)
    QString formatName;
    QString car;
    QStringList cars;  // every car a file of several names, in file order
    QString unitsText; // what the file's units are and how they were converted
    QString datesText; // how the dates were read
    std::vector<Row> rows; // in the file's order
    int imported = 0;
    int partial = 0;
    int missed = 0;
    int duplicates = 0;
    int conflicts = 0;

    // "Imported N fill-ups (P partial, M missed); skipped D duplicates, C conflicts", or "Would import …".
    QString summaryLine(bool dryRun) const;
};

// Reads the file and works out what the import would do, without writing. Throws CdbException on an
// engine failure.
Result prepare(Database& db, const QByteArray& content, const Options& options);

// Prepares and, unless options.dryRun or a refusal, writes the rows in one transaction and moves the
// vehicle's reading forward to the newest imported one when it is more recent. Throws CdbException.
Result run(Database& db, const QByteArray& content, const Options& options);

// The command `import-log DATAFILE FILE --vehicle ID [...]`: 0 done, 1 refused, 2 bad arguments.
int runCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// Conversion factors between the units files use and the vehicle's.
constexpr double KilometresPerMile = 1.609344;
constexpr double LitresPerUsGallon = 3.785411784;
constexpr double LitresPerUkGallon = 4.54609;

} // namespace LogImport
