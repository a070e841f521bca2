#include "DataRows.h"
#include "Dialogs.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"
#include "app/WindowPlacement.h"
#include "app/ui/DaysAheadDialog.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelView.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Messages.h"
#include "forms/FormView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>

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
    void commandSave() override { commands << "save"; }
    void commandEdit() override { commands << "edit"; }
    void commandHome() override { commands << "home"; }
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

    Fixture()
    {
        app.setDatabasePath(env.createDatabase(app.database()));
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
        if (asksOwner) {
            f.prompter.answer(Prompter::Answer::No, Messages::OwnerRequired);
            QVERIFY(!frame.switchForm(form));
            QCOMPARE(shownNumber(frame), int(HomeForm));
            QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Question);
            QCOMPARE(f.prompter.prompts().last().buttons, Prompter::Buttons::YesNo);
            f.prompter.answer(Prompter::Answer::Yes, Messages::OwnerRequired);
            QVERIFY(frame.switchForm(form));
            QCOMPARE(shownNumber(frame), int(OwnerForm));
        }
        f.addOwner();
        if (asksVehicle) {
            const int before = shownNumber(frame);
            f.prompter.answer(Prompter::Answer::No, Messages::VehicleRequired);
            QVERIFY(!frame.switchForm(form));
            QCOMPARE(shownNumber(frame), before);
            f.prompter.answer(Prompter::Answer::Yes, Messages::VehicleRequired);
            QVERIFY(frame.switchForm(form));
            QCOMPARE(shownNumber(frame), int(VehicleForm));
            QVERIFY(!frame.createdForm(form));
        }
        f.addVehicle();
        QVERIFY(frame.switchForm(form, 4, 2));
        QCOMPARE(shownNumber(frame), form);
        if (form != HomeForm)
            QCOMPARE(probe(frame, form)->entries.last(), (QPair<int, int>(4, 2)));
        QVERIFY(f.prompter.verifyDone());
    }

    void formsAreKeptAndLeaveCheckIsHonoured()
    {
        Fixture f;
        f.addOwner();
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm, VehicleForm});

        f.prompter.answer(Prompter::Answer::Ok, Messages::NoFormSelected);
        QVERIFY(!frame.switchForm(999));
        QCOMPARE(shownNumber(frame), int(HomeForm));

        QVERIFY(frame.switchForm(OwnerForm));
        ProbeForm* owner = probe(frame, OwnerForm);
        QVERIFY(frame.switchForm(HomeForm));
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
        frame.show();
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QVERIFY(!f.app.settings().contains("Settings", "x2"));
        owner->mayLeave = true;

        // A form that asks for another while it is entered gets it once the switch is complete.
        owner->redirectTo = VehicleForm;
        QVERIFY(frame.switchForm(HomeForm) && frame.switchForm(OwnerForm));
        QCOMPARE(shownNumber(frame), int(VehicleForm));
        QVERIFY(frame.close());
        QVERIFY(f.prompter.verifyDone());
    }

    void databaseErrorDuringSwitchIsShown()
    {
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {VehicleForm});
        f.app.database().close();
        f.prompter.answer(Prompter::Answer::Ok, QStringLiteral("no longer set"));
        QVERIFY(!frame.switchForm(VehicleForm));
        QCOMPARE(shownNumber(frame), int(HomeForm));
        QVERIFY(f.prompter.verifyDone());
    }

    void commandsFollowShownForm()
    {
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm});
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
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_Escape);
        QCOMPARE(owner->commands, (QStringList{"new", "save", "edit", "home"}));

        QVERIFY(frame.switchForm(HomeForm));
        QVERIFY(!saveAction->isEnabled());
    }

    void placementSurvivesRestart()
    {
        Fixture f;
        const QRect normal(60, 30, 1000, 700);
        {
            CMainFrame frame(f.app);
            frame.restorePlacement();
            frame.setGeometry(normal);
            QVERIFY(frame.close());
        }
        QCOMPARE(f.setting("x1"), 60);
        QCOMPARE(f.setting("y2"), 730);
        QCOMPARE(f.setting("showCmd"), 1);
        QCOMPARE(f.app.settings().databaseLocation(), f.app.databasePath());
        {
            CMainFrame frame(f.app);
            frame.restorePlacement();
            QCOMPARE(frame.geometry(), normal);
            QVERIFY(!frame.isMaximized());
            frame.showMaximized();
            QVERIFY(frame.close());
        }
        QCOMPARE(f.setting("showCmd"), 3);
        {
            CMainFrame frame(f.app);
            frame.restorePlacement();
            QVERIFY(frame.isMaximized());
            QCOMPARE(frame.normalGeometry(), normal);
            QVERIFY(frame.close());
        }
        // Closed minimized: back as it was before, never minimized at start.
        f.setSetting("showCmd", 2);
        f.setSetting("flags", 0);
        CMainFrame frame(f.app);
        frame.restorePlacement();
        QVERIFY(!frame.isMaximized() && !frame.isMinimized());
        QCOMPARE(frame.geometry(), normal);
        QVERIFY(WindowPlacement::of(normal, true, true).startsMaximized());
    }

    void placementIsKeptReachable()
    {
        Fixture f;
        f.setSetting("x1", 5000);
        f.setSetting("y1", -4000);
        f.setSetting("x2", 5800);
        f.setSetting("y2", -3400);
        CMainFrame frame(f.app);
        frame.restorePlacement();
        // The test screen (800 x 600) is smaller than the window's minimum: its title bar is what must show.
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(frame.geometry().topLeft()));
        QCOMPARE(frame.geometry().size(), QSize(800, 600).expandedTo(frame.minimumSizeHint()));

        const QRect primary(0, 0, 1920, 1040);
        const QRect onSecond(2000, 100, 800, 600);
        QCOMPARE(keepOnScreen(onSecond, {primary, QRect(1920, 0, 1280, 1024)}, primary), onSecond);
        // Only the bottom edge showing is not enough to grab the title bar.
        const QRect aboveScreen(100, -590, 800, 600);
        QVERIFY(primary.contains(keepOnScreen(aboveScreen, {primary}, primary)));
    }

    void daysAheadRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        addRow("0", "0", false);
        addRow("31", "31", false);
        addRow("empty", "", false);
        addRow("1", "1", true);
        addRow("30", "30", true);
    }

    void daysAheadRange()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Fixture f;
        CDaysAheadDialog dialog(f.app.settings(), f.prompter);
        dialog.show();
        auto* days = dialog.findChild<QSpinBox*>(QStringLiteral("daysEdit"));
        QCOMPARE(days->text(), QStringLiteral("5"));

        if (!accepted)
            f.prompter.answer(Prompter::Answer::Ok, Messages::DaysAheadOutOfRange);
        typeDays(dialog, typed);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(f.app.settings().daysAhead(), accepted ? typed.toInt() : 5);
        if (!accepted) {
            QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Exclamation);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.focusWidget(), days);
        }
        QVERIFY(f.prompter.verifyDone());
    }

    // A new days-ahead setting and restored data are told to the forms; restored data also goes home.
    void daysAheadAndRestoredDataTellTheForms()
    {
        Fixture f;
        CMainFrame frame(f.app);
        f.registerProbes(frame, {OwnerForm});
        QVERIFY(frame.switchForm(OwnerForm));
        ProbeForm* owner = probe(frame, OwnerForm);

        withDialog([&] { action(frame, "daysAheadAction")->trigger(); },
                   [](QDialog& dialog) { dialog.reject(); });
        QVERIFY(owner->hints.isEmpty());
        withDialog([&] { action(frame, "daysAheadAction")->trigger(); },
                   [](QDialog& dialog) { typeDays(dialog, QStringLiteral("12")); });
        QCOMPARE(owner->hints, QList<int>{DaysAheadHint});
        QCOMPARE(f.app.settings().daysAhead(), 12);

        frame.dataReplaced();
        QCOMPARE(owner->hints, (QList<int>{DaysAheadHint, DataRestoredHint}));
        QCOMPARE(shownNumber(frame), int(HomeForm));
    }

    void reminderToggleTouchesOnlyOurEntry()
    {
        Fixture f;
        QVERIFY(Autostart::entryPath().startsWith(f.env.folder()));
        QVERIFY(Autostart::registerReminder(QStringLiteral("/old/velmora-notify")));
        QFile other(QDir(Autostart::folder()).filePath(QStringLiteral("other-program.desktop")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        CMainFrame frame(f.app);
        QAction* reminder = action(frame, "reminderAction");
        QVERIFY(reminder->isChecked());
        f.prompter.answer(Prompter::Answer::Ok, Messages::ReminderNoLongerLoaded);
        reminder->trigger();
        QVERIFY(!reminder->isChecked());
        QVERIFY(!Autostart::isRegistered());
        QVERIFY(other.exists());
        QCOMPARE(f.setting("NotifyPgm"), 0);

        reminder->trigger();
        QVERIFY(reminder->isChecked());
        QFile entry(Autostart::entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString program = QDir(f.env.folder()).filePath(QStringLiteral("velmora-notify"));
        QVERIFY(entry.readAll().contains(("\nExec=" + Autostart::execArgument(program) + "\n").toUtf8()));
        QVERIFY(other.exists());
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
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
