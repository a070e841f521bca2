#include "app/ui/VelView.h"

#include "context/Enums.h"
#include "app/QuickUpdate.h"
#include "app/ScheduleStatus.h"
#include "app/ui/VelApp.h"
#include "app/ui/artwork/Artwork.h"
#include "db/Clock.h"
#include "db/DbException.h"
#include "db/Prompter.h"
#include "db/Values.h"
#include "fleet/VehicleList.h"
#include "insight/MaintenanceForecast.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The picture is drawn in design units on this canvas and scaled to fit the view.
constexpr qreal DesignWidth = 1000.0;
constexpr qreal DesignHeight = 580.0;
constexpr qreal TileLeft = 40.0;
constexpr qreal TileTop = 112.0;
constexpr qreal TileWidth = 224.0;
constexpr qreal TileHeight = 138.0;
constexpr qreal TileGapX = 20.0;
constexpr qreal TileGapY = 16.0;
constexpr qreal GlowMargin = 8.0;
const QRectF StatusPanel(786.0, 112.0, 174.0, 300.0);
const QRectF LegendArea(786.0, 426.0, 174.0, 132.0);

constexpr int AnimationInterval = 50;
constexpr int AnimationFirstPhase = -3;
constexpr int AnimationLastPhase = 4;

const QColor Accent(0xff, 0xb9, 0x38);
const QColor SoftText(0x9d, 0xb0, 0xcc);

struct ElementArt
{
    const char* label;
    const char* subtitle;
    const char* picture;
    int form;
};

const ElementArt elementArt[CVelView::ElementCount] = {
    {"Owners", "People and companies", "owners", OwnerForm},
    {"Vehicles", "Your fleet", "vehicles", VehicleForm},
    {"Schedule", "Planned services", "schedule", ScheduleForm},
    {"Loans", "Financing", "loans", LoanForm},
    {"Insurance", "Policies and coverage", "insurance", InsuranceForm},
    {"Schedule Monitor", "What is coming due", "monitor", ScheduleMonitorForm},
    {"Maintenance", "Service history", "maintenance", MaintenanceForm},
    {"Gas Log", "Fuel and economy", "gaslog", GasForm},
    {"Job Orders", "Work for the shop", "joborders", JobOrderForm},
};

QRectF tileRect(int element)
{
    const int index = element - 1;
    return QRectF(TileLeft + (index % 3) * (TileWidth + TileGapX),
                  TileTop + (index / 3) * (TileHeight + TileGapY), TileWidth, TileHeight);
}

QFont pixelFont(qreal pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(qMax(1, qRound(pixels)));
    font.setBold(bold);
    return font;
}

QPainterPath rounded(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QString lampPicture(int status)
{
    switch (status) {
    case ScheduleStatus::DueNow:
        return QStringLiteral("lamp-red");
    case ScheduleStatus::DueSoon:
        return QStringLiteral("lamp-amber");
    default:
        return QStringLiteral("lamp-green");
    }
}

QColor lampColour(int status)
{
    switch (status) {
    case ScheduleStatus::DueNow:
        return QColor(0xff, 0x5a, 0x50);
    case ScheduleStatus::DueSoon:
        return QColor(0xff, 0xc2, 0x3a);
    default:
        return QColor(0x3d, 0xe3, 0x7c);
    }
}

// Read when the data may have changed (the update hints), not on every repaint of the light.
QString earliestDue(CAppContext& app)
{
    if (!app.database().isOpen())
        return {};
    try {
        return ScheduleStatus::earliestDueDate(app.database());
    } catch (const CdbException&) {
        // A light that cannot be read shows nothing due rather than interrupting the window.
        return {};
    }
}

// What the services falling due in the next 30 days are expected to cost, read with the light.
QString forecastLine(CAppContext& app)
{
    if (!app.database().isOpen())
        return {};
    try {
        const QDateTime now = Clock::now();
        const MaintenanceForecast::Forecast forecast =
            MaintenanceForecast::forecast(app.database(), 0, now.date().addDays(30), {}, now);
        QString text = QStringLiteral("Next 30 days: ") +
                       Values::withThousands(QString::asprintf("$%.2f", forecast.knownTotal));
        if (forecast.unknownCount > 0)
            text += QStringLiteral(" + %1 unpriced").arg(forecast.unknownCount);
        return text;
    } catch (const CdbException&) {
        return {};
    }
}

} // namespace

