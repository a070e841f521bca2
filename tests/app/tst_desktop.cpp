#include "DataRows.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"
#include "app/CommandLine.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "forms/FormView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

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

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(15, 0))); }

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
    // left under the earlier name; a later start hands FILE to the running copy, which opens it.
    void fileOnTheCommandLineIsOpened()
    {
        TestEnvironment env;
        ScriptedPrompter prompter;
        CVelApp app(prompter);
        app.setReminderLauncher([](const QString&) { return false; });
        Database scratch;
        const QString stored = env.createDatabase(scratch, "stored.vel");
        const QString named = env.createDatabase(scratch, "named one.vel");
        scratch.close();
        app.settings().setDatabaseLocation(stored);
        const QString oldEntry = QDir(Autostart::folder()).filePath("velmora-reminder.desktop");
        writeFile(oldEntry, "[Desktop Entry]\nType=Application\nName=old\nExec=velmora-notify\n");

        QVERIFY(app.initInstance({"velmora", "--no-splash", named}));
        QCOMPARE(app.databasePath(), named);
        QVERIFY(!QFileInfo::exists(oldEntry));
        QVERIFY(readFile(Autostart::entryPath()).contains("Name=old"));

        SingleInstance running(env.path("instance"));
        QVERIFY(running.claim());
        QObject::connect(&running, &SingleInstance::openRequested, app.mainFrame(),
                         &CMainFrame::openDataFile);
        QSignalSpy opened(&running, &SingleInstance::openRequested);
        SingleInstance second(env.path("instance"));
        QVERIFY(!second.claim(stored));
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(app.databasePath(), stored);
        QCOMPARE(app.settings().databaseLocation(), stored);

        // A file that is no data file is refused with its name, and the one in use stays.
        const QString text = env.path("notes\nwith a newline.vel");
        writeFile(text, "not a database");
        prompter.answer(Prompter::Answer::Ok);
        QVERIFY(!SingleInstance(env.path("instance")).claim(text));
        QTRY_COMPARE(opened.count(), 2);
        QCOMPARE(opened.last().constFirst().toString(), text);
        QVERIFY(prompter.prompts().last().text.contains(QFileInfo(text).fileName()));
        QCOMPARE(app.databasePath(), stored);
        QVERIFY(prompter.verifyDone());
    }

    // Turning the reminder on or off also settles an entry left under the earlier name.
    void oldAutostartEntryFollowsTheSetting_data()
    {
        QTest::addColumn<bool>("registering");
        QTest::addColumn<bool>("newAlreadyThere");
        for (bool registering : {true, false})
            for (bool newAlreadyThere : {false, true})
                QTest::addRow("%s, %s", registering ? "register" : "unregister",
                              newAlreadyThere ? "both" : "old only")
                    << registering << newAlreadyThere;
    }

    void oldAutostartEntryFollowsTheSetting()
    {
        QFETCH(bool, registering);
        QFETCH(bool, newAlreadyThere);
        TestEnvironment env;
        const QString oldEntry = QDir(Autostart::folder()).filePath("velmora-reminder.desktop");
        writeFile(oldEntry, "old");
        if (newAlreadyThere)
            writeFile(Autostart::entryPath(), "new");
        QVERIFY(registering ? Autostart::registerReminder("/opt/velmora/velmora-notify")
                            : Autostart::unregisterReminder());
        QVERIFY(!QFileInfo::exists(oldEntry));
        QCOMPARE(QFileInfo::exists(Autostart::entryPath()), registering);
        if (registering)
            QVERIFY(readFile(Autostart::entryPath()).contains("Exec=/opt/velmora/velmora-notify\n"));
        QCOMPARE(QDir(Autostart::folder()).entryList(QDir::Files).size(), registering ? 1 : 0);
    }

    // F1 and Help > User Guide open the guide at the form in front; the guide has the chapters the daily
    // work needs.
    void userGuideOpensAtTheFormInFront()
    {
        TestEnvironment env;
        ScriptedPrompter prompter;
        CVelApp app(prompter);
        app.setDatabasePath(env.createDatabase(app.database()));
        app.database().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        app.database().execute("INSERT INTO Vehicles (VehicleID, OwnerID) VALUES (1, 1)");
        CMainFrame frame(app);
        frame.show();

        QMenu* help = frame.findChild<QMenu*>("helpMenu");
        QVERIFY(help);
        QAction* guide = frame.findChild<QAction*>("userGuideAction");
        QVERIFY(help->actions().contains(guide));
        QCOMPARE(guide->shortcut(), QKeySequence(Qt::Key_F1));

        const struct
        {
            int form;
            const char* section;
        } rows[] = {{HomeForm, "Getting started"},
                    {GasForm, "Fuel"},
                    {JobOrderForm, "Job orders"},
                    {ScheduleMonitorForm, "The schedule monitor and reminders"},
                    {MaintenanceForm, "Maintenance"}};
        HelpWindow* window = nullptr;
        for (const auto& row : rows) {
            QVERIFY(frame.switchForm(row.form));
            QApplication::setActiveWindow(&frame);
            QTest::keyClick(frame.shownForm(), Qt::Key_F1);
            window = frame.findChild<HelpWindow*>();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->currentSection(), QString::fromLatin1(row.section));
        }

        QStringList chapters;
        const auto* contents = window->findChild<QTreeWidget*>("helpContents");
        for (int i = 0; i < contents->topLevelItemCount(); ++i)
            chapters << contents->topLevelItem(i)->text(0);
        for (const char* chapter :
             {"Getting started", "Fuel", "Maintenance", "Job orders", "The schedule monitor and reminders",
              "Reports", "Backups", "The command-line tool", "Importing"})
            QVERIFY2(chapters.contains(QLatin1String(chapter)), chapter);
        QCOMPARE(frame.findChildren<HelpWindow*>().size(), 1);
        saveScreenshot(*window, "help-window-maintenance");

        QApplication::setActiveWindow(window);
        QTest::keyClick(window->findChild<QTextBrowser*>("helpText"), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QVERIFY(prompter.verifyDone());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
