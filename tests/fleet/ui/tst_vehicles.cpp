#include "Dialogs.h"
#include "ViewFixture.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "db/Messages.h"
#include "fleet/OwnerRecord.h"
#include "fleet/VehicleRecord.h"
#include "fleet/ui/PurchaseDialog.h"
#include "fleet/ui/VehicleView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The vehicle form on a fresh database, shown and active; today is 03/20/2024.
class VehicleFormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ViewFixture<CVehicleView>> f;

    qint32 addOwner(const QString& company)
    {
        OwnerRecord owner;
        owner.companyName = company;
        return owner.save(f->db(), 0);
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
        return vehicle.save(f->db(), 0).vehicleId;
    }
    CVehicleView& open() { return f->openView(QSize(900, 640)); }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<ViewFixture<CVehicleView>>();
        f->m_app.loadVehicleColumns();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        addOwner("Harbourline");
    }
    void cleanup() { f.reset(); }

    void pastReadingIsEstimatedAndNoted()
    {
        CVehicleView& form = open();
        QCOMPARE(form.mode(), Mode::AddNew);
        QCOMPARE(f->field("actualDateEdit")->text(), QString("03/20/2024"));
        QVERIFY(f->find<QCheckBox>("activeCheck")->isChecked() &&
                f->find<QRadioButton>("usMeasurement")->isChecked());
        f->field("vehicleYear")->setText("2012");
        f->field("perMonthEdit")->setText("1,000");
        f->field("readingEdit")->setText("50,000");
        f->field("actualDateEdit")->setText("02/19/2024");
        f->m_prompter.noteAnswer(false);
        f->click("saveButton");
        QCOMPARE(
            f->m_prompter.prompts().last().text,
            QString("The Actual Miles Last Entered is not today.  System is estimating the (Est.) Odometer "
                    "Reading on the vehicle as of today."));
        QCOMPARE(f->m_app.settings().integer("Messages", "v1"), 0);
        QCOMPARE(
            f->value("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || DateOfEstimatedMiles "
                     "FROM Vehicles"),
            QString("50960 20240219 20240320"));
        QCOMPARE(f->field("readingEdit")->text(), QString("50,960"));
        QCOMPARE(f->find<QLabel>("readingLabel")->text(), QString("(Est.) Odometer Reading"));
        QCOMPARE(f->m_app.currentVehicle(), 1);

        // Unchanged reading, rate and date: nothing is estimated again.
        f->click("editButton");
        f->find<QPlainTextEdit>("comments")->setPlainText("Winter tyres");
        f->click("saveButton");
        QCOMPARE(f->value("SELECT EntryOfActualMiles || ' ' || Memo FROM Vehicles"),
                 QString("50960 Winter tyres"));

        // With the note turned off a past date is estimated silently; a reading of today is no estimate.
        f->click("editButton");
        f->field("readingEdit")->setText("51000");
        f->click("saveButton");
        QCOMPARE(f->field("readingEdit")->text(), QString("51,960"));
        f->click("editButton");
        f->field("actualDateEdit")->setText("03/20/2024");
        f->click("saveButton");
        QCOMPARE(f->field("readingEdit")->text(), QString("51,960"));
        QCOMPARE(f->find<QLabel>("readingLabel")->text(), QString("Odometer Reading"));
        QCOMPARE(f->m_prompter.prompts().size(), 1);
    }

    void purchaseInformation()
    {
        addVehicle("Ford", 5000, 12);
        open();
        // Browse shows the purchase read-only (its look is in tst_formlook) and changes nothing.
        const auto openPurchase = [this] { f->click("purchaseButton"); };
        withDialog<CPurchaseDialog>(openPurchase, [](CPurchaseDialog& dialog) {
            QVERIFY(dialog.findChild<QLineEdit*>("purchasedFrom")->isReadOnly());
            QCOMPARE(dialog.findChild<QLineEdit*>("purchasedFrom")->text(), QString("Dealer"));
            QCOMPARE(dialog.findChild<QLabel*>("readingLabel")->text(), QString("Odometer"));
            dialog.accept();
        });
        QVERIFY(!f->m_view->hasUnsavedChanges());
        QCOMPARE(f->find<QWidget>("hoursCheck")->nextInFocusChain(), f->find<QWidget>("purchaseButton"));

        f->click("editButton");
        withDialog<CPurchaseDialog>(openPurchase, [this](CPurchaseDialog& dialog) {
            const auto field = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
            field("purchasedFrom")->setText("O'Neil's Motors");
            field("purchaseDate")->setText("1/2/2020");
            field("purchaseAmount")->setText("$1,000,000");
            field("purchaseReading")->setText("5001");
            f->m_prompter.answer(Answer::Ok, Messages::VehicleCostOutOfRange);
            dialog.accept();
            QCOMPARE(dialog.focusWidget(), field("purchaseAmount"));
            field("purchaseAmount")->setText("$38,950.50");
            f->m_prompter.answer(Answer::Ok,
                                 "The Odometer Reading at purchase can not be greater then the current "
                                 "Odometer Reading on the vehicle.");
            dialog.accept();
            QVERIFY(dialog.isVisible());
            field("purchaseReading")->setText("5000");
            dialog.accept();
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(f->m_view->hasUnsavedChanges());
        f->click("saveButton");
        QCOMPARE(
            f->value("SELECT PurchaseDate || ' ' || PurchaseAmount || ' ' || PurchaseMileage FROM Vehicles"),
            QString("20200102 38950.5 5000"));
        QCOMPARE(f->value("SELECT CompanyName FROM ContactInfo WHERE ContactID = "
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
            f->db().execute(sql);
        const QString copiedRows = "SELECT (SELECT count(*) FROM Schedule WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM Loan WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM Insurance WHERE VehicleID = 2) || "
                                   "(SELECT count(*) FROM InsCoverage WHERE VehicleID = 2)";
        CVehicleView& form = open();

        // Cancel, then Yes to 61471: no duplicate.
        f->m_prompter.answer(Answer::Yes, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); }, [](QDialog& dialog) { dialog.reject(); });
        QCOMPARE(form.mode(), Mode::Browse);
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);

        // Cancel, then No: the duplicate goes on with the choices as they were.
        const QRect selectorPlace = f->find<QComboBox>("vehicleSelector")->geometry();
        f->m_prompter.answer(Answer::No, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); },
                            [](QDialog& dialog) {
                                dialog.findChild<QCheckBox*>("loanCheck")->setChecked(true);
                                dialog.reject();
                            });
        QCOMPARE(form.mode(), Mode::AddNew);
        QCOMPARE(f->find<QLabel>("modeTitle")->text(), QString("Add New Vehicle"));
        QCOMPARE(f->field("vehicleMake")->text(), QString("Ford"));
        QVERIFY(!f->find<QComboBox>("vehicleSelector")->isEnabled());
        QVERIFY(f->find<QLabel>("selectorLabel")->isHidden());
        QTest::qWait(20);
        QCOMPARE(f->find<QComboBox>("vehicleSelector")->geometry(), selectorPlace);
        QCOMPARE(f->m_view->focusWidget(), f->find<QWidget>("vehicleOwner"));
        QVERIFY(!form.hasUnsavedChanges());
        QCOMPARE(f->value(copiedRows), QString("0000"));

        f->field("vehicleVin")->setText("SECOND");
        f->click("saveButton");
        QCOMPARE(form.currentKey(), 2);
        QCOMPARE(f->value(copiedRows), QString("1100"));
        // The copies get keys of their own; the source keeps its rows.
        QCOMPARE(f->value("SELECT ScheduleID || Description FROM Schedule WHERE VehicleID = 2"),
                 QString("8Oil"));
        QCOMPARE(f->value("SELECT AcctNo FROM Loan WHERE VehicleID = 2"), QString("L-1"));
        QCOMPARE(f->count("SELECT count(*) FROM Schedule WHERE VehicleID = 1"), 1);
        QCOMPARE(f->count("SELECT count(DISTINCT ContactID) FROM Vehicles"), 2);
        QVERIFY(f->find<QComboBox>("vehicleSelector")->isEnabled());
        QVERIFY(!f->find<QLabel>("selectorLabel")->isHidden());
    }

    void updateHintsRefillTheLists()
    {
        addVehicle("Ford");
        open();
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->count(), 1);
        addOwner("Another");
        f->m_doc.updateAllViews(OwnersHint);
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->count(), 2);
        QCOMPARE(f->find<QComboBox>("vehicleOwner")->currentText(), QString("Harbourline"));

        addVehicle("Isuzu");
        f->m_app.setCurrentVehicle(1);
        f->m_doc.updateAllViews(VehiclesHint);
        QCOMPARE(f->find<QComboBox>("vehicleSelector")->count(), 2);
        QCOMPARE(f->field("vehicleMake")->text(), QString("Ford"));
    }
};

QTEST_MAIN(VehicleFormTest)
#include "tst_vehicles.moc"
