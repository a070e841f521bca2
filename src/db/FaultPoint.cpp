#include "db/FaultPoint.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace FaultPoint {

namespace {

long long passed = 0;

void reportCount()
{
    std::fprintf(stderr, "velmora-fault-points: %lld\n", passed);
}

// "count" reports at exit how many points the run passed, so a test knows where it can cut a run short.
long long killPoint()
{
    const QByteArray setting = qgetenv("VELMORA_TEST_KILL_AT");
    if (setting == "count") {
        std::atexit(reportCount);
        return 0;
    }
    return setting.toLongLong();
}

} // namespace

void pass()
{
    static const long long killAt = killPoint();
    ++passed;
    if (killAt > 0 && passed >= killAt)
        std::raise(SIGKILL);
}

} // namespace FaultPoint
