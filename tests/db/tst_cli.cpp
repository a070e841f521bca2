#include "OldDataFiles.h"
#include "TestEnvironment.h"
#include "db/Database.h"

#include <QDir>
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
                  "ALTER TABLE MaintServices DROP COLUMN LinkInd",
                  "ALTER TABLE Maintenance DROP COLUMN JobOrderID", "UPDATE Utilities SET VerInd = '2.2'",
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

    void checkListsWhatAFileLacksAndUpgradeRepairsIt()
    {
        TestEnvironment env;
        const QString path = env.path("Velmora.vel");
        QCOMPARE(run({"create", path}).exitCode, 0);
        {
            Database db;
            db.open(path);
            db.execute("DROP INDEX MaintServices_PrimaryKey");
            db.execute("ALTER TABLE MaintServices DROP COLUMN LinkInd");
        }
        const Run lacking = run({"check", path});
        QCOMPARE(lacking.exitCode, 1);
        QVERIFY(lacking.out.endsWith("Integrity: ok\nMissing: MaintServices.LinkInd\n"));
        const Run repaired = run({"upgrade", path});
        QCOMPARE(repaired.exitCode, 0);
        QVERIFY(repaired.err.contains("lacked parts of the current version (MaintServices.LinkInd)"));
        QCOMPARE(run({"check", path}).exitCode, 0);
    }

    void importNeverReplacesADataFile()
    {
        TestEnvironment env;
        const QString old = env.path("Velmora.mdb");
        buildPreviousGeneration(old, 3);
        const QString existing = env.path("Velmora.vel");
        QCOMPARE(run({"create", existing}).exitCode, 0);
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const Run refused = run({"import", old, env.folder()});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains("already holds a Velmora data file"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void createSaysWhyItFailedAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");
        QTest::newRow("path too long") << QString(300, 'f') + "/Velmora.vel"
                                       << "is too long.";
        QTest::newRow("missing folder") << "missing/Velmora.vel"
                                        << "does not exist.";
        QTest::newRow("folder is a file") << "afile/Velmora.vel"
                                          << "does not exist.";
        QTest::newRow("read-only folder") << "locked/Velmora.vel"
                                          << "You do not have permission to write";
    }

    void createSaysWhyItFailedAndLeavesNothing()
    {
        QFETCH(QString, path);
        QFETCH(QString, cause);
        TestEnvironment env;
        QFile(env.path("afile")).open(QIODevice::WriteOnly);
        QDir(env.folder()).mkdir("locked");
        QFile::setPermissions(env.path("locked"), QFile::ReadOwner | QFile::ExeOwner);
        if (path.startsWith("locked") && QFileInfo(env.path("locked")).isWritable())
            QSKIP("permissions do not bind this user");
        const Run created = run({"create", env.path(path)});
        QCOMPARE(created.exitCode, 1);
        QVERIFY2(created.err.contains(cause), qPrintable(created.err));
        QVERIFY(created.err.contains("Couldn't create database"));
        QVERIFY(QDir(env.folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot) ==
                QStringList{"afile"});
        QFile::setPermissions(env.path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
