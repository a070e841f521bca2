#pragma once

#include "TestEnvironment.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "reports/PageRecorder.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportCommand.h"
#include "reports/ReportJob.h"

#include <QFile>
#include <QTest>

// A small fleet every report test prints: two owners, a van kept in miles with a loan and insurance, a
// pickup kept in kilometres and a forklift kept in hours, with their maintenance, services, gas entries,
// schedule and job orders. Today is 12/07/2026.
struct ReportFixture
{
    TestEnvironment env;
    Database db;

    ReportFixture()
    {
        Clock::setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        env.createDatabase(db, "fleet.vel");
        add({"INSERT INTO ContactInfo (ContactID, ContactType, CompanyName, LastName, FirstName, Address1, "
             "Address2, City, State, ZipCode, Phone, Fax) VALUES (1, 1, 'Acme Delivery', 'Baker', 'Anna', "
             "'12 Mill Road', '', 'Springfield', 'IL', '62701', '217-555-0101', '217-555-0102'), (2, 1, "
             "'Zenith Rentals', 'Young', '', '9 Elm St', 'Suite 4', 'Dayton', 'OH', '45402', '937-555-0199', "
             "''), (3, 2, 'Capital Credit', '', '', '', '', '', '', '', '', ''), (4, 3, 'Prairie Mutual', "
             "'', '', '', '', '', '', '', '', ''), (5, 4, 'Quick Lube', 'Lopez', 'Sam', '5 Oil Way', '', "
             "'Springfield', 'IL', '62702', '217-555-0300', '')",
             "INSERT INTO Owners (OwnerID, ContactID, LocationID) VALUES (1, 2, ''), (2, 1, 'North Depot')",
             "INSERT INTO Vehicles (VehicleID, OwnerID, VehicleNo, VehicleYear, VehicleMake, VehicleModel, "
             "VehicleVIN, VehicleLicense, EntryOfActualMiles, Measurement, HoursInd) VALUES "
             "(1, 2, 'V-01', '2019', 'Ford', 'Transit', '1FTBW2CM5KKA12345', 'ACM-101', 45210, 0, 0), "
             "(2, 2, '', '2021', 'Toyota', 'Hilux', 'JT123', 'ACM-102', 1200, 1, 0), "
             "(3, 1, 'Z-7', '2015', 'Clark', '', 'CL999', '', 850, 0, -1)",
             "INSERT INTO Loan (VehicleID, ContactID, AcctNo, OriginatingDate, Length, Amount, "
             "PaymentAmount, InterestRate) VALUES (1, 3, 'CC-1', '20190315', 72, 32000, 498.75, 4.35)",
             "INSERT INTO Insurance (VehicleID, ContactID, PolicyNo, Deductable, CoverageStartDate, "
             "CoverageEndDate, PaymentAmt) VALUES (1, 4, 'PM-77', 500, '20260101', '20261231', 1240)"});
    }

    // Adds rows: "INSERT ..." statements.
    void add(std::initializer_list<const char*> statements)
    {
        for (const char* statement : statements)
            db.execute(statement);
    }

    // Fill-ups of the van (a partial fill between full tanks) and one of the forklift.
    void addGas()
    {
        add({"INSERT INTO GasLog (GasLogID, VehicleID, Date, Mileage, Gallons, Fillup, Estimated, "
             "CostGallon, TotalCost, BriefDesc) VALUES (1, 1, '20260105', 40000, 12, 0, 0, 3, 36, ''), (2, "
             "1, '20260120', 40250, 8.5, 1, -1, 3.1, 26.35, 'Half tank'), (3, 1, '20260210', 40600, 10, 0, "
             "0, 3.2, 32, ''), (4, 1, '20260305', 40900, 9, 0, 0, 2.95, 26.55, ''), (5, 3, '20260901', 820, "
             "5, 0, 0, 3.5, 17.5, '')"});
    }

    Report::Options options(int code, qint32 owner = 0, qint32 vehicle = 0) const
    {
        Report::Options options;
        options.code = code;
        options.ownerId = owner;
        options.vehicleId = vehicle;
        return options;
    }

    // The report laid out on US Letter, reading readAhead vehicles at a time (0: as many as the job does).
    std::unique_ptr<Report::ReportJob> job(const Report::Options& options, int readAhead = 0)
    {
        const bool landscape = ReportCatalogue::isLandscape(options.code);
        auto result = std::make_unique<Report::ReportJob>(db, options, letterPrintableWidth(landscape),
                                                          letterPrintableHeight(landscape));
        if (readAhead > 0)
            result->setReadAhead(readAhead);
        result->paginate();
        return result;
    }
    // The text of every page of a report on US Letter.
    QString text(const Report::Options& options) { return Report::jobText(*job(options)); }
    // Every page of the job as drawn.
    static std::vector<Report::PageRecorder> pages(Report::ReportJob& job)
    {
        std::vector<Report::PageRecorder> drawn(job.pageCount());
        for (int page = 1; page <= job.pageCount(); ++page)
            job.drawPage(page, drawn[page - 1]);
        return drawn;
    }
};

// The expected text of tests/reports/expected/<name>.txt.
inline QString expectedText(const QString& name)
{
    QFile file(VELMORA_EXPECTED_DIR "/" + name + ".txt");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "(missing " + name + ")";
}
