#include "app/ui/VelApp.h"

#include "app/ui/MainFrame.h"
#include "db/DatabaseCreation.h"

CVelApp::CVelApp(Prompter& prompter) : m_prompter(prompter)
{
    loadVehicleColumns();
}

CVelApp::~CVelApp() = default;

void CVelApp::openDatabase()
{
    m_database.open(m_databasePath, DatabaseCreation::ConnectText);
}
