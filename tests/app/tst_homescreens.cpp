#include "DataRows.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/QuickUpdate.h"
#include "app/ScheduleStatus.h"
#include "app/ui/AboutBox.h"
#include "app/ui/DriverView.h"
#include "app/ui/HoverBitmapButton.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/VelApp.h"
#include "app/ui/VelView.h"
#include "context/Enums.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Database.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
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

// A database with one owner and the given vehicles (id, year-make-model, reading, purchase reading, hours).
struct Fleet
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    CVelApp app{prompter};
    CVelDoc doc;

    Fleet()
    {
        env.createDatabase(app.database());
        Clock::setNow(Now);
    }
    void addOwner()
    {
        app.database().execute("INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (1, 0, 'HQ')");
    }
    void addVehicle(int id, const QString& make, int reading, int purchase = 0, int hours = 0)
    {
        app.database().execute(
            QString("INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake, VehicleModel, "
                    "EntryOfActualMiles, PurchaseMileage, DateOfActualMiles, DateOfEstimatedMiles, "
                    "EstMilesPerMonth, HoursInd, Measurement, ActiveInd) VALUES (%1, 1, '2019', '%2', "
                    "'Van', %3, %4, '20240101', '20240101', 900, %5, 0, -1)")
                .arg(id)
                .arg(make)
                .arg(reading)
                .arg(purchase)
                .arg(hours));
    }
    QVariant vehicleField(int id, const QString& field)
    {
        return app.database().scalar(
            QString("SELECT %1 FROM Vehicles WHERE VehicleID = %2").arg(field).arg(id));
    }
    void addScheduleDue(const QString& stored)
    {
        static int next = 1;
        app.database().execute(
            QString("INSERT INTO Schedule (ScheduleID, VehicleID, EstPerformDate) VALUES (%1, 1, '%2')")
                .arg(next++)
                .arg(stored));
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
    void lightFromDueDate_data()
    {
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("expected");
        addRow("due today", daysFromNow(0), 5, 3);
        addRow("overdue", daysFromNow(-40), 5, 3);
        addRow("in 5 days is inside the warning", daysFromNow(5), 5, 2);
        addRow("in 6 days", daysFromNow(6), 5, 1);
        addRow("no date", "", 5, 1);
        addRow("short date", "2024031", 5, 1);
        addRow("not digits", "2024-3-1", 5, 1);
        addRow("Feb 29 of a common year rolls to Mar 1", "20230229", 5, 3);
    }

    void lightFromDueDate()
    {
        QFETCH(QString, due);
        QFETCH(int, days);
        QFETCH(int, expected);
        QCOMPARE(int(ScheduleStatus::fromDueDate(due, days, Now)), expected);
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
        fleet.addOwner();
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

    void pictureButtonsOpenTheirForms()
    {
        Fleet fleet;
        fleet.addOwner();
        CVelView view(fleet.app, fleet.doc);
        view.resize(1000, 700);
        view.show();
        view.enter(0, 0);
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
        }
        sendMouse(&view, QEvent::MouseMove, QPoint(2, 2));
        QCOMPARE(view.hotElement(), 0);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
        sendMouse(&view, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton);
        QCOMPARE(spy.size(), CVelView::ElementCount);
        // A pointer that came to rest on a tile without a move the view saw (the view was shown under it).
        sendMouse(&view, QEvent::MouseButtonRelease, view.elementRect(2).center(), Qt::LeftButton);
        QCOMPARE(spy.size(), CVelView::ElementCount + 1);
        QCOMPARE(spy.last(), (QList<QVariant>{103, 0, 0}));
    }

    void pictureIsInertWithTheGraphicalFrontEndOff()
    {
        Fleet fleet;
        fleet.app.settings().setInteger("Settings", "Graphical", 0);
        CVelView view(fleet.app, fleet.doc);
        view.resize(1000, 700);
        view.show();
        QSignalSpy spy(&view, &CFormView::switchFormRequested);
        click(&view, view.elementRect(CVelView::VehiclesElement).center());
        QCOMPARE(view.hotElement(), 0);
        QCOMPARE(spy.size(), 0);
    }

    void ownersTileAnimatesUntilClicked()
    {
        Fleet fleet;
        CVelView view(fleet.app, fleet.doc);
        view.resize(1000, 700);
        view.show();
        view.enter(0, 0);
        QVERIFY(view.isAnimating());
        const QRect owners = view.elementRect(CVelView::OwnersElement).adjusted(-10, -40, 10, 10);
        const QImage first = view.grab(owners).toImage();
        QTest::qWait(120);
        QVERIFY(view.grab(owners).toImage() != first);
        click(&view, view.elementRect(CVelView::OwnersElement).center());
        QVERIFY(!view.isAnimating());

        fleet.addOwner();
        view.enter(0, 0);
        QVERIFY(!view.isAnimating());
    }

    void statusLightShowsTheEarliestDueDate()
    {
        Fleet fleet;
        fleet.addOwner();
        CVelView view(fleet.app, fleet.doc);
        view.resize(1000, 700);
        view.show();
        const QRect panel = view.statusLightRect();
        const QPoint lens(panel.center().x(), panel.top() + panel.height() * 130 / 300);
        auto lampColour = [&] { return view.grab().toImage().pixelColor(lens); };

        QColor colour = lampColour();
        QCOMPARE(view.scheduleStatus(), 1);
        QVERIFY(colour.green() > colour.red() + 60);

        // Entries without a date, and those of other vehicles, count as not due.
        fleet.addScheduleDue("");
        fleet.app.database().execute("INSERT INTO Schedule (ScheduleID, VehicleID) VALUES (99, 2)");
        fleet.addScheduleDue(daysFromNow(8));
        colour = lampColour();
        QCOMPARE(view.scheduleStatus(), 1);
        fleet.app.settings().setInteger("Notify", "Days", 10);
        fleet.doc.updateAllViews(DaysAheadHint);
        colour = lampColour();
        QCOMPARE(view.scheduleStatus(), 2);
        QVERIFY(colour.red() > 200 && colour.green() > 110 && colour.blue() < 100);

        fleet.addScheduleDue(daysFromNow(0));
        fleet.doc.updateAllViews(GeneralHint); // as the schedule form tells the views after a save
        colour = lampColour();
        QCOMPARE(view.scheduleStatus(), 3);
        QVERIFY(colour.red() > colour.green() + 100);
    }

    void quickUpdateWalksThroughTheVehicles()
    {
        Fleet fleet;
        fleet.addOwner();
        fleet.addVehicle(1, "Ford", 41000);
        fleet.addVehicle(2, "Volvo", 1500, 0, 1);
        fleet.addVehicle(3, "Isuzu", 98765);
        fleet.app.setCurrentVehicle(2);
        CVelView view(fleet.app, fleet.doc);
        auto* list = view.findChild<QComboBox*>("vehicleSelector");
        auto* edit = view.findChild<QLineEdit*>("readingEdit");
        auto* next = view.findChild<QPushButton*>("updateNextButton");
        QCOMPARE(list->currentText(), QString("2019 Volvo Van"));
        QCOMPARE(edit->text(), QString("1,500"));
        QCOMPARE(view.findChild<QLabel*>("readingLabel")->text(), QString("Hour Meter Reading"));

        // Moving on without typing writes nothing.
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(list->currentText(), QString("2019 Isuzu Van"));
        QCOMPARE(fleet.vehicleField(2, "DateOfActualMiles").toString(), QString("20240101"));

        edit->selectAll();
        QTest::keyClicks(edit, "99,100");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(fleet.vehicleField(3, "EntryOfActualMiles").toInt(), 99100);
        QCOMPARE(fleet.vehicleField(3, "DateOfActualMiles").toString(), QString("20240305"));
        QCOMPARE(list->currentText(), QString("2019 Ford Van")); // wrapped from the last to the first
        QCOMPARE(fleet.app.currentVehicle(), 1);
        QCOMPARE(edit->text(), QString("41,000"));

        // Another form makes a different vehicle current: the typed reading still goes to the one shown.
        fleet.app.setCurrentVehicle(3);
        edit->selectAll();
        QTest::keyClicks(edit, "45,000");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(fleet.vehicleField(1, "EntryOfActualMiles").toInt(), 45000);
        QCOMPARE(fleet.vehicleField(3, "EntryOfActualMiles").toInt(), 99100);
        QVERIFY(fleet.prompter.verifyDone());
    }

    void quickUpdateRefusalKeepsTheVehicle()
    {
        Fleet fleet;
        fleet.addOwner();
        fleet.addVehicle(1, "Ford", 41000, 30000);
        fleet.addVehicle(2, "Volvo", 1500);
        fleet.app.setCurrentVehicle(1);
        CVelView view(fleet.app, fleet.doc);
        auto* list = view.findChild<QComboBox*>("vehicleSelector");
        auto* edit = view.findChild<QLineEdit*>("readingEdit");

        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        fleet.prompter.answer(Prompter::Answer::Ok, "This must be numeric and between 0 and 1,000,000.");
        QTest::mouseClick(view.findChild<QPushButton*>("updateNextButton"), Qt::LeftButton);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(fleet.prompter.prompts().last().icon, Prompter::Icon::Exclamation);

        QTest::keyClicks(edit, "29999");
        fleet.prompter.answer(Prompter::Answer::Ok,
                              "can not be less then the Odometer on the vehicle when purchased");
        list->setCurrentIndex(1);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(edit->text(), QString("29999"));
        QCOMPARE(fleet.vehicleField(1, "EntryOfActualMiles").toInt(), 41000);
        QVERIFY(fleet.prompter.verifyDone());
    }

    void documentHintsRefillTheVehicleList()
    {
        Fleet fleet;
        fleet.addOwner();
        CVelView view(fleet.app, fleet.doc);
        auto* list = view.findChild<QComboBox*>("vehicleSelector");
        auto* edit = view.findChild<QLineEdit*>("readingEdit");
        QVERIFY(!list->isEnabled());
        QVERIFY(!edit->isEnabled());

        fleet.addVehicle(1, "Ford", 41000);
        fleet.addVehicle(2, "Volvo", 1500);
        fleet.app.setCurrentVehicle(2);
        fleet.doc.updateAllViews(VehiclesHint);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentIndex(), 1);
        QVERIFY(edit->isEnabled());

        // Restored data without the vehicle that was current: the quick update is ready on the first one.
        fleet.app.setCurrentVehicle(9);
        fleet.doc.updateAllViews(DataRestoredHint);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(edit->text(), QString("41,000"));
        QVERIFY(edit->isEnabled());
    }

    void pictureFormZones_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("zone");
        addRow("zone 1 corner", QPoint(41, 231), 1);
        addRow("left of zone 1", QPoint(40, 240), 0);
        addRow("zone 1 far corner", QPoint(199, 249), 1);
        addRow("right of zone 1", QPoint(200, 240), 0);
        addRow("zone 2 bottom", QPoint(120, 284), 2);
        addRow("gap between 2 and 3", QPoint(120, 285), 0);
        addRow("zone 3 top", QPoint(120, 286), 3);
        addRow("below zone 3", QPoint(120, 305), 0);
        addRow("zone 5", QPoint(120, 344), 5);
        addRow("below zone 5", QPoint(120, 345), 0);
    }

    void pictureFormZones()
    {
        QFETCH(QPoint, point);
        QFETCH(int, zone);
        QCOMPARE(CDriverView::zoneAt(point), zone);
    }

    void pictureFormTipsAndClicks()
    {
        Fleet fleet;
        fleet.addOwner();
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
        click(&view, QPoint(120, 285));
        QVERIFY(!tip->isVisible());
        QCOMPARE(spy.size(), 0);
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
    void splashGoesOnFirstKeyClickOrAfterItsTime()
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
            QVERIFY(!splash->isVisible());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(splash.isNull());
        }
        QTest::keyClick(edit, Qt::Key_X);
        QCOMPARE(edit->text(), QString("x"));

        QPointer<SplashWindow> timed = new SplashWindow(30);
        timed->showCentredOver(nullptr);
        QTRY_VERIFY(timed.isNull());
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

    void aboutBox()
    {
        AboutBox box;
        QVERIFY(!box.findChild<QLabel*>("programIcon")->pixmap().isNull());
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(HomeScreensTest)
#include "tst_homescreens.moc"
