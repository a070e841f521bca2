#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command-line manners the three programs share: --help and --version answer before any
// application object exists, so they work where no display can be reached.
namespace CommandLine {

// "velmora 1.0", with the program's name and the version it was built as.
QString versionText(const QString& program);

// When the arguments ask for --help (or -h) or --version, prints help (or the version line) to standard
// output and returns the exit status 0; otherwise nothing, and the program goes on.
std::optional<int> answerInformational(int argc, char** argv, const QString& program, const QString& help);

// velmora's help text.
QString velmoraHelp();

// The data file velmora was asked to open: the first argument after the program's name that is not an
// option, as an absolute path; empty when there is none.
QString dataFileArgument(const QStringList& arguments);

} // namespace CommandLine
