#include "DataRows.h"
#include "Dialogs.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"
#include "app/WindowPlacement.h"
#include "app/ui/DaysAheadDialog.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VehicleFieldsDialog.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Database.h"
#include "db/Messages.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include <functional>

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
    bool canEdit() const override { return true; }
    void commandNew() override { commands << "new"; }
    void announceState() { Q_EMIT commandStateChanged(); }

    bool mayLeave = true;
    bool saveAvailable = false;
    int redirectTo = 0;
    QList<int> leaveTargets;
    QList<QPair<int, int>> entries;
    QList<int> hints;
    QStringList commands;
};

struct Fixture
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    CVelApp app{prompter};
    QHash<int, int> created;

    explicit Fixture(const QString& fileName = QStringLiteral("Velmora.vel"))
    {
        app.setDatabasePath(env.createDatabase(app.database(), fileName));
        // The reminder is looked for here, where there is none to start.
        app.settings().setText(QStringLiteral("Settings"), QStringLiteral("InstallDir"), env.folder());
    }

    void addOwner() { app.database().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)"); }
    void addVehicle() { app.database().execute("INSERT INTO Vehicles (VehicleID, OwnerID) VALUES (1, 1)"); }

    void registerProbes(CMainFrame& frame, std::initializer_list<int> numbers)
    {
        for (int number : numbers)
            frame.registerForm(number, [this, number](CVelApp& a, CVelDoc& d, QWidget* parent) -> CFormView* {
                ++created[number];
                return new ProbeForm(a, d, number, parent);
            });
    }

    int setting(const char* name) { return app.settings().integer("Settings", QLatin1String(name)); }
    void setSetting(const char* name, int value)
    {
        app.settings().setInteger("Settings", QLatin1String(name), value);
    }
};

