#include "db/sets/InsCoverageTypeSet.h"

CInsCoverageTypeSet::CInsCoverageTypeSet(Database& db) : RecordSet(db)
{
    bindLong("[TypeID]", &m_TypeID);
    bindText("[TypeName]", &m_TypeName);
}

QString CInsCoverageTypeSet::defaultSource() const
{
    return QStringLiteral("InsCoverageTypes");
}
