#include "Dialogs.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "app/ui/WelcomeDialog.h"
#include "context/Enums.h"
#include "db/Messages.h"
#include "forms/FormView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

// What the main window says to the user: its title, menus, status bar words, file dialogs, the report
// form's owners and the welcome greeting, on a data file named fleet.vel.
class WindowWordsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<CVelApp> app;
    std::unique_ptr<CMainFrame> frame;

    QString native(const QString& name) const { return QDir::toNativeSeparators(env->path(name)); }
    void trigger(const char* action) { frame->findChild<QAction*>(QLatin1String(action))->trigger(); }
    void click(const char* button)
    {
        // The window is never shown, so its buttons have no place to click with the mouse.
        frame->shownForm()->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    QString status() const { return frame->findChild<QLabel*>("messagePane")->text(); }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        prompter = std::make_unique<ScriptedPrompter>();
        app = std::make_unique<CVelApp>(*prompter);
        app->setDatabasePath(env->createDatabase(app->database(), QStringLiteral("fleet.vel")));
        app->database().execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName) "
            "VALUES (1, 1, 'Harbourline', '', ''), (2, 1, '', 'Reyes', 'Daniel')");
        app->database().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1), (2, 2)");
        app->database().execute(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, ActiveInd) "
            "VALUES (1, 2, '2019', 'Ford', -1)");
        frame = std::make_unique<CMainFrame>(*app);
    }
    void cleanup()
    {
        QVERIFY(prompter->verifyDone());
        frame.reset();
        app.reset();
        prompter.reset();
        env.reset();
    }

    void menuAccessKeysAreUniqueInEveryMenu()
    {
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
        check("menu bar", frame->menuBar()->actions());
    }

    void titleNamesTheDataFile()
    {
        QCOMPARE(frame->windowTitle(), QString("fleet.vel \u2014 Velmora"));
        Database other;
        const QString second = env->createDatabase(other, "second.vel");
        other.close();
        prompter->file(second);
        trigger("openDataFileAction");
        QCOMPARE(frame->windowTitle(), QString("second.vel \u2014 Velmora"));
    }

    void dataFileDialogsOfferEveryVelFile_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("filter");
        QTest::newRow("open") << "openDataFileAction"
                              << "Velmora Data Files (*.vel);;All Files (*)";
        QTest::newRow("new") << "newDataFileAction"
                             << "Velmora Data Files (*.vel)";
    }
    void dataFileDialogsOfferEveryVelFile()
    {
        QFETCH(QString, action);
        QFETCH(QString, filter);
        prompter->file(QString());
        trigger(action.toLatin1().constData());
        QCOMPARE(prompter->prompts().last().dialog.filter, filter);
    }

    void statusBarSaysWhatWasSavedWhere()
    {
        prompter->file(env->path("fleet.bak")).answer(Prompter::Answer::Ok, Messages::BackupSucceeded);
        trigger("backupAction");
        QCOMPARE(status(), "Saved a backup of fleet.vel to " + native("fleet.bak"));

        QVERIFY(frame->switchForm(ReportForm, 3));
        prompter->file(env->path("gas-log.pdf"));
        click("exportPdfButton");
        QCOMPARE(status(), "Saved Gas Log to " + native("gas-log.pdf"));

        QVERIFY(frame->switchForm(ScheduleForm));
        withDialog([&] { click("scheduleTemplatesButton"); },
                   [](QDialog& dialog) {
                       dialog.findChild<QRadioButton*>("makeTemplateRadio")->click();
                       QTest::keyClicks(dialog.findChild<QLineEdit*>("templateName"), "Winter fleet");
                       QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
                   });
        QCOMPARE(status(), QString("Saved this schedule to template \"Winter fleet\""));
    }

    void reportOwnersAreNamedAsInTheOtherLists()
    {
        QVERIFY(frame->switchForm(ReportForm, 0));
        auto* owners = frame->shownForm()->findChild<QComboBox*>("ownerList");
        QStringList items;
        for (int i = 0; i < owners->count(); ++i)
            items << owners->itemText(i);
        QCOMPARE(items, QStringList({"** All Owners **", "Reyes, Daniel", "Harbourline"}));
    }

    void thanksOnlyOnTheFirstRun_data()
    {
        QTest::addColumn<QString>("storedPath");
        QTest::addColumn<bool>("thanked");
        QTest::newRow("first run") << QString() << true;
        QTest::newRow("data file gone") << "/nowhere/fleet.vel" << false;
    }
    void thanksOnlyOnTheFirstRun()
    {
        QFETCH(QString, storedPath);
        QFETCH(bool, thanked);
        CWelcomeDialog dialog(welcomeNoticeFor(storedPath));
        QCOMPARE(dialog.findChild<QLabel*>("welcomeText")->text().contains("Thank you for choosing Velmora"),
                 thanked);
    }
};

QTEST_MAIN(WindowWordsTest)
#include "tst_windowwords.moc"
