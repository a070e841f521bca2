#include "db/Values.h"

#include "db/Clock.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace Values {

namespace {

bool isAsciiDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

QString formatShown(int year, int month, int day)
{
    return QString::asprintf("%02d/%02d/%04d", month, day, year);
}

QString formatStored(const QDate& date)
{
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}

int daysInMonth(int year, int month)
{
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return QDate::isLeapYear(year) ? 29 : 28;
    default:
        return 31;
    }
}

struct ShownParts
{
    int year = 0;
    int month = 0;
    int day = 0;
    bool readable = false;
};

// Month from characters 1-2, day from 4-5, year from 7-10; a part that is not a number reads as 0.
ShownParts readShown(const QString& shown)
{
    ShownParts parts;
    bool monthOk = false;
    bool dayOk = false;
    bool yearOk = false;
    parts.month = shown.mid(0, 2).toInt(&monthOk);
    parts.day = shown.mid(3, 2).toInt(&dayOk);
    parts.year = shown.mid(6, 4).toInt(&yearOk);
    parts.readable = monthOk && dayOk && yearOk;
    return parts;
}

// Reads a shown date as a calendar day, carrying a day past the end of its month (February 29 of a
// year that is not a leap year, kept in old files) into the next month as the platform's calendar did.
QDate toCalendarDay(const ShownParts& parts)
{
    if (!parts.readable || parts.year < 1)
        return {};
    return QDate(parts.year, 1, 1).addMonths(parts.month - 1).addDays(parts.day - 1);
}

QString removeCharacters(QString text, const QString& characters)
{
    text.removeIf([&characters](QChar ch) { return characters.contains(ch); });
    return text;
}

