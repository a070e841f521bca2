#pragma once

#include <QList>
#include <QRect>

class Settings;

// The main window's placement as kept in section Settings: the normal rectangle (x1, y1 = left, top;
// x2, y2 = right, bottom, exclusive) and the show state and flags in the window system's numbering.
//
// showCmd: 1 normal, 3 maximized; 2, 6 and 7 (the minimized states) start the window maximized when flags
// holds RestoreToMaximized and normal otherwise, since a program that starts minimized looks as if it did
// not start; any other value starts it normal.
struct WindowPlacement
{
    enum ShowCommand : int {
        ShowNormal = 1,
        ShowMinimized = 2,
        ShowMaximized = 3,
        Minimize = 6,
        ShowMinNoActive = 7
    };
    enum Flag : int { RestoreToMaximized = 2 };

    QRect normalRect; // null when no size is stored
    int showCmd = ShowNormal;
    int flags = RestoreToMaximized;

    static WindowPlacement load(const Settings& settings);
    void save(Settings& settings) const;

    // The placement of a window with this normal rectangle and state.
    static WindowPlacement of(const QRect& normalRect, bool maximized, bool minimized);

    bool startsMaximized() const;
};

// The rectangle itself when its title strip can be reached on one of the screens (available areas);
// otherwise the same size, made to fit, centred on the primary screen.
QRect keepOnScreen(const QRect& rect, const QList<QRect>& screens, const QRect& primary);
