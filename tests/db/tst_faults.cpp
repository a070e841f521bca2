#include "OldDataFiles.h"
#include "WholeFiles.h"
#include "db/DataFile.h"

#include <QDirIterator>

// Cuts velmora-cli short at many points of every whole-file operation (SIGKILL at the Nth statement or file
// step, or a file-size limit that makes writes fail as on a full disk) and checks after each that nothing
// was lost or half-written: the target is the old file byte for byte or the complete new one, the inputs
// are unchanged, and the next open leaves no stray file behind.
namespace {

// killAt > 0 kills the run at that point; 0 runs it whole and counts its points (printed to the error
// output). The command's file names are taken in folder.
CliRun runCli(const QString& folder, const QStringList& args, long long killAt, qint64 fileLimit = 0)
{
    return runTool(inFolder(folder, args), fileLimit,
                   killAt > 0 ? QString::number(killAt) : QString("count"));
}

// The file as the next open finds it (leftovers recovered, a journal rolled back): "absent", "unsound: ..."
// or its version and the rows of every table, which a complete copy, compaction or upgrade keeps.
QString stateOf(const QString& path)
{
    DataFile::recoverInterrupted(path);
    if (!QFileInfo::exists(path))
        return "absent";
    Database db;
    db.open(path);
    const QStringList problems = DataFile::problemsOf(db);
    if (!problems.isEmpty())
        return "unsound: " + problems.join("; ");
    QString state = DatabaseCreation::readVersion(db);
    for (const char* table : {"Owners", "Vehicles", "ContactInfo", "Maintenance", "MaintServices", "Schedule",
                              "Services", "ServiceTypes", "GasLog"})
        if (db.hasTable(table))
            state +=
                QString(" %1:%2").arg(table, db.scalar(QString("SELECT count(*) FROM ") + table).toString());
    return state;
}

// One whole-file operation on the files of its fixture folder.
struct Operation
{
    QString name;
    QStringList args;
    QString target;
    QStringList inputs = {}; // must stay byte for byte as they were
    QString kept = {};       // either as it was or a complete copy of the first input (the import's .BAK)
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class FaultTest : public QObject
{
    Q_OBJECT

    TestEnvironment m_env;
    QString fixture(const QString& name)
    {
        QDir().mkpath(QFileInfo(m_env.path("fixtures/" + name)).absolutePath());
        return m_env.path("fixtures/" + name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariable("VELMORA_CLI").isEmpty());
        for (const char* folder : {"runs", "fixtures/create", "fixtures/import/new"})
            QDir().mkpath(m_env.path(folder));
        for (const auto& [version, shape] :
             {std::pair{"2.0", OldShape::V20}, {"2.2", OldShape::V22}, {"2.3", OldShape::V23}})
            buildOldFile(fixture(QString("upgrade-%1/old.vel").arg(version)), shape);
        buildPreviousGeneration(fixture("import/Velmora.mdb"), 150);
        writeFile(fixture("import/Velmora.BAK"), "an earlier backup of the old file");
        buildDataFile(fixture("backup/Velmora.vel"), 400, false, 300);
        buildDataFile(fixture("backup/Velmora.bak"), 20, false, 300);
        buildDataFile(fixture("restore/Velmora.vel"), 300, false, 300);
        buildDataFile(fixture("restore/Velmora.bak"), 450, false, 300);
        buildDataFile(fixture("compact/Velmora.vel"), 600, true, 300);
    }

    void wholeFileOperation_data()
    {
        QTest::addColumn<Operation>("op");
        const auto add = [](const Operation& op) { QTest::newRow(qPrintable(op.name)) << op; };
        add({"create", {"create", "Velmora.vel"}, "Velmora.vel"});
        for (const char* version : {"2.0", "2.2", "2.3"})
            add({QString("upgrade-") + version, {"upgrade", "old.vel", "--units", "us"}, "old.vel"});
        add({"import", {"import", "Velmora.mdb", "new"}, "new/Velmora.vel", {"Velmora.mdb"}, "Velmora.BAK"});
        add({"backup", {"backup", "Velmora.vel", "Velmora.bak"}, "Velmora.bak", {"Velmora.vel"}});
        add({"restore", {"restore", "Velmora.bak", "Velmora.vel"}, "Velmora.vel", {"Velmora.bak"}});
        add({"compact", {"compact", "Velmora.vel"}, "Velmora.vel"});
    }

    void wholeFileOperation()
    {
        QFETCH(Operation, op);
        // An upgrade may stop between its steps and go on at the next run.
        const bool resumable = op.args[0] == "upgrade";
        const QString source = m_env.path("fixtures/" + op.name);
        const auto freshCopy = [&](const QString& run) {
            const QString folder = m_env.path("runs/" + op.name + "-" + run);
            QProcess::execute("cp", {"-a", source, folder});
            return folder;
        };
        // A whole run gives the complete state and the number of points where a run can be cut.
        const QString whole = freshCopy("whole");
        const CliRun counted = runCli(whole, op.args, 0);
        const long long points =
            counted.err.section("velmora-fault-points: ", 1).section('\n', 0, 0).toLongLong();
        const QString complete = stateOf(QDir(whole).filePath(op.target));
        QVERIFY2(counted.exitCode == 0 && !complete.startsWith("unsound") && points > 3,
                 qPrintable(op.name + ": " + counted.err + complete));

        // Every point near the end, where files are renamed, and points spread evenly before that; then
        // file-size limits from nothing to more than most files need.
        QList<QPair<long long, qint64>> faults;
        const long long tail = qMin(points, 14LL);
        for (long long n = 1; n <= 22; ++n)
            faults << qMakePair(qMax(1LL, (points - tail) * n / 23), qint64(0));
        for (long long n = points - tail + 1; n <= points; ++n)
            faults << qMakePair(n, qint64(0));
        for (qint64 limit : {1, 2048, 8192, 16384, 40000, 90000, 150000})
            faults << qMakePair(0LL, limit);
        faults.erase(std::unique(faults.begin(), faults.end()), faults.end());

        int run = 0;
        for (const auto& [killAt, limit] : faults) {
            const QString folder = freshCopy(QString::number(++run));
            const auto path = [&](const QString& name) { return QDir(folder).filePath(name); };
            QMap<QString, QByteArray> before;
            for (const QString& name : op.inputs + QStringList{op.kept, op.target})
                before[name] = contentsOf(path(name));

            const CliRun outcome = runCli(folder, op.args, killAt, limit);
            const QString what =
                QString("%1, %2 %3: ").arg(op.name, killAt ? "killed at" : "file limit").arg(killAt + limit);
            QVERIFY2((outcome.exitCode == -1) == (killAt > 0),
                     qPrintable(what + "the run was cut or aborted: " + outcome.err));
            // A full disk is told as such, never as the engine's bare words.
            if (killAt == 0 && outcome.exitCode != 0)
                QVERIFY2(!outcome.err.contains("disk I/O error") &&
                             (op.name != "create" || outcome.err.contains("There is not enough disk space")),
                         qPrintable(what + outcome.err));

            const bool unchanged = contentsOf(path(op.target)) == before[op.target] &&
                                   QFileInfo::exists(path(op.target)) == !before[op.target].isEmpty();
            QString state = stateOf(path(op.target));
            if (resumable && !state.startsWith("unsound")) {
                // An upgrade cut between its steps goes on from where it stopped.
                runCli(folder, op.args, 0);
                state = stateOf(path(op.target));
            }
            QVERIFY2(state == complete || (unchanged && !resumable) ||
                         (before[op.target].isEmpty() && state == "absent"),
                     qPrintable(what + state + " / expected " + complete));
            for (const QString& input : op.inputs)
                QVERIFY2(contentsOf(path(input)) == before[input], qPrintable(what + input + " changed"));
            if (!op.kept.isEmpty()) {
                // The next run of the operation clears what a cut one left beside this file.
                DataFile::recoverInterrupted(path(op.kept));
                QVERIFY2(contentsOf(path(op.kept)) == before[op.kept] ||
                             contentsOf(path(op.kept)) == before[op.inputs.first()],
                         qPrintable(what + op.kept + " is neither the earlier file nor a complete copy"));
            }
            QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString name = QDir(folder).relativeFilePath(files.next());
                QVERIFY2(name == op.target || name == op.kept || op.inputs.contains(name),
                         qPrintable(what + "left " + name));
            }
            QDir(folder).removeRecursively();
        }
        qInfo("%s: %d faults injected, all held", qPrintable(op.name), run);
    }
};

QTEST_GUILESS_MAIN(FaultTest)
#include "tst_faults.moc"
