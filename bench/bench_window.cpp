// The window at its largest: the schedule monitor showing every vehicle's entries while the Maintenance Log
// of the whole fleet is printed to PDF.

#include "BenchSupport.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "context/Enums.h"
#include "forms/FormView.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportCommand.h"
#include "reports/ReportJob.h"
#include "reports/ui/PainterCanvas.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>
#include <ctime>

namespace {

const char* const windowCase = "Window with the monitor of all vehicles, printing the Maintenance Log to PDF";

} // namespace

// One run: at 20,000 vehicles the log has about 170,000 pages.
BENCH_CASE(windowCase, [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    QTemporaryDir folder;
    const std::clock_t start = std::clock();
    Bench::QuietPrompter prompter;
    CVelApp app(prompter);
    app.settings().setDatabaseLocation(copy.path());
    app.setReminderLauncher([](const QString&) { return true; });
    app.initInstance({});
    app.setCurrentVehicle(0);
    CMainFrame& frame = *app.mainFrame();
    frame.switchForm(ScheduleMonitorForm);
    auto* monitor = frame.shownForm()->findChild<QTreeView*>(QStringLiteral("dueList"));
    if (!monitor || monitor->model()->rowCount() == 0)
        qFatal("the monitor is empty");
    frame.grab();
    QApplication::processEvents();
    Report::Options options;
    options.code = ReportCatalogue::MaintenanceLog;
    Report::ReportJob job(app.database(), options, letterPrintableWidth(false), letterPrintableHeight(false));
    job.paginate();
    if (!Report::writeReportPdf(job, folder.filePath(QStringLiteral("log.pdf"))))
        qFatal("the PDF was not written");
    return Bench::Figure{double(std::clock() - start) / CLOCKS_PER_SEC, QStringLiteral("s")};
});

BENCH_CASE("Peak memory of that window and print", [](const Bench::Fleet& fleet) {
    return Bench::Figure{Bench::programPeakMiB(QString::fromLatin1(windowCase), fleet),
                         QStringLiteral("MiB")};
});
