#include "DataRows.h"
#include "Dialogs.h"
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
#include "app/WindowPlacement.h"
#include "app/ui/DaysAheadDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/VehicleFieldsDialog.h"
#include "app/ui/VelApp.h"
#include "app/ui/WelcomeDialog.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "fleet/ReadingEstimate.h"
#include "forms/FormView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A form that records what the frame asks of it.
class ProbeForm : public CFormView
{
public:
    using CFormView::CFormView;

    bool canLeave(int target) override
    {
        leaveTargets << target;
        return mayLeave;
    }
    void enter(int a, int b) override
    {
        entries << QPair<int, int>(a, b);
        if (redirectTo) {
            const int target = redirectTo;
            redirectTo = 0;
            Q_EMIT switchFormRequested(target, 0, 0);
        }
    }
    void onDocumentUpdate(int hint) override { hints << hint; }
    bool canNew() const override { return true; }
    bool canSave() const override { return saveAvailable; }
    void commandNew() override { commands << "new"; }

    bool mayLeave = true;
    bool saveAvailable = false;
    int redirectTo = 0;
    QList<int> leaveTargets;
    QList<QPair<int, int>> entries;
    QList<int> hints;
    QStringList commands;
};

const QString BeforeStartUp;

// The application on a fresh folder and settings, with the named data file open; or BeforeStartUp: with none,
// at a fixed time, the welcome choices scripted (Cancel once they run out) and the reminder's launches kept.
// Whatever was scripted for the prompter must have been asked by the end.
struct Fixture
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    CVelApp app{prompter};
    QHash<int, int> created;
    QList<WelcomeChoice> choices;
    int welcomeShown = 0;
    QStringList launched;

    explicit Fixture(const QString& fileName = QStringLiteral("Velmora.vel"))
    {
        if (fileName.isEmpty()) {
            app.setWelcomeChooser([this] {
                ++welcomeShown;
                return choices.isEmpty() ? WelcomeChoice::Cancel : choices.takeFirst();
            });
            app.setReminderLauncher([this](const QString& program) {
                launched << program;
                return false;
            });
            Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(15, 0)));
            return;
        }
        app.setDatabasePath(env.createDatabase(app.database(), fileName));
        // The reminder is looked for here, where there is none to start.
        app.settings().setText(QStringLiteral("Settings"), QStringLiteral("InstallDir"), env.folder());
    }
    ~Fixture() { QVERIFY(prompter.verifyDone()); }

    void registerProbes(CMainFrame& frame, std::initializer_list<int> numbers)
    {
        for (int number : numbers)
            frame.registerForm(number, [this, number](CVelApp& a, CVelDoc& d, QWidget* parent) -> CFormView* {
                ++created[number];
                return new ProbeForm(a, d, number, parent);
            });
    }

    // A current data file that other programs may use too, stored as the one to open, with a backup beside.
    QString sharedFile()
    {
        const QString path = dataFile("Velmora.vel");
        dataFile("Velmora.bak");
        app.settings().setDatabaseLocation(path);
        return path;
    }
    QString dataFile(const QString& name)
    {
        Database db;
        return env.createDatabase(db, name);
    }
    void saveOwner(int key)
    {
        app.database().execute(QString("INSERT INTO Owners (OwnerID, ContactID) VALUES (%1, %1)").arg(key));
    }

    int setting(const char* name) { return app.settings().integer("Settings", QLatin1String(name)); }
    void setSetting(const char* name, int value)
    {
        app.settings().setInteger("Settings", QLatin1String(name), value);
    }
};

int shownNumber(const CMainFrame& frame)
{
    return frame.shownForm() ? frame.shownForm()->formNumber() : NoForm;
}

QAction* action(CMainFrame& frame, const char* name)
{
    return frame.findChild<QAction*>(QLatin1String(name));
}

// The window on fleet.vel with a company owner, a person owner and the person's vehicle, for what the window
// says to the user.
struct WordsFixture : Fixture
{
    std::unique_ptr<CMainFrame> frame;

    WordsFixture() : Fixture(QStringLiteral("fleet.vel"))
    {
        app.database().execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName) "
            "VALUES (1, 1, 'Harbourline', '', ''), (2, 1, '', 'Reyes', 'Daniel')");
        app.database().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1), (2, 2)");
        app.database().execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, ActiveInd) "
            "VALUES (1, 2, '2019', 'Ford', -1)");
        frame = std::make_unique<CMainFrame>(app);
    }
    QString native(const QString& name) const { return QDir::toNativeSeparators(env.path(name)); }
    // The window is never shown, so its buttons have no place to click with the mouse.
    void click(const char* button)
    {
        frame->shownForm()->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    QString status() const { return frame->findChild<QLabel*>("messagePane")->text(); }
};

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

// The vehicle fields dialog on the given slots, with its two lists.
struct FieldsDialog
{
    CVehicleFieldsDialog dialog;
    QListWidget* left = dialog.findChild<QListWidget*>("fieldsNotSelected");
    QListWidget* right = dialog.findChild<QListWidget*>("fieldsSelected");

    explicit FieldsDialog(const QList<int>& fieldSlots) : dialog(fieldSlots) {}
    QPushButton* button(const char* name) { return dialog.findChild<QPushButton*>(QLatin1String(name)); }
    static QList<int> fieldsIn(const QListWidget* list)
    {
        QList<int> fields;
        for (int row = 0; row < list->count(); ++row)
            fields << list->item(row)->data(Qt::UserRole).toInt();
        return fields;
    }
};

const QList<int> DefaultFields{0, 1, 2, -1, -1, -1, -1, -1, -1, -1};