CVelView::CVelView(CVelApp& app, CVelDoc& doc, QWidget* parent) : CFormView(app, doc, HomeForm, parent)
{
    setObjectName(QStringLiteral("homeScreen"));
    setMouseTracking(true);
    // The tiles are drawn, not widgets: the view takes the focus and moves it between them itself.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The width follows the quick update panel, which must show its texts whole.
    setMinimumHeight(440);
    buildQuickUpdatePanel();
    if (app.database().isOpen())
        fillVehicleList(true);
    m_earliestDue = earliestDue(app);
    m_forecastLine = forecastLine(app);
}

CVelView::~CVelView() = default;

void CVelView::buildQuickUpdatePanel()
{
    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("quickUpdateFrame"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel->setStyleSheet(
        QStringLiteral(
            "QFrame#quickUpdateFrame { background-color: rgba(255, 255, 255, 20); border: 1px solid "
            "rgba(255, 255, "
            "255, 48); border-radius: 12px; }"
            "QLabel { color: #dfe7f2; background: transparent; }"
            "QLabel#quickUpdateCaption { color: #ffc857; font-weight: bold; }"
            "QComboBox, QLineEdit { background: #f4f7fb; color: #13233d; border: 1px solid #8fa3bf; "
            "border-radius: 6px;"
            " padding: 4px 8px; min-height: 20px; selection-background-color: #2f6fd6; selection-color: "
            "white; }"
            "QComboBox:focus, QLineEdit:focus { border: 2px solid #ffb938; padding: 3px 7px; }"
            "QComboBox:disabled, QLineEdit:disabled { background: rgba(255, 255, 255, 40); color: #8a94a3;"
            " border-color: rgba(255, 255, 255, 50); }"
            "QComboBox::drop-down { border: none; width: 26px; }"
            "QComboBox::down-arrow { image: url(%1); width: 12px; height: 12px; }"
            "QComboBox QAbstractItemView { background: white; color: #13233d; selection-background-color: "
            "#2f6fd6; }"
            "QPushButton#updateNextButton { color: #2b1a00; font-weight: bold; border: 1px solid #c98a12;"
            " border-radius: 6px; padding: 6px 16px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
            " stop:0 #ffd672, stop:1 #ffa826); }"
            "QPushButton#updateNextButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
            " stop:0 #ffe29a, stop:1 #ffb94a); }"
            "QPushButton#updateNextButton:pressed { background: #f59e1b; }"
            "QPushButton#updateNextButton:focus { border: 2px solid #fff1c9; }"
            "QPushButton#updateNextButton:disabled { color: #8a94a3; background: rgba(255, 255, 255, 30);"
            " border-color: rgba(255, 255, 255, 50); }")
            .arg(Artwork::path(QStringLiteral("chevron-down"))));

    auto* caption = new QLabel(QStringLiteral("Quick Vehicle Update"), m_panel);
    caption->setObjectName(QStringLiteral("quickUpdateCaption"));
    QFont captionFont = caption->font();
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.15);
    caption->setFont(captionFont);

    auto* vehicleLabel = new QLabel(QStringLiteral("Vehicle"), m_panel);
    m_vehicleList = new QComboBox(m_panel);
    m_vehicleList->setObjectName(QStringLiteral("vehicleSelector"));
    m_vehicleList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_vehicleList->setMinimumContentsLength(16);
    vehicleLabel->setBuddy(m_vehicleList);

    m_readingLabel = new QLabel(Values::readingLabel(0, 0), m_panel);
    m_readingLabel->setObjectName(QStringLiteral("readingLabel"));
    m_readingEdit = new QLineEdit(m_panel);
    m_readingEdit->setObjectName(QStringLiteral("readingEdit"));
    m_readingEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_readingEdit->setFixedWidth(
        m_readingEdit->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000000")));
    m_readingEdit->installEventFilter(this);
    m_readingLabel->setBuddy(m_readingEdit);

    m_updateButton = new QPushButton(QStringLiteral("Update / Next Vehicle"), m_panel);
    m_updateButton->setObjectName(QStringLiteral("updateNextButton"));

    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(vehicleLabel);
    row->addWidget(m_vehicleList, 1);
    row->addSpacing(12);
    row->addWidget(m_readingLabel);
    row->addWidget(m_readingEdit);
    row->addSpacing(4);
    row->addWidget(m_updateButton);

    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(18, 10, 18, 14);
    panelLayout->setSpacing(8);
    panelLayout->addWidget(caption);
    panelLayout->addLayout(row);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 0, 24, 18);
    layout->addStretch(1);
    layout->addWidget(m_panel);

    connect(m_vehicleList, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            vehicleChosen();
    });
    connect(m_readingEdit, &QLineEdit::textEdited, this, [this] { m_changed = true; });
    connect(m_readingEdit, &QLineEdit::returnPressed, this, &CVelView::updateAndNext);
    connect(m_updateButton, &QPushButton::clicked, this, &CVelView::updateAndNext);
}

