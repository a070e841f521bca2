#pragma once

#include <QString>

// The message texts of the services catalogue, the schedule form and the schedule templates.
namespace SchedulingMessages {

inline const QString TenServicesAtMost =
    QStringLiteral("Can only have ten services selected per maintenance entry.");
inline const QString ResetSelectedServicesQuestion =
    QStringLiteral("Changing the service list will reset the selected services.  Do you want to continue?");
inline const QString DeleteServiceQuestion = QStringLiteral("Do you want to delete the selected service?");
inline const QString ServiceInUse =
    QStringLiteral("Unable to delete the current service because it is currently being "
                   "used by either a Schedule Entry or a Maintenance.");
inline const QString AddingNewService = QStringLiteral("Adding new Service.");

// The schedule form; %1 is the label of the interval or base line field ("Perform Every - Miles").
inline const QString IntervalRange = QStringLiteral("%1 must be numeric and between 0 and 500,000.");
inline const QString MonthsRange =
    QStringLiteral("Perform Every - Months must be numeric and between 0 and 240.");
inline const QString DaysRange =
    QStringLiteral("Perform Every - Days must be numeric and between 0 and 7300.");
inline const QString AllZeroDeleteQuestion = QStringLiteral(
    "You entered zero for %1, Perform Every - Months, and Perform Every - Days, are you wanting to "
    "delete this schedule?");
inline const QString IntervalNeeded =
    QStringLiteral("You must enter either %1 or Perform Every - Months or Days");
inline const QString MonthsOrDays =
    QStringLiteral("You can not specify both the Perform Every - Months and Perform Every - Days.");
inline const QString BaseLineRange = QStringLiteral("%1 must be numeric and between 0 and 1,000,000.");
inline const QString DeleteScheduleQuestion =
    QStringLiteral("Do you want to delete the selected schedule entry?");
inline const QString BaseLineNote = QStringLiteral("* Figured from Base Line information.");

// Schedule templates.
inline const QString TemplateNameNeeded = QStringLiteral("You must fill in the Template Name.");
inline const QString TemplateNameUsed =
    QStringLiteral("The schedule template name is already being used.  Please enter a unique template name.");
inline const QString DeleteTemplateQuestion = QStringLiteral("Do you want to delete this schedule template?");

} // namespace SchedulingMessages
