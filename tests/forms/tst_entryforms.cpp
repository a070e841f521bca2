#include "CompanyFormsFixture.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "db/DbException.h"
#include "fuel/GasEntry.h"
#include "maintenance/JobOrderRecord.h"
#include "maintenance/MaintenanceRecord.h"

#include <QTreeWidget>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The forms of a vehicle's records, driven through the main window: what they show and save always
// belongs to the vehicle in their box; the gas form's money fields and every form's Tab order.
class EntryFormsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    // Every text the shown form puts before the user: its line fields and its lists' rows.
    QStringList shownTexts()
    {
        QStringList texts;
        for (QLineEdit* edit : f->shown().findChildren<QLineEdit*>())
            if (edit->isVisible())
                texts << edit->text();
        for (QTreeWidget* list : f->shown().findChildren<QTreeWidget*>())
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                for (int column = 0; column < list->columnCount(); ++column)
                    texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    void chooseVehicle(qint32 vehicle)
    {
        QComboBox* box = f->box("vehicleSelector");
        box->setCurrentIndex(box->findData(vehicle));
    }
    QString focusedName()
    {
        QWidget* widget = QApplication::focusWidget();
        while (widget && widget->objectName().isEmpty())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    }
    void typeInto(const char* name, const QString& text)
    {
        QLineEdit* field = f->field(name);
        QCOMPARE(QApplication::focusWidget(), field);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    // Moves the focus from the focused field to the named one: by Tab, or by clicking it.
    void reach(const QString& how, const char* name)
    {
        if (how == "tab")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        else
            QTest::mouseClick(f->find<QWidget>(name), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(focusedName(), QString(name));
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

    // Job Orders shows vehicle A's record; the user picks vehicle B on the Vehicles form and comes back:
    // the form shows B's records, and editing and saving leaves every record with its own vehicle.
    void formFollowsTheVehicleChosenElsewhere_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("rows"); // one record for vehicle 1 ('A') and one for vehicle 2 ('B')
        QTest::addColumn<QString>("shownA");
        QTest::addColumn<QString>("shownB");
        QTest::addColumn<QString>("edited"); // the field changed before Save
        QTest::addColumn<QString>("owners"); // VehicleID of the records, in key order, after the save
        QTest::newRow("job orders") << int(JobOrderForm)
                                    << "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, "
                                       "OpenInd) VALUES (1, 1, 'J1', '20240301', 'Alpha work', -1), "
                                       "(2, 2, 'J2', '20240302', 'Bravo work', -1)"
                                    << "Alpha work"
                                    << "Bravo work"
                                    << "description"
                                    << "SELECT VehicleID FROM JobOrder ORDER BY JobOrderID";
        QTest::newRow("maintenance") << int(MaintenanceForm)
                                     << "INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles, "
                                        "Description) VALUES (1, 1, '20240301', 41000, 'Alpha work'), "
                                        "(2, 2, '20240302', 42000, 'Bravo work')"
                                     << "Alpha work"
                                     << "Bravo work"
                                     << "description"
                                     << "SELECT VehicleID FROM Maintenance ORDER BY MaintID";
        QTest::newRow("gas log") << int(GasForm)
                                 << "INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, CostGallon, "
                                    "TotalCost, Fillup, BriefDesc) VALUES (1, 1, '20240301', 41111, 10, 3, 30, "
                                    "0, 'A'), (2, 2, '20240302', 42222, 10, 3, 30, 0, 'B')"
                                 << "41,111"
                                 << "42,222"
                                 << "briefDescription"
                                 << "SELECT VehicleID FROM GasLog ORDER BY GasLogID";
        QTest::newRow("schedule") << int(ScheduleForm)
                                  << "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, "
                                     "LastDate, Description) VALUES (1, 1, 1, 3000, '20240101', 'A'), "
                                     "(2, 2, 1, 7000, '20240101', 'B')"
                                  << "3000, 0(D)"
                                  << "7000, 0(D)"
                                  << "briefDescription"
                                  << "SELECT VehicleID FROM Schedule ORDER BY ScheduleID";
        QTest::newRow("loan") << int(LoanForm)
                              << "INSERT INTO Loan (VehicleID, AcctNo) VALUES (1, 'Alpha 1'), (2, 'Bravo 2')"
                              << "Alpha 1"
                              << "Bravo 2"
                              << "accountNumber"
                              << "SELECT VehicleID FROM Loan ORDER BY AcctNo";
        QTest::newRow("insurance") << int(InsuranceForm)
                                   << "INSERT INTO Insurance (VehicleID, PolicyNo) VALUES (1, 'Alpha 1'), "
                                      "(2, 'Bravo 2')"
                                   << "Alpha 1"
                                   << "Bravo 2"
                                   << "policyNumber"
                                   << "SELECT VehicleID FROM Insurance ORDER BY PolicyNo";
    }
    void formFollowsTheVehicleChosenElsewhere()
    {
        QFETCH(int, form);
        QFETCH(QString, rows);
        QFETCH(QString, shownA);
        QFETCH(QString, shownB);
        QFETCH(QString, edited);
        QFETCH(QString, owners);
        f->db().execute(rows);
        f->open(form);
        QVERIFY2(shownTexts().contains(shownA), qPrintable(shownTexts().join('|')));

        f->open(VehicleForm);
        chooseVehicle(2);
        f->open(form);
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 2);
        QCOMPARE(f->m_app.currentVehicle(), 2);
        QVERIFY2(shownTexts().contains(shownB), qPrintable(shownTexts().join('|')));
        QVERIFY(!shownTexts().contains(shownA));

        // The listed record is chosen first (gas starts a new fill-up for another vehicle).
        for (QTreeWidget* list : f->shown().findChildren<QTreeWidget*>())
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                for (int column = 0; column < list->columnCount(); ++column)
                    if (list->topLevelItem(i)->text(column) == shownB)
                        list->setCurrentItem(list->topLevelItem(i));
        f->click("editButton");
        f->setText(qPrintable(edited), "Changed");
        f->click("saveButton");
        QCOMPARE(f->shown().mode(), Mode::Browse);
        QCOMPARE(columnOf(f->db(), owners), QStringList({"1", "2"}));
    }

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

    // Amount, cost per unit and total, reached by Tab or by a click and finished by Enter, Tab or a click:
    // the two typed values always give the third.
    void gasTotalInEveryOrder_data()
    {
        QTest::addColumn<QStringList>("steps"); // field, how it is reached, text typed
        QTest::addColumn<QString>("finish");    // "enter", or the field clicked last
        QTest::addColumn<QString>("computed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        const QStringList amountThenCost{"amount", "click", "10", "costPerUnit", "tab", "3"};
        QTest::newRow("amount, tab, cost, enter") << amountThenCost << "enter"
                                                  << "totalPrice"
                                                  << "$30.00" << 30.0;
        QTest::newRow("amount, tab, cost, click") << amountThenCost << "reading"
                                                  << "totalPrice"
                                                  << "$30.00" << 30.0;
        QTest::newRow("amount, click cost, enter")
            << QStringList{"amount", "click", "10", "costPerUnit", "click", "3"} << "enter"
            << "totalPrice"
            << "$30.00" << 30.0;
        // Through the station box, which does not calculate on the way.
        QTest::newRow("amount, station, click cost, enter")
            << QStringList{"amount", "click", "10", "gasStation", "click", "", "costPerUnit", "click", "3"}
            << "enter"
            << "totalPrice"
            << "$30.00" << 30.0;
        QTest::newRow("cost, tab, total, enter")
            << QStringList{"costPerUnit", "click", "3", "totalPrice", "tab", "45"} << "enter"
            << "amount"
            << "15.000" << 45.0;
        QTest::newRow("total, click amount, enter")
            << QStringList{"totalPrice", "click", "45", "amount", "click", "15"} << "enter"
            << "costPerUnit"
            << "$3.000" << 45.0;
    }
    void gasTotalInEveryOrder()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, finish);
        QFETCH(QString, computed);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        f->open(GasForm);
        QCOMPARE(f->shown().mode(), Mode::AddNew);
        for (int i = 0; i + 2 < steps.size(); i += 3) {
            reach(steps[i + 1], qPrintable(steps[i]));
            if (!steps[i + 2].isEmpty())
                typeInto(qPrintable(steps[i]), steps[i + 2]);
        }
        if (finish == "enter")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            reach("click", qPrintable(finish));
        QCOMPARE(f->text(qPrintable(computed)), shown);
        f->click("saveButton");
        QCOMPARE(f->db().scalar("SELECT TotalCost FROM GasLog").toDouble(), stored);
    }

    // Tab goes down each column of a form, as the eye reads it, then on to the rows across the form.
    void tabGoesDownEachColumn_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("gas log") << int(GasForm)
                                 << QStringList{"fullTank",   "reading",   "distance", "amount",
                                                "costPerUnit", "totalPrice", "date",   "estimated",
                                                "gasStation", "briefDescription"};
        QTest::newRow("maintenance")
            << int(MaintenanceForm)
            << QStringList{"reading", "serviceStation", "date", "jobOrder", "selectServicesButton", "description",
                           "totalPrice", "comments"};
        QTest::newRow("job orders") << int(JobOrderForm)
                                    << QStringList{"jcn", "serviceStation", "date", "selectServicesButton",
                                                   "description", "comments"};
        QTest::newRow("loan") << int(LoanForm)
                              << QStringList{"accountNumber", "loanLength", "loanAmount", "originatingDate",
                                             "interestRate", "paymentAmount", "comments"};
        QTest::newRow("insurance") << int(InsuranceForm)
                                   << QStringList{"policyNumber", "coverageStart", "paymentAmount", "deductible",
                                                  "coverageEnd"};
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

    // Choosing the blank entry of the JCN box after a job order makes the new entry one of no job order.
    void blankJobOrderDropsTheLink()
    {
        f->db().execute("INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, OpenInd) VALUES "
                        "(1, 1, 'J1', '20240301', 'Brakes', -1)");
        f->open(MaintenanceForm);
        f->shown().commandNew();
        QComboBox* orders = f->box("jobOrder");
        orders->setCurrentIndex(1);
        QCOMPARE(f->text("description"), QString("Brakes"));
        orders->setCurrentIndex(0);
        f->setText("reading", "50100");
        f->click("saveButton");
        QCOMPARE(f->shown().mode(), Mode::Browse);
        QCOMPARE(f->count("SELECT JobOrderID FROM Maintenance"), 0);
        QCOMPARE(f->count("SELECT OpenInd FROM JobOrder"), -1);
    }

    // Perform Maintenance on a row of "*** All Vehicles ***" makes the row's vehicle the current one.
    void performFromAllVehiclesMakesTheRowsVehicleCurrent()
    {
        f->db().execute("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, LastMiles, "
                        "LastDate, Description) VALUES (1, 2, 1, 3000, 40000, '20240101', 'Routine')");
        f->open(MaintenanceForm);
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 1);
        f->frame().switchForm(ScheduleMonitorForm);
        QComboBox* vehicles = f->frame().shownForm()->findChild<QComboBox*>("vehicleSelector");
        vehicles->setCurrentIndex(0);
        auto* due = f->frame().shownForm()->findChild<QTreeView*>("dueList");
        QCOMPARE(due->model()->rowCount(), 1);
        due->selectionModel()->select(due->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::mouseClick(f->frame().shownForm()->findChild<QPushButton*>("performMaintenanceButton"),
                          Qt::LeftButton);
        QCOMPARE(f->shownNumber(), int(MaintenanceForm));
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 2);
        QCOMPARE(f->m_app.currentVehicle(), 2);
        f->m_prompter.answer(Answer::No, "Do you want to apply the changes before continuing?");
        f->open(LoanForm);
        QCOMPARE(f->box("vehicleSelector")->currentData().toInt(), 2);
    }
};

QTEST_MAIN(EntryFormsTest)
#include "tst_entryforms.moc"
