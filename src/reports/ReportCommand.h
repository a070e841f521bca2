#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

namespace Report {
class ReportJob;
}

// `velmora-cli report`: prints a report of a data file as a PDF file or as the text lines of its pages.
// The PDF writer comes from the caller, since drawing needs the GUI libraries.
using ReportPdfWriter = std::function<bool(Report::ReportJob& job, const QString& path)>;

// args: the words after "report". Returns 0 on success, 1 for an unusable file or a refused filter, 2 for
// bad arguments.
int runReportCommand(const QStringList& args, QTextStream& out, QTextStream& err, const ReportPdfWriter& writePdf);

// The printable area of a US Letter page with quarter-inch margins, in hundredths of an inch.
double letterPrintableWidth(bool landscape);
double letterPrintableHeight(bool landscape);

extern const char* const reportUsage;
