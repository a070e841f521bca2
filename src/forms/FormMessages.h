#pragma once

#include <QString>

// Texts of the shared form machinery that have no number of their own.
namespace FormMessages {

inline const QString VehicleDeleted =
    QStringLiteral("The vehicle this record belongs to has been deleted.  The changes typed for it cannot be "
                   "saved and have been dropped.");

} // namespace FormMessages
