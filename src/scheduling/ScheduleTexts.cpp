#include "scheduling/ScheduleTexts.h"

#include "db/Values.h"
#include "scheduling/Estimation.h"

namespace ScheduleTexts {

QString performEveryTitle(const QString& abbreviation)
{
    return QStringLiteral("Perform Every (") + abbreviation + QStringLiteral(", mo)");
}

QString lastPerformedTitle(const QString& abbreviation)
{
    return QStringLiteral("Last Performed (dt, ") + abbreviation + QLatin1Char(')');
}

QString performEvery(qint32 miles, qint32 months, qint32 days)
{
    if (months > 0)
        return QStringLiteral("%1, %2(M)").arg(miles).arg(months);
    return QStringLiteral("%1, %2(D)").arg(miles).arg(days);
}

QString lastPerformed(const Estimation::Base& base)
{
    return (base.performed ? QString() : QStringLiteral("*")) + Values::toShownDate(base.date) +
           QStringLiteral(", ") + QString::number(base.reading);
}

} // namespace ScheduleTexts
