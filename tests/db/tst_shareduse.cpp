#include "FileHolder.h"
#include "WholeFiles.h"
#include "db/DbException.h"
#include "db/FileClaim.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <sys/stat.h>

// Several programs on one data file, and whole-file operations on damaged, special and extreme files: what
// is refused, what is kept, and that every save told "done" is in the file afterwards.
namespace {

// Another program holding the file open for writing (this test run again, as a holder), until it goes.
std::shared_ptr<QProcess> otherProgram(const QString& path, const QString& name)
{
    const std::shared_ptr<QProcess> process(new QProcess, [](QProcess* process) {
        process->closeWriteChannel();
        process->waitForFinished(20000);
        delete process;
    });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELMORA_TEST_HOLD", path);
    env.insert("VELMORA_TEST_HOLD_AS", name);
    process->setProcessEnvironment(env);
    process->start(QCoreApplication::applicationFilePath(), {});
    process->waitForReadyRead(20000);
    return process;
}

// The file's type and permission bits (0 when it is not there).
mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

int ownerCount(const QString& path, const QString& where = "1")
{
    Database db;
    db.open(path, {}, true);
    return db.scalar("SELECT count(*) FROM Owners WHERE " + where).toInt();
}

// Statements run as another program would, on a connection of their own.
void sql(const QString& path, const QString& statements)
{
    sqlite3* handle = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &handle), SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(handle, statements.toUtf8().constData(), nullptr, nullptr, &error);
    const QString text = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(handle);
    QVERIFY2(result == SQLITE_OK, qPrintable(text));
}

// The large write that the interrupted copies are taken in the middle of.
const char* const rewrite =
    "UPDATE Owners SET Memo = printf('%.900c', 'x'); UPDATE GasLog SET BriefDesc = printf('%.300c', 'x')";

QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({".velmora-*"}, QDir::Files | QDir::Hidden);
}

using Step = std::function<void(const QString& folder)>;

enum class Held { No, Locked, Open };

