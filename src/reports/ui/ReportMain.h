#pragma once

// `velmora-cli report ...`: run before any application object exists, since the PDF output needs the GUI
// libraries (on the offscreen platform when no other is chosen).
int runReportMain(int argc, char* argv[]);
