#include "Dialogs.h"
#include "Screenshot.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "db/Clock.h"
#include "maintenance/ui/SelectJobOrdersDialog.h"
#include "reports/ui/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// The report form as the user meets it in the main window: choices, presets, date checks, export.
class ReportFormTest : public QObject
{
    Q_OBJECT

    static inline const QString bothDates =
        "Both Start and End Date must be filled in if you are going to filter the report by dates.";

    struct Fixture
    {
        TestEnvironment env;
        ScriptedPrompter prompter;
        CVelApp app{prompter};
        std::unique_ptr<CMainFrame> frame; // goes first; the test folder puts the clock back

        Fixture()
        {
            Clock::setNow(QDateTime(QDate(2026, 11, 15), QTime(9, 0)));
            app.setDatabasePath(env.createDatabase(app.database()));
            app.loadVehicleColumns();
            for (const char* statement :
                 {"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName) VALUES (1, 1, 'Zenith'), "
                  "(2, 1, 'Acme')",
                  "INSERT INTO Owners (OwnerID, ContactID) VALUES (1, 1), (2, 2)",
                  "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleYear, VehicleMake) VALUES (1, 1, '2019', "
                  "'Ford'), (2, 2, '2012', 'Honda'), (3, 2, '2020', 'Kia')",
                  "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, OpenInd) VALUES (7, 2, 'JO-7', "
                  "'20261101', -1), (8, 1, 'JO-8', '20261102', -1)"})
                app.database().execute(statement);
            frame = std::make_unique<CMainFrame>(app);
            showActive(*frame, QSize(1000, 720));
        }
        CReportView* open(int code, int jobOrder = 0)
        {
            frame->switchForm(ReportForm, code, jobOrder);
            return qobject_cast<CReportView*>(frame->createdForm(ReportForm));
        }
        template <typename T> T* child(const char* name) { return frame->findChild<T*>(QLatin1String(name)); }
        // Chooses the entry as the user does, so that the form hears of it.
        void choose(const char* name, int index)
        {
            auto* box = child<QComboBox>(name);
            box->setCurrentIndex(index);
            Q_EMIT box->activated(index);
        }
        QStringList items(const char* name)
        {
            QStringList texts;
            auto* box = child<QComboBox>(name);
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
            return texts;
        }
    };

private slots:
    void choicesAndPresets()
    {
        Fixture f;
        QVERIFY(f.open(3));
        QCOMPARE(f.child<QComboBox>("reportList")->currentText(), QString("Gas Log"));
        QCOMPARE(f.items("reportList"),
                 QStringList({"Vehicle List", "Maintenance Log", "Gas Log", "Fuel Efficiency Graph by Month",
                              "Expense Graph", "Schedule Monitor", "Job Orders", "Cost Summary",
                              "Maintenance Forecast", "Cost per Distance Graph by Month"}));
        QCOMPARE(f.items("vehicleList"),
                 QStringList({"** All Vehicles **", "2019 Ford", "2012 Honda", "2020 Kia"}));
        f.choose("ownerList", 1);
        QCOMPARE(f.items("vehicleList"), QStringList({"** All Vehicles **", "2012 Honda", "2020 Kia"}));
        f.choose("dateRangeList", 2);
        QCOMPARE(f.child<QLineEdit>("beginDate")->text(), QString("10/01/2026"));
        QCOMPARE(f.child<QLineEdit>("endDate")->text(), QString("12/31/2026"));
        saveScreenshot(*f.frame, "report-form");
    }

    // Job Orders shows "Select Job Orders"; a restriction set by the job order form survives choosing the
    // report again, and other reports hide the button.
    void jobOrderRestriction()
    {
        Fixture f;
        CReportView* view = f.open(8, 5);
        auto* select = f.child<QPushButton>("selectJobOrdersButton");
        QVERIFY(select->isVisible());
        QCOMPARE(view->jobOrderRestriction(), QString("JobOrderID = 5"));
        f.choose("reportList", 0);
        QVERIFY(!select->isVisible());
        f.choose("reportList", 6);
        QVERIFY(select->isVisible());
        QCOMPARE(view->jobOrderRestriction(), QString("JobOrderID = 5"));
        f.open(8);
        QCOMPARE(view->jobOrderRestriction(), QString());

        // The selection offers the owner's job orders and becomes the restriction.
        f.choose("ownerList", 1);
        int offered = -1;
        const auto chooseAll = [&offered](CSelectJobOrdersDialog& dialog) {
            offered = dialog.list()->topLevelItemCount();
            dialog.list()->selectAll();
            dialog.accept();
        };
        withDialog<CSelectJobOrdersDialog>([&] { QTest::mouseClick(select, Qt::LeftButton); }, chooseAll);
        QCOMPARE(offered, 1);
        QVERIFY(view->jobOrderRestriction().contains("7"));
        QVERIFY(!view->jobOrderRestriction().contains("8"));

        // Dates are checked before the selection opens.
        f.child<QLineEdit>("endDate")->setText("12/31/2026");
        f.prompter.answer(Prompter::Answer::Ok, bothDates);
        QTest::mouseClick(select, Qt::LeftButton);
        QVERIFY(f.prompter.verifyDone());
    }

    // Refused dates print nothing; export writes the pages to the chosen file; the company lines are kept in
    // the settings.
    void exportAndSettings()
    {
        Fixture f;
        f.open(0);
        f.child<QLineEdit>("beginDate")->setText("01/01/2026");
        f.prompter.answer(Prompter::Answer::Ok, bothDates);
        QTest::mouseClick(f.child<QPushButton>("exportPdfButton"), Qt::LeftButton);
        QVERIFY(f.prompter.verifyDone());
        QCOMPARE(f.prompter.prompts().last().icon, Prompter::Icon::Exclamation);
        QCOMPARE(f.frame->focusWidget(), f.child<QLineEdit>("endDate"));
        f.child<QLineEdit>("beginDate")->clear();
        f.child<QCheckBox>("companyInfoCheck")->setChecked(true);
        f.child<QLineEdit>("companyLine1")->setText("Acme Fleet Office");
        const QString pdf = f.env.path("list.pdf");
        f.prompter.file(pdf);
        QTest::mouseClick(f.child<QPushButton>("exportPdfButton"), Qt::LeftButton);
        QVERIFY(f.prompter.verifyDone());
        QVERIFY(QFileInfo(pdf).size() > 1000);
        f.frame.reset();
        QCOMPARE(f.app.settings().integer("Settings", "InfoInd"), 1);
        QCOMPARE(f.app.settings().text("Settings", "Info1"), QString("Acme Fleet Office"));
    }
};

QTEST_MAIN(ReportFormTest)
#include "tst_reportform.moc"
