#include "TestEnvironment.h"
#include "db/Database.h"

#include <QProcess>
#include <QTest>

// Runs the command-line tool as a user would and checks what it prints and returns.
class CliTest : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };

    Run run(const QStringList& arguments)
    {
        QProcess process;
        process.start(qEnvironmentVariable("VELMORA_CLI"), arguments);
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty()); }

    void createThenCheck()
    {
        TestEnvironment env;
        const QString path = env.path("fleet.vel");
        const Run created = run({"create", path});
        QCOMPARE(created.exitCode, 0);
        QVERIFY(QFile::exists(path));
        QCOMPARE(run({"create", path}).exitCode, 1); // never overwrites a file

        const Run checked = run({"check", path});
        QCOMPARE(checked.exitCode, 0);
        QCOMPARE(checked.out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"Version: B19", "Tables: 22", "Services: 19", "ServiceTypes: 5", "Owners: 0",
                              "Vehicles: 0", "Integrity: ok"}));
    }

    void refusesWhatIsNotADatabase()
    {
        TestEnvironment env;
        QFile junk(env.path("notes.txt"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("shopping list\n");
        junk.close();
        const Run checked = run({"check", junk.fileName()});
        QCOMPARE(checked.exitCode, 1);
        QVERIFY(checked.err.contains("is not a Velmora database"));
        QCOMPARE(run({"check", env.path("missing.vel")}).exitCode, 1);
        QCOMPARE(run({}).exitCode, 2);
        QCOMPARE(run({"frobnicate", "x"}).exitCode, 2);
        QCOMPARE(run({"check"}).exitCode, 2);
        QCOMPARE(run({"upgrade", "x", "--units", "imperial"}).exitCode, 2);
        QVERIFY(run({"create"}).err.contains("Usage:"));
    }

    void upgradesAnOlderFileWithTheChosenUnits()
    {
        TestEnvironment env;
        QString path;
        {
            Database db;
            path = env.createDatabase(db, "old.vel");
            // Back to the shape of a 2.2 file: no measurement fields and none of the job-order tables.
            for (const char* statement :
                 {"ALTER TABLE Vehicles DROP COLUMN Measurement", "ALTER TABLE Vehicles DROP COLUMN HoursInd",
                  "DROP TABLE JobOrder", "DROP TABLE MaintServicesUnexpected", "DROP TABLE ScheduleTemplate",
                  "DROP TABLE ScheduleTemplateNames", "DROP INDEX MaintServices_PrimaryKey",
                  "ALTER TABLE MaintServices DROP COLUMN LinkInd", "ALTER TABLE Maintenance DROP COLUMN JobOrderID",
                  "UPDATE Utilities SET VerInd = '2.2'",
                  "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleMake) VALUES (1, 1, 'Volvo')"})
                db.execute(statement);
        }
        const Run unanswered = run({"upgrade", path});
        QCOMPARE(unanswered.exitCode, 2);
        QVERIFY(unanswered.err.contains("--units"));

        const Run upgraded = run({"upgrade", path, "--units", "metric"});
        QCOMPARE(upgraded.exitCode, 0);
        QVERIFY(upgraded.out.contains("Version 2.2 -> B19"));
        Database db;
        db.open(path);
        QCOMPARE(db.scalar("SELECT Measurement FROM Vehicles").toInt(), 1);
        QCOMPARE(db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table'").toInt(), 22);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
