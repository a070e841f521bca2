#include "DataRows.h"
#include "Dialogs.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "WindowDriver.h"
#include "app/QuickUpdate.h"
#include "app/ScheduleStatus.h"
#include "app/ui/AboutBox.h"
#include "app/ui/DesktopLook.h"
#include "app/ui/DriverView.h"
#include "app/ui/HoverBitmapButton.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelView.h"
#include "context/Enums.h"
#include "context/Settings.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(10, 30));

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget* widget, const QPoint& pos)
{
    sendMouse(widget, QEvent::MouseMove, pos);
    sendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton);
}

// A database with an owner (unless told not) and the vehicles added (id, make, readings, hour meter or not).
struct Fleet
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    CVelApp app{prompter};
    CVelDoc doc;

    explicit Fleet(bool withOwner = true)
    {
        env.createDatabase(app.database());
        Clock::setNow(Now);
        if (withOwner)
            app.database().execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (1, 0, 'HQ')");
    }
    void addVehicle(int id, const QString& make, int reading, int purchase = 0, int hours = 0)
    {
        app.database().execute(QString::asprintf(
            "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel, "
            "EntryOfActualMiles, PurchaseMileage, DateOfActualMiles, DateOfEstimatedMiles, EstMilesPerMonth, "
            "HoursInd, Measurement, ActiveInd) "
            "VALUES (%d, 1, '2019', '%s', 'Van', %d, %d, '20240101', '20240101', 900, %d, 0, -1)",
            id, qPrintable(make), reading, purchase, hours));
    }
    QVariant vehicleField(int id, const QString& field)
    {
        return app.database().scalar(
            QString("SELECT %1 FROM Vehicles WHERE VehicleID = %2").arg(field).arg(id));
    }
    // The home screen, shown at a size where every tile is whole.
    std::unique_ptr<CVelView> shownHome()
    {
        auto view = std::make_unique<CVelView>(app, doc);
        view->resize(1000, 700);
        view->show();
        return view;
    }
};

QString daysFromNow(int days)
{
    return Now.date().addDays(days).toString("yyyyMMdd");
}

} // namespace

