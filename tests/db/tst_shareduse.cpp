#include "FileHolder.h"
#include "OldDataFiles.h"
#include "TestEnvironment.h"
#include "WholeFiles.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/FileClaim.h"
#include "db/Values.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

// Several programs on one data file, and whole-file operations on damaged, special and extreme files: what
// is refused, what is kept, and that every save told "done" is in the file afterwards.
namespace {

using Run = ToolRun;

// Another program holding the file open for writing (this test run again, as a holder), until it goes.
class OtherProgram
{
public:
    OtherProgram(const QString& path, const QString& name)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELMORA_TEST_HOLD", path);
        env.insert("VELMORA_TEST_HOLD_AS", name);
        m_process.setProcessEnvironment(env);
        m_process.start(QCoreApplication::applicationFilePath(), {});
        m_process.waitForReadyRead(20000);
    }
    ~OtherProgram()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished(20000);
    }

private:
    QProcess m_process;
};

// The file's type and permission bits (0 when it is not there).
mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

int ownerCount(const QString& path)
{
    Database db;
    db.open(path, {}, true);
    return db.scalar("SELECT count(*) FROM Owners").toInt();
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

// A copy of the file taken in the middle of a write: its journal is hot.
void makeInterruptedCopy(const QString& source, const QString& copy)
{
    sqlite3* handle = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(source).constData(), &handle), SQLITE_OK);
    sqlite3_exec(handle,
                 "PRAGMA cache_size = 2; BEGIN; UPDATE Owners SET Memo = printf('%.900c', 'x'); "
                 "UPDATE GasLog SET BriefDesc = printf('%.300c', 'x');",
                 nullptr, nullptr, nullptr);
    QFile::copy(source, copy);
    QFile::copy(source + "-journal", copy + "-journal");
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    QVERIFY(contentsOf(copy + "-journal").startsWith("\xd9\xd5\x05\xf9")); // a hot journal's header
}

// The expected text of a refusal that names who has the file ("Velmora.vel is open in Velmora on
// anna@office-pc since 09:12; close it there first").
QRegularExpression heldBy(const QString& file, const QString& program)
{
    return QRegularExpression(QRegularExpression::escape(file + " is open in " + program + " on ") +
                              "\\S+@\\S+ since \\d\\d:\\d\\d; close it there first");
}

// Saves a row every 50 ms, as a second program would, and keeps the keys of those it was told are saved.
class Writer : public QThread
{
public:
    Writer(const QString& path, bool keepOpen) : m_path(path), m_keepOpen(keepOpen) {}
    std::atomic<bool> stop = false;
    QList<int> committed;
    int refused = 0;

protected:
    void run() override
    {
        Database db;
        for (int key = 100000; !stop; ++key) {
            try {
                if (!db.isOpen() || !m_keepOpen)
                    db.open(m_path);
                db.execute(QString("INSERT INTO Owners (OwnerID, ContactID) VALUES (%1, %1)").arg(key));
                committed << key;
            } catch (const CdbException&) {
                ++refused;
            }
            if (!m_keepOpen)
                db.close();
            msleep(50);
        }
    }

private:
    QString m_path;
    bool m_keepOpen;
};

