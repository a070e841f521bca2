#include "reports/ReportDates.h"

#include "db/Values.h"
#include "reports/ReportMessages.h"

namespace ReportDates {

namespace {

QString shown(int month, int day, int year)
{
    return QString::asprintf("%02d/%02d/%04d", month, day, year);
}

// A date of the range must read as a date of the years 1800 to 2200.
QString readDate(const QString& typed)
{
    const QString date = Values::normaliseDate(typed);
    if (date.isEmpty())
        return date;
    const int year = date.mid(6).toInt();
    return year >= 1800 && year <= 2200 ? date : QString();
}

} // namespace

Range preset(Preset which, const QDate& today)
{
    const int year = today.year();
    const int month = today.month();
    switch (which) {
    case ThisMonth:
        return {shown(month, 1, year), shown(month, QDate(year, month, 1).daysInMonth(), year)};
    case ThisQuarter: {
        const int first = (month - 1) / 3 * 3 + 1;
        return {shown(first, 1, year), shown(first + 2, QDate(year, first + 2, 1).daysInMonth(), year)};
    }
    case ThisYear:
        return {shown(1, 1, year), shown(12, 31, year)};
    case AllDates:
        break;
    }
    return {};
}

Check validate(const Range& typed)
{
    Check check;
    check.normalised = typed;
    const auto refuse = [&check](const QString& message, Check::Field field) {
        check.ok = false;
        check.message = message;
        check.field = field;
        return check;
    };
    const QString begin = typed.begin.trimmed();
    const QString end = typed.end.trimmed();
    if (!begin.isEmpty()) {
        check.normalised.begin = readDate(begin);
        if (check.normalised.begin.isEmpty()) {
            check.normalised.begin = typed.begin;
            return refuse(ReportMessages::InvalidDate, Check::Begin);
        }
    } else {
        check.normalised.begin.clear();
    }
    if (!end.isEmpty()) {
        check.normalised.end = readDate(end);
        if (check.normalised.end.isEmpty()) {
            check.normalised.end = typed.end;
            return refuse(ReportMessages::InvalidDate, Check::End);
        }
    } else {
        check.normalised.end.clear();
    }
    if (begin.isEmpty() != end.isEmpty())
        return refuse(ReportMessages::BothDates, begin.isEmpty() ? Check::Begin : Check::End);
    if (!begin.isEmpty() && Values::compareDates(check.normalised.begin, check.normalised.end) > 0)
        return refuse(ReportMessages::StartAfterEnd, Check::Begin);
    return check;
}

} // namespace ReportDates
