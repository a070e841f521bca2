#pragma once

#include <QString>
#include <QtGlobal>

class Database;
class Prompter;
class Settings;

// A mistyped reading (one digit too many) would make every reminder overdue and every economy figure
// wrong, so a reading that implies far more use than the vehicle's estimate is confirmed before it is
// saved: more than three times the estimated use a month since the previous reading, and at least 1,000
// units more.
namespace ReadingPlausibility {

// The setting that turns the question off: "Messages", this key, 0 = do not ask.
inline constexpr const char* SettingKey = "r1";
constexpr qint32 LeastJump = 1000;

struct Reading
{
    QString date; // stored "YYYYMMDD"
    qint32 reading = 0;
};

// The question for a reading that implies implausible use since the previous one, or "" when it does not
// (also when the vehicle has no estimated use to compare with). Readings on the same day count as a day
// apart.
QString question(const Reading& previous, const Reading& proposed, qint32 perMonth, int measurement,
                 int hoursInd);

// Where the reading is typed: an entry of the gas log or the maintenance log (ownKey: the entry being
// edited, 0 for a new one), or the vehicle's own reading.
enum class Source { Maintenance, Gas, Vehicle };

// The question for a reading proposed for the vehicle, against the latest reading dated on or before it:
// its other gas and maintenance entries, and for the vehicle's own reading also its last actual one.
// Throws CdbException.
QString questionFor(Database& db, qint32 vehicleId, const Reading& proposed, Source source, qint32 ownKey);

// Asks the question when there is one and the setting allows (default No); true when the save may go on.
// Throws CdbException.
bool confirmed(Database& db, Prompter& prompter, const Settings& settings, qint32 vehicleId,
               const Reading& proposed, Source source, qint32 ownKey = 0);

} // namespace ReadingPlausibility
