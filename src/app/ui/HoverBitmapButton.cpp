#include "app/ui/HoverBitmapButton.h"

#include "app/ui/artwork/Artwork.h"

#include <QMouseEvent>
#include <QPainter>

CHoverBitmapButton::CHoverBitmapButton(QWidget* parent) : CHoverBitmapButton(QString(), 0, parent) {}

CHoverBitmapButton::CHoverBitmapButton(const QString& caption, int commandId, QWidget* parent)
    : QPushButton(caption, parent), m_normal(QStringLiteral("button-normal")),
      m_hover(QStringLiteral("button-hover")), m_pressed(QStringLiteral("button-pressed")),
      m_commandId(commandId)
{
    setAttribute(Qt::WA_Hover);
    for (int i = Regular; i <= BoldUnderlined; ++i) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(14);
        font.setBold(i == Bold || i == BoldUnderlined);
        font.setUnderline(i == Underlined || i == BoldUnderlined);
        m_fonts[i] = font;
    }
}

void CHoverBitmapButton::setBitmaps(const QString& normal, const QString& hover, const QString& pressed)
{
    m_normal = normal;
    m_hover = hover;
    m_pressed = pressed;
    update();
}

void CHoverBitmapButton::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

CHoverBitmapButton::Look CHoverBitmapButton::look() const
{
    if (!m_hovering)
        return Look::Normal;
    return isDown() ? Look::Pressed : Look::Hover;
}

QFont CHoverBitmapButton::captionFont() const
{
    if (m_selected)
        return m_fonts[m_hovering ? BoldUnderlined : Bold];
    return m_fonts[m_hovering ? Underlined : Regular];
}

QSize CHoverBitmapButton::sizeHint() const
{
    const QFontMetrics metrics(m_fonts[BoldUnderlined]);
    return QSize(qMax(96, metrics.horizontalAdvance(text()) + 28), qMax(30, metrics.height() + 12));
}

void CHoverBitmapButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const Look shown = look();
    const QString& picture = shown == Look::Pressed ? m_pressed : shown == Look::Hover ? m_hover : m_normal;
    Artwork::paint(painter, picture, QRectF(rect()));
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0x2f, 0x6f, 0xd6), 1, Qt::DotLine));
        painter.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 4, 4);
    }
    painter.setFont(captionFont());
    painter.setPen(isEnabled() ? QColor(0x1c, 0x2b, 0x45) : QColor(0x8a, 0x94, 0xa3));
    const QPoint shift = shown == Look::Pressed ? QPoint(1, 1) : QPoint();
    painter.drawText(rect().translated(shift), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void CHoverBitmapButton::enterEvent(QEnterEvent* event)
{
    m_hovering = true;
    update();
    QPushButton::enterEvent(event);
}

void CHoverBitmapButton::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QPushButton::leaveEvent(event);
}

void CHoverBitmapButton::focusOutEvent(QFocusEvent* event)
{
    m_hovering = false;
    update();
    QPushButton::focusOutEvent(event);
}

void CHoverBitmapButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
    update();
}

void CHoverBitmapButton::mouseReleaseEvent(QMouseEvent* event)
{
    // A release dragged off the button cancels, as with any push button.
    if (event->button() == Qt::LeftButton && isDown() && hitButton(event->position().toPoint()) &&
        m_commandId != 0)
        Q_EMIT commandRequested(m_commandId);
    QPushButton::mouseReleaseEvent(event);
    update();
}