void CVelView::enter(int, int)
{
    m_attention = ownersEmpty();
    if (m_attention) {
        if (!m_animation.isActive())
            m_animation.start(AnimationInterval, this);
    } else {
        m_animation.stop();
    }
    update(attentionRect());
}

void CVelView::onDocumentUpdate(int hint)
{
    m_earliestDue = earliestDue(app());
    m_forecastLine = forecastLine(app());
    update(toView(StatusPanel.united(LegendArea)).toAlignedRect());
    switch (hint) {
    case GeneralHint:
    case VehiclesHint:
    case DataRestoredHint:
        // Restored data is shown like any other: the quick update is ready on a vehicle of the new file.
        fillVehicleList(true);
        break;
    case DaysAheadHint:
        update();
        break;
    default:
        break;
    }
}

QRect CVelView::elementRect(int element) const
{
    return element >= 1 && element <= ElementCount ? m_elements[element] : QRect();
}

QString CVelView::elementLabel(int element)
{
    return element >= 1 && element <= ElementCount ? QString::fromLatin1(elementArt[element - 1].label)
                                                   : QString();
}

int CVelView::elementForm(int element)
{
    return element >= 1 && element <= ElementCount ? elementArt[element - 1].form : NoForm;
}

QStringList CVelView::statusWords(int status)
{
    switch (status) {
    case ScheduleStatus::DueNow:
        return {QStringLiteral("Schedule"), QStringLiteral("Alarm"), QStringLiteral("Service due now")};
    case ScheduleStatus::DueSoon:
        return {QStringLiteral("Schedule"), QStringLiteral("Due soon"), QStringLiteral("Service due soon")};
    default:
        return {QStringLiteral("Schedule"), QStringLiteral("All clear"), QStringLiteral("Nothing due")};
    }
}

QRect CVelView::statusLightRect() const
{
    return toView(StatusPanel).toAlignedRect();
}

bool CVelView::graphicalFrontEnd()
{
    constexpr int Checked = 8;
    return app().settings().integer(QStringLiteral("Settings"), QStringLiteral("Graphical")) == Checked;
}

bool CVelView::ownersEmpty()
{
    Database& db = app().database();
    if (!db.isOpen())
        return false;
    try {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM Owners LIMIT 1)")).toInt() == 0;
    } catch (const CdbException&) {
        return false;
    }
}

QRectF CVelView::toView(const QRectF& design) const
{
    return QRectF(m_origin + design.topLeft() * m_scale, design.size() * m_scale);
}

QRect CVelView::highlightRect(int element) const
{
    const qreal margin = GlowMargin * m_scale + 2;
    return toView(tileRect(element)).adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

QRect CVelView::attentionRect() const
{
    return toView(tileRect(OwnersElement).adjusted(-GlowMargin, -34, GlowMargin, GlowMargin))
        .toAlignedRect()
        .adjusted(-2, -2, 2, 2);
}

void CVelView::layoutPicture()
{
    const int panelTop = m_panel->geometry().top() > 0 ? m_panel->geometry().top() : height();
    m_pictureArea = QRect(0, 0, width(), qMax(1, panelTop - 6));
    m_scale = qMin(m_pictureArea.width() / DesignWidth, m_pictureArea.height() / DesignHeight);
    m_origin = QPointF((m_pictureArea.width() - DesignWidth * m_scale) / 2,
                       (m_pictureArea.height() - DesignHeight * m_scale) / 2);
    for (int element = 1; element <= ElementCount; ++element) {
        const QRectF r = toView(tileRect(element));
        m_elements[element] = QRect(qRound(r.left()), qRound(r.top()), qRound(r.width()), qRound(r.height()));
    }
    if (m_hot != NoElement)
        m_highlight = highlightRect(m_hot);
}

void CVelView::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    // The panel's place is known only after the layout has run; it is then lined up with the tiles.
    QLayout* panelLayout = layout();
    panelLayout->activate();
    layoutPicture();
    // Lined up with the tiles as far as the panel's own width allows.
    const int room = (width() - m_panel->minimumSizeHint().width()) / 2;
    const int side = qMax(24, qMin(room, qRound(m_origin.x() + TileLeft * m_scale)));
    if (panelLayout->contentsMargins().left() != side) {
        panelLayout->setContentsMargins(side, 0, side, 18);
        panelLayout->activate();
    }
}

