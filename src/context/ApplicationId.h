#pragma once

#include <QString>

// The program's reverse-DNS application id: the name of its desktop entry, metainfo and icons, which
// desktops use to find the program's name and icon for its windows and notifications.
namespace ApplicationId {

inline const QString Id = QStringLiteral("com.halvernsoftware.Velmora");
// The autostart entry of the reminder program, named after the application it belongs to.
inline const QString ReminderEntry = QStringLiteral("com.halvernsoftware.Velmora.Reminder.desktop");
// The name earlier versions gave that entry; moved to ReminderEntry when found.
inline const QString OldReminderEntry = QStringLiteral("velmora-reminder.desktop");

} // namespace ApplicationId
