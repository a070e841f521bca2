#pragma once

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

// Saves a picture of the widget as <name>.png in the folder named by VELMORA_SCREENSHOTS, for looking at
// the forms without a display; does nothing when the variable is not set.
inline void saveScreenshot(QWidget& widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
