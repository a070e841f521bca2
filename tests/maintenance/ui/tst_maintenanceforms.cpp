#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "Screenshot.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"

#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

class MaintenanceFormsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;
    qint32 m_station = 0;

    CVehicleEntryForm& openForm(int form, QList<ServiceItem> chosen = {})
    {
        auto& view = static_cast<CVehicleEntryForm&>(f->open(form));
        view.setServiceChooser([chosen](QList<ServiceItem>& items) {
            items = chosen;
            return true;
        });
        return view;
    }
    QStringList listRow(int row)
    {
        QTreeWidgetItem* item = f->find<QTreeWidget>("entryList")->topLevelItem(row);
        QStringList texts;
        for (int i = 0; item && i < item->columnCount(); ++i)
            texts << item->text(i);
        return texts;
    }
    QStringList servicesShown()
    {
        QStringList texts;
        auto* list = f->find<QListWidget>("servicesList");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<CompanyFormsFixture>();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(12, 0)));
        f->db().execute("UPDATE Vehicles SET EntryOfActualMiles = 50000, DateOfActualMiles = '20240101', "
                        "DateOfEstimatedMiles = '20240320', EstMilesPerMonth = 1000, ActiveInd = -1");
        f->db().execute("UPDATE Vehicles SET HoursInd = -1 WHERE VehicleID = 2");
        m_station = f->addCompany("Quay Garage", 4);
        f->m_app.setCurrentVehicle(1);
    }
    void cleanup() { f.reset(); }

    void maintenanceChecks_data()
    {
        QTest::addColumn<int>("vehicle");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString range = "Mileage must be numeric and between 0 and 1,000,000.";
        const QString badDate = "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).";
        addRow("reading 0", 1, "0", "03/20/2024", "", range, "reading");
        addRow("reading 1,000,000", 1, "1,000,000", "03/20/2024", "", range, "reading");
        addRow("reading first", 1, "abc", "02/30/2024", "x", range, "reading");
        addRow("hours", 2, "", "03/20/2024", "", "Hours must be numeric and between 0 and 1,000,000.",
               "reading");
        addRow("no such day", 1, "50100", "02/30/2024", "", badDate, "date");
        addRow("tomorrow", 1, "50100", "03/21/2024", "", "You can not use a date in the future.", "date");
        addRow("price", 1, "50100", "03/20/2024", "1000000",
               "Total Price must be numeric and between 0 and 1,000,000.", "totalPrice");
        addRow("earlier entry higher", 1, "44999", "3/16/2024", "$12.50",
               "Can not perform maintenance with given Date and Mileage because "
               "of another maintenance entry recorded on 03/15/2024 at 45,000 "
               "Mileage.",
               "date");
        addRow("accepted", 1, "50,100", "3/20/2024", "$1,234.50", QString(), "reading");
    }
    void maintenanceChecks()
    {
        QFETCH(int, vehicle);
        QFETCH(QString, reading);
        QFETCH(QString, date);
        QFETCH(QString, price);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) VALUES "
                        "(1, 1, '20240315', 45000)");
        f->m_app.settings().setInteger("Messages", "m1", 0);
        f->m_app.setCurrentVehicle(vehicle);
        CVehicleEntryForm& view = openForm(MaintenanceForm);
        f->click("newButton");
        QCOMPARE(view.mode(), Mode::AddNew);
        QCOMPARE(f->title(), QString("Add New Maintenance Entry"));
        f->setText("reading", reading);
        f->setText("date", date);
        f->setText("totalPrice", price);
        if (!message.isEmpty()) {
            f->saveRefused(message, focus);
            QCOMPARE(f->count("SELECT count(*) FROM Maintenance"), 1);
            return;
        }
        f->click("saveButton");
        QCOMPARE(view.mode(), Mode::Browse);
        QCOMPARE(f->count("SELECT TotalPrice * 100 FROM Maintenance WHERE MaintID = 2"), 123450);
        QCOMPARE(listRow(1), QStringList({"50,100", "03/20/2024", "", ""}));
    }

    void savingMovesTheReadingWithANoteUntilItIsCleared()
    {
        CVehicleEntryForm& view = openForm(MaintenanceForm, {{1, "Oil/Filter Change"}, {-1, "Wiper blades"}});
        QCOMPARE(view.mode(), Mode::AddNew);
        QCOMPARE(f->text("reading"), QString("50,000"));
        QCOMPARE(f->text("date"), QString("03/20/2024"));
        f->setText("reading", "51000");
        f->click("selectServicesButton");
        f->box("serviceStation")->setCurrentIndex(f->box("serviceStation")->findData(m_station));
        f->setText("description", "Spring service");
        f->setText("totalPrice", "84.9");
        const QString note =
            "The Mileage entered for this maintenance is more current than the vehicle's current "
            "Odometer Reading.  Updating the vehicle's current Odometer Reading.";
        f->m_prompter.noteAnswer(false);
        f->click("saveButton");
        QCOMPARE(f->m_prompter.texts().last(), note);
        QCOMPARE(f->m_app.settings().integer("Messages", "m1"), 0);
        QCOMPARE(view.mode(), Mode::Browse);
        QCOMPARE(f->title(), QString("Browse Maintenance Entry"));
        QCOMPARE(listRow(0),
                 QStringList({"51,000", "03/20/2024", "Spring service", "Oil/Filter Change, Wiper blades"}));
        QCOMPARE(f->text("totalPrice"), QString("$84.90"));
        QCOMPARE(servicesShown(), QStringList({"Oil/Filter Change", "Wiper blades"}));
        QCOMPARE(f->count("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = 1"), 51000);
        saveScreenshot(f->frame(), "maintenance-form");

        // Cleared: the next move goes without the note.
        f->click("newButton");
        f->setText("reading", "51200");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT EntryOfActualMiles FROM Vehicles WHERE VehicleID = 1"), 51200);
        QCOMPARE(f->find<QTreeWidget>("entryList")->topLevelItemCount(), 2);

        f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected maintenance entry?");
        f->click("deleteButton");
        QCOMPARE(f->count("SELECT count(*) FROM Maintenance"), 1);
    }

    void jobOrderCycle()
    {
        CVehicleEntryForm& orders =
            openForm(JobOrderForm, {{1, "Oil/Filter Change"}, {3, "Spark Plugs Replaced"}, {-1, "Horn"}});
        QCOMPARE(orders.mode(), Mode::AddNew);
        QCOMPARE(f->title(), QString("Add New Job Order"));
        QCOMPARE(f->field("jcn")->maxLength(), 20);
        QCOMPARE(f->field("description")->maxLength(), 50);
        f->setText("jcn", "AB12");
        f->click("selectServicesButton");
        f->box("serviceStation")->setCurrentIndex(f->box("serviceStation")->findData(m_station));
        f->setText("description", "Brakes squeal");
        f->click("saveButton");
        QCOMPARE(orders.mode(), Mode::Browse);
        QCOMPARE(listRow(0), QStringList({"03/20/2024", "AB12", "Brakes squeal",
                                          "Oil/Filter Change, Spark Plugs Replaced, Horn"}));
        saveScreenshot(f->frame(), "job-order-form");

        // A second job order with the same JCN: No stays, Yes saves the duplicate.
        f->click("newButton");
        f->setText("jcn", "ab12");
        f->m_prompter.answer(Answer::No,
                             "Using this JCN will cause a duplicate.  Do you want to use this JCN anyway?");
        f->click("saveButton");
        QCOMPARE(QApplication::focusWidget(), f->field("jcn"));
        f->setText("date", "13/01/2024");
        f->m_prompter.answer(Answer::Yes, "Using this JCN will cause a duplicate.");
        f->m_prompter.answer(Answer::Ok,
                             "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).");
        f->click("saveButton");
        f->m_prompter.answer(Answer::Yes, "Using this JCN will cause a duplicate.");
        f->setText("date", "3/1/2024");
        f->click("saveButton");
        QCOMPARE(f->count("SELECT count(*) FROM JobOrder"), 2);
        f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected job order?");
        f->click("deleteButton");

        // Perform Maintenance: the maintenance form opens with the job order's services.
        f->click("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(MaintenanceForm));
        auto& entry = static_cast<CVehicleEntryForm&>(f->shown());
        QCOMPARE(entry.mode(), Mode::AddNew);
        QCOMPARE(f->text("jcn"), QString("AB12"));
        QCOMPARE(f->text("description"), QString("Brakes squeal"));
        QCOMPARE(servicesShown(), QStringList({"Oil/Filter Change", "Spark Plugs Replaced", "Horn"}));
        QCOMPARE(QApplication::focusWidget(), f->field("totalPrice"));
        // The real Select Services dialog, preselected with the job order's services: one is taken back.
        entry.setServiceChooser({});
        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QListWidget*>("selectedServices")->setCurrentRow(1);
            QTest::mouseClick(dialog->findChild<QPushButton*>("deselectButton"), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        f->click("selectServicesButton");
        QCOMPARE(servicesShown(), QStringList({"Oil/Filter Change", "Horn"}));
        f->m_app.settings().setInteger("Messages", "m1", 0);
        f->m_prompter.answer(Answer::Yes,
                             "Not all services from job order were performed. Would you like to create "
                             "a new job order?");
        f->m_prompter.answer(Answer::Ok,
                             "A new job order has been created with JCN = AB12-NEW.  Please update this "
                             "Job Order with desired information.");
        f->click("saveButton");
        QCOMPARE(entry.mode(), Mode::Browse);
        QCOMPARE(f->text("jcn"), QString("AB12"));

        // Back on the job orders: the completed one has gone from the open list; shown with all, it is grey,
        // and can be neither edited nor performed again.
        f->click("jobOrdersButton");
        QCOMPARE(listRow(0),
                 QStringList({"03/20/2024", "AB12-NEW", "Brakes squeal", "Spark Plugs Replaced"}));
        QCOMPARE(f->find<QTreeWidget>("entryList")->topLevelItemCount(), 1);
        auto& view = static_cast<CJobOrderView&>(f->shown());
        view.setOpenOnly(false);
        QCOMPARE(listRow(1),
                 QStringList({"03/20/2024 ", "AB12", "Brakes squeal", "Oil/Filter Change, Horn"}));
        f->find<QTreeWidget>("entryList")->setCurrentItem(f->find<QTreeWidget>("entryList")->topLevelItem(1));
        QCOMPARE(f->text("jcn"), QString("AB12"));
        f->m_prompter.answer(Answer::Ok,
                             "Can't edit a Job Order that has been completed.  Please remove the related "
                             "Maintenance record first.");
        f->click("editButton");
        QCOMPARE(view.mode(), Mode::Browse);
        f->m_prompter.answer(Answer::Ok, "This Job Order already has a maintenance entry tied to it.");
        f->click("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(JobOrderForm));
    }
};

QTEST_MAIN(MaintenanceFormsTest)
#include "tst_maintenanceforms.moc"
