#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "fuel/GasEntry.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

#include <QAction>

using Answer = Prompter::Answer;

// Nothing is written for a vehicle that has gone, no record moves to another vehicle, nothing is deleted by a
// stray Enter, and closing the window only ever offers the changes typed.
class KeptDataTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;
    const QString vehicleGone = QStringLiteral("vehicle this record belongs to has been deleted");

    // The loan form of vehicle 1 with an account number typed and not saved, left for the company list.
    void leaveTypedLoan()
    {
        f->open(LoanForm);
        f->setText("accountNumber", "L-9");
        f->click("editContactButton");
        QCOMPARE(f->shownNumber(), int(CompanyForm));
    }

private Q_SLOTS:
    void init() { f = std::make_unique<CompanyFormsFixture>(); }
    void cleanup() { f.reset(); }

    void typingForADeletedVehicleIsDroppedAndTold()
    {
        leaveTypedLoan();
        f->open(VehicleForm);
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 1);
        f->m_prompter.answer(Answer::Yes, "Do you want to delete the current vehicle?");
        f->m_prompter.answer(Answer::Ok, vehicleGone);
        f->click("deleteButton");
        CRecordForm& loan = f->open(LoanForm);
        QVERIFY(!loan.hasUnsavedChanges());
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 2);
        QCOMPARE(f->text("accountNumber"), QString());
        QCOMPARE(f->count("SELECT count(*) FROM Loan"), 0);
    }

    void saveWritesNothingForAVehicleGoneUnnoticed()
    {
        f->open(InsuranceForm);
        f->setText("policyNumber", "P-1");
        f->db().execute("DELETE FROM Vehicles WHERE VehicleID = 1");
        f->m_prompter.answer(Answer::Ok, vehicleGone);
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM Insurance"), 0);
        QVERIFY(!f->shown().hasUnsavedChanges());
    }

    // Typing left on the loan form while the company list is shown is offered on closing, and only that:
    // Cancel stays on the loan form, Yes saves it; with every vehicle gone unheard of, No closes.
    void closingOffersOnlyTheChanges_data()
    {
        QTest::addColumn<bool>("vehiclesGone");
        addRow("saved", false);
        addRow("every vehicle gone", true);
    }

    void closingOffersOnlyTheChanges()
    {
        QFETCH(bool, vehiclesGone);
        leaveTypedLoan();
        if (vehiclesGone)
            f->db().execute("DELETE FROM Vehicles");
        f->m_prompter.answer(Answer::Cancel, "Do you want to apply the changes before continuing?");
        QVERIFY(!f->frame().close());
        QCOMPARE(f->shownNumber(), int(LoanForm));
        f->m_prompter.answer(vehiclesGone ? Answer::No : Answer::Yes,
                             "Do you want to apply the changes before continuing?");
        QVERIFY(f->frame().close());
        QCOMPARE(f->m_prompter.prompts().size(), 2);
        QCOMPARE(f->count("SELECT count(*) FROM Loan WHERE VehicleID = 1 AND AcctNo = 'L-9'"),
                 vehiclesGone ? 0 : 1);
    }

    void deleteQuestionsDefaultToNo_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("table");
        addRow("owner", int(OwnerForm), "Do you want to delete the current owner?", "Owners");
        addRow("vehicle", int(VehicleForm),
               "Do you want to delete the current vehicle?  Note:  All Schedule, Loan, "
               "Insurance, Job Orders, Maintenance, and Gas Log information will be lost.",
               "Vehicles");
        addRow("company", int(CompanyForm), "Do you want to delete the current service station?",
               "ContactInfo WHERE ContactType = 4");
        addRow("loan", int(LoanForm), "Do you want to delete the loan information?", "Loan");
        addRow("insurance", int(InsuranceForm), "Do you want to delete the insurance information?",
               "Insurance");
        addRow("gas", int(GasForm), "Do you want to delete the selected gas entry?", "GasLog");
        addRow("maintenance", int(MaintenanceForm), "Do you want to delete the selected maintenance entry?",
               "Maintenance");
        addRow("job order", int(JobOrderForm), "Do you want to delete the selected job order?", "JobOrder");
    }

    void deleteQuestionsDefaultToNo()
    {
        QFETCH(int, form);
        QFETCH(QString, question);
        QFETCH(QString, table);
        f->addCompany("Quick Lube", 4);
        f->db().execute("INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'L-1')");
        f->db().execute("INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (1, 'P-1')");
        f->db().execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, CostGallon, TotalCost, "
            "Fillup, StationID) VALUES (1, 1, '20240105', 9800, 12, 2.5, 30, 0, 0)");
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, StationID, MaintDate, ActualMiles) "
                        "VALUES (1, 1, 0, '20240215', 10600)");
        f->db().execute("INSERT INTO JobOrder (JobOrderID, StationID, VehicleID, JCN, Date, OpenInd) VALUES "
                        "(1, 0, 1, 'J-1', '20240310', -1)");
        const QString count = QStringLiteral("SELECT count(*) FROM ") + table;
        const int before = f->count(count);
        f->open(form);
        f->m_prompter.answer(Answer::No, question);
        f->click("deleteButton");
        QCOMPARE(f->m_prompter.prompts().last().buttons, Prompter::Buttons::YesNoDefaultNo);
        QCOMPARE(f->count(count), before);
    }

    // Whatever the form does, a save never moves a stored record to another vehicle.
    void saveRefusesToMoveARecord()
    {
        f->db().execute(
            "INSERT INTO JobOrder (JobOrderID, VehicleID, Date, OpenInd) VALUES (1, 1, '20240301', -1)");
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) "
                        "VALUES (1, 1, '20240301', 41000)");
        f->db().execute(
            "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240301', 41000)");
        const QString refusal = "This record belongs to another vehicle, so the changes were not saved.";
        const auto refused = [&](const std::function<void()>& save) {
            try {
                save();
            } catch (const CdbException& error) {
                return error.description() == refusal;
            }
            return false;
        };
        JobOrderRecord order = *JobOrderRecord::load(f->db(), 1);
        order.vehicleId = 2;
        QVERIFY(refused([&] { order.save(f->db(), 1); }));
        MaintenanceRecord entry = *MaintenanceRecord::load(f->db(), 1);
        entry.vehicleId = 2;
        QVERIFY(refused([&] { MaintenanceEntries::save(f->db(), 1, entry); }));
        GasRecord gas = *GasRecord::load(f->db(), 1);
        QVERIFY(refused([&] { gas.save(f->db(), 2, 1); }));
        QCOMPARE(columnOf(f->db(),
                          "SELECT VehicleID FROM JobOrder UNION ALL SELECT VehicleID FROM Maintenance "
                          "UNION ALL SELECT VehicleID FROM GasLog"),
                 QStringList({"1", "1", "1"}));
    }

    void fileMenuSwitchesDataFiles()
    {
        const QString first = f->m_app.databasePath();
        Database other;
        const QString otherPath = f->m_env.createDatabase(other, "Other.vel");
        other.execute(
            "INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Elsewhere')");
        other.execute("INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1)");
        other.close();
        f->open(OwnerForm);
        f->click("editButton");
        f->setText("companyName", "Typed");
        QWidget* field = f->field("companyName");
        field->setFocus();
        // The changes typed are offered first; Cancel keeps the file and the typing.
        const QString offer = "Do you want to apply the changes before continuing?";
        f->m_prompter.answer(Answer::Cancel, offer);
        QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f->m_app.databasePath(), first);
        QCOMPARE(f->text("companyName"), QString("Typed"));

        f->m_prompter.answer(Answer::No, offer).file(otherPath);
        QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f->m_app.databasePath(), otherPath);
        QCOMPARE(f->m_app.settings().databaseLocation(), otherPath);
        QCOMPARE(f->shownNumber(), int(HomeForm));
        f->open(OwnerForm);
        QCOMPARE(f->box("ownerSelector")->currentText(), QString("Elsewhere"));

        const QString fresh = f->m_env.path("Fresh.vel");
        f->m_prompter.file(fresh);
        f->frame().findChild<QAction*>("newDataFileAction")->trigger();
        QCOMPARE(f->m_app.databasePath(), fresh);
        QCOMPARE(f->count("SELECT count(*) FROM Owners"), 0);
    }
};

QTEST_MAIN(KeptDataTest)
#include "tst_keptdata.moc"
