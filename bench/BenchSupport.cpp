#include "BenchSupport.h"

#include "db/Database.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <malloc.h>
#include <vector>

namespace Bench {

namespace {

struct NamedCase
{
    QString name;
    Case run;
};

std::vector<NamedCase>& cases()
{
    static std::vector<NamedCase> all;
    return all;
}

QTemporaryDir& scratchFolder()
{
    static QTemporaryDir folder;
    return folder;
}

} // namespace

// A field of /proc/self/status in kiB ("VmRSS", "VmHWM").
double statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble();
    return 0;
}

namespace {

// The machine is shared, so wall time varies with the neighbours' load; the processor time this process
// spends does not, and it is what the program's own work costs.
double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

Register::Register(const char* name, Case run)
{
    cases().push_back({QString::fromUtf8(name), std::move(run)});
}

double milliseconds(const std::function<void()>& work, int repeats, const std::function<void()>& prepare)
{
    std::vector<double> times;
    for (int i = 0; i <= repeats; ++i) {
        if (prepare)
            prepare();
        const double start = processCpuMilliseconds();
        work();
        if (i > 0)
            times.push_back(processCpuMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double peakMiB(const std::function<void()>& work)
{
    malloc_trim(0);
    // Writing 5 to clear_refs starts the peak (VmHWM) again from the present size.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const double before = statusKiB("VmRSS");
    work();
    return std::max(0.0, statusKiB("VmHWM") - before) / 1024.0;
}

ScratchCopy::ScratchCopy(const Fleet& fleet)
    : m_source(fleet.path), m_path(scratchFolder().filePath(fleet.label + QStringLiteral("-scratch.vel")))
{
    reset();
}

ScratchCopy::~ScratchCopy()
{
    QFile::remove(m_path);
}

void ScratchCopy::reset()
{
    QFile::remove(m_path);
    QFile::copy(m_source, m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

double programPeakMiB(const QString& caseName, const Fleet& fleet)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--peak-of"), caseName, QStringLiteral("--fleet"), fleet.label + QLatin1Char('=') + fleet.path});
    child.waitForFinished(-1);
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed().toDouble();
}

int sampleVehicle(const Fleet& fleet)
{
    Database db;
    db.open(fleet.path);
    return db.scalar(QStringLiteral("SELECT MIN(VehicleID) FROM GasLog")).toInt();
}

} // namespace Bench

// Usage: bench_<area> --fleet LABEL=PATH [--fleet LABEL=PATH ...] [--case TEXT]
// Prints "case<TAB>fleet<TAB>value<TAB>unit<TAB>plain SQL value" per case and fleet.
int main(int argc, char* argv[])
{
    // Settings the code under measurement reads or writes go to a folder of the run, never the user's.
    const QString config = Bench::scratchFolder().filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", Bench::scratchFolder().path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);

    std::vector<Bench::Fleet> fleets;
    QString only;
    QString peakOf;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--fleet"))
            fleets.push_back({args[i + 1].section(QLatin1Char('='), 0, 0), args[i + 1].section(QLatin1Char('='), 1)});
        else if (args[i] == QLatin1String("--case"))
            only = args[i + 1];
        else if (args[i] == QLatin1String("--peak-of"))
            peakOf = args[i + 1];
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (fleets.empty()) {
        err << "usage: " << app.arguments().value(0) << " --fleet LABEL=PATH [--fleet LABEL=PATH ...] [--case TEXT]\n";
        return 2;
    }
    if (!peakOf.isEmpty()) {
        // The child of programPeakMiB: the one case on the one fleet, then the process's peak size.
        for (const auto& benchCase : Bench::cases())
            if (benchCase.name == peakOf)
                benchCase.run(fleets.front());
        out << QString::number(Bench::statusKiB("VmHWM") / 1024.0, 'f', 1) << '\n';
        return 0;
    }
    for (const auto& benchCase : Bench::cases()) {
        if (!only.isEmpty() && !benchCase.name.contains(only, Qt::CaseInsensitive))
            continue;
        for (const Bench::Fleet& fleet : fleets) {
            const Bench::Figure figure = benchCase.run(fleet);
            out << benchCase.name << '\t' << fleet.label << '\t' << QString::number(figure.value, 'f', 3) << '\t'
                << figure.unit << '\t' << QString::number(figure.plainSql, 'f', 3) << '\n';
            out.flush();
        }
    }
    return 0;
}
