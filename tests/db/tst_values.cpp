#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Values.h"

#include <QDateTime>
#include <QTest>

namespace {

// A data row of two texts, for the tables below.
void textRow(const char* name, const char* first, const char* second)
{
    QTest::newRow(name) << QString(first) << QString(second);
}

} // namespace

class ValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void normaliseDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        textRow("slashes", "1/2/1999", "01/02/1999");
        textRow("dashes", "12-31-1998", "12/31/1998");
        textRow("dots", "1.2.1999", "01/02/1999");
        textRow("leading zeros", "0001/0002/01999", "01/02/1999");
        textRow("two-digit year", "12/31/99", "");
        textRow("february 30", "2/30/1999", "");
        textRow("february 29, not a leap year", "2/29/1999", "");
        textRow("february 29, century not a leap year", "2/29/1900", "");
        textRow("february 29, leap century", "2/29/2000", "02/29/2000");
        textRow("february 29, leap year", "2/29/2024", "02/29/2024");
        textRow("february 28", "2/28/1999", "02/28/1999");
        textRow("april 31", "4/31/1999", "");
        textRow("april 30", "4/30/1999", "04/30/1999");
        textRow("january 31", "1/31/1999", "01/31/1999");
        textRow("december 32", "12/32/1999", "");
        textRow("month 0", "0/10/1999", "");
        textRow("month 13", "13/1/1999", "");
        textRow("day 0", "1/0/1999", "");
        textRow("year 1799", "1/1/1799", "");
        textRow("year 1800", "1/1/1800", "01/01/1800");
        textRow("year 2200", "12/31/2200", "12/31/2200");
        textRow("year 2201", "1/1/2201", "");
        textRow("four numbers", "1/2/3/1999", "");
        textRow("doubled separator counts an empty number", "1//2/1999", "");
        textRow("trailing separator counts an empty number", "1/2/1999/", "");
        textRow("two numbers, year taken as 0", "1/2", "");
        textRow("huge number", "1/2/99999999999999999999", "");
        textRow("empty", "", "");
    }

    void normaliseDate()
    {
        QFETCH(QString, typed);
        QTEST(Values::normaliseDate(typed), "shown");
    }

    void compareDates_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("result");
        const auto dateRow = [](const char* name, const char* first, const char* second, int result) {
            QTest::newRow(name) << QString(first) << QString(second) << result;
        };

        dateRow("equal", "12/31/1998", "12/31/1998", 0);
        dateRow("earlier year, later month", "12/31/1998", "01/01/1999", -1);
        dateRow("later year, earlier month", "01/01/1999", "12/31/1998", 1);
        dateRow("earlier month", "02/15/2000", "03/01/2000", -1);
        dateRow("later day", "03/02/2000", "03/01/2000", 1);
        dateRow("old file's february 29 after february 28", "02/29/1999", "02/28/1999", 1);
        dateRow("old file's february 29 before march 1", "02/29/1999", "03/01/1999", -1);
        dateRow("no date before a date", "", "01/01/1800", -1);
    }

    void compareDates()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QTEST(Values::compareDates(first, second), "result");
    }

    void addDays_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("later");

        QTest::newRow("none") << "06/15/1999" << 0 << "06/15/1999";
        QTest::newRow("into the next year") << "12/31/1998" << 1 << "01/01/1999";
        QTest::newRow("backwards into the last year") << "01/01/1999" << -1 << "12/31/1998";
        QTest::newRow("onto a leap day") << "02/28/2000" << 1 << "02/29/2000";
        QTest::newRow("past february in a common year") << "02/28/1999" << 1 << "03/01/1999";
        QTest::newRow("back onto a leap day") << "03/01/2024" << -1 << "02/29/2024";
        QTest::newRow("a year") << "01/15/1999" << 365 << "01/15/2000";
        QTest::newRow("old file's february 29 reads as march 1") << "02/29/1999" << 0 << "03/01/1999";
        QTest::newRow("old file's february 29 minus one") << "02/29/1999" << -1 << "02/28/1999";
        QTest::newRow("no date") << "" << 5 << "";
    }

    void addDays()
    {
        QFETCH(QString, shown);
        QFETCH(int, days);
        QTEST(Values::addDays(shown, days), "later");
    }

    void addDaysAcrossDaylightSavingChanges()
    {
        const ScopedTimeZone zone("America/New_York");
        // Only meaningful where the zone really changes the clock: then a day is not always 86,400 seconds.
        const QDateTime fallMidnight(QDate(2020, 11, 1), QTime(0, 0));
        if (fallMidnight.addSecs(86400).date() != QDate(2020, 11, 1))
            QSKIP("No daylight-saving time zone data for America/New_York");

        // Clocks went forward on March 8, 2020 and back on November 1, 2020.
        QCOMPARE(Values::addDays("03/09/2020", -1), QString("03/08/2020"));
        QCOMPARE(Values::addDays("11/01/2020", 1), QString("11/02/2020"));
        QCOMPARE(Values::addDays("10/15/2020", 30), QString("11/14/2020"));
    }

    void dateConversions_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");

        textRow("date", "12/31/1998", "19981231");
        textRow("leap day", "02/29/2000", "20000229");
        textRow("old file's february 29 kept as it is", "02/29/1999", "19990229");
        textRow("no date", "", "");
    }

    void dateConversions()
    {
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QCOMPARE(Values::toStoredDate(shown), stored);
        QCOMPARE(Values::toShownDate(stored), shown);
    }

    void todayComesFromTheClock()
    {
        Clock::setNow(QDateTime(QDate(2024, 2, 29), QTime(23, 30)));
        QCOMPARE(Values::todayStored(), QString("20240229"));
        QCOMPARE(Values::todayShown(), QString("02/29/2024"));

        Clock::setNow(QDateTime(QDate(1999, 1, 5), QTime(0, 0)));
        QCOMPARE(Values::todayStored(), QString("19990105"));
        QCOMPARE(Values::todayShown(), QString("01/05/1999"));
    }

    void parseWholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("value");

        QTest::newRow("plain") << "45000" << 45000;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("thousands separator") << "1,234" << 1234;
        QTest::newRow("shown with one separator") << "1234,567" << 1234567;
        QTest::newRow("dollar") << "$12" << 12;
        QTest::newRow("largest below the error value") << "999999" << 999999;
        QTest::newRow("the error value itself") << "1000000" << 1000000;
        QTest::newRow("decimal") << "12.5" << Values::ParseError;
        QTest::newRow("minus") << "-3" << Values::ParseError;
        QTest::newRow("empty") << "" << Values::ParseError;
        QTest::newRow("blank") << " 12" << Values::ParseError;
        QTest::newRow("too large for the field") << "99999999999" << Values::ParseError;
    }

    void parseWholeNumber()
    {
        QFETCH(QString, text);
        QTEST(Values::parseWholeNumber(text), "value");
    }

    void parseAmount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");

        QTest::newRow("money") << "$1,234.50" << 1234.5;
        QTest::newRow("whole") << "12" << 12.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("read from the start") << "1.2.3" << 1.2;
        QTest::newRow("only a point") << "." << 0.0;
        QTest::newRow("empty") << "" << 1000000.0;
        QTest::newRow("minus") << "-1" << 1000000.0;
        QTest::newRow("blank inside") << "1 000" << 1000000.0;
        QTest::newRow("percent sign") << "7.5%" << 1000000.0;
    }

    void parseAmount()
    {
        QFETCH(QString, text);
        QTEST(Values::parseAmount(text), "value");
    }

    void parsePercentage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");

        QTest::newRow("with percent sign") << "7.5%" << 7.5;
        QTest::newRow("without") << "7.5" << 7.5;
        QTest::newRow("only a percent sign") << "%" << 1000000.0;
        QTest::newRow("letters") << "x%" << 1000000.0;
        QTest::newRow("empty") << "" << 1000000.0;
    }

    void parsePercentage()
    {
        QFETCH(QString, text);
        QTEST(Values::parsePercentage(text), "value");
    }

    void stripMoneyCharacters()
    {
        QCOMPARE(Values::stripMoneyCharacters("$1,234.50"), QString("1234.50"));
        QCOMPARE(Values::stripMoneyCharacters("$$1,2,3"), QString("123"));
        QCOMPARE(Values::stripMoneyCharacters("7.5%"), QString("7.5%"));
        QCOMPARE(Values::stripMoneyCharacters(""), QString());
    }

    void quotes_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");

        textRow("one apostrophe", "O'Neil", "O`Neil");
        textRow("several", "Bob's 'Best' Garage", "Bob`s `Best` Garage");
        textRow("none", "Main Street Garage", "Main Street Garage");
        textRow("empty", "", "");
    }

    void quotes()
    {
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QCOMPARE(Values::toStoredQuotes(shown), stored);
        QCOMPARE(Values::toShownQuotes(stored), shown);
        // A search typed with an apostrophe is converted the same way and so matches the stored name.
        QCOMPARE(Values::toStoredQuotes(Values::toShownQuotes(stored)), stored);
    }

    void fieldMessage()
    {
        QCOMPARE(Values::fieldMessage("The value %1 is not valid.", "abc"),
                 QString("The value abc is not valid."));
        QCOMPARE(Values::fieldMessage("%1 and again %1", "x"), QString("x and again x"));
        QCOMPARE(Values::fieldMessage("No placeholder.", "x"), QString("No placeholder."));
        QCOMPARE(Values::fieldMessage("Bad date %1.", ""), QString("Bad date ."));
    }

    void unitWords_data()
    {
        QTest::addColumn<int>("measurement");
        QTest::addColumn<int>("hoursInd");
        // Reading name, reading label, unit word, abbreviation, fuel unit, economy heading.
        QTest::addColumn<QString>("words");
        QTest::newRow("US odometer") << 0 << 0 << "Odometer|Odometer Reading|Miles|mi|Gallon|MPG";
        QTest::newRow("metric odometer") << 1 << 0 << "Odometer|Odometer Reading|Kilometers|km|Liter|KPL";
        QTest::newRow("US hour meter") << 0 << 1 << "Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG";
        QTest::newRow("metric hour meter") << 1 << 1 << "Hour Meter|Hour Meter Reading|Hours|hr|Liter|HPL";
        QTest::newRow("hour meter stored as -1")
            << 0 << -1 << "Hour Meter|Hour Meter Reading|Hours|hr|Gallon|HPG";
    }

    void unitWords()
    {
        QFETCH(int, measurement);
        QFETCH(int, hoursInd);
        QFETCH(QString, words);
        const QStringList shown{Values::readingName(measurement, hoursInd),
                                Values::readingLabel(measurement, hoursInd),
                                Values::unitWord(measurement, hoursInd),
                                Values::unitAbbreviation(measurement, hoursInd),
                                Values::fuelUnit(measurement),
                                Values::economyHeading(measurement, hoursInd)};
        QCOMPARE(shown.join('|'), words);
    }

    void numberPatterns()
    {
        QCOMPARE(Values::formatMoney(1234.5), QString("$1234.50"));
        QCOMPARE(Values::formatMoney(0), QString("$0.00"));
        QCOMPARE(Values::formatRate(7.5), QString("7.50%"));
        QCOMPARE(Values::formatFuel(12.3456), QString("12.346"));
        QCOMPARE(Values::formatEconomy(25.04), QString("25.0"));
        QCOMPARE(Values::formatDecimal(3.14159), QString("3.14"));
    }

    void withThousandsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        textRow("three digits", "999", "999");
        textRow("four digits", "1000", "1,000");
        textRow("seven digits, one separator only", "1234567", "1234,567");
        textRow("money", "$12345.67", "$12,345.67");
        textRow("money, seven digits", "$1234567.50", "$1234,567.50");
        textRow("money below a thousand", "$123.45", "$123.45");
        textRow("fuel", "1234.567", "1,234.567");
        textRow("decimals are not the integer part", "12.34567", "12.34567");
        textRow("negative", "-1234", "-1,234");
        textRow("negative below a thousand", "-123", "-123");
        textRow("negative money", "$-1234.50", "$-1,234.50");
        textRow("already separated", "12,345", "12,345");
        textRow("words", "Undetermined", "Undetermined");
        textRow("empty", "", "");
    }

    void withThousandsText()
    {
        QFETCH(QString, text);
        QTEST(Values::withThousands(text), "shown");
    }

    void withThousandsNumber_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("shown");

        QTest::newRow("three digits") << qint64(999) << "999";
        QTest::newRow("four digits") << qint64(1000) << "1,000";
        QTest::newRow("seven digits, one separator only") << qint64(1234567) << "1234,567";
        QTest::newRow("negative") << qint64(-1234) << "-1,234";
        QTest::newRow("negative below a thousand") << qint64(-999) << "-999";
    }

    void withThousandsNumber()
    {
        QFETCH(qint64, number);
        QTEST(Values::withThousands(number), "shown");
    }

    void shownValuesReadBack()
    {
        // What a form shows it must read back unchanged: "$" and "," are removed before conversion.
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatMoney(1234567.5))), 1234567.5);
        QCOMPARE(Values::parseWholeNumber(Values::withThousands(45000)), 45000);
        QCOMPARE(Values::parseAmount(Values::withThousands(Values::formatFuel(1234.567))), 1234.567);
    }
};

QTEST_GUILESS_MAIN(ValuesTest)
#include "tst_values.moc"
