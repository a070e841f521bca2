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

    Database& db() { return f->db(); }
    int count(const QString& sql) { return f->count(sql); }
    QString value(const QString& sql) { return f->value(sql); }
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
    CVehicleView& open() { return f->openView(QSize(900, 640)); }
    template <class T = QLineEdit> T* find(const char* name) { return f->find<T>(name); }
    QString text(const char* name) { return find(name)->text(); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    void set(const char* name, const QString& text) { find(name)->setText(text); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }

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
        QCOMPARE(text("actualDateEdit"), QString("03/20/2024"));
        QVERIFY(find<QCheckBox>("activeCheck")->isChecked() &&
                find<QRadioButton>("usMeasurement")->isChecked());
        set("vehicleYear", "2012");
        set("perMonthEdit", "1,000");
        set("readingEdit", "50,000");
        set("actualDateEdit", "02/19/2024");
        f->m_prompter.noteAnswer(false);
        click("saveButton");
        QCOMPARE(
            f->m_prompter.prompts().last().text,
            QString("The Actual Miles Last Entered is not today.  System is estimating the (Est.) Odometer "
                    "Reading on the vehicle as of today."));
        QCOMPARE(f->m_app.settings().integer("Messages", "v1"), 0);
        QCOMPARE(value("SELECT EntryOfActualMiles || ' ' || DateOfActualMiles || ' ' || DateOfEstimatedMiles "
                       "FROM Vehicles"),
                 QString("50960 20240219 20240320"));
        QCOMPARE(text("readingEdit"), QString("50,960"));
        QCOMPARE(label("readingLabel"), QString("(Est.) Odometer Reading"));
        QCOMPARE(f->m_app.currentVehicle(), 1);

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
        QCOMPARE(f->m_prompter.prompts().size(), 1);
    }

    void purchaseInformation()
    {
        addVehicle("Ford", 5000, 12);
        open();
        // Browse shows the purchase read-only (its look is in tst_formlook) and changes nothing.
        const auto openPurchase = [this] { click("purchaseButton"); };
        withDialog<CPurchaseDialog>(openPurchase, [](CPurchaseDialog& dialog) {
            QVERIFY(dialog.findChild<QLineEdit*>("purchasedFrom")->isReadOnly());
            QCOMPARE(dialog.findChild<QLineEdit*>("purchasedFrom")->text(), QString("Dealer"));
            QCOMPARE(dialog.findChild<QLabel*>("readingLabel")->text(), QString("Odometer"));
            dialog.accept();
        });
        QVERIFY(!f->m_view->hasUnsavedChanges());
        QCOMPARE(find<QWidget>("hoursCheck")->nextInFocusChain(), find<QWidget>("purchaseButton"));

        click("editButton");
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
        f->m_prompter.answer(Answer::Yes, Messages::CancelDuplicationQuestion);
        withDialog<QDialog>([&] { form.commandDuplicate(); }, [](QDialog& dialog) { dialog.reject(); });
        QCOMPARE(form.mode(), Mode::Browse);
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);

        // Cancel, then No: the duplicate goes on with the choices as they were.
        const QRect selectorPlace = find<QComboBox>("vehicleSelector")->geometry();
        f->m_prompter.answer(Answer::No, Messages::CancelDuplicationQuestion);
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
        QCOMPARE(f->m_view->focusWidget(), find<QWidget>("vehicleOwner"));
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

    void updateHintsRefillTheLists()
    {
        addVehicle("Ford");
        open();
        QCOMPARE(find<QComboBox>("vehicleOwner")->count(), 1);
        addOwner("Another");
        f->m_doc.updateAllViews(OwnersHint);
        QCOMPARE(find<QComboBox>("vehicleOwner")->count(), 2);
        QCOMPARE(find<QComboBox>("vehicleOwner")->currentText(), QString("Harbourline"));

        addVehicle("Isuzu");
        f->m_app.setCurrentVehicle(1);
        f->m_doc.updateAllViews(VehiclesHint);
        QCOMPARE(find<QComboBox>("vehicleSelector")->count(), 2);
        QCOMPARE(text("vehicleMake"), QString("Ford"));
    }
};

QTEST_MAIN(VehicleFormTest)
#include "tst_vehicles.moc"