// One case of fileSafety: the files in the folder ("name=N": a data file of N owners, "name:text": those
// bytes), the command (file names taken in the folder), its exit code, texts its error output holds (with a
// leading "!": does not hold), files afterwards ("name=N": N owners, "!name": gone, "name": there), a
// file-size limit (negative: that much above an empty data file), anything more to set up and to check, and
// what holds Velmora.vel while the command runs.
struct Row
{
    QString name;
    QStringList files, args;
    int exitCode;
    QStringList told = {}, after = {};
    qint64 fileLimit = 0;
    Step setup = {}, check = {};
    Held held = Held::No;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class SharedUseTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty()); }

    // Compaction and restore while another program saves: either they refuse, naming it, or every save it
    // was told is done is in the file afterwards.
    void wholeFileReplacementKeepsEverySave_data()
    {
        QTest::addColumn<bool>("keepOpen");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("compact, writer keeps the file open") << true << QStringList{"compact", "Velmora.vel"};
        QTest::newRow("restore, writer keeps the file open")
            << true << QStringList{"restore", "Velmora.bak", "Velmora.vel"};
        QTest::newRow("compact, writer opens for each save")
            << false << QStringList{"compact", "Velmora.vel"};
    }

    void wholeFileReplacementKeepsEverySave()
    {
        QFETCH(bool, keepOpen);
        QFETCH(QStringList, args);
        TestEnvironment env;
        const QString path = env.path("Velmora.vel");
        buildDataFile(path, 6000, true);
        buildDataFile(env.path("Velmora.bak"), 10);
        const int before = ownerCount(path);
        // Saves a row every 50 ms, as a second program would, and keeps the keys of those it was told are
        // saved.
        std::atomic<bool> stop = false;
        QList<int> committed;
        int refused = 0;
        const std::unique_ptr<QThread> writer(QThread::create([&] {
            Database db;
            for (int key = 100000; !stop; ++key) {
                try {
                    if (!db.isOpen() || !keepOpen)
                        db.open(path);
                    db.execute(QString("INSERT INTO Owners (OwnerID, ContactID) VALUES (%1, %1)").arg(key));
                    committed << key;
                } catch (const CdbException&) {
                    ++refused;
                }
                if (!keepOpen)
                    db.close();
                QThread::msleep(50);
            }
        }));
        writer->start();
        QTest::qWait(200);
        QList<CliRun> runs;
        for (int i = 0; i < 3; ++i) {
            runs << runTool(inFolder(env.folder(), args));
            QTest::qWait(120);
        }
        stop = true;
        writer->wait();
        QVERIFY(committed.size() > 5);
        // Held open, it is refused as "Velmora.vel is open in Velmora on anna@office-pc since 09:12; close it
        // there first".
        const QRegularExpression heldBy(
            "Velmora.vel is open in tst_shareduse on \\S+@\\S+ since \\d\\d:\\d\\d; close it there first");
        for (const CliRun& run : runs)
            QVERIFY2(keepOpen ? run.exitCode == 1 && run.err.contains(heldBy) : run.exitCode == 0,
                     qPrintable(run.err));
        QCOMPARE(ownerCount(path), before + committed.size());
        QCOMPARE(refused, 0);
    }

    void fileSafety_data()
    {
        QTest::addColumn<Row>("row");
        const QStringList dataAndBackup{"Velmora.vel=30", "Velmora.bak=12"};
        const QString longName = QString(240 - 4, 'n') + ".vel";
        const QStringList backup{"backup", "Velmora.vel", "Velmora.bak"}, compact{"compact", "Velmora.vel"},
            restore{"restore", "Velmora.bak", "Velmora.vel"}, check{"check", "Velmora.vel"};
        QList<Row> rows;
        rows << Row("2: a locked file is not taken for an unfinished compaction",
                    {"Velmora.vel=30", "Velmora.tmp=5"}, check, 1,
                    {"in use by another program", "!as it was before"},
                    {"Velmora.vel=30", "!Velmora.vel.unfinished"}, 0, {}, {}, Held::Locked);
        for (const char* junk : {"", "a shopping list\n"}) {
            const QString file = QString("Velmora.vel:") + junk, kind = *junk ? "a foreign" : "an empty";
            rows << Row("3: backup of " + kind + " file keeps the earlier backup", {file, "Velmora.bak=12"},
                        backup, 1, {"is not a"}, {"Velmora.bak=12"});
            rows << Row("14: compacting " + kind + " file is not blamed on another program", {file}, compact,
                        1, {"!in use"});
        }
        rows << Row(
            "5: a restore cut before its rename is not reported finished",
            {"Velmora.vel=30", ".velmora-restore-a1-Velmora.vel=12", ".velmora-previous-b2-Velmora.vel:"},
            check, 0, {"!been finished"}, {"Velmora.vel=30"});
        rows << Row("6: generate-fleet on a full disk leaves no file", {},
                    {"generate-fleet", "fleet.vel", "--vehicles", "40"}, 1, {"not enough disk space"},
                    {"!fleet.vel"}, -16384);
        for (const QStringList& args :
             {QStringList{"backup", "Velmora.vel", "pipe"}, {"restore", "Velmora.bak", "pipe"}})
            rows << Row(
                "7: " + args[0] + " onto a FIFO is refused", dataAndBackup, args, 1,
                {"is not a regular file"}, {}, 0,
                [](const QString& f) {
                    QCOMPARE(mkfifo(QFile::encodeName(f + "/pipe").constData(), 0600), 0);
                },
                [](const QString& f) { QVERIFY(S_ISFIFO(modeOf(f + "/pipe"))); });
        rows << Row("9: an open leaves the temporaries of a live operation alone",
                    {"Velmora.vel=30", ".velmora-backup-c3-Velmora.vel:being written"}, check, 0,
                    {"!removed"}, {".velmora-backup-c3-Velmora.vel"}, 0, {}, {}, Held::Open);
        rows << Row("10: restore runs the full check", dataAndBackup, restore, 1, {"Owners_Memo"},
                    {"Velmora.vel=30"}, 0, [](const QString& f) {
                        // Index contents that no longer match their rows: only the full check sees it.
                        const QString bak = f + "/Velmora.bak";
                        const QString swap =
                            "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE "
                            "INDEX Owners_Memo ON Owners (%1)' WHERE name = 'Owners_Memo'";
                        sql(bak, "CREATE INDEX Owners_Memo ON Owners (Memo)");
                        sql(bak, swap.arg("ContactID"));
                        sql(bak, "UPDATE Owners SET Memo = 'changed'");
                        sql(bak, swap.arg("Memo"));
                    });
        for (const QStringList& args : {compact, restore}) {
            rows << Row(
                "11: " + args[0] + " keeps a group-shared mode", dataAndBackup, args, 0, {}, {}, 0,
                [](const QString& f) {
                    QCOMPARE(chmod(QFile::encodeName(f + "/Velmora.vel").constData(), 0664), 0);
                },
                [](const QString& f) { QCOMPARE(int(modeOf(f + "/Velmora.vel") & 0777), 0664); });
            rows << Row(
                "12: " + args[0] + " through a symlink replaces the real file",
                {"real/Velmora.vel=30", "Velmora.bak=12"}, args, 0, {}, {}, 0,
                [](const QString& f) { QFile::link(f + "/real/Velmora.vel", f + "/Velmora.vel"); },
                [](const QString& f) {
                    QVERIFY(QFileInfo(f + "/Velmora.vel").isSymLink());
                    sql(f + "/Velmora.vel", "INSERT INTO Owners (OwnerID, ContactID) VALUES (999, 999)");
                    QCOMPARE(ownerCount(f + "/real/Velmora.vel", "OwnerID = 999"), 1);
                });
        }
        rows << Row(
            "13: report reads a file after an interrupted write", {},
            {"report", "Velmora.vel", "--report", "vehicle-list", "--text"}, 0, {"!readonly"},
            {"!Velmora.vel-journal"}, 0, [](const QString& f) {
                QCOMPARE(runTool({"generate-fleet", f + "/source.vel", "--vehicles", "60"}).exitCode, 0);
                interruptedCopy(f + "/source.vel", f + "/Velmora.vel", rewrite);
            });
        rows << Row("14: due on a full disk says so", {"big.vel=3000"}, {"due", "Velmora.vel"}, 1,
                    {"not enough disk space"}, {}, 2048,
                    [](const QString& f) { interruptedCopy(f + "/big.vel", f + "/Velmora.vel", rewrite); });
        rows << Row(
            "15: a killed backup's temporary in another folder goes at the next open", {"Velmora.vel=300"},
            check, 0, {}, {}, 0,
            [](const QString& f) {
                QDir(f).mkdir("backups");
                // Cut at each point until one leaves its temporary behind.
                for (int at = 1; at < 60; ++at) {
                    runTool({"backup", f + "/Velmora.vel", f + "/backups/Velmora.bak"}, 0,
                            QString::number(at));
                    if (!temporariesIn(f + "/backups").isEmpty())
                        return;
                }
                QFAIL("no cut left a temporary");
            },
            [](const QString& f) {
                QCOMPARE(temporariesIn(f + "/backups") + temporariesIn(f), QStringList());
            });
        for (const QStringList& args : {QStringList{"compact", longName},
                                        {"backup", longName, "Velmora.bak"},
                                        {"restore", "Velmora.bak", longName}})
            rows << Row("18: a 240-character name: " + args[0], {longName + "=30", "Velmora.bak=12"}, args,
                        0);
        for (const Row& row : rows)
            QTest::newRow(qPrintable(row.name)) << row;
    }

    void fileSafety()
    {
        QFETCH(Row, row);
        TestEnvironment env;
        const QString folder = env.folder();
        for (const QString& file : row.files) {
            const qsizetype at = file.indexOf(QRegularExpression("[=:]"));
            const QString path = env.path(file.left(at));
            QDir().mkpath(QFileInfo(path).path());
            if (file[at] == '=')
                buildDataFile(path, file.mid(at + 1).toInt());
            else
                writeFile(path, file.mid(at + 1).toUtf8());
        }
        if (row.setup)
            row.setup(folder);

        // Velmora.vel held by someone else while the command runs.
        std::shared_ptr<QProcess> holder;
        sqlite3* locker = nullptr;
        if (row.held == Held::Open)
            holder = otherProgram(env.path("Velmora.vel"), "velmora-cli");
        if (row.held == Held::Locked) {
            sqlite3_open(QFile::encodeName(env.path("Velmora.vel")).constData(), &locker);
            QCOMPARE(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        if (row.fileLimit < 0) {
            // Room for an empty data file and a little more, not for a full one.
            buildDataFile(env.path("empty.vel"), 0);
            row.fileLimit = QFileInfo(env.path("empty.vel")).size() - row.fileLimit;
        }
        const CliRun run = runTool(inFolder(folder, row.args), row.fileLimit);
        sqlite3_close(locker); // which also ends its transaction
        holder.reset();

        QVERIFY2(run.exitCode == row.exitCode, qPrintable(QString::number(run.exitCode) + ": " + run.err));
        for (const QString& text : row.told + QStringList{"!disk I/O error"}) {
            const bool absent = text.startsWith('!');
            QVERIFY2(run.err.contains(text.mid(absent), Qt::CaseInsensitive) != absent, qPrintable(run.err));
        }
        for (const QString& file : row.after) {
            const bool gone = file.startsWith('!');
            if (file.contains('='))
                QCOMPARE(ownerCount(env.path(file.section('=', 0, 0))), file.section('=', 1).toInt());
            else
                QVERIFY2(QFileInfo::exists(env.path(file.mid(gone))) != gone, qPrintable(file));
        }
        if (row.check)
            row.check(folder);
    }

    // 16, 17, 18: figures that cannot be printed, control characters and an impossible interval in the
    // stored data, through every text output (the shown forms themselves are in tst_values).
    void extremeValuesReachNoOutput()
    {
        TestEnvironment env;
        const QString path = env.path("fleet.vel");
        QCOMPARE(runTool({"generate-fleet", path, "--vehicles", "3"}).exitCode, 0);
        sql(path,
            "UPDATE GasLog SET TotalCost = 1e308, CostGallon = 4.9e-324, Gallons = 1e308; UPDATE Vehicles "
            "SET EntryOfActualMiles = 5000000000, VehicleNo = 'V' || char(0) || 'x' || char(27); UPDATE "
            "Services SET ServiceDesc = 'Oil' || char(0) || char(7) || 'change'; UPDATE Schedule SET "
            "PerformEveryDay = -2147483648, PerformEveryMonth = 0 WHERE ScheduleID = (SELECT "
            "min(ScheduleID) FROM Schedule)");
        // The vehicle list first: due brings the readings forward and stores them, as start-up does.
        for (const QString command : {"report fleet.vel --report vehicle-list --text", "due fleet.vel",
                                      "due fleet.vel --csv", "report fleet.vel --report gas-log --text",
                                      "report fleet.vel --report schedule-monitor --text"}) {
            const CliRun run = runTool(inFolder(env.folder(), command.split(' ')));
            QVERIFY2(run.exitCode == 0 && !run.out.isEmpty(), qPrintable(command + ": " + run.err));
            static const QRegularExpression unprintable(
                "\\binf\\b|\\bnan\\b|\\d{16}|[\\x00-\\x08\\x0b\\x0e-\\x1f\\x7f]",
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch found = unprintable.match(run.out);
            QVERIFY2(!found.hasMatch(), qPrintable(command + ": " + found.captured().toUtf8().toHex()));
            if (command.contains("vehicle-list"))
                QVERIFY2(run.out.contains("5000000,000") && !run.out.contains(" -1"), qPrintable(run.out));
        }
    }

    // Who holds a claim is named from the lock file; a holder that ended is never named.
    void claimsNameLiveHoldersOnly()
    {
        TestEnvironment env;
        const QString path = env.path("Velmora.vel");
        buildDataFile(path, 3);
        {
            const auto window = otherProgram(path, "Velmora");
            const QList<FileClaim::Holder> holders = FileClaim::othersHolding(path);
            QCOMPARE(holders.size(), 1);
            QVERIFY(QRegularExpression("^Velmora.vel is open in Velmora on \\S+@\\S+ since \\d\\d:\\d\\d$")
                        .match(FileClaim::describe(path, holders[0]))
                        .hasMatch());
            FileClaim::Claim claim;
            QVERIFY(!FileClaim::tryExclusive(path, claim));
            QVERIFY_THROWS_EXCEPTION(CdbException, FileClaim::Claim(path, FileClaim::Kind::Exclusive, 100));
        }
        QCOMPARE(FileClaim::othersHolding(path).size(), 0);
        FileClaim::Claim claim;
        QVERIFY(FileClaim::tryExclusive(path, claim));
        claim.release();
        QCOMPARE(temporariesIn(env.folder()), QStringList());
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("VELMORA_TEST_HOLD"))
        return holdFileAsAnotherProgram();
    SharedUseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shareduse.moc"
