#include "app/ui/DriverView.h"

#include "context/Enums.h"
#include "app/ui/VelApp.h"
#include "app/ui/artwork/Artwork.h"
#include "db/DbException.h"
#include "db/Messages.h"
#include "db/Prompter.h"
#include "fleet/VehicleList.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <iterator>

namespace {

struct Zone
{
    int top;
    int bottom;
    int zone;
    int form;
    const char* caption;
    const char* picture;
    const char* tip;
};

// The zones are fixed in the view's pixels, x from ZoneLeft to ZoneRight inclusive.
constexpr int ZoneLeft = 41;
constexpr int ZoneRight = 199;
const Zone zones[] = {
    {231, 249, 1, VehicleForm, "Vehicle Information", "vehicles", "Press here to enter Vehicle Information"},
    {266, 284, 2, ScheduleMonitorForm, "Scheduled Maintenance", "monitor",
     "Press here to record Scheduled Maintenance"},
    {286, 304, 3, MaintenanceForm, "Maintenance", "maintenance", "Press here to record Maintenance"},
    {326, 344, 5, GasForm, "Gas Entries", "gaslog", "Press here to record Gas Entries"},
};

const QRect PictureArea(20, 118, 560, 262);

const Zone* findZone(int zone)
{
    for (const Zone& z : zones)
        if (z.zone == zone)
            return &z;
    return nullptr;
}

QFont pixelFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

CDriverView::CDriverView(CVelApp& app, CVelDoc& doc, QWidget* parent)
    : CFormView(app, doc, PictureHomeForm, parent)
{
    setObjectName(QStringLiteral("pictureHome"));
    setMouseTracking(true);
    // The zones are drawn, not widgets: the view takes the focus and moves it between them itself.
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(600, 420);

    m_title = new QLabel(QStringLiteral("Driver's Home"), this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setFont(pixelFont(22, true));
    m_title->setGeometry(20, 14, 420, 36);

    m_homeButton = new QPushButton(QStringLiteral("Home"), this);
    m_homeButton->setObjectName(QStringLiteral("homeButton"));
    m_homeButton->setGeometry(470, 17, 110, 30);
    connect(m_homeButton, &QPushButton::clicked, this, [this] { showForm(HomeForm); });

    auto* vehiclesLabel = new QLabel(QStringLiteral("Vehicles"), this);
    vehiclesLabel->setGeometry(20, 64, 70, 26);
    m_vehicleList = new QComboBox(this);
    m_vehicleList->setObjectName(QStringLiteral("vehicleSelector"));
    m_vehicleList->setGeometry(92, 62, 488, 28);
    vehiclesLabel->setBuddy(m_vehicleList);
    connect(m_vehicleList, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            m_changed = true;
            update(PictureArea);
        }
    });

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("separatorLine"));
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separator->setGeometry(20, 102, 560, 4);

    m_tip = new QLabel(this);
    m_tip->setObjectName(QStringLiteral("tipLine"));
    m_tip->setGeometry(20, 390, 400, 22);
    m_tip->hide();

    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("positionLine"));
    m_position->setGeometry(430, 390, 150, 22);
    m_position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_position->setStyleSheet(QStringLiteral("color: gray;"));

    if (app.database().isOpen())
        fillVehicleList();
}

void CDriverView::enter(int, int)
{
    fillVehicleList();
}

bool CDriverView::canLeave(int)
{
    if (!m_changed)
        return true;
    switch (app().prompter().ask(Messages::ApplyChangesQuestion, Prompter::Icon::Question,
                                 Prompter::Buttons::YesNoCancel)) {
    case Prompter::Answer::Cancel:
        return false;
    case Prompter::Answer::Yes:
        if (m_vehicleList->currentIndex() >= 0)
            app().setCurrentVehicle(m_vehicleList->currentData().toInt());
        m_changed = false;
        return true;
    default:
        fillVehicleList();
        return true;
    }
}

void CDriverView::onDocumentUpdate(int hint)
{
    if (hint == GeneralHint || hint == VehiclesHint || hint == DataRestoredHint)
        fillVehicleList();
}

int CDriverView::zoneAt(const QPoint& point)
{
    if (point.x() < ZoneLeft || point.x() > ZoneRight)
        return 0;
    for (const Zone& z : zones)
        if (point.y() >= z.top && point.y() <= z.bottom)
            return z.zone;
    return 0;
}

int CDriverView::zoneForm(int zone)
{
    const Zone* z = findZone(zone);
    return z ? z->form : NoForm;
}

QString CDriverView::zoneTip(int zone)
{
    const Zone* z = findZone(zone);
    return z ? QString::fromLatin1(z->tip) : QString();
}

void CDriverView::fillVehicleList()
{
    std::vector<VehicleList::Item> items;
    try {
        items = VehicleList::items(app().database(), app().vehicleColumns());
    } catch (const CdbException& error) {
        app().prompter().message(error.description());
    }
    m_filling = true;
    m_vehicleList->clear();
    int selected = items.empty() ? -1 : 0;
    for (const VehicleList::Item& item : items) {
        m_vehicleList->addItem(item.text, item.vehicleId);
        if (item.vehicleId == app().currentVehicle())
            selected = m_vehicleList->count() - 1;
    }
    m_vehicleList->setCurrentIndex(selected);
    m_filling = false;
    if (selected >= 0)
        app().setCurrentVehicle(m_vehicleList->currentData().toInt());
    m_changed = false;
    update(PictureArea);
}

void CDriverView::showForm(int formNumber)
{
    if (canLeave(formNumber))
        Q_EMIT switchFormRequested(formNumber, 0, 0);
}