enum class FileKind { None, Missing, Text, NoUtilities };

int ownersIn(const QString& path)
{
    Database db;
    db.open(path, {}, true);
    return db.scalar("SELECT count(*) FROM Owners").toInt();
}

void typeDays(QDialog& dialog, const QString& text)
{
    auto* edit = dialog.findChild<QSpinBox*>(QStringLiteral("daysEdit"))->findChild<QLineEdit*>();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
}

} // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Forms past the owner form need an owner, those past the vehicle form a vehicle: No stays, Yes goes to
    // the form that makes one; once there is one, the form opens with its arguments.
    void prerequisites_data()
    {
        QTest::addColumn<int>("form");
        for (int form : {101, 102, 103, 104, 105, 106, 139, 140, 141, 143, 146, 154, 243})
            QTest::addRow("form %d", form) << form;
    }

    void prerequisites()
    {
        QFETCH(int, form);
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm, VehicleForm, form});
        // The question, answered No and then Yes; the form asked for is not made.
        const auto askedFor = [&](const QString& question, int maker) {
            const int before = shownNumber(frame);
            f.prompter.answer(Prompter::Answer::No, question);
            QVERIFY(!frame.switchForm(form));
            QCOMPARE(shownNumber(frame), before);
            QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Question);
            QCOMPARE(f.prompter.prompts().last().buttons, Prompter::Buttons::YesNo);
            f.prompter.answer(Prompter::Answer::Yes, question);
            QVERIFY(frame.switchForm(form));
            QCOMPARE(shownNumber(frame), maker);
            QVERIFY(!frame.createdForm(form));
        };
        if (form > OwnerForm)
            askedFor(Messages::OwnerRequired, OwnerForm);
        f.saveOwner(1);
        if (form > VehicleForm)
            askedFor(Messages::VehicleRequired, VehicleForm);
        f.app.database().execute("INSERT INTO Vehicles (VehicleID, OwnerID) VALUES (1, 1)");
        QVERIFY(frame.switchForm(form, 4, 2));
        QCOMPARE(shownNumber(frame), form);
        if (form != HomeForm)
            QCOMPARE(static_cast<ProbeForm*>(frame.createdForm(form))->entries.last(), qMakePair(4, 2));
    }

    void formsAreKeptCommandsFollowThemAndLeaveCheckIsHonoured()
    {
        Fixture f;
        f.saveOwner(1);
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm, VehicleForm});

        f.prompter.answer(Prompter::Answer::Ok, Messages::NoFormSelected);
        QVERIFY(!frame.switchForm(999));
        QCOMPARE(shownNumber(frame), int(HomeForm));

        // The commands follow the form in front.
        QAction* newAction = action(frame, "newAction");
        QAction* saveAction = action(frame, "saveAction");
        QVERIFY(!newAction->isEnabled() && !action(frame, "duplicateAction")->isEnabled());
        QVERIFY(frame.switchForm(OwnerForm));
        ProbeForm* owner = static_cast<ProbeForm*>(frame.createdForm(OwnerForm));
        QVERIFY(newAction->isEnabled() && !saveAction->isEnabled());
        owner->saveAvailable = true;
        Q_EMIT owner->commandStateChanged();
        QVERIFY(saveAction->isEnabled());
        showActive(frame);
        // Ctrl+S, Ctrl+E and Escape reach the form the same way; the form key tests press them on real forms.
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(owner->commands, QStringList{"new"});

        QVERIFY(frame.switchForm(HomeForm));
        QVERIFY(!saveAction->isEnabled());
        QVERIFY(!owner->isVisibleTo(&frame));
        QVERIFY(frame.switchForm(OwnerForm, 5, 7));
        QCOMPARE(f.created.value(OwnerForm), 1);
        QCOMPARE(owner->entries, (QList<QPair<int, int>>{{0, 0}, {5, 7}}));
        QVERIFY(f.prompter.busyCount() > 0 && f.prompter.busyDepth() == 0);

        owner->mayLeave = false;
        QVERIFY(!frame.switchForm(VehicleForm));
        QCOMPARE(shownNumber(frame), int(OwnerForm));
        QCOMPARE(owner->leaveTargets, (QList<int>{HomeForm, VehicleForm}));
        // Closing the window asks too; a refusal keeps it open and writes nothing.
        QVERIFY(!frame.close());
        QVERIFY(!f.app.settings().contains("Settings", "x2"));
        owner->mayLeave = true;

        // A form that asks for another while it is entered gets it once the switch is complete.
        owner->redirectTo = VehicleForm;
        QVERIFY(frame.switchForm(HomeForm) && frame.switchForm(OwnerForm));
        QCOMPARE(shownNumber(frame), int(VehicleForm));
        QVERIFY(frame.close());

        // A data file error while switching (here in the owner check) is shown, and the form in front stays.
        QVERIFY(frame.switchForm(HomeForm));
        f.app.database().close();
        f.prompter.answer(Prompter::Answer::Ok, QStringLiteral("no longer set"));
        QVERIFY(!frame.switchForm(VehicleForm));
        QCOMPARE(shownNumber(frame), int(HomeForm));
    }

    void placementSurvivesRestartAndIsKeptReachable()
    {
        Fixture f;
        const QRect normal(60, 30, 1000, 700);
        // One run of the window: placed as stored, then the steps, then closed.
        const auto run = [&](const std::function<void(CMainFrame&)>& steps) {
            CMainFrame frame(f.app);
            frame.restorePlacement();
            steps(frame);
            QVERIFY(frame.close());
        };
        run([&](CMainFrame& frame) { frame.setGeometry(normal); });
        QCOMPARE((QList<int>{f.setting("x1"), f.setting("y2"), f.setting("showCmd")}),
                 (QList<int>{60, 730, 1}));
        QCOMPARE(f.app.settings().databaseLocation(), f.app.databasePath());
        run([&](CMainFrame& frame) {
            QCOMPARE(frame.geometry(), normal);
            frame.showMaximized();
        });
        QCOMPARE(f.setting("showCmd"), 3);
        run([&](CMainFrame& frame) {
            QVERIFY(frame.isMaximized());
            QCOMPARE(frame.normalGeometry(), normal);
        });
        // Closed minimized: back as it was before, never minimized at start.
        f.setSetting("showCmd", 2);
        f.setSetting("flags", 0);
        run([&](CMainFrame& frame) {
            QVERIFY(!frame.isMaximized() && !frame.isMinimized());
            QCOMPARE(frame.geometry(), normal);
        });
        QVERIFY(WindowPlacement::of(normal, true, true).startsMaximized());

        // A place off every screen is brought back where the window can be reached.
        for (const auto& [name, value] : {std::pair{"x1", 5000}, {"y1", -4000}, {"x2", 5800}, {"y2", -3400}})
            f.setSetting(name, value);
        run([](CMainFrame& frame) {
            // The test screen (800 x 600) is below the window's minimum: its title bar is what must show.
            QVERIFY(
                QGuiApplication::primaryScreen()->availableGeometry().contains(frame.geometry().topLeft()));
            QCOMPARE(frame.geometry().size(), QSize(800, 600).expandedTo(frame.minimumSizeHint()));
        });

        const QRect primary(0, 0, 1920, 1040);
        const QRect onSecond(2000, 100, 800, 600);
        QCOMPARE(keepOnScreen(onSecond, {primary, QRect(1920, 0, 1280, 1024)}, primary), onSecond);
        // Only the bottom edge showing is not enough to grab the title bar.
        QVERIFY(primary.contains(keepOnScreen(QRect(100, -590, 800, 600), {primary}, primary)));
    }

    // The days ahead are 1 to 30; a new setting and restored data are told to the forms, and restored data
    // also goes home.
    void daysAheadAndRestoredDataTellTheForms()
    {
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm});
        QVERIFY(frame.switchForm(OwnerForm));
        ProbeForm* owner = static_cast<ProbeForm*>(frame.createdForm(OwnerForm));
        const auto daysAhead = [&](const std::function<void(QDialog&)>& steps) {
            withDialog([&] { action(frame, "daysAheadAction")->trigger(); }, steps);
        };

        daysAhead([](QDialog& dialog) { dialog.reject(); });
        QVERIFY(owner->hints.isEmpty());
        daysAhead([&](QDialog& dialog) {
            auto* days = dialog.findChild<QSpinBox*>(QStringLiteral("daysEdit"));
            QCOMPARE(days->text(), QStringLiteral("5"));
            for (const char* refused : {"0", "31", ""}) {
                f.prompter.answer(Prompter::Answer::Ok, Messages::DaysAheadOutOfRange);
                typeDays(dialog, QLatin1String(refused));
                QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Exclamation);
                QVERIFY(dialog.isVisible());
                QCOMPARE(dialog.focusWidget(), days);
                QCOMPARE(f.app.settings().daysAhead(), 5);
            }
            typeDays(dialog, QStringLiteral("30"));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        });
        QCOMPARE(owner->hints, QList<int>{DaysAheadHint});
        QCOMPARE(f.app.settings().daysAhead(), 30);
        daysAhead([](QDialog& dialog) { typeDays(dialog, QStringLiteral("1")); });
        QCOMPARE(f.app.settings().daysAhead(), 1);

        frame.dataReplaced();
        QCOMPARE(owner->hints, (QList<int>{DaysAheadHint, DaysAheadHint, DataRestoredHint}));
        QCOMPARE(shownNumber(frame), int(HomeForm));
    }

    void reminderToggleTouchesOnlyOurEntry()
    {
        Fixture f;
        QVERIFY(Autostart::registerReminder(QStringLiteral("/old/velmora-notify")));
        const QString other = QDir(Autostart::folder()).filePath(QStringLiteral("other-program.desktop"));
        writeFile(other, "");

        CMainFrame frame(f.app);
        QAction* reminder = action(frame, "reminderAction");
        QVERIFY(reminder->isChecked());
        f.prompter.answer(Prompter::Answer::Ok, Messages::ReminderNoLongerLoaded);
        reminder->trigger();
        QVERIFY(!reminder->isChecked() && !Autostart::isRegistered() && QFile::exists(other));
        QCOMPARE(f.setting("NotifyPgm"), 0);

        reminder->trigger();
        QVERIFY(reminder->isChecked() && QFile::exists(other));
        const QString program = QDir(f.env.folder()).filePath(QStringLiteral("velmora-notify"));
        QVERIFY(readFile(Autostart::entryPath())
                    .contains(("\nExec=" + Autostart::execArgument(program) + "\n").toUtf8()));
        QCOMPARE(f.setting("NotifyPgm"), 8);

        // Both option marks start from their stored states.
        f.setSetting("NotifyPgm", 0);
        f.setSetting("Graphical", 0);
        CMainFrame again(f.app);
        QVERIFY(!action(again, "reminderAction")->isChecked() && !again.graphicalFrontEnd());
        action(again, "graphicalAction")->trigger();
        QCOMPARE(f.setting("Graphical"), 8);
    }

    // Every menu's access keys are unique; the title names the data file; its dialogs offer every .vel file.
    void menusTitleAndDataFileDialogs()
    {
        WordsFixture f;
        std::function<void(const QString&, const QList<QAction*>&)> check =
            [&](const QString& menu, const QList<QAction*>& actions) {
                QMap<QChar, QString> keys;
                for (QAction* action : actions) {
                    const QString text = action->text();
                    const qsizetype amp = QString(text).replace("&&", "__").indexOf('&');
                    // The Help menu's commands have one each, as the other menus' commands do.
                    QVERIFY2(amp >= 0 || action->isSeparator() || !menu.contains("Help"), qPrintable(text));
                    if (amp >= 0 && amp + 1 < text.size()) {
                        const QChar key = text[amp + 1].toLower();
                        QVERIFY2(!keys.contains(key), qPrintable(QString("%1: \"%2\" and \"%3\" share %4")
                                                                     .arg(menu, keys.value(key), text, key)));
                        keys.insert(key, text);
                    }
                    if (action->menu())
                        check(text, action->menu()->actions());
                }
            };
        check("menu bar", f.frame->menuBar()->actions());
        QCOMPARE(f.frame->windowTitle(), QString("fleet.vel \u2014 Velmora"));
        f.prompter.file(f.dataFile("second.vel"));
        action(*f.frame, "openDataFileAction")->trigger();
        QCOMPARE(f.frame->windowTitle(), QString("second.vel \u2014 Velmora"));
        QCOMPARE(f.prompter.prompts().last().dialog.filter,
                 QString("Velmora Data Files (*.vel);;All Files (*)"));
        f.prompter.file(QString());
        action(*f.frame, "newDataFileAction")->trigger();
        QCOMPARE(f.prompter.prompts().last().dialog.filter, QString("Velmora Data Files (*.vel)"));
    }

    // The status bar says what was saved where; the report form names owners as the other lists do.
    void statusBarAndReportOwnerWords()
    {
        WordsFixture f;
        f.prompter.file(f.env.path("fleet.bak")).answer(Prompter::Answer::Ok, Messages::BackupSucceeded);
        action(*f.frame, "backupAction")->trigger();
        QCOMPARE(f.status(), "Saved a backup of fleet.vel to " + f.native("fleet.bak"));

        QVERIFY(f.frame->switchForm(ReportForm, 3));
        auto* owners = f.frame->shownForm()->findChild<QComboBox*>("ownerList");
        QStringList items;
        for (int i = 0; i < owners->count(); ++i)
            items << owners->itemText(i);
        QCOMPARE(items, QStringList({"** All Owners **", "Reyes, Daniel", "Harbourline"}));
        f.prompter.file(f.env.path("gas-log.pdf"));
        f.click("exportPdfButton");
        QCOMPARE(f.status(), "Saved Gas Log to " + f.native("gas-log.pdf"));

        QVERIFY(f.frame->switchForm(ScheduleForm));
        withDialog([&] { f.click("scheduleTemplatesButton"); },
                   [](QDialog& dialog) {
                       dialog.findChild<QRadioButton*>("makeTemplateRadio")->click();
                       QTest::keyClicks(dialog.findChild<QLineEdit*>("templateName"), "Winter fleet");
                       QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
                   });
        QCOMPARE(f.status(), QString("Saved this schedule to template \"Winter fleet\""));
    }

    void autostartFolderFollowsXdgConfigHome()
    {
        TestEnvironment env;
        QCOMPARE(Autostart::entryPath(),
                 env.path(QStringLiteral("config/autostart/com.halvernsoftware.Velmora.Reminder.desktop")));

        // A relative or empty value is ignored; the variable comes back before any comparison can end the
        // test.
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        QStringList folders;
        for (const char* value : {"relative/config", ""}) {
            qputenv("XDG_CONFIG_HOME", value);
            folders << Autostart::folder();
        }
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(folders, QStringList(2, QDir::home().filePath(QStringLiteral(".config/autostart"))));
    }

    void autostartEntry_data()
    {
        QTest::addColumn<QString>("program"); // empty: the reminder is turned off
        QTest::addColumn<QString>("exec");
        QTest::addColumn<bool>("newAlreadyThere");
        addRow("plain, old entry only", "/opt/velmora/velmora-notify", "/opt/velmora/velmora-notify", false);
        addRow("space, both entries", "/opt/my apps/velmora-notify", "\"/opt/my apps/velmora-notify\"", true);
        // $ and ` are escaped inside the quotes; the value's own rule doubles that escape's backslash.
        addRow("dollar", "/home/a$b/velmora-notify", "\"/home/a\\\\$b/velmora-notify\"", false);
        addRow("quote", "/x\"y/velmora-notify", "\"/x\\\\\"y/velmora-notify\"", false);
        addRow("percent", "/opt/100%/velmora-notify", "/opt/100%%/velmora-notify", false);
        addRow("off, old entry only", "", "", false);
        addRow("off, both entries", "", "", true);
    }

    // The reminder's entry runs the program quoted for the Exec key; turning it on or off also settles an
    // entry left under the earlier name.
    void autostartEntry()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QFETCH(bool, newAlreadyThere);
        TestEnvironment env;
        const QString oldEntry = QDir(Autostart::folder()).filePath("velmora-reminder.desktop");
        writeFile(oldEntry, "old");
        if (newAlreadyThere)
            writeFile(Autostart::entryPath(), "new");
        const bool registering = !program.isEmpty();
        QVERIFY(registering ? Autostart::registerReminder(program) : Autostart::unregisterReminder());
        // The old entry is gone: only the new one may be left.
        QCOMPARE(QDir(Autostart::folder()).entryList(QDir::Files).size(), registering ? 1 : 0);
        if (registering)
            QVERIFY(readFile(Autostart::entryPath()).contains(("\nExec=" + exec + "\n").toUtf8()));
    }

    // F1 and Help > User Guide open the guide at the form in front; the guide has the chapters the daily
    // work needs.
    void userGuideOpensAtTheFormInFront()
    {
        WordsFixture f;
        CMainFrame& frame = *f.frame;
        frame.show();
        QVERIFY(frame.findChild<QMenu*>("helpMenu")->actions().contains(action(frame, "userGuideAction")));

        HelpWindow* window = nullptr;
        const std::pair<int, const char*> sections[] = {
            {HomeForm, "Getting started"},
            {GasForm, "Fuel"},
            {JobOrderForm, "Job orders"},
            {ScheduleMonitorForm, "The schedule monitor and reminders"},
            {MaintenanceForm, "Maintenance"}};
        for (const auto& [form, section] : sections) {
            QVERIFY(frame.switchForm(form));
            QApplication::setActiveWindow(&frame);
            QTest::keyClick(frame.shownForm(), Qt::Key_F1);
            window = frame.findChild<HelpWindow*>();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->currentSection(), QString::fromLatin1(section));
        }

        const auto* contents = window->findChild<QTreeWidget*>("helpContents");
        for (const char* chapter :
             {"Getting started", "Fuel", "Maintenance", "Job orders", "The schedule monitor and reminders",
              "Reports", "Backups", "The command-line tool", "Importing"})
            QVERIFY2(!contents->findItems(chapter, Qt::MatchExactly).isEmpty(), chapter);
        QCOMPARE(frame.findChildren<HelpWindow*>().size(), 1);
        saveScreenshot(*window, "help-window-maintenance");

        QApplication::setActiveWindow(window);
        QTest::keyClick(window->findChild<QTextBrowser*>("helpText"), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    // The vehicle fields dialog opens with the stored fields in slot order, a field twice or out of range
    // dropped; removing puts a field back in field order, by the button or a double-click.
    void vehicleFieldsOpenAndRemove()
    {
        FieldsDialog f({8, -1, 1, 8, 42, 3, -1, -1, -1, -1});
        QCOMPARE(f.fieldsIn(f.left), QList<int>({0, 2, 4, 5, 6, 7, 9}));
        QCOMPARE(f.dialog.fieldSlots(), QList<int>({8, 1, 3, -1, -1, -1, -1, -1, -1, -1}));

        f.right->setCurrentRow(1); // field 1
        f.button("removeButton")->click();
        QCOMPARE(f.fieldsIn(f.left), QList<int>({0, 1, 2, 4, 5, 6, 7, 9}));
        QCOMPARE(f.left->currentRow(), 1);
        QCOMPARE(f.right->currentItem()->data(Qt::UserRole).toInt(), 3);

        // A double-click in the right list removes too; the last entry leaves the first selected.
        f.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.dialog));
        const QRect place = f.right->visualItemRect(f.right->item(1));
        QTest::mouseClick(f.right->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(f.right->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(f.fieldsIn(f.right), QList<int>({8}));
        QCOMPARE(f.fieldsIn(f.left), QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 9}));
        QCOMPARE(f.right->currentRow(), 0);

        f.dialog.removeSelected();
        QCOMPARE(f.dialog.fieldSlots(), QList<int>(10, -1));
    }

    void vehicleFieldsAddToTheEndAndMoveUpAndDown()
    {
        FieldsDialog f(DefaultFields);
        f.left->setCurrentRow(1); // field 4
        f.button("addButton")->click();
        QCOMPARE(f.right->currentRow(), 3);
        QCOMPARE(f.left->currentItem()->data(Qt::UserRole).toInt(), 5);

        f.left->setCurrentRow(f.left->count() - 1); // field 9, the last: the first entry is selected next
        QTest::keyClick(f.left, Qt::Key_Space);
        QCOMPARE(f.left->currentRow(), 0);

        while (f.left->count() > 0) {
            f.left->setCurrentRow(0);
            f.dialog.addSelected();
        }
        QCOMPARE(f.dialog.fieldSlots(), QList<int>({0, 1, 2, 4, 9, 3, 5, 6, 7, 8}));
        f.dialog.addSelected(); // nothing left to add
        QCOMPARE(f.right->count(), 10);

        // Up and down move the chosen field and stop at the ends.
        QPushButton* up = f.button("upButton");
        QPushButton* down = f.button("downButton");
        f.right->setCurrentRow(0);
        up->click();
        down->click();
        QCOMPARE(f.right->currentRow(), 1);
        f.right->setCurrentRow(8);
        down->click();
        down->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({1, 0, 2, 4, 9, 3, 5, 6, 8, 7}));
        QCOMPARE(f.right->currentRow(), 9);
        up->click();
        QCOMPARE(f.fieldsIn(f.right).last(2), QList<int>({7, 8}));
        QCOMPARE(f.right->currentRow(), 8);

        // Arrows on the buttons, beside the mnemonics as given.
        QVERIFY(!up->icon().isNull() && !down->icon().isNull());
        QCOMPARE(up->text() + down->text(), QString("&u&d"));
        QVERIFY(up->toolTip().contains("Alt+U") && down->toolTip().contains("Alt+D"));
    }

    void vehicleFieldsOkStoresTheSlotsAndCancelChangesNothing()
    {
        Fixture f;
        // Adds the last field on the left, then closes the dialog with the button.
        const auto addLastAnd = [](const char* button) {
            return [button](CVehicleFieldsDialog& dialog) {
                auto* left = dialog.findChild<QListWidget*>("fieldsNotSelected");
                left->setCurrentRow(left->count() - 1);
                dialog.addSelected();
                dialog.findChild<QPushButton*>(button)->click();
            };
        };
        withDialog<CVehicleFieldsDialog>([&] { QVERIFY(!runVehicleFieldsDialog(f.app, nullptr)); },
                                         addLastAnd("cancelButton"));
        QCOMPARE(f.app.vehicleColumns(), DefaultFields);
        withDialog<CVehicleFieldsDialog>([&] { QVERIFY(runVehicleFieldsDialog(f.app, nullptr)); },
                                         addLastAnd("okButton"));
        const QList<int> expected{0, 1, 2, 9, -1, -1, -1, -1, -1, -1};
        QCOMPARE(f.app.vehicleColumns(), expected);
        f.app.settings().sync();
        QSettings stored("Halvern Software", "Velmora");
        for (int slot = 0; slot < 10; ++slot)
            QCOMPARE(stored.value(QString("Vehiclefields/%1").arg(slot)).toInt(), expected[slot]);
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
        Fixture f(BeforeStartUp);
        QFETCH(int, kind);
        QFETCH(QString, notice);
        QFETCH(QString, preselected);
        // The kind of unusable file start-up may find at DBLoc.
        const QString path = kind == int(FileKind::None) ? QString() : f.env.path("Velmora.vel");
        if (kind == int(FileKind::Text))
            writeFile(path, "not a database at all");
        if (kind == int(FileKind::NoUtilities)) {
            Database db;
            db.create(path);
            db.execute("CREATE TABLE Vehicles (VehicleID INTEGER)");
        }
        CWelcomeDialog dialog(welcomeNoticeFor(path));
        dialog.show();
        auto* text = dialog.findChild<QLabel*>("noticeText");
        QCOMPARE(text->isVisible(), !notice.isEmpty());
        if (!notice.isEmpty())
            QVERIFY2(text->text().contains(QDir::toNativeSeparators(path)) && text->text().contains(notice),
                     qPrintable(text->text()));
        QVERIFY(dialog.findChild<QRadioButton*>(preselected)->isChecked());
        QCOMPARE(dialog.findChild<QLabel*>("welcomeText")->text().contains("Thank you for choosing Velmora"),
                 kind == int(FileKind::None)); // only on the first run
        saveScreenshot(dialog, QStringLiteral("welcome-dialog-") +
                                   QString(QTest::currentDataTag()).replace(' ', '-'));

        f.app.settings().setDatabaseLocation(path);
        QVERIFY(!f.app.initInstance({}));
        QCOMPARE(f.welcomeShown, 1);
        QVERIFY(!f.app.mainFrame() && f.launched.isEmpty());
    }

    // A current file opens without upgrade or question, and the home screen shows its readings brought
    // forward to today.
    void currentDatabaseOpensWithoutUpgradeOrQuestion()
    {
        Fixture f(BeforeStartUp);
        Database db;
        const QString path = f.env.createDatabase(db);
        db.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        db.execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, EstMilesPerMonth, EntryOfActualMiles,"
            " DateOfActualMiles, DateOfEstimatedMiles, ActiveInd) VALUES (1, 1, '2019', 3000, 10000,"
            " '20260101', '20260101', -1)");
        db.close();
        Clock::setNow(QDateTime(QDate(2026, 1, 11), QTime(9, 0)));
        QCOMPARE(StartUp::checkDatabase(path).version, QString("B19"));
        f.app.settings().setDatabaseLocation(path);
        QVERIFY(f.app.initInstance({})); // with no choice scripted the welcome dialog would end the start
        QVERIFY(f.prompter.prompts().isEmpty());
        QVERIFY(f.app.mainFrame() && f.app.mainFrame()->isVisible());
        QCOMPARE(f.launched, QStringList({QDir(f.app.settings().installDir()).filePath("velmora-notify")}));
        QCOMPARE(f.app.mainFrame()->findChild<QLineEdit*>("readingEdit")->text(), QString("10,980"));
    }

    // The upgrade's steps themselves are checked on every old shape in the upgrade tests; here start-up
    // finds the version and runs them.
    void version20IsUpgradedAtStart()
    {
        Fixture f(BeforeStartUp);
        const QString path = f.env.path("Velmora.vel");
        buildOldFile(path, OldShape::V20);
        QCOMPARE(StartUp::checkDatabase(path).version, QString("2.0"));
        f.app.settings().setDatabaseLocation(path);
        f.app.settings().setInteger("Settings", "NotifyPgm", 0);
        f.prompter.answer(Prompter::Answer::No, Messages::MeasurementQuestion);
        QVERIFY(f.app.initInstance({}));
        QVERIFY(f.launched.isEmpty());
        QCOMPARE(DatabaseCreation::readVersion(f.app.database()), QString("B19"));
        QCOMPARE(columnOf(f.app.database(), "SELECT Measurement FROM Vehicles"), QStringList({"1", "1"}));
    }

    void createNewDataFileTakesTheTypedNameOfferingTheUsersDataFolder()
    {
        Fixture f(BeforeStartUp);
        QDir(f.env.folder()).mkdir("fleet");
        const QString typed = f.env.path("fleet/my own name.vel");
        // The first attempt is cancelled and the welcome dialog comes back.
        f.choices = {WelcomeChoice::Create, WelcomeChoice::Create};
        f.prompter.file(QString()).file(typed);
        QVERIFY(f.app.initInstance({}));
        QCOMPARE(f.welcomeShown, 2);
        QCOMPARE(f.app.databasePath(), typed);
        QCOMPARE(f.app.settings().databaseLocation(), typed);
        QCOMPARE(DatabaseCreation::readVersion(f.app.database()), QString("B19"));
        const Prompter::FileDialog dialog = f.prompter.prompts().first().dialog;
        QCOMPARE(dialog.defaultName, QString("Velmora.vel"));
        QCOMPARE(dialog.folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(QFileInfo(dialog.folder).isDir());
        // The dialog asks before a file of the typed name is replaced.
        QVERIFY(dialog.confirmOverwrite);
    }

    void locateChecksTheChosenFileAndImportAsksFirst()
    {
        Fixture f(BeforeStartUp);
        const QString text = f.env.path("notes.vel");
        writeFile(text, "shopping list");
        const QString goodPath = f.dataFile("Fleet.vel");

        f.choices = {WelcomeChoice::Import, WelcomeChoice::Restore, WelcomeChoice::Locate,
                     WelcomeChoice::Locate};
        f.prompter.answer(Prompter::Answer::Ok, Messages::SelectImportFile).file(QString());
        f.prompter.file(QString());
        f.prompter.file(text).answer(Prompter::Answer::Ok, "is not a Velmora data file");
        f.prompter.file(goodPath);
        QVERIFY(f.app.initInstance({}));
        QCOMPARE(f.welcomeShown, 4);
        QCOMPARE(f.app.databasePath(), goodPath);
        QCOMPARE(f.app.settings().databaseLocation(), goodPath);
        QCOMPARE(readFile(text), QByteArray("shopping list"));
    }

    void dataFileArgument()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{"velmora"}, ""},
            {{"velmora", "--no-splash", "--demo"}, ""},
            {{"velmora", "--no-splash", "fleet.vel"}, "fleet.vel"},
            {{"velmora", "--", "-old.vel"}, "-old.vel"}, // a dash file after --
            {{"velmora", "/data/my fleet.vel"}, "/data/my fleet.vel"}};
        for (const auto& [arguments, file] : cases)
            QCOMPARE(CommandLine::dataFileArgument(arguments),
                     file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath());
    }

    // velmora FILE: a first start opens FILE instead of the stored data file, and moves an autostart entry
    // left under the earlier name; a later start hands FILE to the running copy, which opens it, and a later
    // start without a file wakes the running copy. A socket left by a crash does not block the first.
    void fileOnTheCommandLineIsOpened()
    {
        Fixture f(BeforeStartUp);
        const QString stored = f.dataFile("stored.vel");
        const QString named = f.dataFile("named one.vel");
        f.app.settings().setDatabaseLocation(stored);
        const QString oldEntry = QDir(Autostart::folder()).filePath("velmora-reminder.desktop");
        writeFile(oldEntry, "[Desktop Entry]\nType=Application\nName=old\nExec=velmora-notify\n");

        QVERIFY(f.app.initInstance({"velmora", "--no-splash", named}));
        QCOMPARE(f.app.databasePath(), named);
        QVERIFY(!QFileInfo::exists(oldEntry));
        QVERIFY(readFile(Autostart::entryPath()).contains("Name=old"));

        const QString key = f.env.path("instance");
        const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        qstrncpy(address.sun_path, QFile::encodeName(key).constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(descriptor);
        SingleInstance running(key);
        QVERIFY(running.claim() && running.isRunningCopy());
        QObject::connect(&running, &SingleInstance::openRequested, f.app.mainFrame(),
                         &CMainFrame::openDataFile);
        QSignalSpy opened(&running, &SingleInstance::openRequested);
        QSignalSpy activations(&running, &SingleInstance::activationRequested);
        SingleInstance second(key);
        QVERIFY(!second.claim(stored) && !second.isRunningCopy());
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(f.app.databasePath(), stored);
        QCOMPARE(f.app.settings().databaseLocation(), stored);

        // A file that is no data file is refused with its name, and the one in use stays.
        const QString text = f.env.path("notes\nwith a newline.vel");
        writeFile(text, "not a database");
        f.prompter.answer(Prompter::Answer::Ok);
        QVERIFY(!SingleInstance(key).claim(text));
        QTRY_COMPARE(opened.count(), 2);
        QCOMPARE(opened.last().constFirst().toString(), text);
        QVERIFY(f.prompter.prompts().last().text.contains(QFileInfo(text).fileName()));
        QCOMPARE(f.app.databasePath(), stored);

        const int woken = activations.count();
        QVERIFY(!SingleInstance(key).claim());
        QTRY_COMPARE(activations.count(), woken + 1);
        QCOMPARE(opened.count(), 2);
    }

    // The window on a data file that other programs use too: the tools refuse to replace it while the window
    // has it. A program that does not claim the file (an older version, a copy tool) puts another file in its
    // place: nothing the window saves goes to the replaced file, and the views show the new one.
    void theWindowKeepsItsFileFromTheToolsAndFollowsAReplacedOne()
    {
        Fixture f(BeforeStartUp);
        const QString path = f.sharedFile();
        QVERIFY(f.app.initInstance({}));
        f.saveOwner(1);
        const QRegularExpression heldByTheWindow(
            "Velmora.vel is open in tst_mainframe on \\S+@\\S+ since \\d\\d:\\d\\d; close it there first");
        for (const QStringList& args :
             {QStringList{"compact", path}, QStringList{"restore", f.env.path("Velmora.bak"), path}}) {
            const CliRun run = runCli(args);
            QVERIFY2(run.exitCode == 1 && run.err.contains(heldByTheWindow), qPrintable(run.err));
        }
        f.saveOwner(2);
        QVERIFY(f.app.mainFrame()->switchForm(HomeForm));
        f.saveOwner(3);
        QCOMPARE(ownersIn(path), 3);

        const QString old = f.env.path("old.vel");
        QVERIFY(link(QFile::encodeName(path).constData(), QFile::encodeName(old).constData()) == 0);
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(f.env.path("Velmora.bak"), path));
        QVERIFY_THROWS_EXCEPTION(CdbException, f.saveOwner(4));
        f.saveOwner(5);
        QCOMPARE(ownersIn(old), 3);
        QCOMPARE(ownersIn(path), 1);

        // Replaced once more, the next form shown reads the new file.
        QFile::remove(path);
        QVERIFY(QFile::copy(f.env.path("Velmora.bak"), path));
        QVERIFY(f.app.mainFrame()->switchForm(HomeForm));
        f.saveOwner(6);
        QCOMPARE(ownersIn(path), 1);
    }

    void aSecondWindowIsOfferedTheFileReadOnly()
    {
        for (const bool readOnly : {true, false}) {
            Fixture f(BeforeStartUp);
            const QString path = f.sharedFile();
            QProcess other;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VELMORA_TEST_HOLD", path);
            env.insert("VELMORA_TEST_HOLD_AS", "Velmora");
            other.setProcessEnvironment(env);
            other.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(other.waitForReadyRead(20000));

            f.prompter.answer(readOnly ? Prompter::Answer::Yes : Prompter::Answer::No,
                              "Velmora.vel is open in Velmora on ");
            QCOMPARE(f.app.initInstance({}), readOnly);
            QVERIFY(f.prompter.prompts().first().text.contains(QRegularExpression(
                "since \\d\\d:\\d\\d.*read-only", QRegularExpression::DotMatchesEverythingOption)));
            if (readOnly) {
                QVERIFY(f.app.database().isReadOnly());
                QVERIFY(f.app.mainFrame()->switchForm(OwnerForm));
                CFormView* form = f.app.mainFrame()->shownForm();
                QVERIFY(!form->canNew() && !form->canEdit());
            }
            other.closeWriteChannel();
            other.waitForFinished(20000);
        }
    }

    // The demo data and a generated fleet have their proportions, and their readings only grow with the
    // dates.
    void demoAndGeneratedFleets()
    {
        Fixture f(BeforeStartUp);
        Database demo;
        f.env.createDatabase(demo);
        DemoData::fill(demo);
        QVERIFY(ReadingEstimate::bringAllForward(demo) >= 3);
        const QString path = f.env.path("fleet.vel");
        const CliRun run = runCli({"generate-fleet", path, "--vehicles", "10", "--seed", "3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out,
                 QString("Generated 10 vehicles of 1 owners, 190 schedule entries, 500 maintenance entries "
                         "with 1500 performed services, 50 job orders, 1000 fill-ups, 3 loans, 6 insurance "
                         "records\n"));
        Database db;
        db.open(path);
        const auto holds = [](Database& fleet, const char* value, const char* query) {
            QCOMPARE(columnOf(fleet, query), QStringList{value});
        };
        for (Database* fleet : {&demo, &db})
            holds(*fleet, "0",
                  "SELECT count(*) FROM GasLog a JOIN GasLog b USING (VehicleID) "
                  "WHERE a.Date < b.Date AND a.Mileage > b.Mileage");
        holds(demo, "2", "SELECT count(*) FROM Owners");
        holds(demo, "1",
              "SELECT count(*) FROM ContactInfo JOIN Owners USING (ContactID) "
              "WHERE ContactType = 1 AND CompanyName <> ''");
        holds(demo, "1", "SELECT count(*) >= 3 FROM Vehicles v JOIN Owners o ON o.OwnerID = v.OwnerID");
        // A year of fill-ups for three vehicles.
        holds(demo, "3 12", "SELECT count(DISTINCT VehicleID) || ' ' || sum(Fillup <> 0) FROM GasLog");

        holds(db, "1500", "SELECT count(*) FROM MaintServices WHERE LinkInd = 0");
        holds(db, "7,1,2",
              "SELECT group_concat(n) FROM (SELECT count(*) n FROM Vehicles "
              "GROUP BY Measurement, HoursInd ORDER BY Measurement, HoursInd)");
        // Maintenance goes no later and no higher than the vehicle's last actual reading.
        holds(db, "0",
              "SELECT count(*) FROM Maintenance JOIN Vehicles USING (VehicleID) "
              "WHERE MaintDate > DateOfActualMiles OR ActualMiles > EntryOfActualMiles");
        holds(db, "10", "SELECT count(*) FROM JobOrder WHERE OpenInd <> 0");
        // One schedule entry per vehicle and service; Fillup non-zero marks the occasional partial tank.
        holds(db, "0", "SELECT count(*) - count(DISTINCT VehicleID || ' ' || ServiceID) FROM Schedule");
        holds(db, "80", "SELECT count(*) FROM GasLog WHERE Fillup <> 0");
        holds(db, "ok", "PRAGMA integrity_check");

        // The same seed gives the same rows.
        const auto gasRows = [&](const QString& name) {
            Database generated;
            f.env.createDatabase(generated, name);
            FleetGenerator::fill(generated, 3, 11);
            return columnOf(generated, "SELECT group_concat(VehicleID || Mileage || Date || TotalCost || "
                                       "Gallons || Fillup) FROM GasLog");
        };
        QCOMPARE(gasRows("first.vel"), gasRows("second.vel"));
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
    TestMainFrame test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainframe.moc"
