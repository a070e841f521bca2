#include "ReportFixture.h"
#include "reports/PageCanvas.h"

#include <QRegularExpression>

// Every text report over owners, stations and vehicles with parts left empty and long values: no text
// runs past the right margin, and an empty part leaves no separator behind.
class ReportMarginsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textsStayInsideAndEmptyPartsLeaveNoCommas_data()
    {
        QTest::addColumn<int>("code");
        for (const int code :
             {ReportCatalogue::VehicleList, ReportCatalogue::MaintenanceLog, ReportCatalogue::ScheduleMonitor,
              ReportCatalogue::GasLog, ReportCatalogue::JobOrders})
            QTest::newRow(qPrintable(ReportCatalogue::title(code))) << code;
    }
    void textsStayInsideAndEmptyPartsLeaveNoCommas()
    {
        QFETCH(int, code);
        ReportFixture fixture;
        fixture.add(
            {"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName, City, "
             "State) "
             "VALUES (6, 4, 'Harbor Tire', '', '', 'Portland', ''), (7, 1, '', 'Reyes', 'Daniel', '', '')",
             "INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (3, 7, '')",
             "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleNo, VehicleYear, VehicleMake, VehicleModel, "
             "VehicleVIN, VehicleLicense, EntryOfActualMiles) VALUES (4, 3, 'HB-2024-017', '2024', "
             "'Freightliner', 'Cascadia', '1FUJHHDR4RLUA1234', 'HBL1021', 125000)",
             "INSERT INTO JobOrder (JobOrderID, VehicleID, JCN, Date, Description, StationID, OpenInd) "
             "VALUES "
             "(1, 4, 'JO-200', '20261101', 'Brakes', 6, -1), (2, 1, 'JO-201', '20261102', 'Tyres', 6, -1)",
             "INSERT INTO Schedule (ScheduleID, VehicleID, ServiceID, PerformEveryMiles, EstPerformDate) "
             "VALUES (1, 4, 1, 5000, '20261220')"});
        fixture.addGas();
        const auto job = fixture.job(fixture.options(code));
        QVERIFY(job->pageCount() > 0);
        const double margin = job->layout().blockLeft + job->layout().blockWidth + 0.5;
        const QRegularExpression loneComma("(^|\\s),|,(\\s*$|\\s*,|\\s{2,})");
        QStringList printed;
        int page = 0;
        for (const Report::PageRecorder& recorder : ReportFixture::pages(*job)) {
            ++page;
            for (const Report::Op& text : recorder.texts()) {
                printed << text.text;
                const double right = text.x + Report::textWidth(text.font, text.text.trimmed());
                QVERIFY2(right <= margin,
                         qPrintable(QString("page %1: \"%2\" ends at %3, the margin is at %4")
                                        .arg(page)
                                        .arg(text.text)
                                        .arg(right)
                                        .arg(margin)));
                QVERIFY2(!loneComma.match(text.text).hasMatch(), qPrintable(text.text));
            }
        }
        if (code == ReportCatalogue::JobOrders) {
            QVERIFY(printed.contains("License# HBL1021"));
            QVERIFY(printed.contains(QString(18, ' ') + "Portland"));
        }
    }
};

QTEST_MAIN(ReportMarginsTest)
#include "tst_reportmargins.moc"
