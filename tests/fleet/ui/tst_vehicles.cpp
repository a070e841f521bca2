#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/DemoData.h"
#include "context/Enums.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "context/VelDoc.h"
#include "db/Clock.h"
#include "db/Messages.h"
#include "fleet/OwnerRecord.h"
#include "fleet/ReadingEstimate.h"
#include "fleet/RecordDeletion.h"
#include "fleet/VehicleRecord.h"
#include "fleet/ui/PurchaseDialog.h"
#include "fleet/ui/VehicleView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The vehicle form on a fresh database, shown and active; today is 03/20/2024.
class VehicleFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<CVelApp> app;
    std::unique_ptr<CVelDoc> doc;
    std::unique_ptr<CVehicleView> view;

    Database& db() { return app->database(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    QString value(const QString& sql) { return db().scalar(sql).toString(); }
    qint32 addOwner(const QString& company)
    {
        OwnerRecord owner;
        owner.companyName = company;
        return owner.save(db(), 0);
    }
    qint32 addVehicle(const QString& make, qint32 reading = 1000, qint32 purchaseReading = 0)
    {
        VehicleRecord vehicle = VehicleRecord::newVehicle();
        vehicle.ownerId = 1;
        vehicle.year = "2019";
        vehicle.make = make;
        vehicle.reading = reading;
        vehicle.purchase.reading = purchaseReading;
        vehicle.purchase.seller.companyName = "Dealer";
        return vehicle.save(db(), 0).vehicleId;
    }
    CVehicleView& open()
    {
        view = std::make_unique<CVehicleView>(*app, *doc);
        view->resize(900, 640);
        view->show();
        QApplication::setActiveWindow(view.get());
        if (!QTest::qWaitForWindowActive(view.get()))
            qFatal("the vehicle form did not become active");
        view->enter(0, 0);
        return *view;
    }
    template <class T = QLineEdit> T* find(const char* name)
    {
        T* widget = view->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QString text(const char* name) { return find(name)->text(); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    void set(const char* name, const QString& text) { find(name)->setText(text); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    // Runs the action while the modal dialog it opens is handled by the given steps.
    template <class Dialog>
    void withDialog(const std::function<void()>& action, std::function<void(Dialog&)> steps)
    {
        bool handled = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            handled = true;
            steps(*dialog);
            // A failed check inside the steps must not leave the test waiting on the dialog.
            if (dialog->isVisible())
                dialog->done(QDialog::Rejected);
        });
        action();
        QVERIFY(handled);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        prompter = std::make_unique<ScriptedPrompter>();
        app = std::make_unique<CVelApp>(*prompter);
        doc = std::make_unique<CVelDoc>();
        app->setDatabasePath(env->createDatabase(app->database()));
        app->loadVehicleColumns();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        addOwner("Harbourline");
    }
    void cleanup()
    {
        view.reset();
        prompter->verifyDone();
        doc.reset();
        app.reset();
        prompter.reset();
        env.reset();
    }

    void checksRunInOrderWithTheUnitLabels()
    {
        addVehicle("Ford", 1000, 200);
        db().execute(
            "INSERT INTO Maintenance (MaintID, VehicleID, StationID, ActualMiles) VALUES (1, 1, 0, 900)");
        open();
        QCOMPARE(label("readingLabel"), QString("Odometer Reading"));
        QCOMPARE(text("readingEdit"), QString("1,000"));
        click("editButton");
        click("metricMeasurement");
        QCOMPARE(label("perMonthLabel"), QString("Estimated KM Per Month"));
        click("hoursCheck");
        QCOMPARE(label("perMonthLabel"), QString("Estimated Hours Per Month"));
        QCOMPARE(label("actualDateLabel"), QString("Actual Hours Last Entered"));

        struct Step
        {
            const char* field;
            const char* text;
            QString message; // empty: the save goes through
            const char* focus;
        };
        const Step steps[] = {
            {"vehicleYear", "1900", Messages::YearRequired, "vehicleYear"},
            {"vehicleYear", "1901", "Estimated Hours Per Month must be numeric and between 0 and 100,000.",
             "perMonthEdit"},
            {"perMonthEdit", "$1,200", "Hour Meter Reading must be numeric and between 0 and 1,000,000.",
             "readingEdit"},
            {"readingEdit", "199",
             "The Hour Meter Reading on the vehicle can not be less then the Hour Meter on the vehicle when "
             "purchased.",
             "readingEdit"},
            {"readingEdit", "899",
             "The Hour Meter Reading can not be less then any actual maintenance entered.", "readingEdit"},
            {"readingEdit", "900", "Actual Hours Last Entered is not a valid date.", "actualDateEdit"},
            {"actualDateEdit", "3/21/2024", Messages::FutureDate, "actualDateEdit"},
            {"actualDateEdit", "3-20-2024", QString(), nullptr},
        };
        set("perMonthEdit", "100,000");
        set("readingEdit", "1,000,000");
        set("actualDateEdit", "2/30/2024");
        for (const Step& step : steps) {
            set(step.field, QString::fromLatin1(step.text));
            if (!step.message.isEmpty())
                prompter->answer(Answer::Ok, step.message);
            click("saveButton");
            if (step.message.isEmpty())
                break;
            QCOMPARE(prompter->prompts().last().icon, Prompter::Icon::Exclamation);
            QCOMPARE(QApplication::focusWidget(), find<QWidget>(step.focus));
            QCOMPARE(view->mode(), Mode::Edit);
        }
        QCOMPARE(view->mode(), Mode::Browse);
        QCOMPARE(text("actualDateEdit"), QString("03/20/2024"));
        QCOMPARE(value("SELECT VehicleYear || ' ' || EntryOfActualMiles || ' ' || EstMilesPerMonth || ' ' || "
                       "Measurement || ' ' || HoursInd FROM Vehicles"),
                 QString("1901 900 1200 1 1"));
        QCOMPARE(label("readingLabel"), QString("Hour Meter Reading"));
    }

    void pastReadingIsEstimatedAndNoted()
    {
        CVehicleView& form = open();
        QCOMPARE(form.mode(), Mode::AddNew);
        QCOMPARE(text("actualDateEdit"), QString("03/20/2024"));
        QVERIFY(find<QCheckBox>("activeCheck")->isChecked() &&
                find<QRadioButton>("usMeasurement")->isChecked());
        set("vehicleYear", "2012");
        set("perMonthEdit", "1,000");
        set("readingEdit", "50,000");
        set("actualDateEdit", "02/19/2024");
        prompter->noteAnswer(false);
        click("saveButton");
        QCOMPARE(
            prompter->prompts().last().text,
            QString("The Actual Miles Last Entered is not today.  System is estimating the (Est.) Odometer "
                    "Reading on the vehicle as of today."));
        QCOMPARE(app->settings().integer("Messages", "v1"), 0);
        QCOMPARE(value("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || DateOfEstimatedMiles "
                       "FROM Vehicles"),
                 QString("50960 20240219 20240320"));
        QCOMPARE(text("readingEdit"), QString("50,960"));
        QCOMPARE(label("readingLabel"), QString("(Est.) Odometer Reading"));
        QCOMPARE(app->currentVehicle(), 1);

        // Unchanged reading, rate and date: nothing is estimated again.
        click("editButton");
        find<QPlainTextEdit>("comments")->setPlainText("Winter tyres");
        click("saveButton");
        QCOMPARE(value("SELECT EntryOfActualMiles || ' ' || Memo FROM Vehicles"),
                 QString("50960 Winter tyres"));

        // With the note turned off a past date is estimated silently; a reading of today is no estimate.
        click("editButton");
        set("readingEdit", "51000");
        click("saveButton");
        QCOMPARE(text("readingEdit"), QString("51,960"));
        click("editButton");
        set("actualDateEdit", "03/20/2024");
        click("saveButton");
        QCOMPARE(text("readingEdit"), QString("51,960"));
        QCOMPARE(label("readingLabel"), QString("Odometer Reading"));
        QCOMPARE(prompter->prompts().size(), 1);
    }

    void purchaseInformation()
    {
        addVehicle("Ford", 5000, 12);
        open();
        // Browse shows the purchase read-only and changes nothing.
        withDialog<CPurchaseDialog>([this] { click("purchaseButton"); },
                                    [](CPurchaseDialog& dialog) {
                                        auto* from = dialog.findChild<QLineEdit*>("purchasedFrom");
                                        QCOMPARE(from->text(), QString("Dealer"));
                                        QVERIFY(from->isReadOnly());
                                        // Read-only looks read-only, as on the forms: the window's colour.
                                        for (QWidget* field : dialog.findChildren<QLineEdit*>())
                                            QCOMPARE(field->palette().color(QPalette::Base),
                                                     dialog.palette().color(QPalette::Window));
                                        QCOMPARE(dialog.findChild<QLabel*>("readingLabel")->text(),
                                                 QString("Odometer"));
                                        dialog.accept();
                                    });
        QVERIFY(!view->hasUnsavedChanges());
        QCOMPARE(find<QWidget>("hoursCheck")->nextInFocusChain(), find<QWidget>("purchaseButton"));

        click("editButton");
        withDialog<CPurchaseDialog>(
            [this] { click("purchaseButton"); },
            [this](CPurchaseDialog& dialog) {
                const auto field = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
                field("purchasedFrom")->setText("O'Neil's Motors");
                field("purchaseDate")->setText("1/2/2020");
                field("purchaseAmount")->setText("$1,000,000");
                field("purchaseReading")->setText("5001");
                prompter->answer(Answer::Ok, Messages::VehicleCostOutOfRange);
                dialog.accept();
                QCOMPARE(dialog.focusWidget(), field("purchaseAmount"));
                field("purchaseAmount")->setText("$38,950.50");
                prompter->answer(Answer::Ok,
                                 "The Odometer Reading at purchase can not be greater then the current "
                                 "Odometer Reading on the vehicle.");
                dialog.accept();
                QVERIFY(dialog.isVisible());
                field("purchaseReading")->setText("5000");
                dialog.accept();
                QVERIFY(!dialog.isVisible());
            });
        QVERIFY(view->hasUnsavedChanges());
        click("saveButton");
        QCOMPARE(
            value("SELECT PurchaseDate || ' ' || PurchaseAmount || ' ' || PurchaseMileage FROM Vehicles"),
            QString("20200102 38950.5 5000"));
        QCOMPARE(value("SELECT CompanyName FROM ContactInfo WHERE ContactID = "
                       "(SELECT ContactID FROM Vehicles)"),
                 QString("O'Neil's Motors"));
    }

    void duplicateCopiesOnlyWhenSaved()
    {
        addOwner("Second owner");
        addVehicle("Ford");
        for (const char* sql :
             {"INSERT INTO Schedule (ScheduleID, VehicleID, Description) VALUES (7, 1, 'Oil')",
              "INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')",
              "INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (1, 'P-1')",
              "INSERT INTO InsCoverage (VehicleID, TypeID) VALUES (1, 1)"})
            db().execute(sql);
        const QString copiedRows = "SELECT (SELECT count(*) FROM Schedule WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM Loan WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM Insurance WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM InsCoverage WHERE VehicleID = 2)";
        CVehicleView& form = open();

        // Cancel, then Yes to 61471: no duplicate.
        prompter->answer(Answer::Yes, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); }, [](QDialog& dialog) { dialog.reject(); });
        QCOMPARE(form.mode(), Mode::Browse);
        QCOMPARE(prompter->prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);

        // Cancel, then No: the duplicate goes on with the choices as they were.
        const QRect selectorPlace = find<QComboBox>("vehicleSelector")->geometry();
        prompter->answer(Answer::No, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); },
                            [](QDialog& dialog) {
                                dialog.findChild<QCheckBox*>("loanCheck")->setChecked(true);
                                dialog.reject();
                            });
        QCOMPARE(form.mode(), Mode::AddNew);
        QCOMPARE(find<QLabel>("modeTitle")->text(), QString("Add New Vehicle"));
        QCOMPARE(text("vehicleMake"), QString("Ford"));
        QVERIFY(!find<QComboBox>("vehicleSelector")->isEnabled());
        QVERIFY(find<QLabel>("selectorLabel")->isHidden());
        QTest::qWait(20);
        QCOMPARE(find<QComboBox>("vehicleSelector")->geometry(), selectorPlace);
        QCOMPARE(view->focusWidget(), find<QWidget>("vehicleOwner"));
        QVERIFY(!form.hasUnsavedChanges());
        QCOMPARE(value(copiedRows), QString("0000"));

        set("vehicleVin", "SECOND");
        click("saveButton");
        QCOMPARE(form.currentKey(), 2);
        QCOMPARE(value(copiedRows), QString("1100"));
        // The copies get keys of their own; the source keeps its rows.
        QCOMPARE(value("SELECT ScheduleID || Description FROM Schedule WHERE VehicleID = 2"),
                 QString("8Oil"));
        QCOMPARE(value("SELECT AcctNo FROM Loan WHERE VehicleID = 2"), QString("L-1"));
        QCOMPARE(count("SELECT count(*) FROM Schedule WHERE VehicleID = 1"), 1);
        QCOMPARE(count("SELECT count(DISTINCT ContactID) FROM Vehicles"), 2);
        QVERIFY(find<QComboBox>("vehicleSelector")->isEnabled());
        QVERIFY(!find<QLabel>("selectorLabel")->isHidden());
    }

    void deleteRemovesEveryRowOfTheVehicle()
    {
        addVehicle("Ford");
        addVehicle("Isuzu");
        for (const QString& table : RecordDeletion::vehicleTables())
            for (int vehicle : {1, 2})
                db().execute(QString("INSERT INTO %1 (VehicleID) VALUES (%2)").arg(table).arg(vehicle));
        app->setCurrentVehicle(2);
        CVehicleView& form = open();
        QCOMPARE(text("vehicleMake"), QString("Isuzu"));

        prompter->answer(Answer::No, Messages::DeleteVehicleQuestion);
        form.commandDelete();
        QCOMPARE(count("SELECT count(*) FROM Vehicles"), 2);

        QSignalSpy hints(doc.get(), &CVelDoc::viewsNeedUpdate);
        prompter->answer(Answer::Yes, Messages::DeleteVehicleQuestion);
        form.commandDelete();
        int left = count("SELECT count(*) FROM Vehicles WHERE VehicleID = 2");
        for (const QString& table : RecordDeletion::vehicleTables())
            left += count(QString("SELECT count(*) FROM %1 WHERE VehicleID = 2").arg(table));
        QCOMPARE(left, 0);
        QCOMPARE(count("SELECT count(*) FROM Loan WHERE VehicleID = 1"), 1);
        QCOMPARE(count("SELECT count(*) FROM ContactInfo WHERE CompanyName = 'Dealer'"), 2);
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints.at(0).at(0).toInt(), int(VehiclesHint));
        QCOMPARE(text("vehicleMake"), QString("Ford"));
        QCOMPARE(app->currentVehicle(), 1);
    }

    void updateHintsRefillTheLists()
    {
        addVehicle("Ford");
        open();
        QCOMPARE(find<QComboBox>("vehicleOwner")->count(), 1);
        addOwner("Another");
        doc->updateAllViews(OwnersHint);
        QCOMPARE(find<QComboBox>("vehicleOwner")->count(), 2);
        QCOMPARE(find<QComboBox>("vehicleOwner")->currentText(), QString("Harbourline"));

        addVehicle("Isuzu");
        app->setCurrentVehicle(1);
        doc->updateAllViews(VehiclesHint);
        QCOMPARE(find<QComboBox>("vehicleSelector")->count(), 2);
        QCOMPARE(text("vehicleMake"), QString("Ford"));
    }

    void demoFleetInTheMainWindow()
    {
        app->settings().setText("Settings", "InstallDir", env->folder());
        db().execute("DELETE FROM Owners");
        db().execute("DELETE FROM ContactInfo");
        DemoData::fill(db());
        ReadingEstimate::bringAllForward(db());
        db().execute("UPDATE Vehicles SET Memo = 'Roof rack and ladder racks fitted. Tyres rotated at every "
                     "service.' WHERE VehicleID = 1");
        CMainFrame frame(*app);
        frame.resize(1100, 760);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.switchForm(VehicleForm));
        CFormView* form = frame.shownForm();
        QVERIFY(qobject_cast<CVehicleView*>(form));
        const auto widget = [form](const char* name) { return form->findChild<QWidget*>(name); };
        QCOMPARE(qobject_cast<QComboBox*>(widget("vehicleSelector"))->currentText(),
                 QString("2019 Ford Transit 250"));
        QCOMPARE(qobject_cast<QLabel*>(widget("readingLabel"))->text(), QString("(Est.) Odometer Reading"));
        QCOMPARE(qobject_cast<QLineEdit*>(widget("readingEdit"))->text(), QString("62,888"));
        // Next leads on to the schedule form.
        QVERIFY(widget("nextButton")->isEnabled());
        saveScreenshot(frame, "vehicle-form");

        QTest::mouseClick(widget("backButton"), Qt::LeftButton);
        QCOMPARE(frame.shownForm()->formNumber(), int(OwnerForm));
    }
};

QTEST_MAIN(VehicleFormTest)
#include "tst_vehicles.moc"