void CVelView::setFormAvailable(std::function<bool(int)> available)
{
    m_formAvailable = std::move(available);
    update();
}

bool CVelView::elementAvailable(int element) const
{
    return !m_formAvailable || m_formAvailable(elementForm(element));
}

void CVelView::setHotElement(int element)
{
    if (element == m_hot)
        return;
    if (m_hot != NoElement)
        update(m_highlight);
    m_hot = element;
    if (element != NoElement) {
        m_highlight = highlightRect(element);
        setCursor(Qt::PointingHandCursor);
        update(m_highlight);
    } else {
        m_highlight = QRect();
        setCursor(Qt::ArrowCursor);
    }
}

int CVelView::elementAt(const QPoint& p) const
{
    for (int element = 1; element <= ElementCount; ++element) {
        if (!elementAvailable(element))
            continue;
        const QRect& r = m_elements[element];
        if (r.left() < p.x() && p.x() < r.left() + r.width() && r.top() < p.y() &&
            p.y() < r.top() + r.height())
            return element;
    }
    return NoElement;
}

void CVelView::mouseMoveEvent(QMouseEvent* event)
{
    if (!graphicalFrontEnd()) {
        if (m_hot != NoElement)
            setHotElement(NoElement);
        return;
    }
    setHotElement(elementAt(event->position().toPoint()));
}

void CVelView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !graphicalFrontEnd())
        return;
    // The pointer may have rested on the tile since the view was shown, without a move to light it.
    setHotElement(elementAt(event->position().toPoint()));
    if (m_hot == NoElement)
        return;
    const int element = m_hot;
    if (element == OwnersElement)
        m_animation.stop();
    Q_EMIT switchFormRequested(elementForm(element), 0, 0);
}

void CVelView::leaveEvent(QEvent* event)
{
    CFormView::leaveEvent(event);
    setHotElement(NoElement);
}

int CVelView::availableElementFrom(int from, int step) const
{
    for (int element = from; element >= 1 && element <= ElementCount; element += step)
        if (elementAvailable(element))
            return element;
    return NoElement;
}

void CVelView::setFocusedElement(int element)
{
    if (m_focused != NoElement)
        update(highlightRect(m_focused));
    m_focused = element;
    if (m_focused != NoElement)
        update(highlightRect(m_focused));
}

void CVelView::focusInEvent(QFocusEvent* event)
{
    CFormView::focusInEvent(event);
    if (event->reason() == Qt::BacktabFocusReason)
        setFocusedElement(availableElementFrom(ElementCount, -1));
    else if (event->reason() == Qt::TabFocusReason || !elementAvailable(m_focused) || m_focused == NoElement)
        setFocusedElement(availableElementFrom(1, 1));
    else
        update(highlightRect(m_focused));
}

void CVelView::focusOutEvent(QFocusEvent* event)
{
    CFormView::focusOutEvent(event);
    if (m_focused != NoElement)
        update(highlightRect(m_focused));
}

bool CVelView::focusNextPrevChild(bool next)
{
    // Tab walks the tiles in the pointer's order before it moves on to the quick update panel.
    if (hasFocus() && graphicalFrontEnd() && m_focused != NoElement) {
        const int element = availableElementFrom(m_focused + (next ? 1 : -1), next ? 1 : -1);
        if (element != NoElement) {
            setFocusedElement(element);
            return true;
        }
    }
    return CFormView::focusNextPrevChild(next);
}

