#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "maintenance/Reminder.h"
#include "scheduling/DueCommand.h"

#include <QFile>
#include <QTest>

// A vehicle last estimated 30 days ago at 1,000 miles a month has gone 960 miles since (32 a day): its
// Tire Rotation, 1,100 miles after the reading of that day, falls due in 4 days, not in 34.
class DueTodayTest : public QObject
{
    Q_OBJECT

    TestEnvironment env;
    QString path;
    const QList<int> fields{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

    QByteArray bytes() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        Clock::setNow(QDateTime(QDate(2026, 6, 21), QTime(9, 0)));
        Database db;
        path = env.createDatabase(db, QStringLiteral("due-%1.vel").arg(QTest::currentTestFunction()));
        db.execute("INSERT INTO ContactInfo (ContactID, ContactType, LastName) VALUES (1, 1, 'Reyes')");
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, ActiveInd, "
                   "EntryOfActualMiles, "
                   "EstMilesPerMonth, DateOfActualMiles, DateOfEstimatedMiles) "
                   "VALUES (1, 1, '2019', 'Ford', -1, 10000, 1000, '20260522', '20260522')");
        db.execute(
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
            "PerformEveryMonth, PerformEveryDay, LastDate, LastMiles, EstPerformDate) SELECT 1, 1, "
            "ServiceID, "
            "0, 1100, 0, 0, '20260522', 10000, '20260725' FROM Services WHERE ServiceDesc = 'Tire Rotation'");
    }
    void cleanup() { Clock::reset(); }

    // The reminder works the readings out without writing; due stores them with their dates.
    void reminderReadsAndDueStores()
    {
        const QByteArray before = bytes();
        {
            Database db;
            db.open(path, QString(), true);
            const QList<Reminder::DueService> due = Reminder::dueServices(db, fields, 5);
            QCOMPARE(due.size(), 1);
            QCOMPARE(Reminder::line(due.first()), QString("Due 06/25/2026: 2019 Ford - Tire Rotation"));
        }
        QCOMPARE(bytes(), before);

        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(runDueCommand({path, "--csv"}, outStream, errStream, 5, fields), 0);
        outStream.flush();
        QVERIFY2(out.contains(",Tire Rotation,") && out.contains(",06/25/2026,Due soon,"), qPrintable(out));
        Database db;
        db.open(path);
        QCOMPARE(columnOf(db, "SELECT EntryOfActualMiles || ' ' || DateOfEstimatedMiles FROM Vehicles"),
                 QStringList{"10960 20260621"});
        QCOMPARE(columnOf(db, "SELECT EstPerformDate FROM Schedule"), QStringList{"20260625"});
    }
};

QTEST_GUILESS_MAIN(DueTodayTest)
#include "tst_duetoday.moc"