// Digits and "." only; the value is the decimal number read from the start ("1.2.3" reads as 1.2).
double parseDecimal(const QString& rest)
{
    if (rest.isEmpty())
        return AmountParseError;
    for (QChar ch : rest) {
        if (!isAsciiDigit(ch) && ch != QLatin1Char('.'))
            return AmountParseError;
    }
    qsizetype end = 0;
    while (end < rest.size() && isAsciiDigit(rest[end]))
        ++end;
    if (end < rest.size() && rest[end] == QLatin1Char('.')) {
        ++end;
        while (end < rest.size() && isAsciiDigit(rest[end]))
            ++end;
    }
    bool ok = false;
    const double value = rest.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

QString normaliseDate(const QString& typed)
{
    // Large enough that a capped number still fails every range check below, small enough not to overflow.
    constexpr qint64 numberCap = 1000000000;
    qint64 numbers[4] = {};
    int taken = 0;
    qint64 current = 0;
    const qsizetype length = typed.size();
    for (qsizetype position = 0;; ++position) {
        if (position < length && isAsciiDigit(typed[position])) {
            current = std::min(current * 10 + typed[position].digitValue(), numberCap);
            continue;
        }
        numbers[taken++] = current;
        current = 0;
        if (taken == 4 || (position >= length && taken >= 3))
            break;
    }
    if (taken != 3)
        return {};
    const qint64 month = numbers[0];
    const qint64 day = numbers[1];
    const qint64 year = numbers[2];
    if (year < 1800 || year > 2200 || month < 1 || month > 12 || day < 1)
        return {};
    if (day > daysInMonth(int(year), int(month)))
        return {};
    return formatShown(int(year), int(month), int(day));
}

int compareDates(const QString& shownA, const QString& shownB)
{
    // By (year, month, day) rather than through a calendar, so that a February 29 of a year that is not a
    // leap year orders as its stored text does: after February 28, before March 1.
    const ShownParts a = readShown(shownA);
    const ShownParts b = readShown(shownB);
    const auto keyA = std::tie(a.year, a.month, a.day);
    const auto keyB = std::tie(b.year, b.month, b.day);
    if (keyA < keyB)
        return -1;
    if (keyB < keyA)
        return 1;
    return 0;
}

QString addDays(const QString& shown, int days)
{
    // Calendar days, not 86,400-second steps from midnight: those land on the wrong day whenever the
    // span crosses a daylight-saving change in the local time zone.
    const QDate start = toCalendarDay(readShown(shown));
    if (!start.isValid())
        return {};
    const QDate result = start.addDays(days);
    if (!result.isValid())
        return {};
    return formatShown(result.year(), result.month(), result.day());
}

QString toStoredDate(const QString& shown)
{
    if (shown.isEmpty())
        return {};
    return shown.mid(6, 4) + shown.mid(0, 2) + shown.mid(3, 2);
}

QString toShownDate(const QString& stored)
{
    if (stored.isEmpty())
        return {};
    return stored.mid(4, 2) + QLatin1Char('/') + stored.mid(6, 2) + QLatin1Char('/') + stored.mid(0, 4);
}

QString todayStored()
{
    return formatStored(Clock::today());
}

QString todayShown()
{
    const QDate today = Clock::today();
    return formatShown(today.year(), today.month(), today.day());
}

qint32 parseWholeNumber(const QString& text)
{
    const QString rest = stripMoneyCharacters(text);
    if (rest.isEmpty())
        return ParseError;
    qint64 value = 0;
    for (QChar ch : rest) {
        if (!isAsciiDigit(ch))
            return ParseError;
        // A number too large for the field fails the range checks just as the error value does.
        value = value * 10 + ch.digitValue();
        if (value > std::numeric_limits<qint32>::max())
            return ParseError;
    }
    return qint32(value);
}

double parseAmount(const QString& text)
{
    return parseDecimal(stripMoneyCharacters(text));
}

double parsePercentage(const QString& text)
{
    return parseDecimal(removeCharacters(text, QStringLiteral("$,%")));
}

QString stripMoneyCharacters(const QString& text)
{
    return removeCharacters(text, QStringLiteral("$,"));
}

QString toStoredQuotes(const QString& text)
{
    QString result = text;
    return result.replace(QLatin1Char('\''), QLatin1Char('`'));
}

QString toShownQuotes(const QString& text)
{
    QString result = text;
    return result.replace(QLatin1Char('`'), QLatin1Char('\''));
}

QString fieldMessage(const QString& message, const QString& text)
{
    QString result = message;
    return result.replace(QStringLiteral("%1"), text);
}

QString readingName(int /*measurement*/, int hoursInd)
{
    return hoursInd != 0 ? QStringLiteral("Hour Meter") : QStringLiteral("Odometer");
}

QString readingLabel(int measurement, int hoursInd)
{
    return readingName(measurement, hoursInd) + QStringLiteral(" Reading");
}

QString unitWord(int measurement, int hoursInd)
{
    if (hoursInd != 0)
        return QStringLiteral("Hours");
    return measurement != 0 ? QStringLiteral("Kilometers") : QStringLiteral("Miles");
}

QString unitAbbreviation(int measurement, int hoursInd)
{
    if (hoursInd != 0)
        return QStringLiteral("hr");
    return measurement != 0 ? QStringLiteral("km") : QStringLiteral("mi");
}

QString fuelUnit(int measurement)
{
    return measurement != 0 ? QStringLiteral("Liter") : QStringLiteral("Gallon");
}

QString economyHeading(int measurement, int hoursInd)
{
    return unitWord(measurement, hoursInd).left(1) + QLatin1Char('P') + fuelUnit(measurement).left(1);
}

bool printableFigure(double value)
{
    return std::isfinite(value) && std::abs(value) < LargestShownFigure;
}

QString formatFixed(double value, int decimals)
{
    if (!printableFigure(value))
        return UnprintableFigure;
    return QString::asprintf("%.*f", decimals, value);
}

QString formatMoney(double value)
{
    return printableFigure(value) ? QLatin1Char('$') + formatFixed(value, 2) : UnprintableFigure;
}

QString formatRate(double value)
{
    return printableFigure(value) ? formatFixed(value, 2) + QLatin1Char('%') : UnprintableFigure;
}

QString formatFuel(double value)
{
    return formatFixed(value, 3);
}

QString formatEconomy(double value)
{
    return formatFixed(value, 1);
}

QString formatDecimal(double value)
{
    return formatFixed(value, 2);
}

QString printable(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code < 0xa0) || code == 0x2028 || code == 0x2029)
            c = QLatin1Char(' ');
    }
    return text;
}

QString withThousands(const QString& number)
{
    if (number.contains(QLatin1Char(',')))
        return number;
    qsizetype start = 0;
    while (start < number.size() && !isAsciiDigit(number[start]))
        ++start;
    qsizetype end = start;
    while (end < number.size() && isAsciiDigit(number[end]))
        ++end;
    if (end - start < 4)
        return number;
    QString result = number;
    return result.insert(end - 3, QLatin1Char(','));
}

QString withThousands(qint64 number)
{
    return withThousands(QString::number(number));
}

} // namespace Values