class HomeScreensTest : public QObject
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

    void messageBoxes()
    {
        using Icon = Prompter::Icon;
        using Buttons = Prompter::Buttons;
        const std::tuple<Icon, Buttons, QMessageBox::Icon, QStringList> rows[] = {
            {Icon::Question, Buttons::YesNoDefaultNo, QMessageBox::Question, {"No", "Yes"}},
            {Icon::Exclamation, Buttons::Ok, QMessageBox::Warning, {"OK"}},
            {Icon::Error, Buttons::YesNoCancel, QMessageBox::Critical, {"Cancel", "No", "Yes"}}};
        QtPrompter prompter;
        for (const auto& [icon, buttons, shownIcon, buttonTexts] : rows) {
            QStringList texts;
            bool plainButtons = true;
            withDialog<QMessageBox>(
                [&] {
                    prompter.ask(QStringLiteral("Do you want to apply the changes before continuing?"), icon,
                                 buttons);
                },
                [&](QMessageBox& box) {
                    // Qt's fallback pictures are coloured dots; a desktop icon theme's own pictures are
                    // welcome.
                    for (QAbstractButton* button : box.buttons()) {
                        texts << button->text().remove(QLatin1Char('&'));
                        plainButtons &=
                            button->icon().isNull() || QIcon::hasThemeIcon(QStringLiteral("dialog-ok"));
                    }
                    QCOMPARE(box.icon(), shownIcon);
                    QVERIFY(!box.iconPixmap().isNull());
                });
            texts.sort();
            QCOMPARE(texts, buttonTexts);
            QVERIFY(plainButtons);
        }
    }

    // Each kind of dialog opens roomy, then at the size the user gave it; the other kind keeps its own.
    void dialogSizesAreKept()
    {
        TestEnvironment env;
        Settings settings(env.path(QStringLiteral("settings.ini")));
        DesktopLook::DialogSizes sizes(settings);
        QPrinter printer;
        const auto open = [&](bool preview) {
            std::unique_ptr<QDialog> dialog(preview ? static_cast<QDialog*>(new QPrintPreviewDialog(&printer))
                                                    : new QFileDialog(nullptr, QString(), env.folder()));
            if (auto* files = qobject_cast<QFileDialog*>(dialog.get()))
                files->setOption(QFileDialog::DontUseNativeDialog);
            dialog->show();
            return dialog;
        };
        const QSize given[] = {QSize(1040, 720), QSize(1100, 760)};
        for (const bool preview : {false, true}) {
            // Qt's own sizes (about 690 x 540 for the preview) cut the file list's columns and the page.
            auto first = open(preview);
            QVERIFY2(first->width() >= 800 && first->height() >= 500,
                     qPrintable(QStringLiteral("%1 x %2").arg(first->width()).arg(first->height())));
            QVERIFY(first->size() != given[0]);
            first->resize(given[preview]);
            first->hide();
            QCOMPARE(open(preview)->size(), given[preview]);
        }
        QCOMPARE(open(false)->size(), given[0]);
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
            QVERIFY2(
                needed.boundedTo(frame.centralWidget()->size()) == needed,
                qPrintable(
                    QStringLiteral("%1 needs %2 x %3").arg(form).arg(needed.width()).arg(needed.height())));
        }
    }

    void keyboardReachesHomeTiles()
    {
        const std::tuple<int, QString, QString> rows[] = {
            {HomeForm, "Return", "owners"},
            {HomeForm, "Tab Tab Space", "schedule"},
            {HomeForm, "Right Down Enter", "insurance"},
            // Back from the panel to the last tile.
            {HomeForm, "Tab Tab Tab Tab Tab Tab Tab Tab Tab Backtab Return", "joborders"},
            {PictureHomeForm, "Tab Tab Space", "maintenance"},
            {PictureHomeForm, "Tab Tab Tab Tab Backtab Return", "gas"}};
        QtPrompter prompter;
        const QMetaEnum names = QMetaEnum::fromType<Qt::Key>();
        for (const auto& [homeForm, keys, form] : rows) {
            WindowDriver driver(prompter, nullptr);
            QVERIFY(driver.frame().switchForm(homeForm));
            QWidget* home = driver.frame().shownForm();
            home->setFocus(Qt::TabFocusReason);
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
    }

    // Five days ahead: due or overdue is red (3), inside the days amber (2), later or unreadable green (1);
    // Feb 29 of a common year rolls to Mar 1.
    void lightFromDueDate()
    {
        const std::pair<QString, int> cases[] = {
            {daysFromNow(0), 3}, {daysFromNow(-40), 3}, {daysFromNow(5), 2}, {daysFromNow(6), 1}, {"", 1},
            {"2024031", 1},      {"2024-3-1", 1},       {"20230229", 3}};
        for (const auto& [due, expected] : cases)
            QVERIFY2(int(ScheduleStatus::fromDueDate(due, 5, Now)) == expected, qPrintable(due));
    }

    void quickUpdate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("message"); // empty: stored
        const QString range = "This must be numeric and between 0 and 1,000,000.";
        addRow("stored", "45,000", 0, QString());
        addRow("empty", "", 0, range);
        addRow("a million", "1,000,000", 0, range);
        addRow("negative", "-3", 0, range);
        addRow("below purchase", "11,999", 0,
               "The Odometer Reading on the vehicle can not be less then the "
               "Odometer on the vehicle when purchased.");
        addRow("below purchase, hour meter", "500", 1,
               "The Hour Meter Reading on the vehicle can not be less then the Hour Meter on the vehicle "
               "when purchased.");
    }

    // The reading is today's actual and estimated reading; the monthly rate stays.
    void quickUpdate()
    {
        QFETCH(QString, typed);
        QFETCH(int, hours);
        QFETCH(QString, message);
        Fleet fleet;
        fleet.addVehicle(1, "Ford", 41000, 12000, hours);
        const auto outcome = QuickUpdate::save(fleet.app.database(), 1, typed);
        QCOMPARE(outcome.kind,
                 message.isEmpty() ? QuickUpdate::Outcome::Stored : QuickUpdate::Outcome::Refused);
        QCOMPARE(outcome.message, message);
        QCOMPARE(fleet
                     .vehicleField(1, "EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || "
                                      "DateOfEstimatedMiles || ' ' || EstMilesPerMonth")
                     .toString(),
                 message.isEmpty() ? "45000 20240305 20240305 900" : "41000 20240101 20240101 900");
        QCOMPARE(QuickUpdate::save(fleet.app.database(), 7, "5").kind, QuickUpdate::Outcome::VehicleMissing);
    }

    // Each tile opens its form; without an owner the owners tile draws attention until it is clicked.
    void pictureButtonsOpenTheirForms()
    {
        Fleet fleet(false);
        auto home = fleet.shownHome();
        CVelView& view = *home;
        view.enter(0, 0);
        QVERIFY(view.isAnimating());
        const QRect owners = view.elementRect(CVelView::OwnersElement).adjusted(-10, -40, 10, 10);
        const QImage first = view.grab(owners).toImage();
        QTest::qWait(120);
        QVERIFY(view.grab(owners).toImage() != first);
        QSignalSpy spy(&view, &CFormView::switchFormRequested);
        const int forms[] = {102, 103, 106, 105, 104, 143, 139, 140, 243};
        for (int element = 1; element <= CVelView::ElementCount; ++element) {
            const QRect r = view.elementRect(element);
            sendMouse(&view, QEvent::MouseMove, QPoint(r.left(), r.center().y()));
            QCOMPARE(view.hotElement(), 0); // the edge is outside
            sendMouse(&view, QEvent::MouseMove, QPoint(r.left() + 1, r.center().y()));
            QCOMPARE(view.hotElement(), element);
            QCOMPARE(view.cursor().shape(), Qt::PointingHandCursor);
            sendMouse(&view, QEvent::MouseButtonRelease, QPoint(r.left() + 1, r.center().y()),
                      Qt::LeftButton);
            QCOMPARE(spy.size(), element);
            QCOMPARE(spy.last(), (QList<QVariant>{forms[element - 1], 0, 0}));
            QVERIFY(!view.isAnimating());
        }
        click(&view, QPoint(2, 2)); // off every tile
        QCOMPARE(view.hotElement(), 0);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(spy.size(), CVelView::ElementCount);
        // A pointer that came to rest on a tile without a move the view saw (the view was shown under it).
        sendMouse(&view, QEvent::MouseButtonRelease, view.elementRect(2).center(), Qt::LeftButton);
        QCOMPARE(spy.size(), CVelView::ElementCount + 1);
        QCOMPARE(spy.last(), (QList<QVariant>{103, 0, 0}));
        fleet.app.database().execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 0)");
        view.enter(0, 0);
        QVERIFY(!view.isAnimating());

        // With the graphical front end off the picture is inert.
        fleet.app.settings().setInteger("Settings", "Graphical", 0);
        auto inert = fleet.shownHome();
        QSignalSpy inertSpy(inert.get(), &CFormView::switchFormRequested);
        click(inert.get(), inert->elementRect(CVelView::VehiclesElement).center());
        QCOMPARE(inert->hotElement(), 0);
        QCOMPARE(inertSpy.size(), 0);
    }

    void statusLightShowsTheEarliestDueDate()
    {
        Fleet fleet;
        auto view = fleet.shownHome();
        const QRect panel = view->statusLightRect();
        const QPoint lens(panel.center().x(), panel.top() + panel.height() * 130 / 300);
        const auto light = [&](int status, const char* underLight,
                               const std::function<bool(const QColor&)>& lampIs) {
            // The status is worked out when the light is drawn.
            const QColor colour = view->grab().toImage().pixelColor(lens);
            QCOMPARE(view->scheduleStatus(), status);
            QVERIFY2(lampIs(colour), qPrintable(colour.name()));
            // The panel's words; only a red light speaks of an alarm.
            const QStringList words = CVelView::statusWords(status);
            QCOMPARE(words.value(0), QStringLiteral("Schedule"));
            QCOMPARE(words.value(1), QString::fromLatin1(underLight));
            QCOMPARE(words.join(QLatin1Char(' ')).contains(QStringLiteral("Alarm")), status == 3);
        };
        const auto green = [](const QColor& c) { return c.green() > c.red() + 60; };
        light(1, "All clear", green);

        // Entries without a date, and those of other vehicles, count as not due.
        const QString schedule = "INSERT INTO Schedule (ScheduleID, VehicleID, EstPerformDate) VALUES ";
        fleet.app.database().execute(schedule + "(1, 1, ''), (99, 2, NULL), (2, 1, '" + daysFromNow(8) +
                                     "')");
        light(1, "All clear", green);
        fleet.app.settings().setInteger("Notify", "Days", 10);
        fleet.doc.updateAllViews(DaysAheadHint);
        light(2, "Due soon",
              [](const QColor& c) { return c.red() > 200 && c.green() > 110 && c.blue() < 100; });

        fleet.app.database().execute(schedule + "(3, 1, '" + daysFromNow(0) + "')");
        fleet.doc.updateAllViews(GeneralHint); // as the schedule form tells the views after a save
        light(3, "Alarm", [](const QColor& c) { return c.red() > c.green() + 100; });
    }

    // The quick update is off without vehicles and follows the vehicles' hint to the current one (the
    // start-up tests see it filled when the window opens).
    void quickUpdateWalksThroughTheVehicles()
    {
        Fleet fleet;
        CVelView view(fleet.app, fleet.doc);
        auto* list = view.findChild<QComboBox*>("vehicleSelector");
        auto* edit = view.findChild<QLineEdit*>("readingEdit");
        auto* next = view.findChild<QPushButton*>("updateNextButton");
        QVERIFY(!list->isEnabled() && !edit->isEnabled());
        fleet.addVehicle(1, "Ford", 41000, 30000);
        fleet.addVehicle(2, "Volvo", 1500, 0, 1);
        fleet.addVehicle(3, "Isuzu", 98765);
        fleet.app.setCurrentVehicle(2);
        fleet.doc.updateAllViews(VehiclesHint);
        QVERIFY(list->isEnabled() && edit->isEnabled());
        const auto type = [&](const QString& text) {
            edit->selectAll();
            edit->del();
            QTest::keyClicks(edit, text);
        };
        QCOMPARE(list->currentText(), QString("2019 Volvo Van"));
        QCOMPARE(edit->text(), QString("1,500"));
        QCOMPARE(view.findChild<QLabel*>("readingLabel")->text(), QString("Hour Meter Reading"));

        // Moving on without typing writes nothing.
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(list->currentText(), QString("2019 Isuzu Van"));
        QCOMPARE(fleet.vehicleField(2, "DateOfActualMiles").toString(), QString("20240101"));

        type("99,100");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(fleet.vehicleField(3, "EntryOfActualMiles").toInt(), 99100);
        QCOMPARE(fleet.vehicleField(3, "DateOfActualMiles").toString(), QString("20240305"));
        QCOMPARE(list->currentText(), QString("2019 Ford Van")); // wrapped from the last to the first
        QCOMPARE(fleet.app.currentVehicle(), 1);
        QCOMPARE(edit->text(), QString("41,000"));

        // A refused reading keeps the vehicle and the typed text, by the button or by the list.
        type("");
        fleet.prompter.answer(Prompter::Answer::Ok, "This must be numeric and between 0 and 1,000,000.");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(fleet.prompter.prompts().last().icon, Prompter::Icon::Exclamation);
        QTest::keyClicks(edit, "29999");
        fleet.prompter.answer(Prompter::Answer::Ok,
                              "can not be less then the Odometer on the vehicle when purchased");
        list->setCurrentIndex(1);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(edit->text(), QString("29999"));
        QCOMPARE(fleet.vehicleField(1, "EntryOfActualMiles").toInt(), 41000);

        // Another form makes a different vehicle current: the typed reading still goes to the one shown.
        fleet.app.setCurrentVehicle(3);
        type("45,000");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(fleet.vehicleField(1, "EntryOfActualMiles").toInt(), 45000);
        QCOMPARE(fleet.vehicleField(3, "EntryOfActualMiles").toInt(), 99100);
        QVERIFY(fleet.prompter.verifyDone());

        // Restored data without the vehicle that was current: the quick update is ready on the first one.
        fleet.app.setCurrentVehicle(9);
        fleet.doc.updateAllViews(DataRestoredHint);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(edit->text(), QString("45,000"));
    }

    void pictureFormZonesTipsAndClicks()
    {
        // Corners of the zones and the points just outside them; zones 2 to 5 stand one above another, 1
        // apart.
        const std::pair<QPoint, int> zones[] = {
            {QPoint(41, 231), 1},  {QPoint(40, 240), 0},  {QPoint(199, 249), 1}, {QPoint(200, 240), 0},
            {QPoint(120, 284), 2}, {QPoint(120, 285), 0}, {QPoint(120, 286), 3}, {QPoint(120, 305), 0},
            {QPoint(120, 344), 5}, {QPoint(120, 345), 0}};
        for (const auto& [point, zone] : zones)
            QVERIFY2(CDriverView::zoneAt(point) == zone,
                     qPrintable(QString("%1, %2").arg(point.x()).arg(point.y())));

        Fleet fleet;
        fleet.addVehicle(1, "Ford", 41000);
        fleet.addVehicle(2, "Volvo", 1500);
        fleet.app.setCurrentVehicle(1);
        CDriverView view(fleet.app, fleet.doc);
        view.resize(620, 440);
        view.show();
        QSignalSpy spy(&view, &CFormView::switchFormRequested);
        auto* tip = view.findChild<QLabel*>("tipLine");

        sendMouse(&view, QEvent::MouseMove, QPoint(120, 275));
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text(), QString("Press here to record Scheduled Maintenance"));
        QCOMPARE(view.findChild<QLabel*>("positionLine")->text(), QString("120, 275"));
        click(&view, QPoint(120, 285)); // between zones: no form (the one request below is all there is)
        QVERIFY(!tip->isVisible());
        click(&view, QPoint(120, 335));
        QCOMPARE(spy.last(), (QList<QVariant>{140, 0, 0}));

        // A vehicle chosen but not applied is asked about before leaving.
        view.findChild<QComboBox*>("vehicleSelector")->setCurrentIndex(1);
        fleet.prompter.answer(Prompter::Answer::Cancel,
                              "Do you want to apply the changes before continuing?");
        click(&view, QPoint(120, 240));
        QCOMPARE(spy.size(), 1);
        fleet.prompter.answer(Prompter::Answer::Yes, "apply the changes");
        QTest::mouseClick(view.findChild<QPushButton*>("homeButton"), Qt::LeftButton);
        QCOMPARE(spy.last(), (QList<QVariant>{101, 0, 0}));
        QCOMPARE(fleet.app.currentVehicle(), 2);
        QVERIFY(fleet.prompter.verifyDone());
    }

    // The splash goes on the first key, click or when its time is up, and the key or click does nothing else.
    void splashAndAboutBox()
    {
        TestEnvironment env;
        QWidget frame;
        frame.setGeometry(100, 100, 900, 700);
        auto* edit = new QLineEdit(&frame);
        auto* button = new QPushButton("OK", &frame);
        button->move(0, 40);
        frame.show();
        edit->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        for (bool byKey : {true, false}) {
            QPointer<SplashWindow> splash = new SplashWindow(60000);
            splash->showCentredOver(&frame);
            QCOMPARE(splash->geometry().center(), frame.frameGeometry().center());
            if (byKey)
                QTest::keyClick(edit, Qt::Key_X);
            else
                QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(edit->text().isEmpty() && clicked.isEmpty());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(splash.isNull());
        }
        QTest::keyClick(edit, Qt::Key_X);
        QCOMPARE(edit->text(), QString("x"));

        QPointer<SplashWindow> timed = new SplashWindow(30);
        timed->showCentredOver(nullptr);
        QTRY_VERIFY(timed.isNull());

        // The about box shows the program's picture and closes with OK.
        AboutBox box;
        QVERIFY(!box.findChild<QLabel*>("programIcon")->pixmap().isNull());
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void hoverButtonLooksAndCommands()
    {
        TestEnvironment env;
        CHoverBitmapButton button("Next", 32783);
        button.resize(120, 32);
        button.show();
        QStringList order;
        connect(&button, &CHoverBitmapButton::commandRequested, this,
                [&](int id) { order << QString("command %1").arg(id); });
        connect(&button, &QPushButton::clicked, this, [&] { order << "clicked"; });

        QCOMPARE(button.look(), CHoverBitmapButton::Look::Normal);
        QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), button.mapToGlobal(QPointF(10, 10)));
        QApplication::sendEvent(&button, &enter);
        QCOMPARE(button.look(), CHoverBitmapButton::Look::Hover);

        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(button.look(), CHoverBitmapButton::Look::Pressed);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(order, (QStringList{"command 32783", "clicked"}));

        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(300, 10));
        QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(order.size(), 2);

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(button.look(), CHoverBitmapButton::Look::Normal);
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
    HomeScreensTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_homescreens.moc"
