#include "context/AppContext.h"

#include "db/DatabaseCreation.h"

void CAppContext::openDatabase()
{
    m_database.open(m_databasePath, DatabaseCreation::ConnectText);
}
