#pragma once

#include <QStringList>

class QTextStream;

// The command-line tool's commands on whole data files. Each returns the exit code: 0 done, 1 failed (the
// cause on err), 2 wrong arguments.
namespace FileCommands {

// check PATH: opens the file as the program does, prints its version and counts, and exits 1 listing
// every problem (damage, missing tables and fields).
int check(const QStringList& args, QTextStream& out, QTextStream& err);
// backup DATAFILE BACKUPFILE
int backup(const QStringList& args, QTextStream& out, QTextStream& err);
// restore BACKUPFILE DATAFILE
int restore(const QStringList& args, QTextStream& out, QTextStream& err);
// compact DATAFILE
int compact(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace FileCommands
