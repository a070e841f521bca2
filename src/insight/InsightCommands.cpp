#include "insight/InsightCommands.h"

#include "db/Clock.h"
#include "db/CommandFile.h"
#include "db/CsvText.h"
#include "db/Values.h"
#include "insight/CostSummary.h"
#include "insight/MaintenanceForecast.h"

#include <QTextStream>
#include <algorithm>
#include <limits>

namespace {

// The longest forecast the command takes: the longest interval a schedule entry may have.
constexpr int MostMonths = 240;

struct Options
{
    QString path;
    qint32 vehicleId = 0;
    QDate from;
    QDate to;
    int months = -1;
    bool csv = false;
};

QString readWholeNumber(const QString& name, const QString& text, int lowest, int highest, int& value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < lowest || number > highest)
        return QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"")
            .arg(name)
            .arg(lowest)
            .arg(highest)
            .arg(text);
    value = number;
    return QString();
}

QString readDate(const QString& name, const QString& text, QDate& date)
{
    const QString normal = Values::normaliseDate(text);
    if (normal.isEmpty())
        return QStringLiteral("%1 takes a date as MM/DD/YYYY, not \"%2\"").arg(name, text);
    date = QDate::fromString(normal, QStringLiteral("MM/dd/yyyy"));
    return QString();
}

// The options the command knows are in withValue; an empty problem means the arguments are fine.
QString readOptions(QStringList args, const QStringList& known, Options& options)
{
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--csv")) {
            options.csv = true;
        } else if (known.contains(arg)) {
            if (args.isEmpty())
                return arg + QStringLiteral(" needs a value");
            const QString value = args.takeFirst();
            QString problem;
            if (arg == QLatin1String("--vehicle"))
                problem =
                    readWholeNumber(arg, value, 1, std::numeric_limits<qint32>::max(), options.vehicleId);
            else if (arg == QLatin1String("--months"))
                problem = readWholeNumber(arg, value, 0, MostMonths, options.months);
            else
                problem = readDate(arg, value, arg == QLatin1String("--from") ? options.from : options.to);
            if (!problem.isEmpty())
                return problem;
        } else if (arg.startsWith(QLatin1String("--")) || !options.path.isEmpty()) {
            return QStringLiteral("unexpected argument \"%1\"").arg(arg);
        } else {
            options.path = arg;
        }
    }
    if (options.path.isEmpty())
        return QStringLiteral("the data file is missing");
    if (options.from.isValid() != options.to.isValid())
        return QStringLiteral("--from and --to go together");
    if (options.from.isValid() && options.to < options.from)
        return QStringLiteral("--to is before --from");
    return QString();
}

int badArguments(QTextStream& err, const QString& problem)
{
    err << "velmora-cli: " << problem << "\nUsage:\n" << InsightUsageLines;
    return 2;
}

// Columns padded to their widest text, numbers (columns in rightAligned) to the right.
void writeAligned(QTextStream& out, const QList<QStringList>& lines, const QList<int>& rightAligned)
{
    std::vector<qsizetype> widths(lines.front().size(), 0);
    for (const QStringList& line : lines)
        for (int column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], line[column].size());
    for (const QStringList& line : lines) {
        QString text;
        for (int column = 0; column < line.size(); ++column) {
            if (column > 0)
                text += QStringLiteral("  ");
            text += rightAligned.contains(column) ? line[column].rightJustified(widths[column])
                                                  : line[column].leftJustified(widths[column]);
        }
        out << text.trimmed() << '\n';
    }
}

