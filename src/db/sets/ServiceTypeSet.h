#pragma once

#include "db/RecordSet.h"

class CServiceTypeSet : public RecordSet
{
public:
    explicit CServiceTypeSet(Database& db);
    QString defaultSource() const override;
    // Highest ServiceTypeID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("ServiceTypeID")); }
    // Adds the default rows of a new database, each with the next identifier.
    void insertDefaultRows();

    QString m_ServiceType;
    qint32 m_ServiceTypeID = 0;
};
