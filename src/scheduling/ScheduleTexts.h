#pragma once

#include <QString>

namespace Estimation {
struct Base;
}

// Column texts the schedule form, the schedule monitor and the due list share.
namespace ScheduleTexts {

// "Perform Every (mi, mo)" and "Last Performed (dt, mi)" for the unit abbreviation.
QString performEveryTitle(const QString& abbreviation);
QString lastPerformedTitle(const QString& abbreviation);
// "3000, 6(M)" with months, else "3000, 10(D)" with days.
QString performEvery(qint32 miles, qint32 months, qint32 days);
// "06/01/2023, 1200" from a performed maintenance, "*06/01/2023, 1200" from the base line.
QString lastPerformed(const Estimation::Base& base);

} // namespace ScheduleTexts
