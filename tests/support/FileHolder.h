#pragma once

// A test run again as "another program": started with VELMORA_TEST_HOLD naming a data file (and
// VELMORA_TEST_HOLD_AS its program name), it opens the file for writing, prints "holding" and keeps it
// open until its standard input closes. Returns the process's exit code.
int holdFileAsAnotherProgram();
