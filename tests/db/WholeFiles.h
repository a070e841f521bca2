#pragma once

#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>

// The headers the database tests share, and files for whole-file operations: their bytes, data files of a
// chosen size, and runs of the command-line tool cut short or on a "full disk".

inline QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        QTest::qFail("could not write a test file", __FILE__, __LINE__);
}

// A data file with that many owners, each with a memo of memoLength letters; with free space, every second
// owner is deleted again, leaving the gaps compaction removes.
inline void buildDataFile(const QString& path, int owners, bool withFreeSpace = false, int memoLength = 900)
{
    ScriptedPrompter prompter;
    QVERIFY(DatabaseCreation::createDatabase(path, prompter));
    Database db;
    db.open(path);
    db.execute(
        QString("INSERT INTO Owners (OwnerID, ContactID, Memo) WITH RECURSIVE n(id) AS (SELECT 1 UNION "
                "ALL SELECT id + 1 FROM n WHERE id < %1) SELECT id, id, printf('%.%2c', char(97 + id % "
                "26)) FROM n")
            .arg(owners)
            .arg(memoLength));
    if (withFreeSpace)
        db.execute("DELETE FROM Owners WHERE OwnerID % 2 = 0");
}

// A copy of the file taken in the middle of a large write (the statements), as a crash leaves it: the copy
// already holds part of the change, its hot journal what it replaced.
inline void interruptedCopy(const QString& source, const QString& copy,
                            const QString& statements = "UPDATE Owners SET Memo = hex(randomblob(40000))")
{
    sqlite3* handle = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(source).constData(), &handle), SQLITE_OK);
    sqlite3_exec(handle, qPrintable("PRAGMA cache_size = 1; BEGIN; " + statements), nullptr, nullptr,
                 nullptr);
    for (const char* suffix : {"", "-journal"}) {
        QFile::remove(copy + suffix);
        QFile::copy(source + suffix, copy + suffix);
    }
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    QVERIFY(contentsOf(copy + "-journal").startsWith("\xd9\xd5\x05\xf9")); // a hot journal's header
}

// velmora-cli with the arguments; killAt (VELMORA_TEST_KILL_AT) cuts it at a fault point, a file-size limit
// makes its writes fail as on a full disk. A run cut short or crashed gives exit code -1.
inline CliRun runTool(const QStringList& args, qint64 fileLimit = 0, const QString& killAt = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!killAt.isEmpty())
        env.insert("VELMORA_TEST_KILL_AT", killAt);
    process.setProcessEnvironment(env);
    if (fileLimit > 0) {
        process.setChildProcessModifier([fileLimit] {
            const rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);
        });
    }
    process.start(qEnvironmentVariable("VELMORA_CLI"), args);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::CrashExit ? -1 : process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The arguments with every file name taken in the folder (options and their values are left alone).
inline QStringList inFolder(const QString& folder, QStringList args)
{
    for (qsizetype i = 1; i < args.size(); ++i)
        if (!args[i].startsWith("--") && !args[i - 1].startsWith("--"))
            args[i] = QDir(folder).filePath(args[i]);
    return args;
}
