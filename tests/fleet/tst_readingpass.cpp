#include "TestEnvironment.h"
#include "app/FleetGenerator.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/sets/VehicleSet.h"
#include "fleet/ReadingEstimate.h"

#include <QFile>
#include <QTest>

namespace {

// The pass as it was written over the vehicle record set, kept as the reference the faster one must match.
int referencePass(Database& db)
{
    const QDate today = Clock::today();
    const QString todayText = today.toString("yyyyMMdd");
    int changed = 0;
    Transaction transaction(db);
    CVehicleSet vehicles(db);
    vehicles.open();
    for (; !vehicles.isEOF(); vehicles.moveNext()) {
        const qint32 reading = ReadingEstimate::broughtForward(vehicles.m_EntryOfActualMiles,
                                                               vehicles.m_EstMilesPerMonth,
                                                               vehicles.m_DateOfEstimatedMiles, vehicles.m_ActiveInd, today);
        if (reading == vehicles.m_EntryOfActualMiles && vehicles.m_DateOfEstimatedMiles == todayText)
            continue;
        vehicles.edit();
        vehicles.m_EntryOfActualMiles = reading;
        vehicles.m_DateOfEstimatedMiles = todayText;
        vehicles.update();
        ++changed;
    }
    transaction.commit();
    return changed;
}

const QString everyVehicle = "SELECT quote(VehicleID) || ' ' || quote(EntryOfActualMiles) || ' ' || "
                             "quote(DateOfEstimatedMiles) || ' ' || quote(DateOfActualMiles) || ' ' || "
                             "quote(EstMilesPerMonth) || ' ' || quote(ActiveInd) FROM Vehicles ORDER BY rowid";

} // namespace

class ReadingPassTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(7, 30)));
    }
    void cleanup() { m_env.reset(); }

    void bringsEachVehicleForward_data()
    {
        QTest::addColumn<QString>("values"); // EntryOfActualMiles, EstMilesPerMonth, DateOfEstimatedMiles, ActiveInd
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changed");
        QTest::newRow("active, ten days") << "10000, 3000, '20240310', -1" << "10980 '20240320'" << 1;
        QTest::newRow("inactive") << "10000, 3000, '20240310', 0" << "10000 '20240320'" << 1;
        QTest::newRow("31 a month: one a day") << "10000, 31, '20240310', -1"
                                               << "10010 '20240320'" << 1;
        QTest::newRow("under 31 a month") << "10000, 30, '20230101', -1" << "10000 '20240320'" << 1;
        QTest::newRow("no date") << "10000, 3000, '', -1" << "10000 '20240320'" << 1;
        QTest::newRow("nothing stored") << "NULL, NULL, NULL, NULL" << "NULL '20240320'" << 1;
        QTest::newRow("date after today") << "10000, 3000, '20240401', -1" << "10000 '20240320'" << 1;
        QTest::newRow("already today") << "10000, 3000, '20240320', -1" << "10000 '20240320'" << 0;
        QTest::newRow("highest reading") << "999000, 99999, '20240101', -1" << "999999 '20240320'" << 1;
    }
    void bringsEachVehicleForward()
    {
        QFETCH(QString, values);
        QFETCH(QString, expected);
        QFETCH(int, changed);
        Database db;
        m_env->createDatabase(db);
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, DateOfActualMiles, EntryOfActualMiles, "
                   "EstMilesPerMonth, DateOfEstimatedMiles, ActiveInd) VALUES (1, 1, '20240101', " + values + ")");
        QCOMPARE(ReadingEstimate::bringAllForward(db), changed);
        QCOMPARE(columnOf(db, "SELECT quote(EntryOfActualMiles) || ' ' || quote(DateOfEstimatedMiles) || ' ' || "
                              "DateOfActualMiles FROM Vehicles"),
                 QStringList{expected + " 20240101"});
    }

    void writesWhatTheRecordSetPassWrote()
    {
        Database fast;
        const QString path = m_env->createDatabase(fast, "fast.vel");
        FleetGenerator::fill(fast, 40, 5);
        fast.execute("UPDATE Vehicles SET DateOfEstimatedMiles = '20240320' WHERE VehicleID % 7 = 0");
        fast.execute("UPDATE Vehicles SET EntryOfActualMiles = NULL, DateOfEstimatedMiles = NULL WHERE VehicleID = 3");
        fast.close();
        QVERIFY(QFile::copy(path, m_env->path("reference.vel")));
        fast.open(path);
        Database reference;
        reference.open(m_env->path("reference.vel"));
        QCOMPARE(ReadingEstimate::bringAllForward(fast), referencePass(reference));
        QCOMPARE(columnOf(fast, everyVehicle), columnOf(reference, everyVehicle));
        QCOMPARE(columnOf(fast, "SELECT count(*) FROM Vehicles WHERE DateOfEstimatedMiles = '20240320'"),
                 QStringList{"40"});
    }
};

QTEST_GUILESS_MAIN(ReadingPassTest)
#include "tst_readingpass.moc"
