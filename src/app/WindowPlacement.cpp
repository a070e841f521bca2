#include "app/WindowPlacement.h"

#include "context/Settings.h"

namespace {

const QString Section = QStringLiteral("Settings");

// How much of the top of the window must show on a screen for the user to grab and move it.
constexpr int TitleStripHeight = 30;
constexpr int MinimumVisibleWidth = 60;
constexpr int MinimumVisibleHeight = 20;

} // namespace

WindowPlacement WindowPlacement::load(const Settings& settings)
{
    WindowPlacement placement;
    placement.showCmd = settings.integer(Section, QStringLiteral("showCmd"));
    placement.flags = settings.integer(Section, QStringLiteral("flags"));
    const int left = settings.integer(Section, QStringLiteral("x1"));
    const int top = settings.integer(Section, QStringLiteral("y1"));
    const int right = settings.integer(Section, QStringLiteral("x2"));
    const int bottom = settings.integer(Section, QStringLiteral("y2"));
    if (right != 0 && bottom != 0 && right > left && bottom > top)
        placement.normalRect = QRect(left, top, right - left, bottom - top);
    return placement;
}

void WindowPlacement::save(Settings& settings) const
{
    settings.setInteger(Section, QStringLiteral("flags"), flags);
    settings.setInteger(Section, QStringLiteral("showCmd"), showCmd);
    if (normalRect.isNull())
        return;
    settings.setInteger(Section, QStringLiteral("x1"), normalRect.left());
    settings.setInteger(Section, QStringLiteral("y1"), normalRect.top());
    settings.setInteger(Section, QStringLiteral("x2"), normalRect.left() + normalRect.width());
    settings.setInteger(Section, QStringLiteral("y2"), normalRect.top() + normalRect.height());
}

WindowPlacement WindowPlacement::of(const QRect& normalRect, bool maximized, bool minimized)
{
    WindowPlacement placement;
    placement.normalRect = normalRect;
    placement.showCmd = minimized ? ShowMinimized : maximized ? ShowMaximized : ShowNormal;
    placement.flags = maximized ? RestoreToMaximized : 0;
    return placement;
}

bool WindowPlacement::startsMaximized() const
{
    switch (showCmd) {
    case ShowMaximized:
        return true;
    case ShowMinimized:
    case Minimize:
    case ShowMinNoActive:
        return (flags & RestoreToMaximized) != 0;
    default:
        return false;
    }
}

QRect keepOnScreen(const QRect& rect, const QList<QRect>& screens, const QRect& primary)
{
    const QRect titleStrip(rect.left(), rect.top(), rect.width(), TitleStripHeight);
    for (const QRect& screen : screens) {
        const QRect visible = titleStrip.intersected(screen);
        if (visible.width() >= qMin(MinimumVisibleWidth, rect.width()) &&
            visible.height() >= qMin(MinimumVisibleHeight, rect.height()))
            return rect;
    }
    QRect moved(QPoint(0, 0), rect.size().boundedTo(primary.size()));
    moved.moveCenter(primary.center());
    return moved;
}
