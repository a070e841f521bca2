#include "DataRows.h"
#include "FileHolder.h"
#include "OldDataFiles.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"
#include "app/CommandLine.h"
#include "app/DemoData.h"
#include "app/FleetGenerator.h"
#include "app/StartUp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/VelApp.h"
#include "app/ui/WelcomeDialog.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "fleet/ReadingEstimate.h"
#include "forms/FormView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

enum class FileKind { None, Missing, Text, NoUtilities };

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes the kind of unusable file start-up may find at DBLoc; returns its path.
QString makeFile(TestEnvironment& env, FileKind kind)
{
    const QString path = env.path("Velmora.vel");
    Database db;
    if (kind == FileKind::None)
        return {};
    if (kind == FileKind::Text)
        writeFile(path, "not a database at all");
    if (kind == FileKind::NoUtilities) {
        db.create(path);
        db.execute("CREATE TABLE Vehicles (VehicleID INTEGER)");
    }
    return path;
}

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CVelApp> m_app;
    QList<WelcomeChoice> m_choices;
    int m_welcomeShown = 0;
    QStringList m_launched;

    // The next scripted welcome choices; Cancel once they run out.
    void choose(const QList<WelcomeChoice>& choices) { m_choices = choices; }

    // A current data file that other programs may use too, stored as the one to open, with a backup beside.
    QString sharedFile()
    {
        Database db;
        const QString path = m_env->createDatabase(db);
        m_env->createDatabase(db, "Velmora.bak");
        db.close();
        m_app->settings().setDatabaseLocation(path);
        return path;
    }
    void saveOwner(int key)
    {
        m_app->database().execute(
            QString("INSERT INTO Owners (OwnerID, ContactID) VALUES (%1, %1)").arg(key));
    }
    static int owners(const QString& path)
    {
        Database db;
        db.open(path, {}, true);
        return db.scalar("SELECT count(*) FROM Owners").toInt();
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        m_app = std::make_unique<CVelApp>(*m_prompter);
        m_choices.clear();
        m_welcomeShown = 0;
        m_launched.clear();
        m_app->setWelcomeChooser([this] {
            ++m_welcomeShown;
            return m_choices.isEmpty() ? WelcomeChoice::Cancel : m_choices.takeFirst();
        });
        m_app->setReminderLauncher([this](const QString& program) {
            m_launched << program;
            return false;
        });
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(15, 0)));
    }

    void cleanup()
    {
        QVERIFY(m_prompter->verifyDone());
        m_app.reset();
        m_prompter.reset();
        m_env.reset();
    }

    // Each file start-up cannot use brings the welcome dialog, which says why and offers the likely way on.
    void unusableDataFilesReachTheWelcomeDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<bool>("thanked"); // only on the first run
        addRow("first run", int(FileKind::None), QString(), "createChoice", true);
        addRow("missing file", int(FileKind::Missing), "could not be found", "locateChoice", false);
        addRow("not a data file", int(FileKind::Text), "could not be opened: ", "createChoice", false);
        addRow("no Utilities table", int(FileKind::NoUtilities), "could not be opened: ", "createChoice",
               false);
    }

    void unusableDataFilesReachTheWelcomeDialog()
    {
        QFETCH(int, kind);
        QFETCH(QString, notice);
        QFETCH(QString, preselected);
        QFETCH(bool, thanked);
        const QString path = makeFile(*m_env, FileKind(kind));
        QVERIFY(StartUp::checkDatabase(path).mustLocate);
        CWelcomeDialog dialog(welcomeNoticeFor(path));
        dialog.show();
        auto* text = dialog.findChild<QLabel*>("noticeText");
        QCOMPARE(text->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty()) {
            QVERIFY(text->text().contains(QDir::toNativeSeparators(path)));
            QVERIFY2(text->text().contains(notice), qPrintable(text->text()));
        }
        QVERIFY(dialog.findChild<QRadioButton*>(preselected)->isChecked());
        QCOMPARE(dialog.findChild<QLabel*>("welcomeText")->text().contains("Thank you for choosing Velmora"),
                 thanked);
        saveScreenshot(dialog, QStringLiteral("welcome-dialog-") +
                                   QString(QTest::currentDataTag()).replace(' ', '-'));

        m_app->settings().setDatabaseLocation(path);
        QVERIFY(!m_app->initInstance({}));
        QCOMPARE(m_welcomeShown, 1);
        QVERIFY(!m_app->mainFrame());
        QVERIFY(m_launched.isEmpty());
    }

    // A current file opens without upgrade or question, and the home screen shows its readings brought
    // forward to today.
    void currentDatabaseOpensWithoutUpgradeOrQuestion()
    {
        Database db;
        const QString path = m_env->createDatabase(db);
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        db.execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, EstMilesPerMonth, EntryOfActualMiles,"
            " DateOfActualMiles, DateOfEstimatedMiles, ActiveInd) VALUES (1, 1, '2019', 3000, 10000,"
            " '20260101', '20260101', -1)");
        db.close();
        Clock::setNow(QDateTime(QDate(2026, 1, 11), QTime(9, 0)));
        QCOMPARE(StartUp::checkDatabase(path).version, QString("B19"));
        m_app->settings().setDatabaseLocation(path);
        QVERIFY(m_app->initInstance({}));
        QCOMPARE(m_welcomeShown, 0);
        QVERIFY(m_prompter->prompts().isEmpty());
        QVERIFY(m_app->mainFrame() && m_app->mainFrame()->isVisible());
        QCOMPARE(m_launched, QStringList({QDir(m_app->settings().installDir()).filePath("velmora-notify")}));
        QCOMPARE(m_app->mainFrame()->findChild<QLineEdit*>("readingEdit")->text(), QString("10,980"));
    }

    // The upgrade's steps themselves are checked on every old shape in the upgrade tests; here start-up
    // finds the version and runs them.
    void version20IsUpgradedAtStart()
    {
        const QString path = m_env->path("Velmora.vel");
        buildOldFile(path, OldShape::V20);
        const StartUp::DatabaseCheck check = StartUp::checkDatabase(path);
        QVERIFY(!check.mustLocate);
        QCOMPARE(check.version, QString("2.0"));
        m_app->settings().setDatabaseLocation(path);
        m_app->settings().setInteger("Settings", "NotifyPgm", 0);
        m_prompter->answer(Prompter::Answer::No, Messages::MeasurementQuestion);
        QVERIFY(m_app->initInstance({}));
        QVERIFY(m_launched.isEmpty());
        QCOMPARE(DatabaseCreation::readVersion(m_app->database()), QString("B19"));
        QCOMPARE(columnOf(m_app->database(), "SELECT Measurement FROM Vehicles"), QStringList({"1", "1"}));
    }

    void createNewDataFileTakesTheTypedNameOfferingTheUsersDataFolder()
    {
        QDir(m_env->folder()).mkdir("fleet");
        const QString typed = m_env->path("fleet/my own name.vel");
        // The first attempt is cancelled and the welcome dialog comes back.
        choose({WelcomeChoice::Create, WelcomeChoice::Create});
        m_prompter->file(QString()).file(typed);
        QVERIFY(m_app->initInstance({}));
        QCOMPARE(m_welcomeShown, 2);
        QCOMPARE(m_app->databasePath(), typed);
        QCOMPARE(m_app->settings().databaseLocation(), typed);
        QCOMPARE(DatabaseCreation::readVersion(m_app->database()), QString("B19"));
        const Prompter::FileDialog dialog = m_prompter->prompts().first().dialog;
        QCOMPARE(dialog.defaultName, QString("Velmora.vel"));
        QCOMPARE(dialog.folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(QFileInfo(dialog.folder).isDir());
        // The dialog asks before a file of the typed name is replaced.
        QVERIFY(dialog.confirmOverwrite);
    }

    void locateChecksTheChosenFileAndImportAsksFirst()
    {
        const QString text = m_env->path("notes.vel");
        writeFile(text, "shopping list");
        Database good;
        const QString goodPath = m_env->createDatabase(good, "Fleet.vel");
        good.close();

        choose({WelcomeChoice::Import, WelcomeChoice::Restore, WelcomeChoice::Locate, WelcomeChoice::Locate});
        m_prompter->answer(Prompter::Answer::Ok, Messages::SelectImportFile).file(QString());
        m_prompter->file(QString());
        m_prompter->file(text).answer(Prompter::Answer::Ok, "is not a Velmora data file");
        m_prompter->file(goodPath);
        QVERIFY(m_app->initInstance({}));
        QCOMPARE(m_welcomeShown, 4);
        QCOMPARE(m_app->databasePath(), goodPath);
        QCOMPARE(m_app->settings().databaseLocation(), goodPath);
        QCOMPARE(readFile(text), QByteArray("shopping list"));
    }

    void dataFileArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        addRow("program only", QStringList{"velmora"}, QString());
        addRow("options only", QStringList{"velmora", "--no-splash", "--demo"}, QString());
        addRow("file after options", QStringList{"velmora", "--no-splash", "fleet.vel"}, "fleet.vel");
        addRow("dash file after --", QStringList{"velmora", "--", "-old.vel"}, "-old.vel");
        addRow("absolute kept", QStringList{"velmora", "/data/my fleet.vel"}, "/data/my fleet.vel");
    }

    void dataFileArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(CommandLine::dataFileArgument(arguments),
                 file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath());
    }

    // velmora FILE: a first start opens FILE instead of the stored data file, and moves an autostart entry
    // left under the earlier name; a later start hands FILE to the running copy, which opens it, and a later
    // start without a file wakes the running copy. A socket left by a crash does not block the first.
    void fileOnTheCommandLineIsOpened()
    {
        Database scratch;
        const QString stored = m_env->createDatabase(scratch, "stored.vel");
        const QString named = m_env->createDatabase(scratch, "named one.vel");
        scratch.close();
        m_app->settings().setDatabaseLocation(stored);
        const QString oldEntry = QDir(Autostart::folder()).filePath("velmora-reminder.desktop");
        writeFile(oldEntry, "[Desktop Entry]\nType=Application\nName=old\nExec=velmora-notify\n");

        QVERIFY(m_app->initInstance({"velmora", "--no-splash", named}));
        QCOMPARE(m_app->databasePath(), named);
        QVERIFY(!QFileInfo::exists(oldEntry));
        QVERIFY(readFile(Autostart::entryPath()).contains("Name=old"));

        const QString key = m_env->path("instance");
        const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(key).constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(descriptor);
        QVERIFY(QFileInfo::exists(key));
        SingleInstance running(key);
        QVERIFY(running.claim());
        QVERIFY(running.isRunningCopy());
        QObject::connect(&running, &SingleInstance::openRequested, m_app->mainFrame(),
                         &CMainFrame::openDataFile);
        QSignalSpy opened(&running, &SingleInstance::openRequested);
        QSignalSpy activations(&running, &SingleInstance::activationRequested);
        SingleInstance second(key);
        QVERIFY(!second.claim(stored));
        QVERIFY(!second.isRunningCopy());
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(m_app->databasePath(), stored);
        QCOMPARE(m_app->settings().databaseLocation(), stored);

        // A file that is no data file is refused with its name, and the one in use stays.
        const QString text = m_env->path("notes\nwith a newline.vel");
        writeFile(text, "not a database");
        m_prompter->answer(Prompter::Answer::Ok);
        QVERIFY(!SingleInstance(key).claim(text));
        QTRY_COMPARE(opened.count(), 2);
        QCOMPARE(opened.last().constFirst().toString(), text);
        QVERIFY(m_prompter->prompts().last().text.contains(QFileInfo(text).fileName()));
        QCOMPARE(m_app->databasePath(), stored);

        const int woken = activations.count();
        QVERIFY(!SingleInstance(key).claim());
        QTRY_COMPARE(activations.count(), woken + 1);
        QCOMPARE(opened.count(), 2);
    }

    void demoDataMakesAWorkingFleet()
    {
        Database db;
        m_env->createDatabase(db);
        DemoData::fill(db);
        QVERIFY(ReadingEstimate::bringAllForward(db) >= 3);
        const auto holds = [&](const char* value, const char* query) {
            QCOMPARE(columnOf(db, query), QStringList{value});
        };
        holds("2", "SELECT count(*) FROM Owners");
        holds("1", "SELECT count(*) FROM ContactInfo c JOIN Owners o ON o.ContactID = c.ContactID "
                   "WHERE c.ContactType = 1 AND c.CompanyName <> ''");
        holds("1", "SELECT count(*) >= 3 FROM Vehicles v JOIN Owners o ON o.OwnerID = v.OwnerID");
        // A year of fill-ups for three vehicles, no later one at a lower reading than an earlier one.
        holds("3 12", "SELECT count(DISTINCT VehicleID) || ' ' || sum(Fillup <> 0) FROM GasLog");
        holds("0", "SELECT count(*) FROM GasLog a JOIN GasLog b ON a.VehicleID = b.VehicleID "
                   "AND a.Date < b.Date AND a.Mileage > b.Mileage");
    }

    // The window on a data file that other programs use too: the tools refuse to replace it while the window
    // has it. A program that does not claim the file (an older version, a copy tool) puts another file in its
    // place: nothing the window saves goes to the replaced file, and the views show the new one.
    void theWindowKeepsItsFileFromTheToolsAndFollowsAReplacedOne()
    {
        const QString path = sharedFile();
        QVERIFY(m_app->initInstance({}));
        saveOwner(1);
        const QRegularExpression heldByTheWindow(
            "Velmora.vel is open in tst_startup on \\S+@\\S+ since \\d\\d:\\d\\d; close it there first");
        for (const QStringList& args :
             {QStringList{"compact", path}, QStringList{"restore", m_env->path("Velmora.bak"), path}}) {
            const CliRun run = runCli(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(heldByTheWindow), qPrintable(run.err));
        }
        saveOwner(2);
        QVERIFY(m_app->mainFrame()->switchForm(HomeForm));
        saveOwner(3);
        QCOMPARE(owners(path), 3);

        const QString old = m_env->path("old.vel");
        QVERIFY(link(QFile::encodeName(path).constData(), QFile::encodeName(old).constData()) == 0);
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(m_env->path("Velmora.bak"), path));
        QVERIFY_THROWS_EXCEPTION(CdbException, saveOwner(4));
        saveOwner(5);
        QCOMPARE(owners(old), 3);
        QCOMPARE(owners(path), 1);

        // Replaced once more, the next form shown reads the new file.
        QFile::remove(path);
        QVERIFY(QFile::copy(m_env->path("Velmora.bak"), path));
        QVERIFY(m_app->mainFrame()->switchForm(HomeForm));
        saveOwner(6);
        QCOMPARE(owners(path), 1);
    }

    void aSecondWindowIsOfferedTheFileReadOnly_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only") << true;
        QTest::newRow("cancel") << false;
    }

    void aSecondWindowIsOfferedTheFileReadOnly()
    {
        QFETCH(bool, readOnly);
        const QString path = sharedFile();
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELMORA_TEST_HOLD", path);
        env.insert("VELMORA_TEST_HOLD_AS", "Velmora");
        other.setProcessEnvironment(env);
        other.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(other.waitForReadyRead(20000));

        m_prompter->answer(readOnly ? Prompter::Answer::Yes : Prompter::Answer::No,
                           "Velmora.vel is open in Velmora on ");
        QCOMPARE(m_app->initInstance({}), readOnly);
        QVERIFY(m_prompter->prompts().first().text.contains(QRegularExpression(
            "since \\d\\d:\\d\\d.*read-only", QRegularExpression::DotMatchesEverythingOption)));
        if (readOnly) {
            QVERIFY(m_app->database().isReadOnly());
            QVERIFY(m_app->mainFrame()->switchForm(OwnerForm));
            CFormView* form = m_app->mainFrame()->shownForm();
            QVERIFY(!form->canNew() && !form->canEdit());
        }
        other.closeWriteChannel();
        other.waitForFinished(20000);
    }

    void generatedFleetHasItsProportions()
    {
        const QString path = m_env->path("fleet.vel");
        const CliRun run = runCli({"generate-fleet", path, "--vehicles", "10", "--seed", "3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out,
                 QString("Generated 10 vehicles of 1 owners, 190 schedule entries, 500 maintenance entries "
                         "with 1500 performed services, 50 job orders, 1000 fill-ups, 3 loans, 6 insurance "
                         "records\n"));
        Database db;
        db.open(path);
        const auto holds = [&](const char* value, const char* query) {
            QCOMPARE(columnOf(db, query), QStringList{value});
        };
        holds("1500", "SELECT count(*) FROM MaintServices WHERE LinkInd = 0");
        holds("7,1,2", "SELECT group_concat(n) FROM (SELECT count(*) n FROM Vehicles GROUP BY Measurement, "
                       "HoursInd ORDER BY Measurement, HoursInd)");
        // Readings only grow with the dates, up to the vehicle's last actual reading.
        holds("0", "SELECT count(*) FROM GasLog a JOIN GasLog b ON a.VehicleID = b.VehicleID "
                   "AND a.Date < b.Date AND a.Mileage > b.Mileage");
        holds("0", "SELECT count(*) FROM Maintenance m JOIN Vehicles v ON v.VehicleID = m.VehicleID "
                   "WHERE m.MaintDate > v.DateOfActualMiles OR m.ActualMiles > v.EntryOfActualMiles");
        holds("10", "SELECT count(*) FROM JobOrder WHERE OpenInd <> 0");
        // One schedule entry per vehicle and service; Fillup non-zero marks the occasional partial tank.
        holds("0", "SELECT count(*) FROM (SELECT 1 FROM Schedule GROUP BY VehicleID, ServiceID HAVING "
                   "count(*) > 1)");
        holds("80", "SELECT count(*) FROM GasLog WHERE Fillup <> 0");
        holds("ok", "PRAGMA integrity_check");

        // The same seed gives the same rows.
        Database first;
        Database second;
        m_env->createDatabase(first, "first.vel");
        m_env->createDatabase(second, "second.vel");
        FleetGenerator::fill(first, 3, 11);
        FleetGenerator::fill(second, 3, 11);
        const QString rows =
            "SELECT group_concat(VehicleID || Mileage || Date || TotalCost || Gallons || Fillup) "
            "FROM GasLog";
        QCOMPARE(columnOf(first, rows), columnOf(second, rows));
    }
};

int main(int argc, char* argv[])
{
    // Run again as the other program that holds a data file.
    if (qEnvironmentVariableIsSet("VELMORA_TEST_HOLD")) {
        QCoreApplication app(argc, argv);
        return holdFileAsAnotherProgram();
    }
    QApplication app(argc, argv);
    StartUpTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
