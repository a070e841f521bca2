#include "db/sets/OwnerSet.h"

COwnerSet::COwnerSet(Database& db) : RecordSet(db)
{
    bindLong("[OwnerID]", &m_OwnerID);
    bindText("[LocationID]", &m_LocationID);
    bindText("[Memo]", &m_Memo);
    bindLong("[ContactID]", &m_ContactID);
}

QString COwnerSet::defaultSource() const
{
    return QStringLiteral("[Owners]");
}
