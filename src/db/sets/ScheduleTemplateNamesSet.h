#pragma once

#include "db/RecordSet.h"

class CScheduleTemplateNamesSet : public RecordSet
{
public:
    explicit CScheduleTemplateNamesSet(Database& db);
    QString defaultSource() const override;
    // Highest ScheduleTemplateID plus one; leaves the set unfiltered and sorted by it.
    qint32 nextIdentifier() { return nextIdentifierOf(QStringLiteral("ScheduleTemplateID")); }

    QString m_TemplateName;
    qint32 m_ScheduleTemplateID = 0;
};
