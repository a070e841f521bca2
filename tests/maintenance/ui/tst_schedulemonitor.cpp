#include "CompanyFormsFixture.h"
#include "DataRows.h"
#include "Screenshot.h"
#include "context/Settings.h"
#include "db/Clock.h"
#include "maintenance/ui/ScheduleMonitorView.h"

#include <QLayout>
#include <QListWidget>
#include <QTreeView>

using Answer = Prompter::Answer;

class ScheduleMonitorTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CompanyFormsFixture> f;

    // A schedule entry of the vehicle that falls due this many days from 03/20/2024 (every `every` days).
    void dueIn(qint32 id, qint32 vehicle, qint32 service, int days, int every = 10)
    {
        const QString last = QDate(2024, 3, 20).addDays(days - every).toString("yyyyMMdd");
        f->db().execute(
            QString::asprintf("INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformOnce, "
                              "PerformEveryMiles, PerformEveryMonth, PerformEveryDay, LastMiles, LastDate, "
                              "Description, StationID) VALUES (%d, %d, %d, 0, 0, 0, %d, 100, '%s', "
                              "'Routine', 0)",
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
    QTreeView* list() { return f->frame().shownForm()->findChild<QTreeView*>("dueList"); }
    int rows() { return list()->model()->rowCount(); }
    QModelIndex cell(int row, int column) { return list()->model()->index(row, column); }
    QColor ink(int row, int column)
    {
        return cell(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
    }
    void selectRows(int count)
    {
        list()->clearSelection();
        for (int i = 0; i < count; ++i)
            list()->selectionModel()->select(cell(i, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void press(const char* button)
    {
        QTest::mouseClick(f->frame().shownForm()->findChild<QPushButton*>(button), Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<CompanyFormsFixture>();
        Clock::setNow(QDateTime(QDate(2024, 3, 20), QTime(12, 0)));
        f->db().execute("UPDATE Vehicles SET EntryOfActualMiles = 50000, DateOfActualMiles = '20240320', "
                        "DateOfEstimatedMiles = '20240320', EstMilesPerMonth = 0, ActiveInd = -1");
    }
    void cleanup() { f.reset(); }

    // Each meaning colour on the light palette, and readable (far from the background) on a dark one.
    void rowColours_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("every");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("colour");
        addRow("today", 0, 10, "03/20/2024", QColor(255, 0, 0));
        addRow("tomorrow", 1, 10, "03/21/2024", QColor(0, 0, 255));
        addRow("day 5", 5, 10, "03/25/2024", QColor(0, 0, 255));
        addRow("day 6", 6, 10, "03/26/2024", QApplication::palette().color(QPalette::Text));
        addRow("far ahead", 7000, 7000, ">" + QDate(2024, 3, 20).addDays(7000).toString("MM/dd/yyyy"),
               QColor(64, 64, 64));
        addRow("long overdue", -7000, 10, "<" + QDate(2024, 3, 20).addDays(-7000).toString("MM/dd/yyyy"),
               QColor(255, 0, 0));
    }
    void rowColours()
    {
        QFETCH(int, days);
        QFETCH(int, every);
        QFETCH(QString, shown);
        QFETCH(QColor, colour);
        dueIn(1, 1, 1, days, every);
        CScheduleMonitorView& monitor = openMonitor(1);
        QCOMPARE(rows(), 1);
        QCOMPARE(cell(0, 1).data().toString(), QString("Oil/Filter Change"));
        QCOMPARE(cell(0, 4).data().toString(), shown);
        QCOMPARE(ink(0, 4), colour);
        QCOMPARE(ink(0, 0), colour);

        monitor.setPalette(QPalette(QColor(60, 60, 60), QColor(30, 30, 30))); // a dark desktop: black base
        QVERIFY2(ink(0, 4).lightness() > 110, qPrintable(ink(0, 4).name()));
    }

    // The legend follows the days setting; columns fit their texts unless the user sized them, whose stored
    // width is kept and written back; the margins are the style's.
    void legendAndColumns()
    {
        f->m_app.settings().setInteger("Settings", "sm1", 40);
        f->db().execute(
            "UPDATE Vehicles SET VehicleMake = 'Ford Transit Custom Double Cab LWB' WHERE VehicleID = 1");
        dueIn(1, 1, 1, 6);
        CScheduleMonitorView& monitor = openMonitor(0);
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
        QCOMPARE(ink(0, 4), QColor(0, 0, 255));

        for (int column : {0, 2, 3})
            QVERIFY(list()->columnWidth(column) >
                    list()->fontMetrics().horizontalAdvance(cell(0, column).data().toString()));
        QCOMPARE(list()->columnWidth(1), 40);
        list()->setColumnWidth(0, 77);
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
        QCOMPARE(rows(), 14);
        QCOMPARE(list()->model()->headerData(2, Qt::Horizontal).toString(),
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
        QCOMPARE(rows(), 11);
        QCOMPARE(monitor.chosenEntries(), QList<qint32>());
        selectRows(11);
        f->m_prompter.answer(
            Answer::Ok, "You can only have a maximum of ten services selected to perform this operation.");
        press("createJobOrderButton");
        QCOMPARE(f->shownNumber(), int(ScheduleMonitorForm));
        selectRows(10);
        press("performMaintenanceButton");
        QCOMPARE(f->shownNumber(), int(MaintenanceForm));
        auto* services = f->find<QListWidget>("servicesList");
        QCOMPARE(services->count(), 10);
        QCOMPARE(services->item(0)->text(), QString("Oil/Filter Change"));
        QCOMPARE(services->item(9)->text(), QString("Tire Rotation"));
        QCOMPARE(f->text("description"), QString("Routine"));
        QCOMPARE(f->shown().mode(), CRecordForm::Mode::AddNew);
    }
};

QTEST_MAIN(ScheduleMonitorTest)
#include "tst_schedulemonitor.moc"
