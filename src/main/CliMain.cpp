// velmora-cli: create, check, upgrade and import Velmora database files from the command line.

#include "app/CommandLine.h"
#include "app/FleetGenerator.h"
#include "app/LogExport.h"
#include "context/Settings.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"
#include "db/DbException.h"
#include "db/FileCommands.h"
#include "db/Import.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "db/Upgrade.h"
#include "fuel/LogImport.h"
#include "insight/InsightCommands.h"
#include "reports/ReportCommand.h"
#include "reports/ui/ReportMain.h"
#include "scheduling/DueCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <utility>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

const char* const usageText =
    "Usage:\n"
    "  velmora-cli create PATH                      make a new, empty database file\n"
    "  velmora-cli check PATH                       show the version and contents of a database file\n"
    "  velmora-cli upgrade PATH [--units us|metric] bring an older database file up to date\n"
    "  velmora-cli import OLDFILE NEWFOLDER         import a previous-generation file into NEWFOLDER/Velmora.vel\n"
    "  velmora-cli backup DATAFILE BACKUPFILE       copy a data file to a backup file\n"
    "  velmora-cli restore BACKUPFILE DATAFILE      put a backup in the place of a data file\n"
    "  velmora-cli compact DATAFILE                 rewrite a data file without its free space\n"
    "  velmora-cli generate-fleet PATH --vehicles N [--seed S]  a new file holding a generated fleet\n"
    "  velmora-cli import-log DATAFILE FILE --vehicle ID [--car NAME] [--format auto|fuelly|lubelogger|fuelio]\n"
    "              [--date-order mdy|dmy] [--dry-run] [--skip-conflicts]  add another program's fuel log\n"
    "  velmora-cli export DATAFILE --log gas|maintenance|job-orders|schedule|vehicles [--vehicle ID]\n"
    "              [--format csv|lubelogger]          write a log as CSV to standard output\n";

int usage()
{
    err() << usageText << DueUsageLine << InsightUsageLines << reportUsage;
    err().flush();
    return 2;
}

// Thrown when a question needs an answer the command line did not give.
struct UnansweredQuestion
{
    QString text;
};

// Messages go to standard error; the one question the tools can meet is answered from the options.
class ConsolePrompter : public Prompter
{
public:
    QString units;         // "us", "metric" or empty
    QString saveFolder;    // answer to the import's save dialog
    int problems = 0;

    Answer ask(const QString& text, Icon icon, Buttons buttons) override
    {
        if (buttons != Buttons::Ok && buttons != Buttons::OkCancel) {
            if (text == Messages::MeasurementQuestion && !units.isEmpty())
                return units == QLatin1String("us") ? Answer::Yes : Answer::No;
            throw UnansweredQuestion{text};
        }
        if (icon == Icon::Exclamation || icon == Icon::Error)
            ++problems;
        err() << text << '\n';
        err().flush();
        return Answer::Ok;
    }
    QString saveFileName(const FileDialog& dialog) override
    {
        // Asked again only when the first answer was refused: the command line has no second answer.
        const QString folder = std::exchange(saveFolder, QString());
        return folder.isEmpty() ? QString() : QDir(folder).filePath(dialog.defaultName);
    }
    QString openFileName(const FileDialog&) override { return QString(); }
    bool note(const QString& text) override
    {
        err() << text << '\n';
        return true;
    }
};

int createCommand(const QString& path)
{
    ConsolePrompter prompter;
    if (QFileInfo::exists(path)) {
        err() << "velmora-cli: " << path << " already exists; remove it first\n";
        return 1;
    }
    if (!DatabaseCreation::createDatabase(path, prompter))
        return 1;
    out() << "Created " << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) << '\n';
    return 0;
}

