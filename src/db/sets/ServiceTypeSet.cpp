#include "db/sets/ServiceTypeSet.h"

CServiceTypeSet::CServiceTypeSet(Database& db) : RecordSet(db)
{
    bindText("[ServiceType]", &m_ServiceType);
    bindLong("[ServiceTypeID]", &m_ServiceTypeID);
}

QString CServiceTypeSet::defaultSource() const
{
    return QStringLiteral("[ServiceTypes]");
}

void CServiceTypeSet::insertDefaultRows()
{
    for (const char* type : {"Routine", "Inspection", "Cosmetic", "Repair", "Other"}) {
        const qint32 id = nextIdentifier();
        addNew();
        m_ServiceTypeID = id;
        m_ServiceType = QString::fromLatin1(type);
        update();
    }
}
