#include "forms/DateField.h"

#include "db/Values.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDate>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QStyle>
#include <QWheelEvent>

CDateField::CDateField(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(10);
    setPlaceholderText(QStringLiteral("mm/dd/yyyy"));
    setToolTip(tr("Type the date as mm/dd/yyyy; the arrows, Up and Down step it by a day"));
    // As wide as a date and its buttons wherever it stands; a wider field only moves the arrows away.
    setSizePolicy(QSizePolicy::Fixed, sizePolicy().verticalPolicy());
    // The first trailing action sits rightmost: the field reads "date, later, earlier, calendar".
    QAction* month = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    month->setObjectName(QStringLiteral("calendarAction"));
    month->setToolTip(tr("Pick the date from a calendar"));
    connect(month, &QAction::triggered, this, &CDateField::showCalendar);
    QAction* earlier = addAction(arrowIcon(false), QLineEdit::TrailingPosition);
    earlier->setObjectName(QStringLiteral("dayEarlierAction"));
    earlier->setToolTip(tr("One day earlier"));
    QAction* later = addAction(arrowIcon(true), QLineEdit::TrailingPosition);
    later->setObjectName(QStringLiteral("dayLaterAction"));
    later->setToolTip(tr("One day later"));
    connect(later, &QAction::triggered, this, [this] { stepDays(1); });
    connect(earlier, &QAction::triggered, this, [this] { stepDays(-1); });
}

void CDateField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    // The buttons are drawn in the text colour: a new palette (a dark desktop) redraws them.
    if (event->type() == QEvent::PaletteChange) {
        for (QAction* action : actions()) {
            if (action->objectName() == QLatin1String("calendarAction"))
                action->setIcon(calendarIcon());
            else if (action->objectName() == QLatin1String("dayEarlierAction"))
                action->setIcon(arrowIcon(false));
            else if (action->objectName() == QLatin1String("dayLaterAction"))
                action->setIcon(arrowIcon(true));
        }
    }
}

QIcon CDateField::arrowIcon(bool up) const
{
    // A plain triangle in the text colour, like a spin box's arrows, in place of the style's round icons.
    constexpr int Side = 16;
    QPixmap pixmap(Side * 2, Side * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Text));
    const QPolygonF triangle = up ? QPolygonF({QPointF(4, 11), QPointF(12, 11), QPointF(8, 5)})
                                  : QPolygonF({QPointF(4, 5), QPointF(12, 5), QPointF(8, 11)});
    painter.drawPolygon(triangle);
    painter.end();
    return QIcon(pixmap);
}

QIcon CDateField::calendarIcon() const
{
    // A small page of a calendar: a frame with a bar on top and a grid of days.
    constexpr int Side = 16;
    QPixmap pixmap(Side * 2, Side * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::Text);
    painter.setPen(QPen(ink, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(2.5, 3.5, 11, 10));
    painter.fillRect(QRectF(2.5, 3.5, 11, 3), ink);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            painter.fillRect(QRectF(4.5 + column * 3, 8 + row * 2.5, 1.6, 1.4), ink);
    painter.end();
    return QIcon(pixmap);
}

void CDateField::showCalendar()
{
    if (isReadOnly())
        return;
    if (m_calendar)
        m_calendar->close();
    auto* calendar = new QCalendarWidget(this);
    m_calendar = calendar;
    calendar->setObjectName(QStringLiteral("datePopup"));
    // A popup window: a click elsewhere or Escape closes it, and the field keeps the date typed.
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->setGridVisible(true);
    const QString shown = Values::normaliseDate(text());
    QDate date = QDate::fromString(shown, QStringLiteral("MM/dd/yyyy"));
    if (!date.isValid())
        date = QDate::fromString(Values::todayShown(), QStringLiteral("MM/dd/yyyy"));
    calendar->setSelectedDate(date);
    connect(calendar, &QCalendarWidget::clicked, this, &CDateField::pick);
    connect(calendar, &QCalendarWidget::activated, this, &CDateField::pick);
    calendar->adjustSize();
    calendar->move(mapToGlobal(QPoint(width() - calendar->width(), height())));
    calendar->show();
    calendar->setFocus(Qt::PopupFocusReason);
}

void CDateField::pick(const QDate& date)
{
    if (m_calendar)
        m_calendar->close();
    // Through the undo stack and textEdited, as a typed change would be.
    selectAll();
    insert(date.toString(QStringLiteral("MM/dd/yyyy")));
    setFocus(Qt::PopupFocusReason);
}

void CDateField::stepDays(int days)
{
    if (isReadOnly())
        return;
    const QString date = Values::normaliseDate(text());
    const QString stepped =
        Values::addDays(date.isEmpty() ? Values::todayShown() : date, date.isEmpty() ? 0 : days);
    if (stepped.isEmpty())
        return;
    // Through the undo stack and textEdited, as a typed change would be.
    selectAll();
    insert(stepped);
}

QSize CDateField::sizeHint() const
{
    QSize size = QLineEdit::sizeHint();
    // Room for the date or the placeholder, whichever is wider, and for the buttons beside it (an icon
    // and its margins each).
    const QFontMetrics metrics = fontMetrics();
    const int text = qMax(metrics.horizontalAdvance(placeholderText()),
                          metrics.horizontalAdvance(QStringLiteral("00/00/0000")));
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const int buttons = int(actions().size()) * (icon + 6 + icon / 4);
    size.setWidth(text + buttons + 2 * 8 + 4);
    return size;
}

void CDateField::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            stepDays(event->key() == Qt::Key_Up ? 1 : -1);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CDateField::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus() || isReadOnly()) {
        QLineEdit::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        stepDays(steps);
    event->accept();
}
