#include "app/ui/DesktopLook.h"

#include "context/Settings.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QIcon>
#include <QPrintPreviewDialog>
#include <QProxyStyle>
#include <QScreen>
#include <QTreeView>
#include <QWidget>

namespace DesktopLook {

namespace {

class DesktopStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons && !QIcon::hasThemeIcon(QStringLiteral("dialog-ok")))
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

struct DialogKind
{
    const char* widthKey;
    const char* heightKey;
    // In average character widths and line heights, so that the default follows the font and the scale.
    int columns;
    int lines;
};

constexpr DialogKind FileDialogKind{"FileDialogWidth", "FileDialogHeight", 135, 36};
constexpr DialogKind PreviewKind{"PreviewWidth", "PreviewHeight", 150, 54};

const DialogKind* kindOf(const QObject* object)
{
    if (qobject_cast<const QFileDialog*>(object))
        return &FileDialogKind;
    if (qobject_cast<const QPrintPreviewDialog*>(object))
        return &PreviewKind;
    return nullptr;
}

const QString Section = QStringLiteral("Settings");

} // namespace

void applyStyle(QStyle* base)
{
    // Made over the style the platform chose, so that it keeps the desktop's look and palette.
    QApplication::setStyle(new DesktopStyle(base));
}

QSize formArea(const QWidget& window)
{
    // The largest form's own minimum, in font units so that the area grows with the font and the scale.
    const QFontMetrics metrics(window.font());
    return QSize(metrics.averageCharWidth() * 150, metrics.lineSpacing() * 43);
}

DialogSizes::DialogSizes(Settings& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    qApp->installEventFilter(this);
}

QSize DialogSizes::sizeFor(const QWidget& dialog) const
{
    const DialogKind* kind = kindOf(&dialog);
    if (!kind)
        return dialog.size();
    const QFontMetrics metrics(dialog.font());
    QSize size(metrics.averageCharWidth() * kind->columns, metrics.lineSpacing() * kind->lines);
    const int width = m_settings.integer(Section, QLatin1String(kind->widthKey));
    const int height = m_settings.integer(Section, QLatin1String(kind->heightKey));
    if (width > 0 && height > 0)
        size = QSize(width, height);
    // A size kept from a larger screen still fits this one.
    if (const QScreen* screen = dialog.screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    return size.expandedTo(dialog.minimumSizeHint());
}

bool DialogSizes::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    const DialogKind* kind = kindOf(watched);
    if (!kind)
        return false;
    auto* dialog = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show) {
        // Before the dialog centres itself over its parent, which it does with its size at that moment.
        dialog->resize(sizeFor(*dialog));
        // The name takes the room the size, type and date leave, which are shown whole.
        if (auto* files = qobject_cast<QFileDialog*>(dialog) ? dialog->findChild<QTreeView*>() : nullptr) {
            QHeaderView* header = files->header();
            header->setStretchLastSection(false);
            header->setSectionResizeMode(QHeaderView::ResizeToContents);
            header->setSectionResizeMode(0, QHeaderView::Stretch);
        }
    } else if (!dialog->isMaximized() && !dialog->isFullScreen()) {
        m_settings.setInteger(Section, QLatin1String(kind->widthKey), dialog->width());
        m_settings.setInteger(Section, QLatin1String(kind->heightKey), dialog->height());
    }
    return false;
}

} // namespace DesktopLook
