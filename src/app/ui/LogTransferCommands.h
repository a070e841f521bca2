#pragma once

class CAppContext;
class QWidget;

// File › Import Fuel Log and File › Export: another program's fuel log into the current vehicle, and any
// log out to a CSV file. True when the data changed (the views need to read it again).
bool importFuelLog(CAppContext& app, QWidget* parent);
void exportLog(CAppContext& app, QWidget* parent);
