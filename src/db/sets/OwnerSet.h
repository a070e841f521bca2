#pragma once

#include "db/RecordSet.h"

class COwnerSet : public RecordSet
{
public:
    explicit COwnerSet(Database& db);
    QString defaultSource() const override;
    // Highest OwnerID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("OwnerID")); }

    qint32 m_OwnerID = 0;
    QString m_LocationID;
    QString m_Memo;
    qint32 m_ContactID = 0;
};
