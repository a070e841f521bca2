#pragma once

class CVelApp;
class QWidget;

// Lets the user choose the fields the vehicle lists show. On OK stores them and reloads the application's
// vehicle columns, and returns true; Cancel changes nothing.
bool runVehicleFieldsDialog(CVelApp& app, QWidget* parent);
