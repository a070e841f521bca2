#pragma once

#include <QDate>
#include <QString>

// The date range of a report: the presets of the report form and the checks made before printing.
namespace ReportDates {

enum Preset : int { AllDates = 0, ThisMonth = 1, ThisQuarter = 2, ThisYear = 3 };

struct Range
{
    QString begin; // shown dates, "MM/DD/YYYY" or empty
    QString end;
};

Range preset(Preset which, const QDate& today);

struct Check
{
    enum Field { None, Begin, End };
    bool ok = true;
    QString message;   // the message to show when not ok
    Field field = None; // the field the focus goes to
    Range normalised;   // the dates as they are written back
};

// First failure wins: an unreadable begin date, an unreadable end date, only one of the two, begin after end.
Check validate(const Range& typed);

} // namespace ReportDates
