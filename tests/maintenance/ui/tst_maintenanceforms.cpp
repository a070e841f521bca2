#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "Screenshot.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "maintenance/ui/JobOrderView.h"
#include "maintenance/ui/MaintenanceView.h"
#include "maintenance/ui/ScheduleMonitorView.h"

#include <QLayout>
#include <QListWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using Answer = Prompter::Answer;
using Mode = CRecordForm::Mode;

// The maintenance and job order forms, and the schedule monitor that hands its entries to them.
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
    QTreeWidget* list() { return f->find<QTreeWidget>("entryList"); }
    QStringList listRow(int row)
    {
        QTreeWidgetItem* item = list()->topLevelItem(row);
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

    // A schedule entry of the vehicle that falls due this many days from 03/20/2024 (every `every` days).
    void dueIn(qint32 id, qint32 vehicle, qint32 service, int days, int every = 10)
    {
        const QString last = QDate(2024, 3, 20).addDays(days - every).toString("yyyyMMdd");
        f->db().execute(QString::asprintf(
            "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, PerformEveryMiles, "
            "PerformEveryMonth, PerformEveryDay, LastMiles, LastDate, Description, StationID) "
            "VALUES (%d, %d, %d, 0, 0, 0, %d, 100, '%s', 'Routine', 0)",
            id, vehicle, service, every, qPrintable(last)));
    }
    CScheduleMonitorView& openMonitor(qint32 vehicle)
    {
        f->frame(); // the home screen makes the first vehicle current
        f->m_app.setCurrentVehicle(vehicle);
        f->frame().switchForm(ScheduleMonitorForm);
        return *qobject_cast<CScheduleMonitorView*>(f->frame().shownForm());
    }
    QComboBox* vehicles() { return f->frame().shownForm()->findChild<QComboBox*>("vehicleSelector"); }
    QTreeView* dueList() { return f->frame().shownForm()->findChild<QTreeView*>("dueList"); }
    QModelIndex cell(int row, int column) { return dueList()->model()->index(row, column); }
    QColor ink(int c, int r = 0) { return cell(r, c).data(Qt::ForegroundRole).value<QBrush>().color(); }
    void selectRows(int count)
    {
        dueList()->selectionModel()->select(QItemSelection(cell(0, 0), cell(count - 1, 0)),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void press(const char* button) { f->frame().shownForm()->findChild<QPushButton*>(button)->click(); }

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
        QTest::addColumn<QString>("typed"); // reading|date|price
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString range = "Mileage must be numeric and between 0 and 1,000,000.";
        addRow("reading 0", 1, "0|03/20/2024|", range, "reading");
        addRow("reading 1,000,000", 1, "1,000,000|03/20/2024|", range, "reading");
        addRow("reading first", 1, "abc|02/30/2024|x", range, "reading");
        addRow("hours", 2, "|03/20/2024|", "Hours must be numeric and between 0 and 1,000,000.", "reading");
        addRow("no such day", 1, "50100|02/30/2024|",
               "The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).", "date");
        addRow("tomorrow", 1, "50100|03/21/2024|", "You can not use a date in the future.", "date");
        addRow("price", 1, "50100|03/20/2024|1000000",
               "Total Price must be numeric and between 0 and 1,000,000.", "totalPrice");
        addRow("earlier entry higher", 1, "44999|3/16/2024|$12.50",
               "Can not perform maintenance with given Date and Mileage because of another maintenance entry "
               "recorded on 03/15/2024 at 45,000 Mileage.",
               "date");
    }
    void maintenanceChecks()
    {
        QFETCH(int, vehicle);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        f->db().execute("INSERT INTO Maintenance (MaintID, VehicleID, MaintDate, ActualMiles) VALUES "
                        "(1, 1, '20240315', 45000)");
        f->m_app.setCurrentVehicle(vehicle);
        openForm(MaintenanceForm);
        f->click("newButton");
        QCOMPARE(f->title(), QString("Add New Maintenance Entry"));
        const QStringList values = typed.split('|');
        for (int i = 0; const char* field : {"reading", "date", "totalPrice"})
            f->setText(field, values[i++]);
        f->saveRefused(message, focus);
        QCOMPARE(f->count("SELECT count(*) FROM Maintenance"), 1);
    }

    // The reading the entry stores on the vehicle is tst_maintenance's; here the note, shown once.
    void savingMovesTheReadingWithANoteUntilItIsCleared()
    {
        openForm(MaintenanceForm, {{1, "Oil/Filter Change"}, {-1, "Wiper blades"}}); // no entries: a new one
        QCOMPARE(f->text("reading") + " " + f->text("date"), QString("50,000 03/20/2024"));
        f->setText("reading", "51,000");
        f->setText("date", "3/20/2024");
        f->click("selectServicesButton");
        f->box("serviceStation")->setCurrentIndex(f->box("serviceStation")->findData(m_station));
        f->setText("description", "Spring service");
        f->setText("totalPrice", "$1,234.50");
        f->m_prompter.noteAnswer(false);
        f->click("saveButton");
        QCOMPARE(
            f->m_prompter.texts().last(),
            QString("The Mileage entered for this maintenance is more current than the vehicle's current "
                    "Odometer Reading.  Updating the vehicle's current Odometer Reading."));
        QCOMPARE(f->m_app.settings().integer("Messages", "m1"), 0);
        QCOMPARE(f->title(), QString("Browse Maintenance Entry"));
        QCOMPARE(listRow(0),
                 QStringList({"51,000", "03/20/2024", "Spring service", "Oil/Filter Change, Wiper blades"}));
        QCOMPARE(f->text("totalPrice"), QString("$1,234.50"));
        QCOMPARE(f->count("SELECT TotalPrice * 100 FROM Maintenance"), 123450);
        QCOMPARE(servicesShown(), QStringList({"Oil/Filter Change", "Wiper blades"}));
        saveScreenshot(f->frame(), "maintenance-form");

        // Cleared: the next move goes without the note.
        f->click("newButton");
        f->setText("reading", "51200");
        f->click("saveButton");
        QCOMPARE(list()->topLevelItemCount(), 2);

        f->m_prompter.answer(Answer::Yes, "Do you want to delete the selected maintenance entry?");
        f->click("deleteButton");
        QCOMPARE(f->count("SELECT count(*) FROM Maintenance"), 1);
    }

    void jobOrderCycle()
    {
        openForm(JobOrderForm, {{1, "Oil/Filter Change"}, {3, "Spark Plugs Replaced"}, {-1, "Horn"}});
        QCOMPARE(f->title(), QString("Add New Job Order"));
        QCOMPARE(f->field("jcn")->maxLength(), 20);
        QCOMPARE(f->field("description")->maxLength(), 50);
        f->setText("jcn", "AB12");
        f->click("selectServicesButton");
        f->box("serviceStation")->setCurrentIndex(f->box("serviceStation")->findData(m_station));
        f->setText("description", "Brakes squeal");
        f->click("saveButton");
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

        // Perform Maintenance (which opens a new entry is tst_journeys'): the job order's texts and services.
        f->click("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(MaintenanceForm));
        auto& entry = static_cast<CVehicleEntryForm&>(f->shown());
        QCOMPARE(f->text("jcn") + " | " + f->text("description"), QString("AB12 | Brakes squeal"));
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
        f->m_prompter.answer(Answer::Yes, "Not all services from job order were performed. Would you like to "
                                          "create a new job order?");
        f->m_prompter.answer(Answer::Ok, "A new job order has been created with JCN = AB12-NEW.  Please "
                                         "update this Job Order with desired information.");
        f->click("saveButton");
        QCOMPARE(f->text("jcn"), QString("AB12"));

        // Back on the job orders: the completed one has gone from the open list; shown with all (its row's
        // texts are tst_maintenance's), it can be neither edited nor performed again.
        f->click("jobOrdersButton");
        QCOMPARE(listRow(0),
                 QStringList({"03/20/2024", "AB12-NEW", "Brakes squeal", "Spark Plugs Replaced"}));
        QCOMPARE(list()->topLevelItemCount(), 1);
        auto& view = static_cast<CJobOrderView&>(f->shown());
        view.setOpenOnly(false);
        list()->setCurrentItem(list()->topLevelItem(1));
        QCOMPARE(f->text("jcn"), QString("AB12"));
        f->m_prompter.answer(Answer::Ok, "Can't edit a Job Order that has been completed.  Please remove the "
                                         "related Maintenance record first.");
        f->click("editButton");
        QCOMPARE(view.mode(), Mode::Browse);
        f->m_prompter.answer(Answer::Ok, "This Job Order already has a maintenance entry tied to it.");
        f->click("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(JobOrderForm));
    }

    // Each meaning colour on the light palette, and readable (far from the background) on a dark one.
    void rowColours()
    {
        const QDate today(2024, 3, 20);
        // Days from today and every how many days, soonest first; the date shown and its colour.
        const std::tuple<int, int, QString, QColor> rows[] = {
            {-7000, 10, "<" + today.addDays(-7000).toString("MM/dd/yyyy"), QColor(255, 0, 0)},
            {0, 10, "03/20/2024", QColor(255, 0, 0)},
            {5, 10, "03/25/2024", QColor(0, 0, 255)},
            {6, 10, "03/26/2024", QApplication::palette().color(QPalette::Text)},
            {7000, 7000, ">" + today.addDays(7000).toString("MM/dd/yyyy"), QColor(64, 64, 64)}};
        for (int i = 0; i < 5; ++i)
            dueIn(i + 1, 1, i + 1, std::get<0>(rows[i]), std::get<1>(rows[i]));
        CScheduleMonitorView& monitor = openMonitor(1);
        QCOMPARE(cell(0, 1).data().toString(), QString("Oil/Filter Change"));
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(cell(row, 4).data().toString(), std::get<2>(rows[row]));
            QCOMPARE(ink(4, row), std::get<3>(rows[row]));
            QCOMPARE(ink(0, row), std::get<3>(rows[row]));
        }
        monitor.setPalette(QPalette(QColor(60, 60, 60), QColor(30, 30, 30))); // a dark desktop: black base
        for (int row = 0; row < 5; ++row)
            QVERIFY2(ink(4, row).lightness() > 110, qPrintable(ink(4, row).name()));
    }

    // The legend follows the days setting; columns fit their texts unless the user sized them, whose stored
    // width is kept and written back; the margins are the style's.
    void legendAndColumns()
    {
        f->m_app.settings().setInteger("Settings", "sm1", 40);
        f->db().execute(
            "UPDATE Vehicles SET VehicleMake = 'Ford Transit Custom Double Cab LWB' WHERE VehicleID = 1");
        dueIn(1, 1, 1, 6);
        openMonitor(0);
        auto legend = [this](const char* name) {
            return f->frame().shownForm()->findChild<QLabel*>(name)->text();
        };
        QCOMPARE(legend("legendRed"), QString("Red = Maintenance is due immediately"));
        QCOMPARE(legend("legendBlue"), QString("Blue = Maintenance that is due within the next 5 days."));
        QCOMPARE(legend("legendBlack"),
                 QString("Black = Maintenance that is not due within the next 5 days."));
        QVERIFY(f->frame().shownForm()->findChild<QLabel*>("baseLineNote")->isVisible());
        f->m_app.settings().setInteger("Notify", "Days", 6);
        f->frame().shownForm()->onDocumentUpdate(DaysAheadHint);
        QCOMPARE(legend("legendBlue"), QString("Blue = Maintenance that is due within the next 6 days."));
        QCOMPARE(ink(4), QColor(0, 0, 255));

        for (int column : {0, 2, 3})
            QVERIFY(dueList()->columnWidth(column) >
                    dueList()->fontMetrics().horizontalAdvance(cell(0, column).data().toString()));
        QCOMPARE(dueList()->columnWidth(1), 40);
        dueList()->setColumnWidth(0, 77);
        f->m_frame.reset();
        QCOMPARE(f->m_app.settings().integer("Settings", "sm0"), 77);
    }

    void performAndOrderChecks()
    {
        for (int i = 1; i <= 11; ++i)
            dueIn(i, 1, i, i);
        dueIn(12, 2, 1, 3);
        dueIn(13, 2, 2, -4);
        dueIn(14, 2, 3, 7000, 7000);
        CScheduleMonitorView& monitor = openMonitor(0);
        QCOMPARE(vehicles()->itemText(0), QString("*** All Vehicles ***"));
        QCOMPARE(dueList()->model()->rowCount(), 14);
        QCOMPARE(dueList()->model()->headerData(2, Qt::Horizontal).toString(),
                 QString("Perform Every (mi, mo)"));
        QCOMPARE(cell(0, 4).data().toString(), QString("03/16/2024")); // soonest first
        saveScreenshot(f->frame(), "schedule-monitor");

        // All vehicles: one row at most.
        selectRows(2);
        f->m_prompter.answer(Answer::Ok,
                             "You can not select multiple services when displaying all vehicles.");
        press("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(ScheduleMonitorForm));

        // One vehicle: ten rows are handed over, eleven refused.
        vehicles()->setCurrentIndex(vehicles()->findData(1));
        QCOMPARE(dueList()->model()->rowCount(), 11);
        QCOMPARE(monitor.chosenEntries(), QList<qint32>());
        selectRows(11);
        f->m_prompter.answer(
            Answer::Ok, "You can only have a maximum of ten services selected to perform this operation.");
        press("createJobOrderButton");
        QCOMPARE(f->shownNumber(), int(ScheduleMonitorForm));
        selectRows(10);
        press("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(MaintenanceForm));
        const QStringList services = servicesShown();
        QCOMPARE(services.size(), 10);
        QCOMPARE(services.first(), QString("Oil/Filter Change"));
        QCOMPARE(services.last(), QString("Tire Rotation"));
        QCOMPARE(f->text("description"), QString("Routine"));
        QCOMPARE(f->shown().mode(), CRecordForm::Mode::AddNew);
    }
};

QTEST_MAIN(MaintenanceFormsTest)
#include "tst_maintenanceforms.moc"
