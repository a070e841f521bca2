#include "DataRows.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "fuel/FuelEconomy.h"
#include "fuel/GasEntry.h"

#include <QTest>

using FuelEconomy::FillUp;

namespace {

// "F1000:10 P1100:2.5" = a full tank at reading 1000 with 10 units of fuel, a partial one at 1100 with 2.5.
std::vector<FillUp> entries(const QString& text)
{
    std::vector<FillUp> result;
    for (const QString& item : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.mid(1).split(':');
        result.push_back({qint32(result.size() + 1), parts[0].toInt(), QString(), 0.0, parts[1].toDouble(),
                          item.startsWith('F')});
    }
    return result;
}

QString joined(const std::vector<double>& values)
{
    QStringList texts;
    for (double value : values)
        texts << QString::asprintf("%.2f", value);
    return texts.join(' ');
}

} // namespace

class FuelEconomyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listAndOverall_data()
    {
        QTest::addColumn<QString>("fillUps");
        QTest::addColumn<QString>("economy");
        QTest::addColumn<double>("overall");

        addRow("no entries", "", "", 0.0);
        addRow("exactly one full tank", "P900:4 F1000:10 P1100:3", "0.00 0.00 0.00", 0.0);
        addRow("partials before the first full tank not counted", "P800:5 P900:4 F1000:10 F1300:10",
               "0.00 0.00 0.00 30.00", 30.0);
        addRow("one partial between full tanks", "F1000:10 P1150:4 F1300:6", "0.00 0.00 30.00", 30.0);
        addRow("overall over all measured tanks", "F1000:10 F1250:10 P1400:5 F1600:5",
               "0.00 25.00 0.00 35.00", 30.0);
        addRow("full tank not beyond the previous", "F1000:10 F1000:2 F1240:6", "0.00 0.00 30.00", 30.0);
        addRow("zero fuel full tank from an old file", "F1000:10 F1300:0 F1600:10", "0.00 0.00 30.00", 30.0);
        addRow("kilometers per liter", "F52000:40 F52480:40", "0.00 12.00", 12.0);
        addRow("hours per gallon", "F120:30 P125:10 F130:10", "0.00 0.00 0.50", 0.5);
    }
    void listAndOverall()
    {
        QFETCH(QString, fillUps);
        const FuelEconomy::Listed listed = FuelEconomy::listEconomy(entries(fillUps));
        QTEST(joined(listed.economy), "economy");
        QTEST(listed.overall, "overall");
    }

    void unitWords_data()
    {
        QTest::addColumn<int>("measurement");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("words");
        addRow("miles", 0, 0, "Mileage, Mileage Driven, Cost Per Gallon, Odometer Reading, MPG");
        addRow("kilometers", 1, 0, "Kilometers, Kilometers Driven, Cost Per Liter, Odometer Reading, KPL");
        addRow("hours, gallons", 0, 1, "Hours, Elapsed Hours, Cost Per Gallon, Hour Meter Reading, HPG");
        addRow("hours, liters", 1, 1, "Hours, Elapsed Hours, Cost Per Liter, Hour Meter Reading, HPL");
    }
    void unitWords()
    {
        QFETCH(int, measurement);
        QFETCH(int, hours);
        const GasUnits units = GasUnits::of(measurement, hours);
        QTEST(QStringList({units.distanceWord, units.distanceLabel, units.costLabel, units.readingWord,
                           units.economyHeading})
                  .join(", "),
              "words");
    }

    void lastTen_data()
    {
        QTest::addColumn<QString>("fillUps");
        QTest::addColumn<QString>("values");
        QTest::addColumn<double>("economy");

        addRow("one full tank", "F1000:10", "", 0.0);
        addRow("two full tanks", "F1000:10 F1200:10", "20.00", 20.0);
        QString twelve = "P900:3";
        for (int i = 0; i < 12; ++i)
            twelve += QString(" F%1:10").arg(1000 + i * (200 + i));
        addRow("twelve full tanks keep the last ten", twelve,
               "20.30 20.50 20.70 20.90 21.10 21.30 21.50 21.70 21.90 22.10", 21.2);
        addRow("trailing partial not measured", "F1000:10 P1100:5 F1300:5 P1400:9", "30.00", 30.0);
    }
    void lastTen()
    {
        QFETCH(QString, fillUps);
        const FuelEconomy::LastTen chart = FuelEconomy::lastTen(entries(fillUps));
        QTEST(joined(chart.values), "values");
        QFETCH(double, economy);
        QCOMPARE(qRound(chart.economy * 100), qRound(economy * 100));
    }
};

QTEST_GUILESS_MAIN(FuelEconomyTest)
#include "tst_fueleconomy.moc"
