#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Values.h"

#include <QDateTime>
#include <QTest>

namespace {

// Rows "given>expected" separated by blanks: what the function is given, and the text it must give back.
template <class Function> void textRows(Function function, const char* rows)
{
    for (const QString& row : QString(rows).split(' '))
        QCOMPARE(QString(function(row.section('>', 0, 0))), row.section('>', 1));
}

} // namespace

class ValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void normaliseDate()
    {
        // Separators and leading zeros; leap days by the Gregorian rule; months' lengths; years 1800 to
        // 2200; a doubled or trailing separator counts an empty number; "1/2" takes its year as 0.
        textRows(Values::normaliseDate,
                 "1/2/1999>01/02/1999 12-31-1998>12/31/1998 1.2.1999>01/02/1999 0001/0002/01999>01/02/1999 "
                 "12/31/99> 2/30/1999> 2/29/1999> 2/29/1900> 2/29/2000>02/29/2000 2/29/2024>02/29/2024 "
                 "2/28/1999>02/28/1999 4/31/1999> 4/30/1999>04/30/1999 1/31/1999>01/31/1999 12/32/1999> "
                 "0/10/1999> 13/1/1999> 1/0/1999> 1/1/1799> 1/1/1800>01/01/1800 12/31/2200>12/31/2200 "
                 "1/1/2201> 1/2/3/1999> 1//2/1999> 1/2/1999/> 1/2> 1/2/99999999999999999999> >");
    }

    void compareDates()
    {
        // An old file's February 29 of a common year sorts between February 28 and March 1; no date sorts
        // first.
        const struct
        {
            const char *first, *second;
            int result;
        } rows[] = {{"12/31/1998", "12/31/1998", 0},  {"12/31/1998", "01/01/1999", -1},
                    {"01/01/1999", "12/31/1998", 1},  {"02/15/2000", "03/01/2000", -1},
                    {"03/02/2000", "03/01/2000", 1},  {"02/29/1999", "02/28/1999", 1},
                    {"02/29/1999", "03/01/1999", -1}, {"", "01/01/1800", -1}};
        for (const auto& row : rows)
            QCOMPARE(Values::compareDates(row.first, row.second), row.result);
    }

    void addDays()
    {
        // Across years and leap days; an old file's February 29 of a common year reads as March 1.
        const struct
        {
            const char* shown;
            int days;
            const char* later;
        } rows[] = {{"06/15/1999", 0, "06/15/1999"},   {"12/31/1998", 1, "01/01/1999"},
                    {"01/01/1999", -1, "12/31/1998"},  {"02/28/2000", 1, "02/29/2000"},
                    {"02/28/1999", 1, "03/01/1999"},   {"03/01/2024", -1, "02/29/2024"},
                    {"01/15/1999", 365, "01/15/2000"}, {"02/29/1999", 0, "03/01/1999"},
                    {"02/29/1999", -1, "02/28/1999"},  {"", 5, ""}};
        for (const auto& row : rows)
            QCOMPARE(Values::addDays(row.shown, row.days), QString(row.later));

        // Where the zone's clocks change, a day is not always 86,400 seconds.
        const ScopedTimeZone zone("America/New_York");
        if (QDateTime(QDate(2020, 11, 1), QTime(0, 0)).addSecs(86400).date() == QDate(2020, 11, 1)) {
            QCOMPARE(Values::addDays("03/09/2020", -1), QString("03/08/2020"));
            QCOMPARE(Values::addDays("11/01/2020", 1), QString("11/02/2020"));
            QCOMPARE(Values::addDays("10/15/2020", 30), QString("11/14/2020"));
        }
    }

    void storedAndShownForms()
    {
        // Dates both ways, an old file's February 29 of a common year kept as it is.
        const char* const dates[][2] = {
            {"12/31/1998", "19981231"}, {"02/29/2000", "20000229"}, {"02/29/1999", "19990229"}, {"", ""}};
        for (const auto& [shown, stored] : dates) {
            QCOMPARE(Values::toStoredDate(shown), QString(stored));
            QCOMPARE(Values::toShownDate(stored), QString(shown));
        }
        // Apostrophes in names become backquotes and back, so a search typed with one matches.
        const char* const names[][2] = {{"O'Neil", "O`Neil"},
                                        {"Bob's 'Best' Garage", "Bob`s `Best` Garage"},
                                        {"Main Street Garage", "Main Street Garage"},
                                        {"", ""}};
        for (const auto& [shown, stored] : names) {
            QCOMPARE(Values::toStoredQuotes(shown), QString(stored));
            QCOMPARE(Values::toShownQuotes(stored), QString(shown));
        }
        Clock::setNow(QDateTime(QDate(2024, 2, 29), QTime(23, 30)));
        QCOMPARE(Values::todayStored() + Values::todayShown(), QString("2024022902/29/2024"));
        Clock::setNow(QDateTime(QDate(1999, 1, 5), QTime(0, 0)));
        QCOMPARE(Values::todayStored() + Values::todayShown(), QString("1999010501/05/1999"));
    }

    void parseTypedNumbers()
    {
        // Whole numbers: "$" and "," are dropped; anything else, and anything past the error value, fails.
        const qint32 error = Values::ParseError;
        const std::pair<const char*, qint32> whole[] = {
            {"45000", 45000}, {"0", 0},           {"1,234", 1234},      {"1234,567", 1234567},
            {"$12", 12},      {"999999", 999999}, {"1000000", 1000000}, {"12.5", error},
            {"-3", error},    {"", error},        {" 12", error},       {"99999999999", error}};
        for (const auto& [text, value] : whole)
            QCOMPARE(Values::parseWholeNumber(text), value);
        // Amounts read from the start; percentages may carry their sign.
        const std::pair<const char*, double> amounts[] = {
            {"$1,234.50", 1234.5}, {"12", 12.0}, {".5", 0.5}, {"5.", 5.0},
            {"1.2.3", 1.2},        {".", 0.0},   {"", 1e6},   {"-1", 1e6},
            {"1 000", 1e6},        {"7.5%", 1e6}};
        for (const auto& [text, value] : amounts)
            QCOMPARE(Values::parseAmount(text), value);
        const std::pair<const char*, double> percentages[] = {
            {"7.5%", 7.5}, {"7.5", 7.5}, {"%", 1e6}, {"x%", 1e6}, {"", 1e6}};
        for (const auto& [text, value] : percentages)
            QCOMPARE(Values::parsePercentage(text), value);
        textRows(Values::stripMoneyCharacters, "$1,234.50>1234.50 $$1,2,3>123 7.5%>7.5% >");
    }

    void fieldMessage()
    {
        QCOMPARE(Values::fieldMessage("The value %1 is not valid.", "abc"),
                 QString("The value abc is not valid."));
        QCOMPARE(Values::fieldMessage("%1 and again %1", "x"), QString("x and again x"));
        QCOMPARE(Values::fieldMessage("No placeholder.", "x"), QString("No placeholder."));
        QCOMPARE(Values::fieldMessage("Bad date %1.", ""), QString("Bad date ."));
    }

    void unitWords()
    {
        // Reading name, reading label, unit word, abbreviation, fuel unit, economy heading; any non-zero
        // HoursInd is an hour meter.
        const struct
        {
            int measurement, hoursInd;
            const char* words;
        } rows[] = {{0, 0, "Odometer|Odometer Reading|Miles|mi|Gallon|MPG"},
                    {1, 0, "Odometer|Odometer Reading|Kilometers|km|Liter|KPL"},
                    {0, 1, "Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG"},
                    {1, 1, "Hour Meter|Hour Meter Reading|Hours|hr|Liter|HPL"},
                    {0, -1, "Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG"}};
        for (const auto& [measurement, hoursInd, words] : rows)
            QCOMPARE(
                QStringList(
                    {Values::readingName(measurement, hoursInd), Values::readingLabel(measurement, hoursInd),
                     Values::unitWord(measurement, hoursInd), Values::unitAbbreviation(measurement, hoursInd),
                     Values::fuelUnit(measurement), Values::economyHeading(measurement, hoursInd)})
                    .join('|'),
                QString(words));
    }

    void shownNumbers()
    {
        QCOMPARE(QStringList({Values::formatMoney(1234.5), Values::formatMoney(0), Values::formatRate(7.5),
                              Values::formatFuel(12.3456), Values::formatEconomy(25.04),
                              Values::formatDecimal(3.14159)}),
                 QStringList({"$1234.50", "$0.00", "7.50%", "12.346", "25.0", "3.14"}));
        // One separator only, before the last three digits of the integer part.
        textRows([](const QString& text) { return Values::withThousands(text); },
                 "999>999 1000>1,000 1234567>1234,567 $12345.67>$12,345.67 $1234567.50>$1234,567.50 "
                 "$123.45>$123.45 1234.567>1,234.567 12.34567>12.34567 -1234>-1,234 -123>-123 "
                 "$-1234.50>$-1,234.50 12,345>12,345 Undetermined>Undetermined >");
        for (const auto& [number, shown] : std::initializer_list<std::pair<qint64, const char*>>{
                 {999, "999"}, {1000, "1,000"}, {1234567, "1234,567"}, {-1234, "-1,234"}, {-999, "-999"}})
            QCOMPARE(Values::withThousands(number), QString(shown));
        // What a form shows it must read back unchanged.
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatMoney(1234567.5))), 1234567.5);
        QCOMPARE(Values::parseWholeNumber(Values::withThousands(45000)), 45000);
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatFuel(1234.567))), 1234.567);
    }
};

QTEST_GUILESS_MAIN(ValuesTest)
#include "tst_values.moc"
