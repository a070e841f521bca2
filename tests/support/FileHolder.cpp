#include "FileHolder.h"

#include "db/Database.h"
#include "db/FileClaim.h"

#include <cstdio>

int holdFileAsAnotherProgram()
{
    FileClaim::setProgramName(qEnvironmentVariable("VELMORA_TEST_HOLD_AS"));
    Database db;
    db.open(qEnvironmentVariable("VELMORA_TEST_HOLD"));
    std::fputs("holding\n", stdout);
    std::fflush(stdout);
    char buffer[64];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    return 0;
}
