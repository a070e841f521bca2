#pragma once

#include <QObject>
#include <QSize>

class QStyle;
class QWidget;
class Settings;

// How the program fits the desktop it runs on, whatever the platform theme offers.
namespace DesktopLook {

// The desktop's own style, except that dialog buttons carry pictures only when the desktop's icon theme
// provides them: without one, Qt falls back on small coloured dots that look like warning lights.
// base: the style to build on (the platform's when null); the application owns the result.
void applyStyle(QStyle* base = nullptr);

// The width and height every form fits in, so that the window never grows when a form is first shown.
QSize formArea(const QWidget& window);

// File dialogs and print previews open at a size that shows their contents and come back at the size
// the user last gave them. Installed on the application for as long as the object lives.
class DialogSizes : public QObject
{
public:
    explicit DialogSizes(Settings& settings, QObject* parent = nullptr);

    // The size a dialog of this kind opens at: the stored one, else a roomy default, within the screen.
    QSize sizeFor(const QWidget& dialog) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Settings& m_settings;
};

} // namespace DesktopLook