ProbeForm* probe(CMainFrame& frame, int number)
{
    return dynamic_cast<ProbeForm*>(frame.createdForm(number));
}

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
    void trigger(const char* name) { frame->findChild<QAction*>(QLatin1String(name))->trigger(); }
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
        QTest::addColumn<bool>("asksOwner");
        QTest::addColumn<bool>("asksVehicle");
        addRow("home", 101, false, false);
        addRow("owner", 102, false, false);
        addRow("vehicle", 103, true, false);
        for (int form : {104, 105, 106, 139, 140, 141, 143, 146, 154, 243})
            QTest::addRow("form %d", form) << form << true << true;
    }

    void prerequisites()
    {
        QFETCH(int, form);
        QFETCH(bool, asksOwner);
        QFETCH(bool, asksVehicle);
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm, VehicleForm});
        if (form != OwnerForm && form != VehicleForm)
            f.registerProbes(frame, {form});
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
        if (asksOwner)
            askedFor(Messages::OwnerRequired, OwnerForm);
        f.addOwner();
        if (asksVehicle)
            askedFor(Messages::VehicleRequired, VehicleForm);
        f.addVehicle();
        QVERIFY(frame.switchForm(form, 4, 2));
        QCOMPARE(shownNumber(frame), form);
        if (form != HomeForm)
            QCOMPARE(probe(frame, form)->entries.last(), (QPair<int, int>(4, 2)));
        QVERIFY(f.prompter.verifyDone());
    }

    void formsAreKeptCommandsFollowThemAndLeaveCheckIsHonoured()
    {
        Fixture f;
        f.addOwner();
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
        ProbeForm* owner = probe(frame, OwnerForm);
        QVERIFY(newAction->isEnabled() && !saveAction->isEnabled());
        owner->saveAvailable = true;
        owner->announceState();
        QVERIFY(saveAction->isEnabled());
        frame.show();
        QApplication::setActiveWindow(&frame);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        // Ctrl+S, Ctrl+E and Escape reach the form the same way; the form key tests press them on real forms.
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(owner->commands, QStringList{"new"});

        QVERIFY(frame.switchForm(HomeForm));
        QVERIFY(!saveAction->isEnabled());
        QVERIFY(!owner->isVisibleTo(&frame));
        QVERIFY(frame.switchForm(OwnerForm, 5, 7));
        QCOMPARE(probe(frame, OwnerForm), owner);
        QCOMPARE(f.created.value(OwnerForm), 1);
        QCOMPARE(owner->entries, (QList<QPair<int, int>>{{0, 0}, {5, 7}}));
        QVERIFY(f.prompter.busyCount() > 0 && f.prompter.busyDepth() == 0);

        owner->mayLeave = false;
        QVERIFY(!frame.switchForm(VehicleForm));
        QCOMPARE(shownNumber(frame), int(OwnerForm));
        QCOMPARE(owner->leaveTargets, (QList<int>{HomeForm, VehicleForm}));
        // Closing the window asks too; a refusal keeps it open and writes nothing.
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
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
        QVERIFY(f.prompter.verifyDone());
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
        QCOMPARE(f.setting("x1"), 60);
        QCOMPARE(f.setting("y2"), 730);
        QCOMPARE(f.setting("showCmd"), 1);
        QCOMPARE(f.app.settings().databaseLocation(), f.app.databasePath());
        run([&](CMainFrame& frame) {
            QCOMPARE(frame.geometry(), normal);
            QVERIFY(!frame.isMaximized());
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
        ProbeForm* owner = probe(frame, OwnerForm);
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
        QVERIFY(f.prompter.verifyDone());
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
        QVERIFY(!reminder->isChecked());
        QVERIFY(!Autostart::isRegistered());
        QVERIFY(QFile::exists(other));
        QCOMPARE(f.setting("NotifyPgm"), 0);

        reminder->trigger();
        QVERIFY(reminder->isChecked());
        const QString program = QDir(f.env.folder()).filePath(QStringLiteral("velmora-notify"));
        QVERIFY(readFile(Autostart::entryPath())
                    .contains(("\nExec=" + Autostart::execArgument(program) + "\n").toUtf8()));
        QVERIFY(QFile::exists(other));
        QCOMPARE(f.setting("NotifyPgm"), 8);
        QVERIFY(f.prompter.verifyDone());

        // Both option marks start from their stored states.
        f.setSetting("NotifyPgm", 0);
        f.setSetting("Graphical", 0);
        CMainFrame again(f.app);
        QVERIFY(!action(again, "reminderAction")->isChecked());
        QVERIFY(!again.graphicalFrontEnd());
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
        Database other;
        const QString second = f.env.createDatabase(other, "second.vel");
        other.close();
        f.prompter.file(second);
        f.trigger("openDataFileAction");
        QCOMPARE(f.frame->windowTitle(), QString("second.vel \u2014 Velmora"));
        QCOMPARE(f.prompter.prompts().last().dialog.filter,
                 QString("Velmora Data Files (*.vel);;All Files (*)"));
        f.prompter.file(QString());
        f.trigger("newDataFileAction");
        QCOMPARE(f.prompter.prompts().last().dialog.filter, QString("Velmora Data Files (*.vel)"));
        QVERIFY(f.prompter.verifyDone());
    }

    // The status bar says what was saved where; the report form names owners as the other lists do.
    void statusBarAndReportOwnerWords()
    {
        WordsFixture f;
        f.prompter.file(f.env.path("fleet.bak")).answer(Prompter::Answer::Ok, Messages::BackupSucceeded);
        f.trigger("backupAction");
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
        QVERIFY(f.prompter.verifyDone());
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
        QVERIFY(!QFileInfo::exists(oldEntry));
        QCOMPARE(QFileInfo::exists(Autostart::entryPath()), registering);
        QCOMPARE(QDir(Autostart::folder()).entryList(QDir::Files).size(), registering ? 1 : 0);
        if (registering) {
            QCOMPARE(Autostart::execArgument(program), exec);
            QVERIFY(readFile(Autostart::entryPath()).contains(("\nExec=" + exec + "\n").toUtf8()));
        }
    }

    // F1 and Help > User Guide open the guide at the form in front; the guide has the chapters the daily
    // work needs.
    void userGuideOpensAtTheFormInFront()
    {
        WordsFixture f;
        CMainFrame& frame = *f.frame;
        frame.show();
        QAction* guide = action(frame, "userGuideAction");
        QVERIFY(frame.findChild<QMenu*>("helpMenu")->actions().contains(guide));

        HelpWindow* window = nullptr;
        for (const auto& [form, section] : std::initializer_list<std::pair<int, const char*>>{
                 {HomeForm, "Getting started"},
                 {GasForm, "Fuel"},
                 {JobOrderForm, "Job orders"},
                 {ScheduleMonitorForm, "The schedule monitor and reminders"},
                 {MaintenanceForm, "Maintenance"}}) {
            QVERIFY(frame.switchForm(form));
            QApplication::setActiveWindow(&frame);
            QTest::keyClick(frame.shownForm(), Qt::Key_F1);
            window = frame.findChild<HelpWindow*>();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->currentSection(), QString::fromLatin1(section));
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
        QVERIFY(f.prompter.verifyDone());
    }

    // The vehicle fields dialog opens with the stored fields in slot order, a field twice or out of range
    // dropped; removing puts a field back in field order, by the button or a double-click.
    void vehicleFieldsOpenAndRemove()
    {
        FieldsDialog f({8, -1, 1, 8, 42, 3, -1, -1, -1, -1});
        QCOMPARE(f.fieldsIn(f.right), QList<int>({8, 1, 3}));
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
        QCOMPARE(f.right->count(), 0);
        QCOMPARE(f.dialog.fieldSlots(), QList<int>(10, -1));
    }

    void vehicleFieldsAddToTheEndAndSelectTheNextLeftEntry()
    {
        FieldsDialog f(DefaultFields);
        f.left->setCurrentRow(1); // field 4
        f.button("addButton")->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({0, 1, 2, 4}));
        QCOMPARE(f.right->currentRow(), 3);
        QCOMPARE(f.left->currentItem()->data(Qt::UserRole).toInt(), 5);

        f.left->setCurrentRow(f.left->count() - 1); // field 9, the last: the first entry is selected next
        QTest::keyClick(f.left, Qt::Key_Space);
        QCOMPARE(f.fieldsIn(f.right).last(), 9);
        QCOMPARE(f.left->currentRow(), 0);

        while (f.left->count() > 0) {
            f.left->setCurrentRow(0);
            f.dialog.addSelected();
        }
        QCOMPARE(f.left->selectedItems().size(), 0);
        QCOMPARE(f.dialog.fieldSlots(), QList<int>({0, 1, 2, 4, 9, 3, 5, 6, 7, 8}));
        f.dialog.addSelected(); // nothing left to add
        QCOMPARE(f.right->count(), 10);
    }

    void vehicleFieldsUpAndDownStopAtTheEnds()
    {
        FieldsDialog f(DefaultFields);
        QPushButton* up = f.button("upButton");
        QPushButton* down = f.button("downButton");
        f.right->setCurrentRow(0);
        up->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({0, 1, 2}));
        down->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({1, 0, 2}));
        QCOMPARE(f.right->currentRow(), 1);
        down->click();
        down->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({1, 2, 0}));
        QCOMPARE(f.right->currentRow(), 2);
        up->click();
        QCOMPARE(f.fieldsIn(f.right), QList<int>({1, 0, 2}));

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
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
