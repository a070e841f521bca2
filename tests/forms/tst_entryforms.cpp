#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "db/DbException.h"
#include "fuel/GasEntry.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

using Mode = CRecordForm::Mode;

// The forms of a vehicle's records, driven through the main window: a save never moves a record to another
// vehicle, and Tab goes down each column. Which records a form shows after a vehicle is picked elsewhere,
// the gas form's money fields and the job order's blank choice are driven through the whole window in
// tst_journeys.
class EntryFormsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    QString focusedName()
    {
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->objectName().isEmpty())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<CompanyFormsFixture>();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(12, 0)));
        f->db().execute("UPDATE Vehicles SET EntryOfActualMiles = 50000, DateOfActualMiles = '20240101', "
                        "DateOfEstimatedMiles = '20240320', EstMilesPerMonth = 1000, ActiveInd = -1");
        f->db().execute("UPDATE Vehicles SET HoursInd = -1 WHERE VehicleID = 2");
        f->m_app.setCurrentVehicle(1);
        // Saves that move a vehicle's reading would show a note; it is not what these tests look at.
        f->m_app.settings().setInteger("Messages", "m1", 0);
    }
    void cleanup() { f.reset(); }

    // Whatever the form does, a save never moves a stored record to another vehicle.
    void saveRefusesToMoveARecord()
    {
        f->db().execute("INSERT INTO JobOrder (JobOrderID, VehicleID, Date, OpenInd) VALUES (1, 1, '20240301', -1)");
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) "
                        "VALUES (1, 1, '20240301', 41000)");
        f->db().execute("INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage) VALUES (1, 1, '20240301', 41000)");
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
        QCOMPARE(columnOf(f->db(), "SELECT VehicleID FROM JobOrder UNION ALL SELECT VehicleID FROM Maintenance "
                                   "UNION ALL SELECT VehicleID FROM GasLog"),
                 QStringList({"1", "1", "1"}));
    }

    // Tab goes down each column of a form, as the eye reads it, then on to the rows across the form.
    void tabGoesDownEachColumn_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QStringList>("order");
        addRow("gas log", int(GasForm),
               QStringList{"fullTank", "reading", "distance", "amount", "costPerUnit", "totalPrice", "date",
                           "estimated", "gasStation", "briefDescription"});
        addRow("maintenance", int(MaintenanceForm),
               QStringList{"reading", "serviceStation", "date", "jobOrder", "selectServicesButton",
                           "description", "totalPrice", "comments"});
        addRow("job orders", int(JobOrderForm),
               QStringList{"jcn", "serviceStation", "date", "selectServicesButton", "description",
                           "comments"});
        addRow("loan", int(LoanForm),
               QStringList{"accountNumber", "loanLength", "loanAmount", "originatingDate", "interestRate",
                           "paymentAmount", "comments"});
        addRow("insurance", int(InsuranceForm),
               QStringList{"policyNumber", "coverageStart", "paymentAmount", "deductible", "coverageEnd"});
    }
    void tabGoesDownEachColumn()
    {
        QFETCH(int, form);
        QFETCH(QStringList, order);
        f->db().execute("INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Fillup) VALUES "
                        "(1, 1, '20240301', 41000, 0)");
        f->db().execute("INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, OpenInd) VALUES "
                        "(1, 1, 'J1', '20240301', -1)");
        f->open(form);
        if (f->shown().mode() == Mode::Browse)
            f->shown().commandNew();
        QCOMPARE(f->shown().mode(), Mode::AddNew);
        f->find<QWidget>(qPrintable(order.first()))->setFocus();
        QStringList visited{focusedName()};
        while (visited.size() < order.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusedName();
        }
        QCOMPARE(visited, order);
    }
};

QTEST_MAIN(EntryFormsTest)
#include "tst_entryforms.moc"
