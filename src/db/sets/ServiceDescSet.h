#pragma once

#include "db/RecordSet.h"

class CServiceDescSet : public RecordSet
{
public:
    explicit CServiceDescSet(Database& db);
    QString defaultSource() const override;
    // Highest ServiceID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("ServiceID")); }
    // Adds the default rows of a new database, each with the next identifier.
    void insertDefaultRows();

    qint32 m_ServiceID = 0;
    QString m_ServiceDesc;
    qint32 m_ServiceTypeID = 0;
};