int upgradeCommand(const QString& path, const QString& units)
{
    ConsolePrompter prompter;
    prompter.units = units;
    Database db;
    QString version;
    try {
        db.open(path);
        version = DatabaseCreation::readVersion(db);
        db.close();
    } catch (const CdbException& error) {
        err() << "velmora-cli: " << DataFile::whyNotUsable(error, path) << '\n';
        return 1;
    }
    try {
        if (!Upgrade::upgradeByVersion(db, path, version, prompter))
            return 1;
    } catch (const UnansweredQuestion&) {
        db.close();
        err() << "velmora-cli: the file has vehicles; choose their units with --units us or --units metric\n";
        return 2;
    }
    QString now;
    try {
        db.open(path);
        now = DatabaseCreation::readVersion(db);
    } catch (const CdbException& error) {
        err() << "velmora-cli: " << DataFile::whyNotUsable(error, path) << '\n';
        return 1;
    }
    out() << "Version " << (version.isEmpty() ? QStringLiteral("(none)") : version) << " -> " << now << '\n';
    return prompter.problems == 0 ? 0 : 1;
}

int importCommand(const QString& oldFile, const QString& newFolder)
{
    ConsolePrompter prompter;
    prompter.saveFolder = newFolder;
    if (!QFileInfo(newFolder).isDir()) {
        err() << "velmora-cli: " << newFolder << " is not a folder\n";
        return 1;
    }
    QString created;
    if (!Import::importPreviousVersion(oldFile, newFolder, prompter, &created))
        return 1;
    out() << "Imported into " << QDir::toNativeSeparators(created) << '\n';
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString help =
        QString::fromLatin1(usageText) + QString::fromLatin1(DueUsageLine) + QString::fromLatin1(reportUsage);
    if (const auto answered =
            CommandLine::answerInformational(argc, argv, QStringLiteral("velmora-cli"), help))
        return *answered;
    if (argc > 1 && qstrcmp(argv[1], "report") == 0)
        return runReportMain(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString units;
    const int unitsAt = args.indexOf(QStringLiteral("--units"));
    if (unitsAt >= 0) {
        if (unitsAt + 1 >= args.size())
            return usage();
        units = args.at(unitsAt + 1).toLower();
        if (units != QLatin1String("us") && units != QLatin1String("metric"))
            return usage();
        args.remove(unitsAt, 2);
    }
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    int result = 2;
    if (command == QLatin1String("create") && args.size() == 1 && unitsAt < 0)
        result = createCommand(args[0]);
    else if (command == QLatin1String("check") && args.size() == 1 && unitsAt < 0)
        result = FileCommands::check(args, out(), err());
    else if (command == QLatin1String("upgrade") && args.size() == 1)
        result = upgradeCommand(args[0], units);
    else if (command == QLatin1String("import") && args.size() == 2 && unitsAt < 0)
        result = importCommand(args[0], args[1]);
    else if (command == QLatin1String("backup") && args.size() == 2 && unitsAt < 0)
        result = FileCommands::backup(args, out(), err());
    else if (command == QLatin1String("restore") && args.size() == 2 && unitsAt < 0)
        result = FileCommands::restore(args, out(), err());
    else if (command == QLatin1String("compact") && args.size() == 1 && unitsAt < 0)
        result = FileCommands::compact(args, out(), err());
    else if (command == QLatin1String("generate-fleet") && unitsAt < 0)
        result = FleetGenerator::runCommand(args, out(), err());
    else if (command == QLatin1String("import-log") && unitsAt < 0)
        result = LogImport::runCommand(args, out(), err());
    else if (command == QLatin1String("export") && unitsAt < 0)
        result = LogExport::runCommand(args, out(), err(), Settings().vehicleFields());
    else if (command == QLatin1String("due") && unitsAt < 0)
        result = runDueCommand(args, out(), err(), Settings().daysAhead(), Settings().vehicleFields());
    else if (command == QLatin1String("costs") && unitsAt < 0)
        result = runCostsCommand(args, out(), err(), Settings().vehicleFields());
    else if (command == QLatin1String("forecast") && unitsAt < 0)
        result = runForecastCommand(args, out(), err(), Settings().vehicleFields());
    else
        return usage();
    out().flush();
    err().flush();
    return result;
}
