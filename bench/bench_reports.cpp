// The Gas Log of a whole fleet: how many pages, how long the pagination takes, how fast pages are drawn into
// a PDF file.

#include "BenchSupport.h"
#include "db/Database.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportCommand.h"
#include "reports/ReportJob.h"
#include "reports/ui/PainterCanvas.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

Report::Options gasLog()
{
    Report::Options options;
    options.code = ReportCatalogue::GasLog;
    return options;
}

} // namespace

BENCH_CASE("Gas Log of every vehicle: pages", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    Report::ReportJob job(db, gasLog(), letterPrintableWidth(false), letterPrintableHeight(false));
    job.paginate();
    return Bench::Figure{double(job.pageCount()), QStringLiteral("pages")};
});

BENCH_CASE("Gas Log of every vehicle: reading and pagination", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    return Bench::Figure{Bench::milliseconds(
                             [&] {
                                 Report::ReportJob job(db, gasLog(), letterPrintableWidth(false),
                                                       letterPrintableHeight(false));
                                 job.paginate();
                             },
                             3),
                         QStringLiteral("ms")};
});

BENCH_CASE("Gas Log of every vehicle: PDF pages drawn per second", [](const Bench::Fleet& fleet) {
    Database db;
    db.open(fleet.path);
    Report::ReportJob job(db, gasLog(), letterPrintableWidth(false), letterPrintableHeight(false));
    job.paginate();
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    Report::writeReportPdf(job, folder.filePath(QStringLiteral("gas-log.pdf")));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return Bench::Figure{seconds > 0 ? job.pageCount() / seconds : 0, QStringLiteral("pages/s")};
});

namespace {

// Reading and pagination of a report over every vehicle: what Print, Preview and PDF do before the first
// page.
Bench::Case paginationOf(int code)
{
    return [code](const Bench::Fleet& fleet) {
        Database db;
        db.open(fleet.path);
        Report::Options options;
        options.code = code;
        const bool landscape = ReportCatalogue::isLandscape(code);
        return Bench::Figure{Bench::milliseconds(
                                 [&] {
                                     Report::ReportJob job(db, options, letterPrintableWidth(landscape),
                                                           letterPrintableHeight(landscape));
                                     job.paginate();
                                 },
                                 1),
                             QStringLiteral("ms")};
    };
}

const Bench::Register paginationCases[] = {
    {"Vehicle List of every vehicle: reading and pagination", paginationOf(ReportCatalogue::VehicleList)},
    {"Maintenance Log of every vehicle: reading and pagination",
     paginationOf(ReportCatalogue::MaintenanceLog)},
    {"Schedule Monitor report of every vehicle: reading and pagination",
     paginationOf(ReportCatalogue::ScheduleMonitor)},
    {"Fuel Efficiency Graph of every vehicle: reading and pagination",
     paginationOf(ReportCatalogue::FuelGraph)},
    {"Expense Graph of every vehicle: reading and pagination", paginationOf(ReportCatalogue::ExpenseGraph)},
    {"Job Orders of every vehicle: reading and pagination", paginationOf(ReportCatalogue::JobOrders)},
};

} // namespace
