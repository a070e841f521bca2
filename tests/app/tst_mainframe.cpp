#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/Autostart.h"
#include "app/Enums.h"
#include "app/WindowPlacement.h"
#include "app/ui/DaysAheadDialog.h"
#include "app/ui/HomePage.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelDoc.h"
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
#include <QTimer>

namespace {

// A form that records what the frame asks of it.
class ProbeForm : public CFormView
{
public:
    ProbeForm(CVelApp& app, CVelDoc& doc, int number, QWidget* parent) : CFormView(app, doc, number, parent)
    {
    }

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
    bool canNew() const override { return newAvailable; }
    bool canSave() const override { return saveAvailable; }
    bool canEdit() const override { return true; }
    void commandNew() override { ++newCount; }
    void commandSave() override { ++saveCount; }
    void commandEdit() override { ++editCount; }
    void commandHome() override { ++homeCount; }
    void announceState() { Q_EMIT commandStateChanged(); }

    bool mayLeave = true;
    bool newAvailable = true;
    bool saveAvailable = false;
    int redirectTo = 0;
    QList<int> leaveTargets;
    QList<QPair<int, int>> entries;
    QList<int> hints;
    int newCount = 0, saveCount = 0, editCount = 0, homeCount = 0;
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

    int setting(const char* name)
    {
        return app.settings().integer(QStringLiteral("Settings"), QLatin1String(name));
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

// Runs work on the modal dialog the next statement opens; a dialog that work leaves open is rejected so
// that a failing test cannot hang.
void onModalDialog(std::function<void(QDialog*)> work, int attempts = 100)
{
    QTimer::singleShot(10, [work, attempts] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attempts > 0)
                onModalDialog(work, attempts - 1);
            return;
        }
        work(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
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
    void startsOnHomePageAndRefusesUnknownForms();
    void ownerPrerequisite();
    void vehiclePrerequisite();
    void prerequisiteSets_data();
    void prerequisiteSets();
    void formThatMayNotBeLeftKeepsFrame();
    void formsAreCreatedOnceAndEnteredEachTime();
    void databaseErrorDuringSwitchIsShown();
    void fileCommandsFollowShownForm();
    void keyboardCommandsReachForm();
    void homePageOffersRegisteredForms();
    void placementSurvivesRestart();
    void windowOffEveryScreenComesBack();
    void showStateMapping();
    void rectangleOnSecondScreenStays();
    void daysAheadRange_data();
    void daysAheadRange();
    void daysAheadTellsViews();
    void reminderToggleTouchesOnlyOurEntry();
    void graphicalToggleIsStored();
    void restoredDataReloadsViewsAndGoesHome();
};

void TestMainFrame::startsOnHomePageAndRefusesUnknownForms()
{
    Fixture f;
    CMainFrame frame(f.app);
    QCOMPARE(shownNumber(frame), int(HomeForm));
    QVERIFY(qobject_cast<CHomePage*>(frame.shownForm()));

    f.prompter.answer(Prompter::Answer::Ok, Messages::NoFormSelected);
    QVERIFY(!frame.switchForm(999));
    QCOMPARE(shownNumber(frame), int(HomeForm));
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::ownerPrerequisite()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm, VehicleForm});

    f.prompter.answer(Prompter::Answer::No, Messages::OwnerRequired);
    QVERIFY(!frame.switchForm(VehicleForm));
    QCOMPARE(shownNumber(frame), int(HomeForm));
    QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Question);
    QCOMPARE(f.prompter.prompts().last().buttons, Prompter::Buttons::YesNo);

