#pragma once

// What every benchmark executable shares: named cases that run once per fleet file and give one figure.
//
//     BENCH_CASE("gas list for one vehicle", [](const Bench::Fleet& fleet) {
//         Database db;
//         db.open(fleet.path);
//         return Bench::Figure{Bench::milliseconds([&] { ... }), "ms"};
//     });
//
// The executable is run with one "--fleet LABEL=PATH" per fleet and prints one tab-separated line per case
// and fleet, which scripts/bench.sh gathers into a table.

#include "db/Prompter.h"

#include <QString>
#include <functional>

namespace Bench {

struct Fleet
{
    QString label; // "demo", "1000", "5000"
    QString path;  // the fleet's data file: open it read-only in spirit, copy it (ScratchCopy) to write
};

struct Figure
{
    double value = 0;
    QString unit;          // "ms", "MiB"
    double plainSql = 0;   // the same work done with plain SQL, in the same unit, when there is one
};

using Case = std::function<Figure(const Fleet&)>;

struct Register
{
    Register(const char* name, Case run);
};

// Median processor time of work in milliseconds over repeats runs, after one run that warms the caches. prepare,
// when given, runs untimed before each run (to put back a file the work changes).
double milliseconds(const std::function<void()>& work, int repeats = 5, const std::function<void()>& prepare = {});

// How far the resident memory of the process rose above its level before work, at its peak, in MiB.
double peakMiB(const std::function<void()>& work);

// A private copy of a fleet file for cases that write; removed when the object goes.
class ScratchCopy
{
public:
    explicit ScratchCopy(const Fleet& fleet);
    ~ScratchCopy();
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;
    QString path() const { return m_path; }
    // Copies the fleet's file over the copy again.
    void reset();

private:
    QString m_source;
    QString m_path;
};

// The program's peak resident size, in MiB, while it runs the named case of this executable alone on the
// fleet (in a process of its own, so that nothing measured before counts).
double programPeakMiB(const QString& caseName, const Fleet& fleet);

// Answers every question with its safe default and shows nothing (cases that drive windows).
class QuietPrompter : public Prompter
{
public:
    Answer ask(const QString&, Icon, Buttons buttons) override
    {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::No;
    }
    QString saveFileName(const FileDialog&) override { return {}; }
    QString openFileName(const FileDialog&) override { return {}; }
    bool note(const QString&) override { return true; }
};

// The first vehicle of the fleet that has rows of its own (the generator gives every vehicle the same mix).
int sampleVehicle(const Fleet& fleet);

} // namespace Bench

#define BENCH_CONCAT_INNER(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT_INNER(a, b)
#define BENCH_CASE(name, ...) static const Bench::Register BENCH_CONCAT(benchCase, __LINE__)(name, __VA_ARGS__)