void CVelView::keyPressEvent(QKeyEvent* event)
{
    if (!graphicalFrontEnd() || m_focused == NoElement) {
        CFormView::keyPressEvent(event);
        return;
    }
    const int column = (m_focused - 1) % 3;
    int target = NoElement;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_focused == OwnersElement)
            m_animation.stop();
        Q_EMIT switchFormRequested(elementForm(m_focused), 0, 0);
        return;
    case Qt::Key_Left:
        target = column > 0 ? availableElementFrom(m_focused - 1, -1) : NoElement;
        break;
    case Qt::Key_Right:
        target = column < 2 ? availableElementFrom(m_focused + 1, 1) : NoElement;
        break;
    case Qt::Key_Up:
        target = availableElementFrom(m_focused - 3, -3);
        break;
    case Qt::Key_Down:
        target = availableElementFrom(m_focused + 3, 3);
        break;
    default:
        CFormView::keyPressEvent(event);
        return;
    }
    if (target != NoElement)
        setFocusedElement(target);
}

void CVelView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_animation.timerId()) {
        CFormView::timerEvent(event);
        return;
    }
    m_phase = m_phase >= AnimationLastPhase ? AnimationFirstPhase : m_phase + 1;
    update(attentionRect());
}

bool CVelView::eventFilter(QObject* watched, QEvent* event)
{
    // A click into the box would otherwise undo the selection made on focus.
    if (watched == m_readingEdit && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_readingEdit, &QLineEdit::selectAll);
    return CFormView::eventFilter(watched, event);
}

void CVelView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRegion(event->region());
    paintBackdrop(painter);

    painter.save();
    painter.translate(m_origin);
    painter.scale(m_scale, m_scale);
    paintHeader(painter);
    if (!graphicalFrontEnd()) {
        paintTurnedOff(painter);
        painter.restore();
        return;
    }
    for (int element = 1; element <= ElementCount; ++element)
        if (event->region().intersects(highlightRect(element)))
            paintElement(painter, element, element == m_hot);
    if (m_attention && event->region().intersects(attentionRect()))
        paintAttention(painter);
    const QRect lightArea = toView(StatusPanel.united(LegendArea)).toAlignedRect();
    if (event->region().intersects(lightArea)) {
        m_status = ScheduleStatus::fromDueDate(m_earliestDue, app().settings().daysAhead(), Clock::now());
        paintStatusLight(painter);
    }
    painter.restore();
}

void CVelView::paintBackdrop(QPainter& painter)
{
    const QRect area = rect();
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(0x0e, 0x19, 0x2c));
    sky.setColorAt(1.0, QColor(0x17, 0x2a, 0x46));
    painter.fillRect(area, sky);

    QRadialGradient glow(QPointF(area.width() * 0.15, 0), qMax(area.width(), area.height()) * 0.7);
    glow.setColorAt(0.0, QColor(70, 130, 255, 46));
    glow.setColorAt(1.0, QColor(70, 130, 255, 0));
    painter.fillRect(area, glow);

    // A faint blueprint grid, the workshop's drawing board.
    const int step = qMax(16, qRound(32 * m_scale));
    painter.setPen(QPen(QColor(255, 255, 255, 9), 1));
    for (int x = int(std::fmod(m_origin.x(), step)); x < area.width(); x += step)
        painter.drawLine(x, 0, x, area.height());
    for (int y = int(std::fmod(m_origin.y(), step)); y < area.height(); y += step)
        painter.drawLine(0, y, area.width(), y);
}

