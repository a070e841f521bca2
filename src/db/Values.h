#pragma once

#include <QString>
#include <QtGlobal>

// The value conventions shared by forms and reports: stored and shown dates, numbers typed by the user, apostrophes in
// quoted names, the words for a vehicle's units and the patterns numbers are shown with. All pure.
namespace Values {

// What the parse routines return for text they cannot read; range checks are set so that it fails them.
constexpr qint32 ParseError = 1000000;
constexpr double AmountParseError = 1000000.0;

// Dates. Stored: "YYYYMMDD"; shown and typed: "MM/DD/YYYY"; no date: "" in both.

// The typed text as "MM/DD/YYYY", or "" when it is not a valid date (February 29 only in leap years).
QString normaliseDate(const QString& typed);
// -1, 0 or 1 as the first shown date is earlier than, equal to or later than the second.
int compareDates(const QString& shownA, const QString& shownB);
// The shown date that many calendar days later (earlier when negative); "" when the text holds no date.
QString addDays(const QString& shown, int days);
QString toStoredDate(const QString& shown);
QString toShownDate(const QString& stored);
QString todayStored();
QString todayShown();

// Numbers typed by the user.

qint32 parseWholeNumber(const QString& text);
double parseAmount(const QString& text);
double parsePercentage(const QString& text);
QString stripMoneyCharacters(const QString& text);

// Apostrophes in names that go between quotes in filters are stored as backquotes.
QString toStoredQuotes(const QString& text);
QString toShownQuotes(const QString& text);

// The message with every "%1" replaced by the text.
QString fieldMessage(const QString& message, const QString& text);

// Unit words. measurement: 0 = US units, 1 = metric; hoursInd: non-zero = hour meter.

QString readingName(int measurement, int hoursInd);
QString readingLabel(int measurement, int hoursInd);
QString unitWord(int measurement, int hoursInd);
QString unitAbbreviation(int measurement, int hoursInd);
QString fuelUnit(int measurement);
QString economyHeading(int measurement, int hoursInd);

// Numbers shown to the user, without thousands separator (see withThousands).

// A figure that can not be shown (infinite, not a number, or too large for any field) shows as this mark,
// never as "inf", "nan" or hundreds of digits.
inline const QString UnprintableFigure = QStringLiteral("#####");
constexpr double LargestShownFigure = 1e13;
bool printableFigure(double value);
// The value with that many decimals, or the mark.
QString formatFixed(double value, int decimals);

QString formatMoney(double value);
QString formatRate(double value);
QString formatFuel(double value);
QString formatEconomy(double value);
QString formatDecimal(double value);

// The one thousands-separator display: a single "," before the last three digits of the integer part
// when it has four or more digits, and no further one (1234567 shows as "1234,567"). The text may carry a
// sign, a "$" and decimals ("$12345.67" shows as "$12,345.67"); text that already holds a "," is returned
// unchanged.
QString withThousands(const QString& number);
QString withThousands(qint64 number);

// The text with every control character (NUL, line ends, escapes) made a blank, as every output shows it.
QString printable(QString text);

} // namespace Values