QString money(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

int runCostsCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                    const QList<int>& vehicleFields)
{
    Options options;
    const QString problem = readOptions(
        args, {QStringLiteral("--vehicle"), QStringLiteral("--from"), QStringLiteral("--to")}, options);
    if (!problem.isEmpty())
        return badArguments(err, problem);
    return runOnDataFile(options.path, options.vehicleId, err, [&](Database& db) {
        CostSummary::Reader reader(db, {options.vehicleId, options.from, options.to}, vehicleFields);
        const QStringList header{QStringLiteral("Vehicle"),     QStringLiteral("Unit"),
                                 QStringLiteral("Distance"),    QStringLiteral("Fuel Cost"),
                                 QStringLiteral("Fuel Amount"), QStringLiteral("Maintenance Cost"),
                                 QStringLiteral("Total Cost"),  QStringLiteral("Cost Per Unit")};
        QList<QStringList> lines{header};
        if (options.csv)
            out << CsvText::line(header) << "\r\n";
        CostSummary::Row row;
        while (reader.next(row)) {
            const std::optional<double> perUnit = row.costPerUnit();
            QStringList fields{row.vehicle,
                               CostSummary::unitAbbreviation(row.unit),
                               QString::number(row.distance),
                               money(row.fuelCost),
                               QString::number(row.fuelAmount, 'f', 3),
                               money(row.maintenanceCost),
                               money(row.totalCost()),
                               perUnit ? QString::number(*perUnit, 'f', 3) : QString()};
            if (options.csv) {
                out << CsvText::line(fields) << "\r\n";
                continue;
            }
            for (int column = 2; column < fields.size(); ++column)
                fields[column] = Values::withThousands(fields[column]);
            lines << fields;
        }
        if (options.csv)
            return;
        if (lines.size() == 1)
            out << "No vehicle has gas or maintenance entries"
                << (options.from.isValid() ? QStringLiteral(" from %1 to %2")
                                                 .arg(options.from.toString(QStringLiteral("MM/dd/yyyy")),
                                                      options.to.toString(QStringLiteral("MM/dd/yyyy")))
                                           : QString())
                << ".\n";
        else
            writeAligned(out, lines, {2, 3, 4, 5, 6, 7});
    });
}

int runForecastCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                       const QList<int>& vehicleFields)
{
    Options options;
    QString problem = readOptions(args, {QStringLiteral("--vehicle"), QStringLiteral("--months")}, options);
    if (problem.isEmpty() && options.months < 0)
        problem = QStringLiteral("--months is missing");
    if (!problem.isEmpty())
        return badArguments(err, problem);
    return runOnDataFile(options.path, options.vehicleId, err, [&](Database& db) {
        using namespace MaintenanceForecast;
        const Forecast forecast =
            MaintenanceForecast::forecast(db, options.vehicleId, options.months, vehicleFields, Clock::now());
        const QStringList header{QStringLiteral("Vehicle"), QStringLiteral("Service"), QStringLiteral("Date"),
                                 QStringLiteral("Expected Price"), QStringLiteral("Price Source")};
        QList<QStringList> lines{header};
        if (options.csv)
            out << CsvText::line(header) << "\r\n";
        for (const Occurrence& occurrence : forecast.occurrences) {
            const bool known = occurrence.source != PriceSource::Unknown;
            const QStringList fields{
                forecast.vehicles.value(occurrence.vehicleId), forecast.services.value(occurrence.serviceId),
                occurrence.date.toString(QStringLiteral("MM/dd/yyyy")),
                known ? money(occurrence.price) : QString(), sourceText(occurrence.source)};
            if (options.csv)
                out << CsvText::line(fields) << "\r\n";
            else
                lines << QStringList{fields[0], fields[1], fields[2], Values::withThousands(fields[3]),
                                     fields[4]};
        }
        if (options.csv) {
            out << CsvText::line({QStringLiteral("Total"), QString(), QString(), money(forecast.knownTotal),
                                  QString::number(forecast.unknownCount)})
                << "\r\n";
            return;
        }
        if (forecast.occurrences.empty())
            out << "No scheduled service falls due from "
                << forecast.from.toString(QStringLiteral("MM/dd/yyyy")) << " to "
                << forecast.to.toString(QStringLiteral("MM/dd/yyyy")) << ".\n";
        else
            writeAligned(out, lines, {3});
        out << "Expected from " << forecast.from.toString(QStringLiteral("MM/dd/yyyy")) << " to "
            << forecast.to.toString(QStringLiteral("MM/dd/yyyy")) << ": "
            << Values::withThousands(money(forecast.knownTotal));
        if (forecast.unknownCount > 0)
            out << ", and " << forecast.unknownCount
                << (forecast.unknownCount == 1 ? " service" : " services") << " of unknown price";
        out << ".\n";
    });
}
