#include "db/sets/UtilitiesSet.h"

CUtilitiesSet::CUtilitiesSet(Database& db) : RecordSet(db)
{
    bindText("[TimeStamp]", &m_TimeStamp);
    bindText("[VerInd]", &m_VerInd);
}

QString CUtilitiesSet::defaultSource() const
{
    return QStringLiteral("[Utilities]");
}
