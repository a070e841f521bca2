#include "OldDataFiles.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "db/DataFile.h"
#include "db/Database.h"
#include "db/DatabaseCreation.h"

#include <QDirIterator>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

// Cuts velmora-cli short at many points of every whole-file operation (SIGKILL at the Nth statement or file
// step, or a file-size limit that makes writes fail as on a full disk) and checks after each that nothing
// was lost or half-written: the target is the old file byte for byte or the complete new one, the inputs
// are unchanged, and the next open leaves no stray file behind.
namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Outcome
{
    bool killed = false;
    int exitCode = 0;
    QString err;
    long long points = 0; // fault points the run passed
};

// killAt > 0 kills the run at that point; 0 runs it whole and counts its points.
Outcome runCli(const QStringList& args, long long killAt, qint64 fileLimit = 0)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELMORA_TEST_KILL_AT", killAt > 0 ? QString::number(killAt) : QString("count"));
    process.setProcessEnvironment(env);
    if (fileLimit > 0) {
        process.setChildProcessModifier([fileLimit] {
            const rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);
        });
    }
    process.start(qEnvironmentVariable("VELMORA_CLI"), args);
    process.waitForFinished(60000);
    Outcome outcome{process.exitStatus() == QProcess::CrashExit, process.exitCode(),
                    QString::fromUtf8(process.readAllStandardError())};
    const qsizetype at = outcome.err.indexOf("velmora-fault-points: ");
    if (at >= 0)
        outcome.points = outcome.err.mid(at + 22).section('\n', 0, 0).toLongLong();
    return outcome;
}

// Rows of every table, which a complete copy, compaction or upgrade keeps.
QString countsOf(Database& db)
{
    QStringList counts;
    for (const char* table : {"Owners", "Vehicles", "ContactInfo", "Maintenance", "MaintServices", "Schedule",
                              "Services", "ServiceTypes", "GasLog"})
        if (db.hasTable(table))
            counts << QString("%1:%2").arg(table,
                                           db.scalar(QString("SELECT count(*) FROM ") + table).toString());
    return counts.join(' ');
}

// The next open: recovery of leftovers, then the program's read-write open, which rolls back a journal.
// Returns the version and counts of a sound file, or fails the test.
QString openedSound(const QString& path)
{
    DataFile::recoverInterrupted(path);
    Database db;
    db.open(path);
    const QStringList problems = DataFile::problemsOf(db);
    if (!problems.isEmpty())
        return "unsound: " + problems.join("; ");
    return DatabaseCreation::readVersion(db) + " " + countsOf(db);
}

// Everything in the folder apart from the files the operation may leave.
QStringList strays(const QString& folder, const QStringList& allowed)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = QDir(folder).relativeFilePath(it.next());
        if (!allowed.contains(name))
            found << name;
    }
    return found;
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator folders(from, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (folders.hasNext())
        QDir().mkpath(QDir(to).filePath(QDir(from).relativeFilePath(folders.next())));
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
}

// The command's file names made absolute in the run's folder; the command and options stay as they are.
QStringList resolved(const QString& folder, QStringList args)
{
    for (qsizetype i = 1; i < args.size(); ++i)
        if (!args[i].startsWith("--") && args[i - 1] != "--units")
            args[i] = QDir(folder).filePath(args[i]);
    return args;
}

// One whole-file operation: its inputs in a fixture folder, the command, the file it writes and what that
// file holds when the operation is complete.
struct Operation
{
    QString name;
    QStringList args; // relative names, resolved in the run's folder
    QString target;
    QStringList inputs; // must stay byte for byte as they were
    QStringList kept;   // files that are either as they were or a complete copy of keptSource
    QString keptSource;
    QStringList allowed;    // files that may be in the folder afterwards
    bool resumable = false; // an upgrade may stop between its steps and go on at the next run
};

} // namespace

class FaultTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QMap<QString, QPair<int, int>> m_tally; // operation -> faults injected, held

    QString fixture(const QString& name) { return m_env.path("fixtures/" + name); }

    void buildDataFile(const QString& path, int owners, bool withFreeSpace)
    {
        Database db;
        ScriptedPrompter prompter;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(DatabaseCreation::createDatabase(path, prompter));
        db.open(path);
        Transaction transaction(db);
        QSqlQuery insert = db.prepare("INSERT INTO Owners (OwnerID, ContactID, Memo) VALUES (?, ?, ?)");
        for (int id = 1; id <= owners; ++id) {
            insert.addBindValue(id);
            insert.addBindValue(id);
            insert.addBindValue(QString(300, QChar('a' + id % 26)));
            db.exec(insert);
        }
        if (withFreeSpace)
            db.execute("DELETE FROM Owners WHERE OwnerID % 2 = 0");
        transaction.commit();
    }

    // The points where a run is cut: every one near the end, where files are renamed, and evenly spread
    // before that.
    static QList<long long> killPoints(long long total)
    {
        QList<long long> points;
        const long long tail = qMin<long long>(total, 14);
        const long long spread = 22;
        for (long long n = 1; n <= spread && total - tail > 0; ++n)
            points << qMax<long long>(1, (total - tail) * n / (spread + 1));
        for (long long n = total - tail + 1; n <= total; ++n)
            points << n;
        std::sort(points.begin(), points.end());
        points.erase(std::unique(points.begin(), points.end()), points.end());
        return points;
    }

    void runFaults(const Operation& op, const QString& complete)
    {
        const QString source = m_env.path("fixtures/" + op.name);
        const QString sample = m_env.path("runs/" + op.name + "-count");
        copyTree(source, sample);
        const long long total = runCli(resolved(sample, op.args), 0).points;
        QVERIFY2(total > 3, qPrintable(op.name));

        QList<QPair<long long, qint64>> faults;
        for (long long point : killPoints(total))
            faults << qMakePair(point, qint64(0));
        for (qint64 limit :
             {qint64(1), qint64(2048), qint64(8192), qint64(40000), qint64(90000), qint64(150000)})
            faults << qMakePair(0LL, limit);

        int run = 0;
        for (const auto& [killAt, limit] : faults) {
            const QString folder = m_env.path(QString("runs/%1-%2").arg(op.name).arg(++run));
            copyTree(source, folder);
            QMap<QString, QByteArray> before;
            for (const QString& name : op.inputs + op.kept + QStringList{op.target})
                before[name] = contentsOf(QDir(folder).filePath(name));

            const Outcome outcome = runCli(resolved(folder, op.args), killAt, limit);
            const QString what = QString("%1, %2 %3: ")
                                     .arg(op.name, killAt ? "killed at" : "file limit")
                                     .arg(killAt ? killAt : limit);
            ++m_tally[op.name].first;
            if (killAt > 0)
                QVERIFY2(outcome.killed, qPrintable(what + "the run was not cut"));
            else if (outcome.exitCode != 0 && op.name == "create")
                QVERIFY2(outcome.err.contains("There is not enough disk space"),
                         qPrintable(what + outcome.err));

            const QString targetPath = QDir(folder).filePath(op.target);
            const bool unchanged = contentsOf(targetPath) == before[op.target] &&
                                   QFileInfo::exists(targetPath) == !before[op.target].isEmpty();
            QString state = openedSoundOrAbsent(targetPath);
            if (op.resumable && !state.startsWith("unsound")) {
                // An upgrade cut between its steps goes on from where it stopped.
                runCli(resolved(folder, op.args), 0);
                state = openedSoundOrAbsent(targetPath);
            }
            QVERIFY2(state == complete || (unchanged && !op.resumable) ||
                         (before[op.target].isEmpty() && state == "absent"),
                     qPrintable(what + state + " / expected " + complete));
            for (const QString& input : op.inputs)
                QVERIFY2(contentsOf(QDir(folder).filePath(input)) == before[input],
                         qPrintable(what + input + " changed"));
            for (const QString& kept : op.kept) {
                const QString path = QDir(folder).filePath(kept);
                // The next run of the operation clears what a cut one left beside this file.
                DataFile::recoverInterrupted(path);
                QVERIFY2(contentsOf(path) == before[kept] ||
                             contentsOf(path) == contentsOf(QDir(folder).filePath(op.keptSource)),
                         qPrintable(what + kept + " is neither the earlier file nor a complete copy"));
            }
            const QStringList left = strays(folder, op.allowed);
            QVERIFY2(left.isEmpty(), qPrintable(what + "left " + left.join(", ")));
            ++m_tally[op.name].second;
            QDir(folder).removeRecursively();
        }
    }

    static QString openedSoundOrAbsent(const QString& path)
    {
        DataFile::recoverInterrupted(path);
        return QFileInfo::exists(path) ? openedSound(path) : QString("absent");
    }

    // The state a fault-free run leaves, which every cut run must reach or not have left at all.
    QString completeState(const Operation& op)
    {
        const QString folder = m_env.path("runs/" + op.name + "-whole");
        copyTree(m_env.path("fixtures/" + op.name), folder);
        const Outcome outcome = runCli(resolved(folder, op.args), 0);
        if (outcome.exitCode != 0)
            return "failed: " + outcome.err;
        return openedSound(QDir(folder).filePath(op.target));
    }

    void exercise(const Operation& op)
    {
        const QString complete = completeState(op);
        QVERIFY2(!complete.startsWith("failed") && !complete.startsWith("unsound"),
                 qPrintable(op.name + ": " + complete));
        runFaults(op, complete);
    }

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty()); }

    void cleanupTestCase()
    {
        int total = 0;
        for (auto it = m_tally.cbegin(); it != m_tally.cend(); ++it) {
            qInfo("%s: %d faults injected, %d held", qPrintable(it.key()), it.value().first,
                  it.value().second);
            total += it.value().first;
        }
        qInfo("all operations: %d faults injected", total);
    }

    void create()
    {
        QDir().mkpath(fixture("create"));
        exercise({"create", {"create", "Velmora.vel"}, "Velmora.vel", {}, {}, {}, {"Velmora.vel"}});
    }

    void upgrade_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("2.0") << int(OldShape::V20);
        QTest::newRow("2.2") << int(OldShape::V22);
        QTest::newRow("2.3") << int(OldShape::V23);
    }

    void upgrade()
    {
        QFETCH(int, shape);
        const QString name = QString("upgrade-%1").arg(QTest::currentDataTag());
        QDir().mkpath(fixture(name));
        buildOldFile(fixture(name + "/old.vel"), OldShape(shape));
        exercise({name, {"upgrade", "old.vel", "--units", "us"}, "old.vel", {}, {}, {}, {"old.vel"}, true});
    }

    void import()
    {
        QDir().mkpath(fixture("import/new"));
        buildPreviousGeneration(fixture("import/Velmora.mdb"), 150);
        QFile earlier(fixture("import/Velmora.BAK"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier backup of the old file");
        earlier.close();
        exercise({"import",
                  {"import", "Velmora.mdb", "new"},
                  "new/Velmora.vel",
                  {"Velmora.mdb"},
                  {"Velmora.BAK"},
                  "Velmora.mdb",
                  {"Velmora.mdb", "Velmora.BAK", "new/Velmora.vel"}});
    }

    void backup()
    {
        buildDataFile(fixture("backup/Velmora.vel"), 400, false);
        buildDataFile(fixture("backup/Velmora.bak"), 20, false);
        exercise({"backup",
                  {"backup", "Velmora.vel", "Velmora.bak"},
                  "Velmora.bak",
                  {"Velmora.vel"},
                  {},
                  {},
                  {"Velmora.vel", "Velmora.bak"}});
    }

    void restore()
    {
        buildDataFile(fixture("restore/Velmora.vel"), 300, false);
        buildDataFile(fixture("restore/Velmora.bak"), 450, false);
        exercise({"restore",
                  {"restore", "Velmora.bak", "Velmora.vel"},
                  "Velmora.vel",
                  {"Velmora.bak"},
                  {},
                  {},
                  {"Velmora.vel", "Velmora.bak"}});
    }

    void compact()
    {
        buildDataFile(fixture("compact/Velmora.vel"), 600, true);
        exercise({"compact", {"compact", "Velmora.vel"}, "Velmora.vel", {}, {}, {}, {"Velmora.vel"}});
    }
};

QTEST_GUILESS_MAIN(FaultTest)
#include "tst_faults.moc"
