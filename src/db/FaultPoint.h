#pragma once

// Test hook for the fault-injection suite: with VELMORA_TEST_KILL_AT=N in the environment the process kills
// itself with SIGKILL at the Nth point passed (every statement and every step of a whole-file operation),
// as a power cut or a crash would; with "count" it reports at exit how many points it passed. Without the
// variable it costs one comparison.
namespace FaultPoint {

void pass();

} // namespace FaultPoint
