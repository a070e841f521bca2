#include "scheduling/DueCommand.h"

#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DbException.h"
#include "db/Values.h"
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
    return options.path.isEmpty() ? QStringLiteral("the data file is missing") : QString();
}

QString csvField(const QString& stored)
{
    const QString text = Values::printable(stored);
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

void writeCsv(QTextStream& out, const DueList::List& list)
{
    const QStringList header{
        QStringLiteral("ScheduleID"),       QStringLiteral("VehicleID"),     QStringLiteral("Vehicle"),
        QStringLiteral("Service Needed"),   QStringLiteral("Perform Every"), QStringLiteral("Last Performed"),
        QStringLiteral("Est Perform Date"), QStringLiteral("Status"),        QStringLiteral("Unit")};
    out << header.join(QLatin1Char(',')) << "\r\n";
    for (const DueList::Row& row : list.rows) {
        const QStringList fields{QString::number(row.scheduleId),
                                 QString::number(row.vehicleId),
                                 row.vehicle,
                                 row.service,
                                 row.performEvery,
                                 row.lastPerformed,
                                 row.estimate,
                                 DueList::statusText(row.status),
                                 row.unit};
        QStringList quoted;
        for (const QString& field : fields)
            quoted << csvField(field);
        out << quoted.join(QLatin1Char(',')) << "\r\n";
    }
}

void writeTable(QTextStream& out, const DueList::List& list, int daysAhead)
{
    // The column titles name the unit when every listed vehicle has the same one.
    QString unit = list.rows.empty() ? QStringLiteral("mi") : list.rows.front().unit;
    for (const DueList::Row& row : list.rows)
        if (row.unit != unit)
            unit = QStringLiteral("unit");
    QList<QStringList> lines{{QStringLiteral("Vehicle"), QStringLiteral("Service Needed"),
                              ScheduleTexts::performEveryTitle(unit), ScheduleTexts::lastPerformedTitle(unit),
                              QStringLiteral("Est Perform Date"), QStringLiteral("Status")}};
    for (const DueList::Row& row : list.rows)
        lines.append(
            {Values::printable(row.vehicle), Values::printable(row.service),
             row.performEvery + (unit == QLatin1String("unit") ? QLatin1Char(' ') + row.unit : QString()),
             row.lastPerformed, row.estimate, DueList::statusText(row.status)});
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
    Database db;
    try {
        DataFile::checkDataFile(options.path);
        db.open(options.path);
    } catch (const CdbException& error) {
        err << "velmora-cli: " << DataFile::whyNotUsable(error, options.path) << '\n';
        return 1;
    }
    try {
        if (options.vehicleId != 0 &&
            db.scalar(
                  QStringLiteral("SELECT count(*) FROM Vehicles WHERE VehicleID = %1").arg(options.vehicleId))
                    .toInt() == 0) {
            err << "velmora-cli: there is no vehicle " << options.vehicleId << " in " << options.path << '\n';
            return 1;
        }
        const DueList::List list = DueList::fill(db, options.vehicleId, options.daysAhead, vehicleFields);
        if (options.csv)
            writeCsv(out, list);
        else
            writeTable(out, list, options.daysAhead);
    } catch (const CdbException& error) {
        err << "velmora-cli: " << options.path << ": " << DataFile::causeOf(error, options.path) << '\n';
        return 1;
    }
    return 0;
}
