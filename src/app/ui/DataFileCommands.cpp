#include "app/ui/DataFileCommands.h"

void backupDatabase(CVelApp&) {}

bool restoreDatabase(CVelApp&)
{
    return false;
}

void runMaintenance(CVelApp&) {}