    f.prompter.answer(Prompter::Answer::Yes, Messages::OwnerRequired);
    QVERIFY(frame.switchForm(VehicleForm));
    QCOMPARE(shownNumber(frame), int(OwnerForm));
    QVERIFY(!frame.createdForm(VehicleForm));
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::vehiclePrerequisite()
{
    Fixture f;
    f.addOwner();
    CMainFrame frame(f.app);
    f.registerProbes(frame, {VehicleForm, MaintenanceForm});

    QVERIFY(frame.switchForm(VehicleForm));
    QCOMPARE(f.prompter.prompts().size(), 0);

    f.prompter.answer(Prompter::Answer::No, Messages::VehicleRequired);
    QVERIFY(!frame.switchForm(MaintenanceForm));
    QCOMPARE(shownNumber(frame), int(VehicleForm));

    f.prompter.answer(Prompter::Answer::Yes, Messages::VehicleRequired);
    QVERIFY(frame.switchForm(MaintenanceForm));
    QCOMPARE(shownNumber(frame), int(VehicleForm));
    QVERIFY(!frame.createdForm(MaintenanceForm));

    f.addVehicle();
    QVERIFY(frame.switchForm(MaintenanceForm, 4, 2));
    QCOMPARE(probe(frame, MaintenanceForm)->entries, (QList<QPair<int, int>>{{4, 2}}));
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::prerequisiteSets_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("asksOwner");
    QTest::addColumn<bool>("asksVehicle");
    QTest::newRow("home") << 101 << false << false;
    QTest::newRow("owner") << 102 << false << false;
    QTest::newRow("vehicle") << 103 << true << false;
    for (int form : {104, 105, 106, 139, 140, 141, 143, 146, 154, 243})
        QTest::addRow("form %d", form) << form << true << true;
}

void TestMainFrame::prerequisiteSets()
{
    QFETCH(int, form);
    QFETCH(bool, asksOwner);
    QFETCH(bool, asksVehicle);
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {form});

    if (asksOwner)
        f.prompter.answer(Prompter::Answer::No, Messages::OwnerRequired);
    frame.switchForm(form);
    f.addOwner();
    if (asksVehicle)
        f.prompter.answer(Prompter::Answer::No, Messages::VehicleRequired);
    frame.switchForm(form);
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::formThatMayNotBeLeftKeepsFrame()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm, VehicleForm});
    QVERIFY(frame.switchForm(OwnerForm));
    ProbeForm* owner = probe(frame, OwnerForm);
    owner->mayLeave = false;

    // Refused before any prerequisite question is put.
    QVERIFY(!frame.switchForm(VehicleForm));
    QVERIFY(!frame.switchForm(HomeForm));
    QCOMPARE(shownNumber(frame), int(OwnerForm));
    QCOMPARE(owner->leaveTargets, (QList<int>{VehicleForm, HomeForm}));

    // Closing the window asks too, and a refusal keeps it open without writing the placement.
    frame.show();
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    QVERIFY(!f.app.settings().contains(QStringLiteral("Settings"), QStringLiteral("x2")));
    owner->mayLeave = true;
    QVERIFY(frame.close());
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::formsAreCreatedOnceAndEnteredEachTime()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm, VehicleForm});
    f.addOwner();

    QVERIFY(frame.switchForm(OwnerForm));
    ProbeForm* owner = probe(frame, OwnerForm);
    QVERIFY(frame.switchForm(HomeForm));
    QVERIFY(!owner->isVisibleTo(&frame));
    QVERIFY(frame.switchForm(OwnerForm, 5, 7));
    QCOMPARE(probe(frame, OwnerForm), owner);
    QCOMPARE(f.created.value(OwnerForm), 1);
    QCOMPARE(owner->entries, (QList<QPair<int, int>>{{0, 0}, {5, 7}}));

    // A form that asks for another while it is entered gets it after the switch is complete.
    owner->redirectTo = VehicleForm;
    QVERIFY(frame.switchForm(HomeForm));
    QVERIFY(frame.switchForm(OwnerForm));
    QCOMPARE(shownNumber(frame), int(VehicleForm));
    QCOMPARE(owner->leaveTargets.last(), int(VehicleForm));
    QVERIFY(f.prompter.busyCount() > 0);
    QCOMPARE(f.prompter.busyDepth(), 0);
}

void TestMainFrame::databaseErrorDuringSwitchIsShown()
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

void TestMainFrame::fileCommandsFollowShownForm()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm});
    QAction* newAction = action(frame, "newAction");
    QAction* saveAction = action(frame, "saveAction");
    QVERIFY(!newAction->isEnabled());
    QVERIFY(!action(frame, "duplicateAction")->isEnabled());
    QCOMPARE(newAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(saveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

    QVERIFY(frame.switchForm(OwnerForm));
    ProbeForm* owner = probe(frame, OwnerForm);
    QVERIFY(newAction->isEnabled());
    QVERIFY(!saveAction->isEnabled());
    newAction->trigger();
    QCOMPARE(owner->newCount, 1);

    owner->saveAvailable = true;
    owner->announceState();
    QVERIFY(saveAction->isEnabled());
    saveAction->trigger();
    QCOMPARE(owner->saveCount, 1);

    QVERIFY(frame.switchForm(HomeForm));
    QVERIFY(!saveAction->isEnabled());
}

void TestMainFrame::keyboardCommandsReachForm()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm});
    QVERIFY(frame.switchForm(OwnerForm));
    frame.show();
    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));

    ProbeForm* owner = probe(frame, OwnerForm);
    QTest::keyClick(&frame, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Escape);
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(owner->editCount, 1);
    QCOMPARE(owner->homeCount, 1);
    QCOMPARE(owner->newCount, 1);
}

