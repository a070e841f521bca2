#include "DataRows.h"
#include "TestEnvironment.h"
#include "WindowDriver.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/VelView.h"
#include "context/Enums.h"
#include "context/Settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QTest>
#include <QTimer>

// The window's look on any desktop: dialogs, sizes, keyboard reach of the home screen, the status panel.
class TestAppLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As on desktops whose theme asks for pictures on dialog buttons, with no icon theme to give them.
        class PicturesOnButtons : public QProxyStyle
        {
        public:
            int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* data) const override
            {
                return hint == SH_DialogButtonBox_ButtonsHaveIcons
                           ? 1
                           : QProxyStyle::styleHint(hint, option, widget, data);
            }
        };
        DesktopLook::applyStyle(new PicturesOnButtons);
    }

    void messageBoxes_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("shownIcon");
        QTest::addColumn<QStringList>("buttonTexts");
        const auto row = [](const char* name, Prompter::Icon icon, Prompter::Buttons buttons,
                            QMessageBox::Icon shown, const QStringList& texts) {
            addRow(name, int(icon), int(buttons), int(shown), texts);
        };
        row("question", Prompter::Icon::Question, Prompter::Buttons::YesNoDefaultNo, QMessageBox::Question,
            {"Yes", "No"});
        row("exclamation", Prompter::Icon::Exclamation, Prompter::Buttons::Ok, QMessageBox::Warning, {"OK"});
        row("error", Prompter::Icon::Error, Prompter::Buttons::YesNoCancel, QMessageBox::Critical,
            {"Yes", "No", "Cancel"});
    }
    void messageBoxes()
    {
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, shownIcon);
        QFETCH(QStringList, buttonTexts);
        QtPrompter prompter;
        QMessageBox* seen = nullptr;
        QStringList texts;
        bool plainButtons = true;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(seen);
            for (QAbstractButton* button : seen->buttons()) {
                texts << button->text().remove(QLatin1Char('&'));
                // Qt's fallback pictures are coloured dots; a desktop icon theme's own pictures are welcome.
                plainButtons &= button->icon().isNull() || QIcon::hasThemeIcon(QStringLiteral("dialog-ok"));
            }
            QCOMPARE(seen->icon(), QMessageBox::Icon(shownIcon));
            QVERIFY(!seen->iconPixmap().isNull());
            seen->reject();
        });
        prompter.ask(QStringLiteral("Do you want to apply the changes before continuing?"),
                     Prompter::Icon(icon), Prompter::Buttons(buttons));
        QVERIFY(seen);
        texts.sort();
        buttonTexts.sort();
        QCOMPARE(texts, buttonTexts);
        QVERIFY(plainButtons);
    }

    void dialogSizesAreKept_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::newRow("file dialog") << false;
        QTest::newRow("print preview") << true;
    }
    void dialogSizesAreKept()
    {
        QFETCH(bool, preview);
        TestEnvironment env;
        Settings settings(env.path(QStringLiteral("settings.ini")));
        DesktopLook::DialogSizes sizes(settings);
        QPrinter printer;
        const auto open = [&](bool kind) -> std::unique_ptr<QDialog> {
            if (kind)
                return std::make_unique<QPrintPreviewDialog>(&printer);
            auto files = std::make_unique<QFileDialog>(nullptr, QString(), env.folder());
            files->setOption(QFileDialog::DontUseNativeDialog);
            return files;
        };
        // Qt's own sizes (about 690 x 540 for the preview) cut the file list's columns and the page.
        auto first = open(preview);
        first->show();
        QVERIFY2(first->width() >= 800 && first->height() >= 500,
                 qPrintable(QStringLiteral("%1 x %2").arg(first->width()).arg(first->height())));
        first->resize(1040, 720);
        first->hide();
        auto again = open(preview);
        again->show();
        QCOMPARE(again->size(), QSize(1040, 720));
        // The other kind keeps its own size.
        auto other = open(!preview);
        other->show();
        QVERIFY(other->size() != QSize(1040, 720));
    }

    void windowMinimumIsSetOnceForAllForms()
    {
        QtPrompter prompter;
        WindowDriver driver(prompter, nullptr);
        CMainFrame& frame = driver.frame();
        const QSize minimum = frame.minimumSizeHint();
        // Small enough for a 1024 x 768 screen with a panel.
        QVERIFY2(minimum.width() <= 1024 && minimum.height() <= 700,
                 qPrintable(QStringLiteral("%1 x %2").arg(minimum.width()).arg(minimum.height())));
        frame.resize(minimum);
        for (const QString& form : WindowDriver::formNames()) {
            QCOMPARE(driver.run(QStringLiteral("go ") + form), QString());
            QCOMPARE(frame.minimumSizeHint(), minimum);
            const QSize needed = frame.shownForm()->minimumSizeHint();
            const QSize area = frame.centralWidget()->size();
            QVERIFY2(needed.width() <= area.width() && needed.height() <= area.height(),
                     qPrintable(QStringLiteral("%1 needs %2 x %3 in %4 x %5")
                                    .arg(form)
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(area.width())
                                    .arg(area.height())));
        }
    }

    void keyboardReachesHomeTiles_data()
    {
        QTest::addColumn<int>("homeForm");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("form");
        addRow("first tile", int(HomeForm), "Return", "owners");
        addRow("tab along", int(HomeForm), "Tab Tab Space", "schedule");
        addRow("arrows across and down", int(HomeForm), "Right Down Enter", "insurance");
        addRow("back from the panel", int(HomeForm), "Tab Tab Tab Tab Tab Tab Tab Tab Tab Backtab Return",
               "joborders");
        addRow("picture form", int(PictureHomeForm), "Tab Tab Space", "maintenance");
        addRow("picture form, back", int(PictureHomeForm), "Tab Tab Tab Tab Backtab Return", "gas");
    }
    void keyboardReachesHomeTiles()
    {
        QFETCH(int, homeForm);
        QFETCH(QString, keys);
        QFETCH(QString, form);
        QtPrompter prompter;
        WindowDriver driver(prompter, nullptr);
        QVERIFY(driver.frame().switchForm(homeForm));
        QWidget* home = driver.frame().shownForm();
        home->setFocus(Qt::TabFocusReason);
        const QMetaEnum names = QMetaEnum::fromType<Qt::Key>();
        for (const QString& key : keys.split(QLatin1Char(' '))) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, Qt::Key(names.keyToValue(qPrintable(QStringLiteral("Key_") + key))));
            // Past the last tile the focus goes on to the form's other fields.
            if (key == QLatin1String("Tab") && !home->hasFocus())
                QVERIFY(home->isAncestorOf(QApplication::focusWidget()));
        }
        QCOMPARE(driver.run(QStringLiteral("expect form ") + form), QString());
    }

    void statusPanelWordsFollowTheLight_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("underLight");
        addRow("nothing due", 1, "All clear");
        addRow("due soon", 2, "Due soon");
        addRow("due now", 3, "Alarm");
    }
    void statusPanelWordsFollowTheLight()
    {
        QFETCH(int, status);
        QFETCH(QString, underLight);
        const QStringList words = CVelView::statusWords(status);
        QCOMPARE(words.value(0), QStringLiteral("Schedule"));
        QCOMPARE(words.value(1), underLight);
        // Only a red light speaks of an alarm.
        QCOMPARE(words.join(QLatin1Char(' ')).contains(QStringLiteral("Alarm")), status == 3);
    }
};

int main(int argc, char** argv)
{
    // A desktop-sized screen: the offscreen platform's own is 800 x 600, smaller than the sizes under test.
    QTemporaryDir screenFolder;
    const QString screen = screenFolder.filePath(QStringLiteral("screen.json"));
    QFile file(screen);
    if (file.open(QIODevice::WriteOnly))
        file.write(R"({"screens":[{"name":"S","x":0,"y":0,"width":1920,"height":1200,"logicalDpi":96,)"
                   R"("logicalBaseDpi":96,"dpr":1}]})");
    file.close();
    if (qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")) == QLatin1String("offscreen"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(screen));
    QApplication application(argc, argv);
    TestAppLook test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_applook.moc"
