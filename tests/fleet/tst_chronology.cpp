#include "DataRows.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "fleet/Chronology.h"

#include <QTest>

using Chronology::EntryKind;

// Vehicle 1 has two maintenance and three gas entries:
//   maintenance 1: 01/10/2024 at 10,000     gas 1: 01/05/2024 at 9,800
//   maintenance 2: 03/01/2024 at 12,000     gas 2: 02/01/2024 at 11,000
//                                           gas 3: 02/20/2024 at 11,500
// vehicle 2 one maintenance entry, vehicle 3 two gas entries out of order (as an old file may hold).
class ChronologyTest : public QObject
{
    Q_OBJECT

    TestEnvironment env;
    Database db;

private Q_SLOTS:
    void initTestCase()
    {
        env.createDatabase(db);
        db.execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) VALUES "
                   "(1, 1, 0, '20240110', 10000), (2, 1, 0, '20240301', 12000), (3, 2, 0, '20240105', 50)");
        db.execute("INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240105', 9800), "
                   "(2, 1, '20240201', 11000), (3, 1, '20240220', 11500), (4, 3, '20240101', 500), "
                   "(5, 3, '20240201', 300)");
    }

    void conflicts_data()
    {
        QTest::addColumn<int>("vehicle");
        QTest::addColumn<bool>("gas");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("reading");
        QTest::addColumn<QString>("expected");

        addRow("in order", 1, true, 0, "20240210", 11200, "");
        addRow("same date, lower reading", 1, true, 0, "20240201", 10000, "");
        addRow("equal readings on other dates", 1, false, 0, "20240115", 11000, "");
        addRow("earlier entry with higher reading", 1, true, 0, "20240215", 10500, "gas 2 20240201 11000");
        addRow("later entries with lower readings: nearest", 1, true, 0, "20240102", 11800,
               "gas 1 20240105 9800");
        addRow("later-lower named before earlier-higher", 3, true, 0, "20240115", 400, "gas 5 20240201 300");
        addRow("own kind first: gas", 1, true, 0, "20240305", 11450, "gas 3 20240220 11500");
        addRow("own kind first: maintenance", 1, false, 0, "20240305", 11450, "maintenance 2 20240301 12000");
        addRow("other kind when own is clear", 1, false, 0, "20240125", 11600, "gas 2 20240201 11000");
        addRow("the entry itself left out", 1, true, 3, "20240225", 11400, "");
        addRow("a new entry has no self", 1, true, 0, "20240225", 11400, "gas 3 20240220 11500");
        addRow("same key of the other kind counts", 1, false, 3, "20240225", 11400, "gas 3 20240220 11500");
        addRow("maintenance edited over itself", 1, false, 2, "20240225", 12500, "");
        addRow("other vehicles ignored", 2, true, 0, "20240201", 60, "");
    }
    void conflicts()
    {
        QFETCH(int, vehicle);
        QFETCH(bool, gas);
        QFETCH(int, key);
        QFETCH(QString, date);
        QFETCH(int, reading);
        QFETCH(QString, expected);
        const std::optional<Chronology::Conflict> conflict = Chronology::findConflict(
            db, vehicle, date, reading, gas ? EntryKind::Gas : EntryKind::Maintenance, key);
        const QString found = conflict ? QStringLiteral("%1 %2 %3 %4")
                                             .arg(conflict->kind == EntryKind::Gas ? "gas" : "maintenance")
                                             .arg(conflict->key)
                                             .arg(conflict->date)
                                             .arg(conflict->reading)
                                       : QString();
        QCOMPARE(found, expected);
    }
};

QTEST_GUILESS_MAIN(ChronologyTest)
#include "tst_chronology.moc"
