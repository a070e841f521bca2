#include "DataRows.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/DemoData.h"
#include "app/StartUp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/VelApp.h"
#include "app/ui/WelcomeDialog.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/Messages.h"
#include "fleet/ReadingEstimate.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

enum class FileKind { None, Missing, Text, NoUtilities, Version20, Current };

// Makes the kind of file start-up may find at DBLoc; returns its path.
QString makeFile(TestEnvironment& env, FileKind kind)
{
    const QString path = env.path("Velmora.vel");
    Database db;
    switch (kind) {
    case FileKind::None:
        return {};
    case FileKind::Missing:
        break;
    case FileKind::Text: {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("not a database at all");
        break;
    }
    case FileKind::NoUtilities:
        db.create(path);
        db.execute("CREATE TABLE Vehicles (VehicleID INTEGER)");
        break;
    case FileKind::Version20:
        // A current file taken back to the 2.0 shape: no version marker, measurement or job-order fields.
        env.createDatabase(db, "Velmora.vel");
        for (const char* statement :
             {"DROP TABLE JobOrder", "DROP TABLE MaintServicesUnexpected", "DROP TABLE ScheduleTemplate",
              "DROP TABLE ScheduleTemplateNames", "ALTER TABLE Utilities DROP COLUMN VerInd",
              "ALTER TABLE Schedule DROP COLUMN PerformEveryDay",
              "ALTER TABLE Vehicles DROP COLUMN Measurement", "ALTER TABLE Vehicles DROP COLUMN HoursInd",
              "DROP INDEX MaintServices_PrimaryKey", "ALTER TABLE MaintServices DROP COLUMN LinkInd",
              "CREATE UNIQUE INDEX MaintServices_PrimaryKey ON MaintServices (MaintID, ServiceID)",
              "ALTER TABLE Maintenance DROP COLUMN JobOrderID", "DROP TABLE GasLog",
              "CREATE TABLE GasLog (GasLogID INTEGER, VehicleID INTEGER, Date TEXT, Gallons REAL, "
              "MilesTank INTEGER, Mileage INTEGER, Cost REAL, StationID INTEGER, Memo TEXT)",
              "INSERT INTO Vehicles (VehicleID, OwnerID, ActiveInd, DateOfEstimatedMiles) VALUES (1, 1, 0, "
              "'')"})
            db.execute(statement);
        break;
    case FileKind::Current:
        env.createDatabase(db, "Velmora.vel");
        break;
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
        m_prompter->verifyDone();
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
        addRow("first run", int(FileKind::None), QString(), "createChoice");
        addRow("missing file", int(FileKind::Missing), "could not be found", "locateChoice");
        addRow("not a data file", int(FileKind::Text), "could not be opened: ", "createChoice");
        addRow("no Utilities table", int(FileKind::NoUtilities), "could not be opened: ", "createChoice");
    }

    void unusableDataFilesReachTheWelcomeDialog()
    {
        QFETCH(int, kind);
        QFETCH(QString, notice);
        QFETCH(QString, preselected);
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
        const QString path = makeFile(*m_env, FileKind::Current);
        {
            Database db;
            db.open(path);
            db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
            db.execute("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, EstMilesPerMonth, "
                       "EntryOfActualMiles, "
                       "DateOfActualMiles, DateOfEstimatedMiles, ActiveInd) "
                       "VALUES (1, 1, '2019', 3000, 10000, '20260101', '20260101', -1)");
        }
        Clock::setNow(QDateTime(QDate(2026, 1, 11), QTime(9, 0)));
        QCOMPARE(StartUp::checkDatabase(path).version, QString("B19"));
        m_app->settings().setDatabaseLocation(path);
        QVERIFY(m_app->initInstance({}));
        QCOMPARE(m_welcomeShown, 0);
        QVERIFY(m_prompter->prompts().isEmpty());
        QVERIFY(m_app->database().isOpen());
        QVERIFY(m_app->mainFrame() && m_app->mainFrame()->isVisible());
        QCOMPARE(m_launched, QStringList({QDir(m_app->settings().installDir()).filePath("velmora-notify")}));
        QCOMPARE(m_app->mainFrame()->findChild<QLineEdit*>("readingEdit")->text(), QString("10,980"));
    }

    void version20IsUpgradedThroughEveryStep()
    {
        const QString path = makeFile(*m_env, FileKind::Version20);
        const StartUp::DatabaseCheck check = StartUp::checkDatabase(path);
        QVERIFY(!check.mustLocate);
        QCOMPARE(check.version, QString("2.0"));
        m_app->settings().setDatabaseLocation(path);
        m_app->settings().setInteger("Settings", "NotifyPgm", 0);
        m_prompter->answer(Prompter::Answer::No, Messages::MeasurementQuestion);
        QVERIFY(m_app->initInstance({}));
        QVERIFY(m_launched.isEmpty());
        Database& db = m_app->database();
        QCOMPARE(DatabaseCreation::readVersion(db), QString("B19"));
        QCOMPARE(columnOf(db, "SELECT Measurement FROM Vehicles"), QStringList({"1"}));
        QVERIFY(db.hasTable("JobOrder") && db.hasTable("ScheduleTemplateNames"));
        QVERIFY(db.columnsOf("GasLog").contains("totalcost"));
        QVERIFY(db.columnsOf("MaintServices").contains("linkind"));
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
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("shopping list");
        file.close();
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
        QFile kept(text);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("shopping list"));
    }

    void secondCopyWakesTheFirstAndEnds()
    {
        const QString key = m_env->path("instance");
        SingleInstance first(key);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QVERIFY(first.claim());
        SingleInstance second(key);
        QVERIFY(!second.claim());
        QVERIFY(!second.isRunningCopy());
        QTRY_COMPARE(activations.count(), 1);
    }

    void socketLeftByACrashDoesNotBlockStartUp()
    {
        const QString key = m_env->path("instance");
        const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(key).constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(descriptor);
        QVERIFY(QFileInfo::exists(key));

        SingleInstance instance(key);
        QVERIFY(instance.claim());
        QVERIFY(instance.isRunningCopy());
    }

    void demoDataMakesAWorkingFleet()
    {
        Database db;
        m_env->createDatabase(db);
        DemoData::fill(db);
        QCOMPARE(columnOf(db, "SELECT count(*) FROM Owners"), QStringList({"2"}));
        QCOMPARE(columnOf(db, "SELECT count(*) FROM ContactInfo c JOIN Owners o ON o.ContactID = c.ContactID "
                              "WHERE c.ContactType = 1 AND c.CompanyName <> ''"),
                 QStringList({"1"}));
        QVERIFY(columnOf(db, "SELECT count(*) FROM Vehicles v JOIN Owners o ON o.OwnerID = v.OwnerID")
                    .first()
                    .toInt() >= 3);
        QVERIFY(ReadingEstimate::bringAllForward(db) >= 3);
        // A year of fill-ups for three vehicles, no later one at a lower reading than an earlier one.
        QCOMPARE(columnOf(db, "SELECT count(DISTINCT VehicleID) || ' ' || sum(Fillup <> 0) FROM GasLog"),
                 QStringList({"3 12"}));
        QCOMPARE(columnOf(db, "SELECT count(*) FROM GasLog a JOIN GasLog b ON a.VehicleID = b.VehicleID "
                              "AND a.Date < b.Date AND a.Mileage > b.Mileage"),
                 QStringList({"0"}));
    }
};

QTEST_MAIN(StartUpTest)
#include "tst_startup.moc"
