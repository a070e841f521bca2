// Start-up: the reading pass and the way from start to a painted window, with every vehicle to bring
// forward (the fleets' readings are days old).

#include "BenchSupport.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelApp.h"
#include "db/Database.h"
#include "fleet/ReadingEstimate.h"

#include <QApplication>

namespace {

const char* const startUpCase = "Start-up to a painted window, every vehicle to bring forward";

void startUp(const QString& path)
{
    Bench::QuietPrompter prompter;
    CVelApp app(prompter);
    app.settings().setDatabaseLocation(path);
    app.setReminderLauncher([](const QString&) { return true; });
    app.initInstance({});
    app.mainFrame()->grab();
    QApplication::processEvents();
}

} // namespace

BENCH_CASE("Start-up reading pass, every vehicle to bring forward", [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    Database db;
    const double pass = Bench::milliseconds([&] { ReadingEstimate::bringAllForward(db); }, 5, [&] {
        db.close();
        copy.reset();
        db.open(copy.path());
    });
    return Bench::Figure{pass, QStringLiteral("ms")};
});

BENCH_CASE(startUpCase, [](const Bench::Fleet& fleet) {
    Bench::ScratchCopy copy(fleet);
    return Bench::Figure{Bench::milliseconds([&] { startUp(copy.path()); }, 5, [&] { copy.reset(); }),
                         QStringLiteral("ms")};
});

BENCH_CASE("Peak memory of the program through start-up", [](const Bench::Fleet& fleet) {
    return Bench::Figure{Bench::programPeakMiB(QString::fromLatin1(startUpCase), fleet), QStringLiteral("MiB")};
});
