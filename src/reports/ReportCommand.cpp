#include "reports/ReportCommand.h"

#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Values.h"
#include "reports/PageRecorder.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportDates.h"
#include "reports/ReportJob.h"

#include <QTemporaryDir>

const char* const reportUsage =
    "  velmora-cli report PATH --report NAME [--owner ID] [--vehicle ID] [--from MM/DD/YYYY --to MM/DD/YYYY]\n"
    "                     [--company-info LINE1|LINE2|LINE3|LINE4] (--pdf FILE | --text)\n"
    "                                               print a report (NAME: vehicle-list, maintenance-log,\n"
    "                                               schedule-monitor, gas-log, fuel-graph, expense-graph,\n"
    "                                               job-orders, cost-summary, maintenance-forecast,\n"
    "                                               cost-graph) as a PDF file or as text\n";

double letterPrintableWidth(bool landscape)
{
    return landscape ? 1050 : 800;
}

double letterPrintableHeight(bool landscape)
{
    return landscape ? 800 : 1050;
}

namespace {

int badArguments(QTextStream& err, const QString& why)
{
    err << "velmora-cli report: " << why << "\nUsage:\n" << reportUsage;
    err.flush();
    return 2;
}

} // namespace

int runReportCommand(const QStringList& args, QTextStream& out, QTextStream& err, const ReportPdfWriter& writePdf)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        return badArguments(err, QStringLiteral("the data file is missing"));
    const QString path = args.first();
    Report::Options options;
    options.code = -1;
    QString pdf;
    bool text = false;
    ReportDates::Range dates;
    for (int i = 1; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == QLatin1String("--text")) {
            text = true;
            continue;
        }
        if (i + 1 >= args.size())
            return badArguments(err, option + QStringLiteral(" needs a value"));
        const QString value = args[++i];
        bool number = true;
        if (option == QLatin1String("--report")) {
            options.code = ReportCatalogue::codeOfCliName(value);
            if (options.code < 0)
                return badArguments(err, QStringLiteral("unknown report ") + value);
        } else if (option == QLatin1String("--owner")) {
            options.ownerId = value.toInt(&number);
        } else if (option == QLatin1String("--vehicle")) {
            options.vehicleId = value.toInt(&number);
        } else if (option == QLatin1String("--from")) {
            dates.begin = value;
        } else if (option == QLatin1String("--to")) {
            dates.end = value;
        } else if (option == QLatin1String("--company-info")) {
            options.companyInfo = true;
            options.companyLines = value.split(QLatin1Char('|'));
            if (options.companyLines.size() > 4)
                return badArguments(err, QStringLiteral("--company-info takes at most four lines"));
        } else if (option == QLatin1String("--pdf")) {
            pdf = value;
        } else {
            return badArguments(err, QStringLiteral("unknown option ") + option);
        }
        if (!number || options.ownerId < 0 || options.vehicleId < 0)
            return badArguments(err, option + QStringLiteral(" needs a record number"));
    }
    if (options.code < 0)
        return badArguments(err, QStringLiteral("--report NAME is missing"));
    if (text == !pdf.isEmpty())
        return badArguments(err, QStringLiteral("give either --pdf FILE or --text"));

    const ReportDates::Check check = ReportDates::validate(dates);
    if (!check.ok) {
        err << check.message << '\n';
        err.flush();
        return 1;
    }
    options.beginStored = Values::toStoredDate(check.normalised.begin);
    options.endStored = Values::toStoredDate(check.normalised.end);

    QTemporaryDir scratch;
    Database db;
    try {
        DataFile::openLikeTheProgram(db, path, scratch);
        if (!db.hasTable(QStringLiteral("Vehicles")) || !db.hasTable(QStringLiteral("Owners")))
            throw CdbException(CdbException::TableNotFound, QStringLiteral("the file has no vehicles table"));
        if (options.ownerId != 0 &&
            db.scalar(QStringLiteral("SELECT count(*) FROM Owners WHERE OwnerID = %1").arg(options.ownerId)).toInt() == 0) {
            err << "velmora-cli: there is no owner " << options.ownerId << '\n';
            return 1;
        }
        if (options.vehicleId != 0) {
            const QVariant owner =
                db.scalar(QStringLiteral("SELECT OwnerID FROM Vehicles WHERE VehicleID = %1").arg(options.vehicleId));
            if (owner.isNull() || (options.ownerId != 0 && owner.toInt() != options.ownerId)) {
                err << "velmora-cli: there is no vehicle " << options.vehicleId
                    << (options.ownerId != 0 ? " of that owner" : "") << '\n';
                return 1;
            }
        }
        const bool landscape = ReportCatalogue::isLandscape(options.code);
        Report::ReportJob job(db, options, letterPrintableWidth(landscape), letterPrintableHeight(landscape));
        job.paginate();
        if (text) {
            Report::writeJobText(job, out);
            out.flush();
            return 0;
        }
        if (!writePdf || !writePdf(job, pdf)) {
            err << "velmora-cli: could not write " << pdf << '\n';
            return 1;
        }
        out << "Wrote " << job.pageCount() << (job.pageCount() == 1 ? " page" : " pages") << " to " << pdf << '\n';
        return 0;
    } catch (const CdbException& error) {
        err << "velmora-cli: " << path << " is not a usable Velmora database (" << error.description() << ")\n";
        return 1;
    }
}
