#pragma once

#include "db/RecordSet.h"

class CInsCoverageTypeSet : public RecordSet
{
public:
    explicit CInsCoverageTypeSet(Database& db);
    QString defaultSource() const override;

    qint32 m_TypeID = 0;
    QString m_TypeName;
};
