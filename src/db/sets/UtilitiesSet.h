#pragma once

#include "db/RecordSet.h"

class CUtilitiesSet : public RecordSet
{
public:
    explicit CUtilitiesSet(Database& db);
    QString defaultSource() const override;

    QString m_TimeStamp;
    QString m_VerInd;
};