void TestMainFrame::homePageOffersRegisteredForms()
{
    Fixture f;
    CMainFrame frame(f.app);
    frame.show();
    auto* ownerButton = frame.findChild<QPushButton*>(QStringLiteral("ownerButton"));
    QVERIFY(ownerButton && !ownerButton->isVisible());
    QVERIFY(!action(frame, "ownerFormAction")->isEnabled());

    f.registerProbes(frame, {OwnerForm});
    QVERIFY(action(frame, "ownerFormAction")->isEnabled());
    QVERIFY(frame.switchForm(HomeForm));
    QVERIFY(ownerButton->isVisible());
    QVERIFY(!frame.findChild<QPushButton*>(QStringLiteral("vehicleButton"))->isVisible());
    saveScreenshot(frame, QStringLiteral("home-page"));

    QTest::mouseClick(ownerButton, Qt::LeftButton);
    QCOMPARE(shownNumber(frame), int(OwnerForm));
    action(frame, "homeFormAction")->trigger();
    QCOMPARE(shownNumber(frame), int(HomeForm));
}

void TestMainFrame::placementSurvivesRestart()
{
    Fixture f;
    const QRect normal(60, 50, 600, 420);
    {
        CMainFrame frame(f.app);
        frame.restorePlacement();
        frame.setGeometry(normal);
        QVERIFY(frame.close());
    }
    QCOMPARE(f.setting("x1"), 60);
    QCOMPARE(f.setting("y2"), 470);
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

    // Closed while minimized: back as it was before it was minimized.
    f.app.settings().setInteger(QStringLiteral("Settings"), QStringLiteral("showCmd"), 2);
    f.app.settings().setInteger(QStringLiteral("Settings"), QStringLiteral("flags"), 0);
    CMainFrame frame(f.app);
    frame.restorePlacement();
    QVERIFY(!frame.isMaximized() && !frame.isMinimized());
    QCOMPARE(frame.geometry(), normal);
}

void TestMainFrame::windowOffEveryScreenComesBack()
{
    Fixture f;
    Settings& settings = f.app.settings();
    settings.setInteger(QStringLiteral("Settings"), QStringLiteral("x1"), 5000);
    settings.setInteger(QStringLiteral("Settings"), QStringLiteral("y1"), -4000);
    settings.setInteger(QStringLiteral("Settings"), QStringLiteral("x2"), 5400);
    settings.setInteger(QStringLiteral("Settings"), QStringLiteral("y2"), -3700);
    CMainFrame frame(f.app);
    frame.restorePlacement();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(frame.geometry()));
    QCOMPARE(frame.geometry().size(), QSize(400, 300));
}

void TestMainFrame::showStateMapping()
{
    const auto startsMaximized = [](int showCmd, int flags) {
        WindowPlacement placement;
        placement.showCmd = showCmd;
        placement.flags = flags;
        return placement.startsMaximized();
    };
    QVERIFY(!startsMaximized(1, 2));
    QVERIFY(startsMaximized(3, 0));
    for (int minimized : {2, 6, 7}) {
        QVERIFY(startsMaximized(minimized, 2));
        QVERIFY(!startsMaximized(minimized, 0));
    }
    QVERIFY(!startsMaximized(0, 2));

    const WindowPlacement minimizedFromMaximized = WindowPlacement::of(QRect(1, 2, 3, 4), true, true);
    QCOMPARE(minimizedFromMaximized.showCmd, 2);
    QVERIFY(minimizedFromMaximized.startsMaximized());
}