using Setup = std::function<void(const QString& folder)>;
using Check = std::function<void(const QString& folder, const Run& run)>;

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Check)

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
        QTest::addColumn<QString>("command");
        QTest::newRow("compact, writer keeps the file open") << true << "compact";
        QTest::newRow("restore, writer keeps the file open") << true << "restore";
        QTest::newRow("compact, writer opens for each save") << false << "compact";
    }

    void wholeFileReplacementKeepsEverySave()
    {
        QFETCH(bool, keepOpen);
        QFETCH(QString, command);
        TestEnvironment env;
        const QString path = env.path("Velmora.vel");
        buildDataFile(path, 6000, true);
        buildDataFile(env.path("Velmora.bak"), 10);
        const int before = ownerCount(path);
        Writer writer(path, keepOpen);
        writer.start();
        QTest::qWait(200);
        QList<Run> runs;
        for (int i = 0; i < 3; ++i) {
            runs << (command == "compact" ? runTool({"compact", path})
                                          : runTool({"restore", env.path("Velmora.bak"), path}));
            QTest::qWait(120);
        }
        writer.stop = true;
        writer.wait();
        QVERIFY(writer.committed.size() > 5);
        for (const Run& run : runs) {
            if (keepOpen) {
                QCOMPARE(run.exitCode, 1);
                QVERIFY2(run.err.contains(heldBy("Velmora.vel", "tst_shareduse")), qPrintable(run.err));
            } else {
                QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            }
        }
        Database db;
        db.open(path, {}, true);
        QCOMPARE(db.scalar("SELECT count(*) FROM Owners").toInt(), before + writer.committed.size());
        QCOMPARE(db.scalar("SELECT count(*) FROM Owners WHERE OwnerID >= 100000").toInt(),
                 writer.committed.size());
        QCOMPARE(writer.refused, 0);
    }

    // Each row: what is in the folder, the command (file names taken in the folder), the exit code, a text
    // the error output must hold (or, with a leading "!", must not), and what must hold afterwards.
    void fileSafety_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<qint64>("fileLimit");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Check>("check");

        const Setup dataAndBackup = [](const QString& f) {
            buildDataFile(f + "/Velmora.vel", 30);
            buildDataFile(f + "/Velmora.bak", 12);
        };
        const Check nothing = [](const QString&, const Run&) {};

        QTest::newRow("2: a locked file is not taken for an unfinished compaction")
            << Setup([](const QString& f) {
                   buildDataFile(f + "/Velmora.vel", 30);
                   buildDataFile(f + "/Velmora.tmp", 5);
               })
            << QStringList{"check", "Velmora.vel"} << qint64(0) << 1 << "in use by another program"
            << Check([](const QString& f, const Run& run) {
                   QVERIFY(!run.err.contains("as it was before"));
                   QVERIFY(!QFileInfo::exists(f + "/Velmora.vel.unfinished"));
                   QCOMPARE(ownerCount(f + "/Velmora.vel"), 30);
               });
        for (const auto& [name, junk] :
             {std::pair<const char*, QByteArray>{"empty", ""},
              std::pair<const char*, QByteArray>{"foreign", "a shopping list\n"}}) {
            QTest::newRow(qPrintable(QString("3: backup of an %1 file keeps the earlier backup").arg(name)))
                << Setup([junk](const QString& f) {
                       writeFile(f + "/Velmora.vel", junk);
                       buildDataFile(f + "/Velmora.bak", 12);
                   })
                << QStringList{"backup", "Velmora.vel", "Velmora.bak"} << qint64(0) << 1 << "is not a"
                << Check([](const QString& f, const Run&) { QCOMPARE(ownerCount(f + "/Velmora.bak"), 12); });
        }
        QTest::newRow("5: a restore cut before its rename is not reported finished")
            << Setup([](const QString& f) {
                   buildDataFile(f + "/Velmora.vel", 30);
                   buildDataFile(f + "/.velmora-restore-a1-Velmora.vel", 12);
                   writeFile(f + "/.velmora-previous-b2-Velmora.vel", "");
               })
            << QStringList{"check", "Velmora.vel"} << qint64(0) << 0 << "!been finished"
            << Check([](const QString& f, const Run&) { QCOMPARE(ownerCount(f + "/Velmora.vel"), 30); });
        QTest::newRow("6: generate-fleet on a full disk leaves no file")
            << Setup([](const QString&) {}) << QStringList{"generate-fleet", "fleet.vel", "--vehicles", "40"}
            << qint64(-16384) << 1 << "not enough disk space"
            << Check([](const QString& f, const Run&) { QVERIFY(!QFileInfo::exists(f + "/fleet.vel")); });
        for (const char* command : {"backup", "restore"}) {
            const bool isBackup = QByteArray(command) == "backup";
            QTest::newRow(qPrintable(QString("7: %1 onto a FIFO is refused").arg(command)))
                << Setup([dataAndBackup](const QString& f) {
                       dataAndBackup(f);
                       QCOMPARE(mkfifo(QFile::encodeName(f + "/pipe").constData(), 0600), 0);
                   })
                << (isBackup ? QStringList{"backup", "Velmora.vel", "pipe"}
                             : QStringList{"restore", "Velmora.bak", "pipe"})
                << qint64(0) << 1 << "is not a regular file"
                << Check([](const QString& f, const Run&) { QVERIFY(S_ISFIFO(modeOf(f + "/pipe"))); });
        }
        QTest::newRow("9: an open leaves the temporaries of a live operation alone")
            << Setup([](const QString& f) {
                   buildDataFile(f + "/Velmora.vel", 30);
                   writeFile(f + "/.velmora-backup-c3-Velmora.vel", "being written");
               })
            << QStringList{"check", "Velmora.vel"} << qint64(0) << 0 << "!removed"
            << Check([](const QString& f, const Run&) {
                   QVERIFY(QFileInfo::exists(f + "/.velmora-backup-c3-Velmora.vel"));
               });
        QTest::newRow("10: restore runs the full check") << Setup([](const QString& f) {
            buildDataFile(f + "/Velmora.vel", 30);
            // Index contents that no longer match their rows: only the full check sees it.
            const QString bak = f + "/Velmora.bak";
            buildDataFile(bak, 12);
            sql(bak, "CREATE INDEX Owners_Memo ON Owners (Memo)");
            sql(bak, "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE INDEX Owners_Memo "
                     "ON Owners (ContactID)' WHERE name = 'Owners_Memo'");
            sql(bak, "UPDATE Owners SET Memo = 'changed'");
            sql(bak, "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE INDEX Owners_Memo "
                     "ON Owners (Memo)' WHERE name = 'Owners_Memo'");
        }) << QStringList{"restore", "Velmora.bak", "Velmora.vel"}
                                                         << qint64(0) << 1 << "Owners_Memo"
                                                         << Check([](const QString& f, const Run&) {
                                                                QCOMPARE(ownerCount(f + "/Velmora.vel"), 30);
                                                            });
        for (const char* command : {"compact", "restore"}) {
            const QStringList args = QByteArray(command) == "compact"
                                         ? QStringList{"compact", "Velmora.vel"}
                                         : QStringList{"restore", "Velmora.bak", "Velmora.vel"};
            QTest::newRow(qPrintable(QString("11: %1 keeps a group-shared mode").arg(command)))
                << Setup([dataAndBackup](const QString& f) {
                       dataAndBackup(f);
                       QFile::setPermissions(f + "/Velmora.vel", QFile::ReadOwner | QFile::WriteOwner |
                                                                     QFile::ReadGroup | QFile::WriteGroup |
                                                                     QFile::ReadOther);
                   })
                << args << qint64(0) << 0 << QString() << Check([](const QString& f, const Run&) {
                       QCOMPARE(int(modeOf(f + "/Velmora.vel") & 0777), 0664);
                   });
            QTest::newRow(qPrintable(QString("12: %1 through a symlink replaces the real file").arg(command)))
                << Setup([dataAndBackup](const QString& f) {
                       QDir(f).mkdir("real");
                       dataAndBackup(f + "/real");
                       QFile::rename(f + "/real/Velmora.bak", f + "/Velmora.bak");
                       QFile::link(f + "/real/Velmora.vel", f + "/Velmora.vel");
                   })
                << args << qint64(0) << 0 << QString() << Check([](const QString& f, const Run&) {
                       QVERIFY(QFileInfo(f + "/Velmora.vel").isSymLink());
                       sql(f + "/Velmora.vel", "INSERT INTO Owners (OwnerID, ContactID) VALUES (999, 999)");
                       Database real;
                       real.open(f + "/real/Velmora.vel", {}, true);
                       QCOMPARE(real.scalar("SELECT count(*) FROM Owners WHERE OwnerID = 999").toInt(), 1);
                   });
        }
        QTest::newRow("13: report reads a file after an interrupted write")
            << Setup([](const QString& f) {
                   QCOMPARE(runTool({"generate-fleet", f + "/source.vel", "--vehicles", "60"}).exitCode, 0);
                   makeInterruptedCopy(f + "/source.vel", f + "/Velmora.vel");
               })
            << QStringList{"report", "Velmora.vel", "--report", "vehicle-list", "--text"} << qint64(0) << 0
            << "!readonly" << Check([](const QString& f, const Run&) {
                   QVERIFY(!QFileInfo::exists(f + "/Velmora.vel-journal"));
               });
        for (const char* junk : {"a shopping list\n", ""})
            QTest::newRow(qPrintable(
                QString("14: compacting a %1-byte file is not blamed on another program").arg(strlen(junk))))
                << Setup([junk](const QString& f) { writeFile(f + "/Velmora.vel", junk); })
                << QStringList{"compact", "Velmora.vel"} << qint64(0) << 1 << "!in use" << Check(nothing);
        QTest::newRow("14: due on a full disk says so") << Setup([](const QString& f) {
            buildDataFile(f + "/big.vel", 3000);
            makeInterruptedCopy(f + "/big.vel", f + "/Velmora.vel");
        }) << QStringList{"due", "Velmora.vel"} << qint64(2048)
                                                        << 1 << "not enough disk space" << Check(nothing);
        QTest::newRow("15: a killed backup's temporary in another folder goes at the next open")
            << Setup([](const QString& f) {
                   buildDataFile(f + "/Velmora.vel", 300);
                   QDir(f).mkdir("backups");
                   // Cut at each point until one leaves its temporary behind.
                   for (int at = 1; at < 60; ++at) {
                       runTool({"backup", f + "/Velmora.vel", f + "/backups/Velmora.bak"}, 0,
                               QString::number(at));
                       if (!QDir(f + "/backups")
                                .entryList({".velmora-*"}, QDir::Files | QDir::Hidden)
                                .isEmpty())
                           return;
                   }
                   QFAIL("no cut left a temporary");
               })
            << QStringList{"check", "Velmora.vel"} << qint64(0) << 0 << QString()
            << Check([](const QString& f, const Run&) {
                   QCOMPARE(QDir(f + "/backups").entryList({".velmora-*"}, QDir::Files | QDir::Hidden),
                            QStringList());
                   QCOMPARE(QDir(f).entryList({".velmora-*"}, QDir::Files | QDir::Hidden), QStringList());
               });
        const QString longName = QString(240 - 4, 'n') + ".vel";
        for (const QStringList& args :
             {QStringList{"compact", longName}, QStringList{"backup", longName, "Velmora.bak"},
              QStringList{"restore", "Velmora.bak", longName}}) {
            QTest::newRow(qPrintable("18: a 240-character name: " + args[0]))
                << Setup([longName](const QString& f) {
                       buildDataFile(f + "/" + longName, 30);
                       buildDataFile(f + "/Velmora.bak", 12);
                   })
                << args << qint64(0) << 0 << QString() << Check(nothing);
        }
    }

    void fileSafety()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, args);
        QFETCH(qint64, fileLimit);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(Check, check);
        TestEnvironment env;
        const QString folder = env.folder();
        setup(folder);
        args = inFolder(folder, args);

        // What the row is about, held by someone else while the command runs.
        std::unique_ptr<OtherProgram> holder;
        sqlite3* locker = nullptr;
        const QString tag = QTest::currentDataTag();
        if (tag.startsWith("9:"))
            holder = std::make_unique<OtherProgram>(QDir(folder).filePath("Velmora.vel"), "velmora-cli");
        if (tag.startsWith("2:")) {
            sqlite3_open(QFile::encodeName(QDir(folder).filePath("Velmora.vel")).constData(), &locker);
            QCOMPARE(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        if (fileLimit < 0) {
            // Room for an empty data file and a little more, not for a full one.
            buildDataFile(env.path("empty.vel"), 0);
            fileLimit = QFileInfo(env.path("empty.vel")).size() - fileLimit;
        }
        const Run run = runTool(args, fileLimit);
        if (locker) {
            sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(locker);
        }
        holder.reset();

        QVERIFY2(!run.crashed, qPrintable(run.err));
        QVERIFY2(run.exitCode == exitCode, qPrintable(QString::number(run.exitCode) + ": " + run.err));
        if (message.startsWith('!'))
            QVERIFY2(!run.err.contains(message.mid(1), Qt::CaseInsensitive), qPrintable(run.err));
        else
            QVERIFY2(run.err.contains(message, Qt::CaseInsensitive), qPrintable(run.err));
        QVERIFY2(!run.err.contains("disk I/O error"), qPrintable(run.err));
        check(folder, run);
    }

    // 16, 17, 18: figures that cannot be printed, control characters and an impossible interval in the
    // stored data, through every text output.
    void extremeValuesReachNoOutput()
    {
        TestEnvironment env;
        const QString path = env.path("fleet.vel");
        QCOMPARE(runTool({"generate-fleet", path, "--vehicles", "3"}).exitCode, 0);
        sql(path, "UPDATE GasLog SET TotalCost = 1e308, CostGallon = 4.9e-324, Gallons = 1e308");
        sql(path, "UPDATE Vehicles SET EntryOfActualMiles = 5000000000, VehicleNo = 'V' || char(0) || 'x' || "
                  "char(27)");
        sql(path, "UPDATE Services SET ServiceDesc = 'Oil' || char(0) || char(7) || 'change'");
        sql(path,
            "UPDATE Schedule SET PerformEveryDay = -2147483648, PerformEveryMonth = 0 WHERE ScheduleID = "
            "(SELECT min(ScheduleID) FROM Schedule)");
        for (const QStringList& args :
             // The vehicle list first: due brings the readings forward and stores them, as start-up does.
             {QStringList{"report", path, "--report", "vehicle-list", "--text"}, QStringList{"due", path},
              QStringList{"due", path, "--csv"}, QStringList{"report", path, "--report", "gas-log", "--text"},
              QStringList{"report", path, "--report", "schedule-monitor", "--text"}}) {
            const Run run = runTool(args);
            QVERIFY2(run.exitCode == 0, qPrintable(args.join(' ') + ": " + run.err));
            QVERIFY2(!run.out.isEmpty(), qPrintable(args.join(' ')));
            static const QRegularExpression unprintable(
                "\\binf\\b|\\bnan\\b|\\d{16}|[\\x00-\\x08\\x0b\\x0e-\\x1f\\x7f]",
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch found = unprintable.match(run.out);
            QVERIFY2(!found.hasMatch(),
                     qPrintable(args.join(' ') + ": " + found.captured().toUtf8().toHex()));
            if (args.contains("vehicle-list"))
                QVERIFY2(run.out.contains("5000000,000") && !run.out.contains(" -1"), qPrintable(run.out));
        }
        const struct
        {
            double value;
            QString money;
        } figures[] = {{qInf(), "#####"}, {-qInf(), "#####"},  {qQNaN(), "#####"},
                       {1e308, "#####"},  {4.9e-324, "$0.00"}, {1234.5, "$1234.50"}};
        for (const auto& [value, money] : figures)
            QCOMPARE(Values::formatMoney(value), money);
        QCOMPARE(Values::printable(QString("a") + QChar(0) + "b\tc\x1b"), QString("a b c "));
    }

    // Who holds a claim is named from the lock file; a holder that ended is never named.
    void claimsNameLiveHoldersOnly()
    {
        TestEnvironment env;
        const QString path = env.path("Velmora.vel");
        buildDataFile(path, 3);
        {
            OtherProgram window(path, "Velmora");
            const QList<FileClaim::Holder> holders = FileClaim::othersHolding(path);
            QCOMPARE(holders.size(), 1);
            QCOMPARE(holders[0].program, QString("Velmora"));
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
        QCOMPARE(QDir(env.folder()).entryList({".velmora-*"}, QDir::Files | QDir::Hidden), QStringList());
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet("VELMORA_TEST_HOLD")) {
        QCoreApplication app(argc, argv);
        return holdFileAsAnotherProgram();
    }
    QCoreApplication app(argc, argv);
    SharedUseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shareduse.moc"
