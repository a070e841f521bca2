#include "DataRows.h"
#include "OldDataFiles.h"
#include "TestEnvironment.h"
#include "WholeFiles.h"
#include "db/Database.h"

#include <QDir>
#include <QTest>

// Runs the command-line tool as a user would and checks what it prints and returns.
class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty()); }

    void createThenCheck()
    {
        TestEnvironment env;
        const QString path = env.path("fleet.vel");
        QCOMPARE(runCli({"create", path}).exitCode, 0);
        const CliRun checked = runCli({"check", path});
        QCOMPARE(checked.exitCode, 0);
        QCOMPARE(checked.out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"Version: B19", "Tables: 22", "Services: 19", "ServiceTypes: 5", "Owners: 0",
                              "Vehicles: 0", "Integrity: ok"}));
    }

    void upgradesAnOlderFileWithTheChosenUnits()
    {
        TestEnvironment env;
        const QString path = env.path("old.vel");
        buildOldFile(path, OldShape::V22);
        const CliRun unanswered = runCli({"upgrade", path});
        QCOMPARE(unanswered.exitCode, 2);
        QVERIFY(unanswered.err.contains("--units"));

        const CliRun upgraded = runCli({"upgrade", path, "--units", "metric"});
        QCOMPARE(upgraded.exitCode, 0);
        QVERIFY(upgraded.out.contains("Version 2.2 -> B19"));
        Database db;
        db.open(path);
        // The upgraded shape itself is tst_upgrade's.
        QCOMPARE(columnOf(db, "SELECT Measurement FROM Vehicles"), QStringList({"1", "1"}));
        db.close();

        // A current file that lacks a field is listed as such by check, and repaired by upgrade.
        QCOMPARE(runCli({"create", env.path("Velmora.vel")}).exitCode, 0);
        db.open(env.path("Velmora.vel"));
        db.execute("DROP INDEX MaintServices_PrimaryKey");
        db.execute("ALTER TABLE MaintServices DROP COLUMN LinkInd");
        db.close();
        const CliRun lacking = runCli({"check", env.path("Velmora.vel")});
        QCOMPARE(lacking.exitCode, 1);
        QVERIFY(lacking.out.endsWith("Integrity: ok\nMissing: MaintServices.LinkInd\n"));
        const CliRun repaired = runCli({"upgrade", env.path("Velmora.vel")});
        QCOMPARE(repaired.exitCode, 0);
        QVERIFY(repaired.err.contains("lacked parts of the current version (MaintServices.LinkInd)"));
        QCOMPARE(runCli({"check", env.path("Velmora.vel")}).exitCode, 0);
    }

    // Every command refuses bad arguments (2) and files it must not use (1), saying why; nothing is written
    // over the data file Velmora.vel and nothing new is made (new.vel). File names are taken in a folder that
    // holds also a copy of the data file in data/, a text file and a previous-generation file.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        addRow("no command", QStringList{}, 2, "Usage:");
        addRow("unknown command", QStringList{"frobnicate", "x"}, 2, "");
        addRow("check without a file", QStringList{"check"}, 2, "");
        addRow("create without a file", QStringList{"create"}, 2, "Usage:");
        addRow("check of a text file", QStringList{"check", "notes.txt"}, 1, "is not a Velmora database");
        addRow("check of a missing file", QStringList{"check", "missing.vel"}, 1, "");
        addRow("create over a data file", QStringList{"create", "Velmora.vel"}, 1, "");
        addRow("unknown units", QStringList{"upgrade", "Velmora.vel", "--units", "imperial"}, 2, "");
        addRow("import beside a data file", QStringList{"import", "Velmora.mdb", "."}, 1,
               "already holds a Velmora data file");
        addRow("fleet over a data file", QStringList{"generate-fleet", "Velmora.vel", "--vehicles", "5"}, 1,
               "");
        addRow("fleet without a count", QStringList{"generate-fleet", "new.vel"}, 2, "");
        addRow("fleet count not a number", QStringList{"generate-fleet", "new.vel", "--vehicles", "many"}, 2,
               "");
        addRow("fleet of no vehicles", QStringList{"generate-fleet", "new.vel", "--vehicles", "0"}, 2, "");
        addRow("due without a file", QStringList{"due"}, 2, "");
        addRow("due days not a number", QStringList{"due", "data/Velmora.vel", "--days", "soon"}, 2, "");
        addRow("due vehicle without a number", QStringList{"due", "data/Velmora.vel", "--vehicle"}, 2, "");
        addRow("due of a missing vehicle", QStringList{"due", "data/Velmora.vel", "--vehicle", "99"}, 1,
               "no vehicle 99");
        addRow("due of a missing file", QStringList{"due", "missing.vel"}, 1, "");
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        TestEnvironment env;
        const QString kept = env.path("Velmora.vel");
        QCOMPARE(runCli({"create", kept}).exitCode, 0);
        QDir(env.folder()).mkdir("data");
        QVERIFY(QFile::copy(kept, env.path("data/Velmora.vel")));
        writeFile(env.path("notes.txt"), "shopping list\n");
        buildPreviousGeneration(env.path("Velmora.mdb"), 3);
        const QByteArray before = contentsOf(kept);

        const CliRun refused = runCli(inFolder(env.folder(), arguments));
        QCOMPARE(refused.exitCode, exitCode);
        QVERIFY2(refused.err.contains(told), qPrintable(refused.err));
        QCOMPARE(contentsOf(kept), before);
        QVERIFY(!QFile::exists(env.path("new.vel")));
    }

    void createSaysWhyItFailedAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cause");
        addRow("path too long", QString(300, 'f') + "/Velmora.vel", "is too long.");
        addRow("missing folder", "missing/Velmora.vel", "does not exist.");
        addRow("folder is a file", "afile/Velmora.vel", "does not exist.");
        addRow("read-only folder", "locked/Velmora.vel", "You do not have permission to write");
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
        const CliRun created = runCli({"create", env.path(path)});
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
