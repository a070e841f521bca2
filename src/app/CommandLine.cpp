#include "app/CommandLine.h"

#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace CommandLine {

QString versionText(const QString& program)
{
    return program + u' ' + QStringLiteral(VELMORA_VERSION);
}

std::optional<int> answerInformational(int argc, char** argv, const QString& program, const QString& help)
{
    for (int i = 1; i < argc; ++i) {
        QString text;
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            text = help;
        else if (std::strcmp(argv[i], "--version") == 0)
            text = versionText(program) + u'\n';
        else
            continue;
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return 0;
    }
    return std::nullopt;
}

QString velmoraHelp()
{
    return QStringLiteral(
        "Usage: velmora [--demo] [--no-splash] [FILE]\n"
        "Keeps the maintenance records of your vehicles: owners, vehicles, service schedules, maintenance,\n"
        "job orders, fuel, loans, insurance and reports.\n"
        "\n"
        "  FILE         open this data file (in the running Velmora, when there is one)\n"
        "  --demo       start on a sample fleet in a temporary folder; your settings stay as they are\n"
        "  --no-splash  start without the splash window\n"
        "  --help       show this help and exit\n"
        "  --version    show the version and exit\n"
        "\n"
        "The user guide opens with F1 or Help > User Guide.\n");
}

QString dataFileArgument(const QStringList& arguments)
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(u'-'))
            continue;
        return QFileInfo(argument).absoluteFilePath();
    }
    return {};
}

} // namespace CommandLine
