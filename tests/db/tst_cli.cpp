#include "DataRows.h"
#include "OldDataFiles.h"
#include "WholeFiles.h"

// Runs the command-line tool as a user would and checks what it prints and returns.
class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty()); }

    void createCheckAndUpgrade()
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

        // A new file passes check; one lacking a field is listed so by check and repaired by upgrade.
        const QString current = env.path("Velmora.vel");
        QCOMPARE(runCli({"create", current}).exitCode, 0);
        const CliRun fresh = runCli({"check", current});
        QCOMPARE(fresh.exitCode, 0);
        QCOMPARE(fresh.out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"Version: B19", "Tables: 22", "Services: 19", "ServiceTypes: 5", "Owners: 0",
                              "Vehicles: 0", "Integrity: ok"}));
        db.open(current);
        db.execute("DROP INDEX MaintServices_PrimaryKey");
        db.execute("ALTER TABLE MaintServices DROP COLUMN LinkInd");
        db.close();
        const CliRun lacking = runCli({"check", current});
        QCOMPARE(lacking.exitCode, 1);
        QVERIFY(lacking.out.endsWith("Integrity: ok\nMissing: MaintServices.LinkInd\n"));
        const CliRun repaired = runCli({"upgrade", current});
        QCOMPARE(repaired.exitCode, 0);
        QVERIFY(repaired.err.contains("lacked parts of the current version (MaintServices.LinkInd)"));
        QCOMPARE(runCli({"check", current}).exitCode, 0);
    }

    // Every command refuses bad arguments (2) and files it must not use (1), saying why (each text of told,
    // separated by "|"); nothing in the folder changes and nothing is added. File names are taken in the
    // folder, which holds a data file, a copy of it in data/ (which "due" may bring up to date), a text file,
    // a previous-generation file, a plain file "afile" and a folder "locked" that cannot be written.
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
        for (const auto& [name, path, cause] :
             {std::tuple{"create, path too long", QString(300, 'f') + "/Velmora.vel", "is too long."},
              {"create in a missing folder", "missing/Velmora.vel", "does not exist."},
              {"create in a folder that is a file", "afile/Velmora.vel", "does not exist."},
              {"create in a read-only folder", "locked/Velmora.vel", "You do not have permission to write"}})
            addRow(name, QStringList{"create", path}, 1, QString("Couldn't create database|") + cause);
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
        QCOMPARE(runCli({"create", env.path("Velmora.vel")}).exitCode, 0);
        for (const char* folder : {"data", "locked"})
            QDir(env.folder()).mkdir(folder);
        QVERIFY(QFile::copy(env.path("Velmora.vel"), env.path("data/Velmora.vel")));
        writeFile(env.path("notes.txt"), "shopping list\n");
        writeFile(env.path("afile"), "");
        buildPreviousGeneration(env.path("Velmora.mdb"), 3);
        QFile::setPermissions(env.path("locked"), QFile::ReadOwner | QFile::ExeOwner);
        if (arguments.join(' ').contains("locked/") && QFileInfo(env.path("locked")).isWritable())
            QSKIP("permissions do not bind this user");
        // The folder's entries with a hash of each file's contents.
        const auto state = [&] {
            QStringList entries;
            for (const QFileInfo& entry :
                 QDir(env.folder()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                entries << entry.fileName() + " " + QString::number(qHash(contentsOf(entry.filePath())));
            return entries;
        };
        const QStringList before = state();

        const CliRun refused = runCli(inFolder(env.folder(), arguments));
        QFile::setPermissions(env.path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(refused.exitCode, exitCode);
        for (const QString& text : told.split('|'))
            QVERIFY2(refused.err.contains(text), qPrintable(refused.err));
        QCOMPARE(state(), before);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
