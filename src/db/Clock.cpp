#include "db/Clock.h"

namespace Clock {

namespace {
QDateTime fixedMoment;
}

QDate today()
{
    return now().date();
}

QDateTime now()
{
    return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
}

void setNow(const QDateTime& moment)
{
    fixedMoment = moment;
}

void reset()
{
    fixedMoment = QDateTime();
}

} // namespace Clock
