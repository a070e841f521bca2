#include "reports/ui/ReportMain.h"

#include "reports/ReportCommand.h"
#include "reports/ui/PainterCanvas.h"

#include <QGuiApplication>

int runReportMain(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runReportCommand(app.arguments().mid(2), out, err, &Report::writeReportPdf);
}