void TestMainFrame::rectangleOnSecondScreenStays()
{
    const QRect primary(0, 0, 1920, 1040);
    const QRect second(1920, 0, 1280, 1024);
    const QRect onSecond(2000, 100, 800, 600);
    QCOMPARE(keepOnScreen(onSecond, {primary, second}, primary), onSecond);
    // Where the second screen used to be, the window is brought back whole onto the primary one.
    const QRect moved = keepOnScreen(onSecond, {primary}, primary);
    QVERIFY(primary.contains(moved));
    QCOMPARE(moved.size(), onSecond.size());
    // Only the bottom edge showing is not enough to grab the title bar.
    QVERIFY(keepOnScreen(QRect(100, -590, 800, 600), {primary}, primary) != QRect(100, -590, 800, 600));
}

void TestMainFrame::daysAheadRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("31") << "31" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("30") << "30" << true;
}

void TestMainFrame::daysAheadRange()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Fixture f;
    CDaysAheadDialog dialog(f.app.settings(), f.prompter);
    dialog.show();
    QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("daysEdit"))->text(), QStringLiteral("5"));

    if (!accepted)
        f.prompter.answer(Prompter::Answer::Ok, Messages::DaysAheadOutOfRange);
    typeDays(dialog, typed);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(f.app.settings().daysAhead(), accepted ? typed.toInt() : 5);
    if (!accepted) {
        QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Exclamation);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(),
                 dialog.findChild<QSpinBox*>(QStringLiteral("daysEdit"))->findChild<QLineEdit*>());
    }
    QVERIFY(f.prompter.verifyDone());
}

void TestMainFrame::daysAheadTellsViews()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm});
    QVERIFY(frame.switchForm(OwnerForm));
    ProbeForm* owner = probe(frame, OwnerForm);

    onModalDialog([](QDialog* dialog) { dialog->reject(); });
    action(frame, "daysAheadAction")->trigger();
    QVERIFY(owner->hints.isEmpty());

    onModalDialog([](QDialog* dialog) { typeDays(*dialog, QStringLiteral("12")); });
    action(frame, "daysAheadAction")->trigger();
    QCOMPARE(owner->hints, QList<int>{DaysAheadHint});
    QCOMPARE(f.app.settings().daysAhead(), 12);
}

void TestMainFrame::reminderToggleTouchesOnlyOurEntry()
{
    Fixture f;
    QVERIFY(QDir().mkpath(Autostart::folder()));
    const QString other = QDir(Autostart::folder()).filePath(QStringLiteral("other-program.desktop"));
    QFile otherFile(other);
    QVERIFY(otherFile.open(QIODevice::WriteOnly));
    otherFile.close();
    QVERIFY(Autostart::entryPath().startsWith(f.env.folder()));
    QVERIFY(Autostart::registerReminder(QStringLiteral("/old/velmora-notify")));

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
    QFile entry(Autostart::entryPath());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains(
        ("Exec=" + Autostart::execArgument(QDir(f.env.folder()).filePath("velmora-notify"))).toUtf8()));
    QVERIFY(QFile::exists(other));
    QCOMPARE(f.setting("NotifyPgm"), 8);
    QVERIFY(f.prompter.verifyDone());

    // The menu starts from the stored state.
    f.app.settings().setInteger(QStringLiteral("Settings"), QStringLiteral("NotifyPgm"), 0);
    CMainFrame again(f.app);
    QVERIFY(!action(again, "reminderAction")->isChecked());
}

void TestMainFrame::graphicalToggleIsStored()
{
    Fixture f;
    CMainFrame frame(f.app);
    QAction* graphical = action(frame, "graphicalAction");
    QVERIFY(graphical->isChecked() && frame.graphicalFrontEnd());
    graphical->trigger();
    QCOMPARE(f.setting("Graphical"), 0);
    QVERIFY(!frame.graphicalFrontEnd());
    graphical->trigger();
    QCOMPARE(f.setting("Graphical"), 8);
}

void TestMainFrame::restoredDataReloadsViewsAndGoesHome()
{
    Fixture f;
    CMainFrame frame(f.app);
    f.registerProbes(frame, {OwnerForm});
    QVERIFY(frame.switchForm(OwnerForm));
    frame.dataReplaced();
    QCOMPARE(probe(frame, OwnerForm)->hints, QList<int>{DataRestoredHint});
    QCOMPARE(frame.document().updateHint(), 0);
    QCOMPARE(shownNumber(frame), int(HomeForm));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
