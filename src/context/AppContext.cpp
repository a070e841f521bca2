#include "context/AppContext.h"

#include "db/DatabaseCreation.h"

void CAppContext::openDatabase()
{
    m_database.open(m_databasePath, DatabaseCreation::ConnectText, m_readOnly);
}

Database::FileState CAppContext::refreshDataFile()
{
    const Database::FileState state = m_database.fileState();
    if (state == Database::FileState::Replaced) {
        m_database.close();
        openDatabase();
    }
    return state;
}