void CDriverView::setZone(int zone)
{
    if (zone == m_zone)
        return;
    m_zone = zone;
    if (zone == 0) {
        m_tip->hide();
        unsetCursor();
    } else {
        m_tip->setText(zoneTip(zone));
        m_tip->show();
        setCursor(Qt::PointingHandCursor);
    }
    update(PictureArea);
}

void CDriverView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_position->setText(QStringLiteral("%1, %2").arg(p.x()).arg(p.y()));
    setZone(zoneAt(p));
}

void CDriverView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int form = zoneForm(zoneAt(event->position().toPoint()));
    if (form != NoForm)
        showForm(form);
}

void CDriverView::leaveEvent(QEvent* event)
{
    CFormView::leaveEvent(event);
    setZone(0);
}

int CDriverView::neighbourZone(int zone, bool next)
{
    constexpr int count = int(std::size(zones));
    for (int i = 0; i < count; ++i)
        if (zones[i].zone == zone) {
            const int j = next ? i + 1 : i - 1;
            return j >= 0 && j < count ? zones[j].zone : 0;
        }
    return next ? zones[0].zone : zones[count - 1].zone;
}

void CDriverView::focusInEvent(QFocusEvent* event)
{
    CFormView::focusInEvent(event);
    if (m_zone == 0 || event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        setZone(neighbourZone(0, event->reason() != Qt::BacktabFocusReason));
    update(PictureArea);
}

void CDriverView::focusOutEvent(QFocusEvent* event)
{
    CFormView::focusOutEvent(event);
    setZone(0);
}

bool CDriverView::focusNextPrevChild(bool next)
{
    if (hasFocus() && m_zone != 0) {
        if (const int zone = neighbourZone(m_zone, next)) {
            setZone(zone);
            return true;
        }
    }
    return CFormView::focusNextPrevChild(next);
}

void CDriverView::keyPressEvent(QKeyEvent* event)
{
    const bool activate =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    const bool move = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (m_zone == 0 || (!activate && !move)) {
        CFormView::keyPressEvent(event);
        return;
    }
    if (activate)
        showForm(zoneForm(m_zone));
    else if (const int zone = neighbourZone(m_zone, event->key() == Qt::Key_Down))
        setZone(zone);
}

void CDriverView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QPainterPath card;
    card.addRoundedRect(QRectF(PictureArea), 14, 14);
    QLinearGradient night(PictureArea.topLeft(), PictureArea.bottomLeft());
    night.setColorAt(0.0, QColor(0x1b, 0x33, 0x57));
    night.setColorAt(1.0, QColor(0x0d, 0x18, 0x29));
    painter.fillPath(card, night);

    Artwork::paint(painter, QStringLiteral("velmora"), QRectF(38, 134, 38, 38));
    painter.setPen(Qt::white);
    painter.setFont(pixelFont(16, true));
    painter.drawText(QRectF(84, 134, 130, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Driver's Menu"));
    painter.setPen(QColor(0x9d, 0xb0, 0xcc));
    painter.setFont(pixelFont(12));
    painter.drawText(QRectF(84, 154, 130, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("What to record"));
    painter.setFont(pixelFont(11, true));
    painter.drawText(QRectF(ZoneLeft, 208, 160, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("FOR THIS VEHICLE"));

    for (const Zone& z : zones) {
        const QRectF plate(ZoneLeft, z.top, ZoneRight - ZoneLeft + 1, z.bottom - z.top + 1);
        const bool hot = z.zone == m_zone;
        QPainterPath shape;
        shape.addRoundedRect(plate, 5, 5);
        if (hot) {
            QLinearGradient amber(plate.topLeft(), plate.bottomLeft());
            amber.setColorAt(0.0, QColor(0xff, 0xd6, 0x72));
            amber.setColorAt(1.0, QColor(0xff, 0xa8, 0x26));
            painter.fillPath(shape, amber);
        } else {
            painter.fillPath(shape, QColor(255, 255, 255, 26));
            painter.setPen(QPen(QColor(255, 255, 255, 46), 1));
            painter.drawPath(shape);
        }
        if (hot && hasFocus()) {
            painter.setPen(QPen(QColor(255, 255, 255, 230), 1.5, Qt::DashLine));
            painter.drawRoundedRect(plate.adjusted(-3, -3, 3, 3), 7, 7);
        }
        Artwork::paint(painter, QString::fromLatin1(z.picture),
                       QRectF(plate.left() + 3, plate.top() + 2, 15, 15));
        painter.setPen(hot ? QColor(0x3a, 0x22, 0x00) : QColor(Qt::white));
        painter.setFont(pixelFont(12));
        painter.drawText(plate.adjusted(24, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(z.caption));
    }

    painter.setPen(QColor(0x9d, 0xb0, 0xcc));
    painter.setFont(pixelFont(11, true));
    painter.drawText(QRectF(236, 134, 330, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("CURRENT VEHICLE"));
    painter.setPen(Qt::white);
    painter.setFont(pixelFont(17, true));
    const QString vehicle =
        m_vehicleList->count() > 0 ? m_vehicleList->currentText() : QStringLiteral("No vehicles yet");
    painter.drawText(QRectF(236, 152, 330, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(vehicle, Qt::ElideRight, 330));

    QLinearGradient road(QPointF(226, 0), QPointF(572, 0));
    road.setColorAt(0.0, QColor(255, 255, 255, 0));
    road.setColorAt(0.5, QColor(255, 255, 255, 60));
    road.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(QRectF(226, 357, 346, 2), road);
    Artwork::paint(painter, QStringLiteral("car"), QRectF(240, 190, 320, 170));
}
