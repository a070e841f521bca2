#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Values.h"

#include <QDateTime>
#include <QTest>

namespace {

// Rows "given>expected" separated by blanks (or the separator given): what the function is given, and the
// text it must give back.
template <class Function> void textRows(Function function, const char* rows, QChar separator = ' ')
{
    for (const QString& row : QString(rows).split(separator))
        QCOMPARE(QString(function(row.section('>', 0, 0))), row.section('>', 1));
}

// A number as its text, so that numeric results fit textRows.
QString text(double value)
{
    return QString::number(value, 'g', 15);
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

    void compareAndAddDates()
    {
        // Rows "date,other>comparison" and "date,days>later date". An old file's February 29 of a common year
        // sorts between February 28 and March 1 and reads as March 1 when days are added; no date sorts
        // first.
        textRows(
            [](const QString& row) {
                return text(Values::compareDates(row.section(',', 0, 0), row.section(',', 1)));
            },
            "12/31/1998,12/31/1998>0 12/31/1998,01/01/1999>-1 01/01/1999,12/31/1998>1 "
            "02/15/2000,03/01/2000>-1 "
            "03/02/2000,03/01/2000>1 02/29/1999,02/28/1999>1 02/29/1999,03/01/1999>-1 ,01/01/1800>-1");
        const auto addDays = [](const QString& row) {
            return Values::addDays(row.section(',', 0, 0), row.section(',', 1).toInt());
        };
        textRows(addDays, "06/15/1999,0>06/15/1999 12/31/1998,1>01/01/1999 01/01/1999,-1>12/31/1998 "
                          "02/28/2000,1>02/29/2000 02/28/1999,1>03/01/1999 03/01/2024,-1>02/29/2024 "
                          "01/15/1999,365>01/15/2000 02/29/1999,0>03/01/1999 02/29/1999,-1>02/28/1999 ,5>");

        // Where the zone's clocks change, a day is not always 86,400 seconds.
        const ScopedTimeZone zone("America/New_York");
        if (QDateTime(QDate(2020, 11, 1), QTime(0, 0)).addSecs(86400).date() == QDate(2020, 11, 1))
            textRows(addDays, "03/09/2020,-1>03/08/2020 11/01/2020,1>11/02/2020 10/15/2020,30>11/14/2020");
    }

    void storedAndShownForms()
    {
        // Dates both ways, an old file's February 29 of a common year kept as it is; apostrophes in names
        // become backquotes and back, so a search typed with one matches.
        textRows(Values::toStoredDate, "12/31/1998>19981231 02/29/2000>20000229 02/29/1999>19990229 >");
        textRows(Values::toShownDate, "19981231>12/31/1998 20000229>02/29/2000 19990229>02/29/1999 >");
        textRows(Values::toStoredQuotes,
                 "O'Neil>O`Neil|Bob's 'Best' Garage>Bob`s `Best` Garage|Main Street>Main Street|>", '|');
        textRows(Values::toShownQuotes,
                 "O`Neil>O'Neil|Bob`s `Best` Garage>Bob's 'Best' Garage|Main Street>Main Street|>", '|');
        // A field's text goes in for every %1 (the forms' range messages show it with real texts).
        textRows([](const QString& message) { return Values::fieldMessage(message, "x"); },
                 "%1 and again %1>x and again x|No placeholder.>No placeholder.|Bad date %1.>Bad date x.",
                 '|');
        Clock::setNow(QDateTime(QDate(2024, 2, 29), QTime(23, 30)));
        QCOMPARE(Values::todayStored() + Values::todayShown(), QString("2024022902/29/2024"));
        Clock::setNow(QDateTime(QDate(1999, 1, 5), QTime(0, 0)));
        QCOMPARE(Values::todayStored() + Values::todayShown(), QString("1999010501/05/1999"));
    }

    void parseTypedNumbers()
    {
        // Whole numbers: "$" and "," are dropped; anything else, and anything from the error value 1000000
        // on, fails (gives 1000000).
        textRows(
            [](const QString& typed) { return text(Values::parseWholeNumber(typed)); },
            "45000>45000;0>0;1,234>1234;1234,567>1234567;$12>12;999999>999999;1000000>1000000;12.5>1000000;"
            "-3>1000000;>1000000; 12>1000000;99999999999>1000000",
            ';');
        // Amounts read from the start; percentages may carry their sign; both fail as 1000000.
        textRows(
            [](const QString& typed) { return text(Values::parseAmount(typed)); },
            "$1,234.50>1234.5;12>12;.5>0.5;5.>5;1.2.3>1.2;.>0;>1000000;-1>1000000;1 000>1000000;7.5%>1000000",
            ';');
        textRows([](const QString& typed) { return text(Values::parsePercentage(typed)); },
                 "7.5%>7.5 7.5>7.5 %>1000000 x%>1000000 >1000000");
        textRows(Values::stripMoneyCharacters, "$1,234.50>1234.50 $$1,2,3>123 7.5%>7.5% >");
    }

    void unitWords()
    {
        // Rows "measurement,hoursInd>" reading name, reading label, unit word, abbreviation, fuel unit,
        // economy heading; any non-zero HoursInd is an hour meter.
        textRows(
            [](const QString& row) {
                const int m = row.section(',', 0, 0).toInt(), h = row.section(',', 1).toInt();
                return QStringList({Values::readingName(m, h), Values::readingLabel(m, h),
                                    Values::unitWord(m, h), Values::unitAbbreviation(m, h),
                                    Values::fuelUnit(m), Values::economyHeading(m, h)})
                    .join('|');
            },
            "0,0>Odometer|Odometer Reading|Miles|mi|Gallon|MPG;"
            "1,0>Odometer|Odometer Reading|Kilometers|km|Liter|KPL;"
            "0,1>Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG;"
            "1,1>Hour Meter|Hour Meter Reading|Hours|hr|Liter|HPL;"
            "0,-1>Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG",
            ';');
    }

    void shownNumbers()
    {
        // A figure that cannot be printed shows as "#####", never as "inf", "nan" or hundreds of digits.
        textRows([](const QString& value) { return Values::formatMoney(value.toDouble()); },
                 "1234.5>$1234.50 0>$0.00 inf>##### -inf>##### nan>##### 1e308>##### 4.9e-324>$0.00");
        QCOMPARE(QStringList({Values::formatRate(7.5), Values::formatFuel(12.3456),
                              Values::formatEconomy(25.04), Values::formatDecimal(3.14159)}),
                 QStringList({"7.50%", "12.346", "25.0", "3.14"}));
        QCOMPARE(Values::printable(QString("a") + QChar(0) + "b\tc\x1b"), QString("a b c "));
        // One separator only, before the last three digits of the integer part.
        textRows([](const QString& text) { return Values::withThousands(text); },
                 "999>999 1000>1,000 1234567>1234,567 $12345.67>$12,345.67 $1234567.50>$1234,567.50 "
                 "$123.45>$123.45 1234.567>1,234.567 12.34567>12.34567 -1234>-1,234 -123>-123 "
                 "$-1234.50>$-1,234.50 12,345>12,345 Undetermined>Undetermined >");
        textRows([](const QString& number) { return Values::withThousands(number.toLongLong()); },
                 "999>999 1000>1,000 1234567>1234,567 -1234>-1,234 -999>-999");
        // What a form shows it must read back unchanged.
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatMoney(1234567.5))), 1234567.5);
        QCOMPARE(Values::parseWholeNumber(Values::withThousands(45000)), 45000);
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatFuel(1234.567))), 1234.567);
    }
};

QTEST_GUILESS_MAIN(ValuesTest)
#include "tst_values.moc"
