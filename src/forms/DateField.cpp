#include "forms/DateField.h"

#include "db/Values.h"

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QWheelEvent>

CDateField::CDateField(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(10);
    setPlaceholderText(QStringLiteral("mm/dd/yyyy"));
    setToolTip(tr("Type the date as mm/dd/yyyy; the arrows, Up and Down step it by a day"));
    // The first trailing action sits rightmost: the field reads "date, later, earlier".
    QAction* earlier = addAction(arrowIcon(false), QLineEdit::TrailingPosition);
    earlier->setObjectName(QStringLiteral("dayEarlierAction"));
    earlier->setToolTip(tr("One day earlier"));
    QAction* later = addAction(arrowIcon(true), QLineEdit::TrailingPosition);
    later->setObjectName(QStringLiteral("dayLaterAction"));
    later->setToolTip(tr("One day later"));
    connect(later, &QAction::triggered, this, [this] { stepDays(1); });
    connect(earlier, &QAction::triggered, this, [this] { stepDays(-1); });
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
    // Room for "00/00/0000" and the two arrows.
    size.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 2 * size.height() + 8);
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