void CVelView::paintHeader(QPainter& painter)
{
    Artwork::paint(painter, QStringLiteral("velmora"), QRectF(40, 22, 58, 58));
    painter.setPen(Qt::white);
    painter.setFont(pixelFont(32, true));
    painter.drawText(QRectF(112, 20, 400, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    painter.setPen(SoftText);
    painter.setFont(pixelFont(14.5));
    painter.drawText(QRectF(113, 58, 520, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Maintenance records for your vehicles and fleet"));
    painter.drawText(QRectF(560, 40, 400, 24), Qt::AlignRight | Qt::AlignVCenter,
                     QLocale(QLocale::English, QLocale::UnitedStates)
                         .toString(Clock::today(), QStringLiteral("dddd, MMMM d, yyyy")));

    QLinearGradient rule(QPointF(40, 0), QPointF(960, 0));
    rule.setColorAt(0.0, QColor(Accent.red(), Accent.green(), Accent.blue(), 200));
    rule.setColorAt(0.45, QColor(255, 255, 255, 40));
    rule.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(QRectF(40, 95, 920, 1.5), rule);
}

void CVelView::paintElement(QPainter& painter, int element, bool highlighted)
{
    const ElementArt& art = elementArt[element - 1];
    const QRectF tile = tileRect(element);
    const QPainterPath card = rounded(tile, 14);
    painter.save();
    if (!elementAvailable(element))
        painter.setOpacity(0.32);

    if (highlighted) {
        for (int ring = 1; ring <= int(GlowMargin) - 1; ++ring) {
            painter.setPen(QPen(QColor(Accent.red(), Accent.green(), Accent.blue(), 70 - ring * 9), 1.4));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(rounded(tile.adjusted(-ring, -ring, ring, ring), 14 + ring));
        }
    } else {
        painter.fillPath(rounded(tile.translated(0, 4), 14), QColor(0, 0, 0, 55));
    }

    QLinearGradient face(tile.topLeft(), tile.bottomLeft());
    face.setColorAt(0.0, QColor(255, 255, 255, highlighted ? 50 : 28));
    face.setColorAt(1.0, QColor(255, 255, 255, highlighted ? 26 : 12));
    painter.fillPath(card, face);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(highlighted ? QPen(Accent, 2.0) : QPen(QColor(255, 255, 255, 42), 1.0));
    painter.drawPath(card);

    if (hasFocus() && element == m_focused) {
        // The keyboard's place, visible whether or not the pointer lights the same tile.
        painter.setPen(QPen(QColor(255, 255, 255, 230), 2.0, Qt::DashLine));
        painter.drawPath(rounded(tile.adjusted(-5, -5, 5, 5), 18));
    }

    const qreal iconSide = highlighted ? 78 : 72;
    const QRectF icon(tile.center().x() - iconSide / 2, tile.top() + (highlighted ? 9 : 13), iconSide,
                      iconSide);
    Artwork::paint(painter, QString::fromLatin1(art.picture), icon);

    painter.setPen(highlighted ? QColor(0xff, 0xd9, 0x8a) : QColor(Qt::white));
    painter.setFont(pixelFont(17, true));
    painter.drawText(QRectF(tile.left() + 6, tile.top() + 90, tile.width() - 12, 24), Qt::AlignCenter,
                     QString::fromLatin1(art.label));
    painter.setPen(highlighted ? QColor(0xe6, 0xec, 0xf5) : SoftText);
    painter.setFont(pixelFont(12.5));
    painter.drawText(QRectF(tile.left() + 6, tile.top() + 113, tile.width() - 12, 18), Qt::AlignCenter,
                     QString::fromLatin1(art.subtitle));
    painter.restore();
}

void CVelView::paintAttention(QPainter& painter)
{
    const QRectF tile = tileRect(OwnersElement);
    const int closeness = AnimationLastPhase - std::abs(m_phase); // 0..4, brightest at phase 4
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(Accent.red(), Accent.green(), Accent.blue(), 110 + closeness * 30), 2.5));
    painter.drawPath(rounded(tile.adjusted(-4, -4, 4, 4), 17));

    const qreal bob = std::abs(m_phase) * 1.6;
    const QRectF badge(tile.right() - 118, tile.top() - 28 - bob, 106, 26);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0.0, QColor(0xff, 0xd2, 0x6a));
    fill.setColorAt(1.0, QColor(0xff, 0xa1, 0x1c));
    QPainterPath pointer;
    pointer.moveTo(badge.center().x() - 7, badge.bottom() - 1);
    pointer.lineTo(badge.center().x(), badge.bottom() + 7);
    pointer.lineTo(badge.center().x() + 7, badge.bottom() - 1);
    pointer.closeSubpath();
    QPainterPath shape = rounded(badge, 13).united(pointer);
    painter.fillPath(shape.translated(0, 2), QColor(0, 0, 0, 70));
    painter.fillPath(shape, fill);
    painter.setPen(QColor(0x3a, 0x22, 0x00));
    painter.setFont(pixelFont(13, true));
    painter.drawText(badge, Qt::AlignCenter, QStringLiteral("Start here"));
}

void CVelView::paintStatusLight(QPainter& painter)
{
    const QPainterPath panel = rounded(StatusPanel, 16);
    painter.fillPath(panel.translated(0, 4), QColor(0, 0, 0, 70));
    QLinearGradient face(StatusPanel.topLeft(), StatusPanel.bottomLeft());
    face.setColorAt(0.0, QColor(0x0b, 0x0c, 0x0f));
    face.setColorAt(1.0, Qt::black);
    painter.fillPath(panel, face);
    painter.setPen(QPen(QColor(0x3a, 0x42, 0x4f), 1.5));
    painter.drawPath(panel);

    // The words take the light's colour, so that a green light never sits over a red "Alarm".
    const QStringList words = statusWords(m_status);
    painter.setPen(lampColour(m_status));
    painter.setFont(pixelFont(21, true));
    painter.drawText(QRectF(StatusPanel.left(), StatusPanel.top() + 14, StatusPanel.width(), 30),
                     Qt::AlignCenter, words[0]);
    const qreal lampSide = 124;
    Artwork::paint(
        painter, lampPicture(m_status),
        QRectF(StatusPanel.center().x() - lampSide / 2, StatusPanel.top() + 48, lampSide, lampSide));
    painter.drawText(QRectF(StatusPanel.left(), StatusPanel.top() + 176, StatusPanel.width(), 30),
                     Qt::AlignCenter, words[1]);

    painter.fillRect(QRectF(StatusPanel.left() + 20, StatusPanel.top() + 222, StatusPanel.width() - 40, 1),
                     QColor(255, 255, 255, 30));
    painter.setPen(QColor(0xdf, 0xe7, 0xf2));
    painter.setFont(pixelFont(15, true));
    painter.drawText(QRectF(StatusPanel.left(), StatusPanel.top() + 234, StatusPanel.width(), 22),
                     Qt::AlignCenter, words[2]);
    const int days = app().settings().daysAhead();
    painter.setPen(QColor(0x8a, 0x94, 0xa3));
    painter.setFont(pixelFont(12));
    painter.drawText(
        QRectF(StatusPanel.left(), StatusPanel.top() + 258, StatusPanel.width(), 20), Qt::AlignCenter,
        days == 1 ? QStringLiteral("Warns 1 day ahead") : QStringLiteral("Warns %1 days ahead").arg(days));

    // What each colour means, the shown one brightest.
    painter.setPen(SoftText);
    painter.setFont(pixelFont(11.5, true));
    painter.drawText(QRectF(LegendArea.left() + 8, LegendArea.top(), LegendArea.width(), 18),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("THE LIGHT SHOWS"));
    const QString legend[] = {QStringLiteral("Nothing due"), QStringLiteral("Due within %1 days").arg(days),
                              QStringLiteral("Due today or overdue")};
    for (int status = 1; status <= 3; ++status) {
        const qreal y = LegendArea.top() + 26 + (status - 1) * 26;
        const bool shown = status == m_status;
        QColor dot = lampColour(status);
        dot.setAlpha(shown ? 255 : 110);
        painter.setPen(Qt::NoPen);
        painter.setBrush(dot);
        painter.drawEllipse(QPointF(LegendArea.left() + 15, y + 9), 5.5, 5.5);
        painter.setPen(shown ? QColor(Qt::white) : QColor(0x7f, 0x8d, 0xa3));
        painter.setFont(pixelFont(13, shown));
        painter.drawText(QRectF(LegendArea.left() + 28, y, LegendArea.width() - 28, 18),
                         Qt::AlignLeft | Qt::AlignVCenter, legend[status - 1]);
    }
    painter.setPen(SoftText);
    painter.setFont(pixelFont(12, true));
    // Two lines at most: the unpriced count wraps under the total rather than running past the panel.
    painter.drawText(QRectF(LegendArea.left() + 8, LegendArea.top() + 104, LegendArea.width() - 8, 34),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_forecastLine);
    painter.setBrush(Qt::NoBrush);
}

void CVelView::paintTurnedOff(QPainter& painter)
{
    const QRectF box(200, 230, 600, 120);
    painter.fillPath(rounded(box, 16), QColor(255, 255, 255, 16));
    painter.setPen(Qt::white);
    painter.setFont(pixelFont(18, true));
    painter.drawText(box.adjusted(20, 22, -20, -60), Qt::AlignCenter,
                     QStringLiteral("The picture home screen is turned off."));
    painter.setPen(SoftText);
    painter.setFont(pixelFont(14));
    painter.drawText(
        box.adjusted(20, 62, -20, -22), Qt::AlignCenter,
        QStringLiteral("Turn it back on with File \u203a Options \u203a Use Graphical Front End."));
}

void CVelView::fillVehicleList(bool selectCurrent)
{
    std::vector<VehicleList::Item> items;
    try {
        if (app().database().isOpen())
            items = VehicleList::items(app().database(), app().vehicleColumns());
    } catch (const CdbException& error) {
        showDatabaseError(error.description());
    }
    m_filling = true;
    m_vehicleList->clear();
    int selected = -1;
    for (const VehicleList::Item& item : items) {
        m_vehicleList->addItem(item.text, item.vehicleId);
        if (item.vehicleId == app().currentVehicle())
            selected = m_vehicleList->count() - 1;
    }
    if (selectCurrent && selected < 0 && !items.empty())
        selected = 0;
    m_vehicleList->setCurrentIndex(selectCurrent ? selected : -1);
    m_vehicleList->setPlaceholderText(items.empty() ? QStringLiteral("No vehicles yet")
                                                    : QStringLiteral("Choose a vehicle"));
    m_filling = false;
    if (selectCurrent && selected >= 0)
        app().setCurrentVehicle(m_vehicleList->currentData().toInt());
    loadSelectedVehicle();
}

void CVelView::loadSelectedVehicle()
{
    std::optional<QuickUpdate::Vehicle> vehicle;
    if (m_vehicleList->count() > 0 && m_vehicleList->currentIndex() >= 0) {
        try {
            vehicle = QuickUpdate::find(app().database(), m_vehicleList->currentData().toInt());
        } catch (const CdbException& error) {
            showDatabaseError(error.description());
        }
    }
    m_changed = false;
    // With nothing selected the list stays usable as long as it has vehicles to choose from.
    m_vehicleList->setEnabled(m_vehicleList->count() > 0);
    if (!vehicle) {
        m_shownVehicle = 0;
        m_readingEdit->clear();
        m_readingEdit->setEnabled(false);
        m_updateButton->setEnabled(false);
        return;
    }
    m_shownVehicle = vehicle->vehicleId;
    app().setCurrentVehicle(vehicle->vehicleId);
    m_readingLabel->setText(Values::readingLabel(vehicle->measurement, vehicle->hoursInd));
    m_readingEdit->setText(Values::withThousands(vehicle->reading));
    m_readingEdit->selectAll();
    m_readingEdit->setEnabled(true);
    m_updateButton->setEnabled(true);
}

void CVelView::vehicleChosen()
{
    if (m_changed && !saveTypedReading()) {
        selectIndexQuietly(m_vehicleList->findData(m_shownVehicle));
        return;
    }
    loadSelectedVehicle();
}

bool CVelView::saveTypedReading()
{
    if (m_shownVehicle == 0)
        return true;
    // The reading belongs to the vehicle whose reading is on screen, even if another form has since
    // made a different vehicle current.
    try {
        if (!QuickUpdate::confirmed(app().database(), app().prompter(), app().settings(), m_shownVehicle,
                                    m_readingEdit->text())) {
            m_readingEdit->setFocus();
            return false;
        }
    } catch (const CdbException& error) {
        showDatabaseError(error.description());
        return false;
    }
    const QuickUpdate::Outcome outcome =
        QuickUpdate::save(app().database(), m_shownVehicle, m_readingEdit->text());
    switch (outcome.kind) {
    case QuickUpdate::Outcome::Refused:
        m_readingEdit->setFocus();
        app().prompter().message(outcome.message, Prompter::Icon::Exclamation);
        return false;
    case QuickUpdate::Outcome::Failed:
        showDatabaseError(outcome.message);
        return false;
    case QuickUpdate::Outcome::Stored:
        app().setCurrentVehicle(m_shownVehicle);
        break;
    case QuickUpdate::Outcome::VehicleMissing:
        break;
    }
    m_changed = false;
    return true;
}

void CVelView::updateAndNext()
{
    const int count = m_vehicleList->count();
    if (count == 0 || !m_updateButton->isEnabled())
        return;
    if (count > 1)
        selectIndexQuietly((m_vehicleList->currentIndex() + 1) % count);
    vehicleChosen();
}

void CVelView::selectIndexQuietly(int index)
{
    m_filling = true;
    m_vehicleList->setCurrentIndex(index);
    m_filling = false;
}

void CVelView::showDatabaseError(const QString& description)
{
    app().prompter().message(description, Prompter::Icon::Exclamation);
}
