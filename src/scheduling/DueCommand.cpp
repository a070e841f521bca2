#include "scheduling/DueCommand.h"

#include "db/Clock.h"
#include "db/CommandFile.h"
#include "db/CsvText.h"
#include "db/Values.h"
#include "fleet/ReadingEstimate.h"
#include "scheduling/DueCalendar.h"
#include "scheduling/DueList.h"
#include "scheduling/ScheduleTexts.h"

#include <QTextStream>
#include <algorithm>
#include <limits>

namespace {

// The widest warning horizon the command takes.
constexpr int MostDaysAhead = 6000;

struct Options
{
    QString path;
    qint32 vehicleId = 0;
    int daysAhead = 0;
    bool csv = false;
    bool ics = false;
};

bool readNumber(const QString& text, int lowest, int highest, int& value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < lowest || number > highest)
        return false;
    value = number;
    return true;
}

// An empty problem means the arguments are fine.
QString readOptions(QStringList args, Options& options)
{
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--csv")) {
            options.csv = true;
        } else if (arg == QLatin1String("--ics")) {
            options.ics = true;
        } else if (arg == QLatin1String("--vehicle") || arg == QLatin1String("--days")) {
            if (args.isEmpty())
                return arg + QStringLiteral(" needs a number");
            const QString value = args.takeFirst();
            const bool ok = arg == QLatin1String("--vehicle")
                                ? readNumber(value, 1, std::numeric_limits<qint32>::max(), options.vehicleId)
                                : readNumber(value, 0, MostDaysAhead, options.daysAhead);
            if (!ok)
                return QStringLiteral("%1 takes a whole number%2, not \"%3\"")
                    .arg(arg, arg == QLatin1String("--days") ? QStringLiteral(" from 0 to 6000") : QString(),
                         value);
        } else if (arg.startsWith(QLatin1String("--")) || !options.path.isEmpty()) {
            return QStringLiteral("unexpected argument \"%1\"").arg(arg);
        } else {
            options.path = arg;
        }
    }
    if (options.csv && options.ics)
        return QStringLiteral("--csv and --ics cannot go together");
    return options.path.isEmpty() ? QStringLiteral("the data file is missing") : QString();
}

void writeCsv(QTextStream& out, const DueList::List& list)
{
    const QStringList header{
        QStringLiteral("ScheduleID"),       QStringLiteral("VehicleID"),     QStringLiteral("Vehicle"),
        QStringLiteral("Service Needed"),   QStringLiteral("Perform Every"), QStringLiteral("Last Performed"),
        QStringLiteral("Est Perform Date"), QStringLiteral("Status"),        QStringLiteral("Unit")};
    out << CsvText::line(header) << "\r\n";
    for (const DueList::Row& row : list.rows) {
        const QStringList fields{QString::number(row.scheduleId),
                                 QString::number(row.vehicleId),
                                 Values::printable(list.vehicle(row)),
                                 Values::printable(list.service(row)),
                                 list.performEvery(row),
                                 list.lastPerformed(row),
                                 list.estimate(row),
                                 DueList::statusText(row.status),
                                 list.unit(row)};
        out << CsvText::line(fields) << "\r\n";
    }
}

void writeTable(QTextStream& out, const DueList::List& list, int daysAhead)
{
    // The column titles name the unit when every listed vehicle has the same one.
    QString unit = list.rows.empty() ? QStringLiteral("mi") : list.unit(list.rows.front());
    for (const DueList::Row& row : list.rows)
        if (row.unit != list.rows.front().unit)
            unit = QStringLiteral("unit");
    QList<QStringList> lines{{QStringLiteral("Vehicle"), QStringLiteral("Service Needed"),
                              ScheduleTexts::performEveryTitle(unit), ScheduleTexts::lastPerformedTitle(unit),
                              QStringLiteral("Est Perform Date"), QStringLiteral("Status")}};
    for (const DueList::Row& row : list.rows)
        lines.append(
            {Values::printable(list.vehicle(row)), Values::printable(list.service(row)),
             list.performEvery(row) + (unit == QLatin1String("unit") ? QLatin1Char(' ') + list.unit(row) : QString()),
             list.lastPerformed(row), list.estimate(row), DueList::statusText(row.status)});
    std::vector<qsizetype> widths(lines.front().size(), 0);
    for (const QStringList& line : lines)
        for (int column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], line[column].size());
    for (const QStringList& line : lines) {
        QString text;
        for (int column = 0; column < line.size(); ++column)
            text += column + 1 < line.size() ? line[column].leftJustified(widths[column] + 2) : line[column];
        out << text << '\n';
    }
    if (list.rows.empty())
        out << "No scheduled service has a due date.\n";
    if (list.usedBaseLine)
        out << "* Figured from Base Line information.\n";
    out << "Due soon: within the next " << daysAhead << " days.\n";
}

} // namespace

int runDueCommand(const QStringList& args, QTextStream& out, QTextStream& err, int daysAhead,
                  const QList<int>& vehicleFields)
{
    Options options;
    options.daysAhead = daysAhead;
    const QString problem = readOptions(args, options);
    if (!problem.isEmpty()) {
        err << "velmora-cli: " << problem << "\nUsage:\n" << DueUsageLine;
        return 2;
    }
    return runOnDataFile(options.path, options.vehicleId, err, [&](Database& db) {
        // The readings move to today first and are kept, as the program's start-up keeps them.
        ReadingEstimate::bringAllForward(db);
        const DueList::List list = DueList::fill(db, options.vehicleId, options.daysAhead, vehicleFields);
        if (options.ics)
            out << DueCalendar::toICalendar(list, Clock::now());
        else if (options.csv)
            writeCsv(out, list);
        else
            writeTable(out, list, options.daysAhead);
    });
}
