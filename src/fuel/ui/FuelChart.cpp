#include "fuel/ui/FuelChart.h"

#include "fuel/FuelEconomy.h"

#include <QPainter>

namespace {

QFont chartFont(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

constexpr int AxisX = 30;
constexpr int AxisBottom = 80;
constexpr int FirstColumn = 36; // label "10"
constexpr int ColumnStep = 21;
constexpr int LowestTickY = 76;
constexpr int TickStep = 15;

} // namespace

CFuelChart::CFuelChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fuelChart"));
    setFixedSize(ChartWidth, ChartHeight);
    render();
}

void CFuelChart::setFigures(const std::vector<double>& values, double overall, double lastTen,
                            const QString& heading)
{
    m_values = values;
    m_overall = overall;
    m_lastTen = lastTen;
    m_heading = heading;
    render();
    update();
}

void CFuelChart::render()
{
    const qreal ratio = devicePixelRatioF();
    m_bitmap = QPixmap(QSize(ChartWidth, ChartHeight) * ratio);
    m_bitmap.setDevicePixelRatio(ratio);
    m_bitmap.fill(QColor(0, 0, 128));
    m_texts.clear();

    QPainter painter(&m_bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // A raised edge: light top and left, dark bottom and right.
    painter.setPen(QColor(223, 223, 223));
    painter.drawLine(0, 0, ChartWidth - 1, 0);
    painter.drawLine(0, 0, 0, ChartHeight - 1);
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(0, ChartHeight - 1, ChartWidth - 1, ChartHeight - 1);
    painter.drawLine(ChartWidth - 1, 0, ChartWidth - 1, ChartHeight - 1);

    painter.setPen(QColor(0, 255, 255));
    painter.drawLine(AxisX, 2, AxisX, AxisBottom);
    painter.drawLine(AxisX, AxisBottom, ChartWidth - 2, AxisBottom);

    const auto text = [&](const QRect& box, int flags, const QString& value) {
        painter.drawText(box, flags, value);
        m_texts << value;
    };

    painter.setFont(chartFont(18));
    painter.setPen(QColor(255, 255, 0));
    text(QRect(55 - 50, 92, 100, 18), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Last 10"));
    text(QRect(55 - 50, 109, 100, 18), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Fill Ups"));

    painter.setFont(chartFont(12));
    painter.setPen(Qt::white);
    for (int i = 0; i < 10; ++i)
        text(QRect(FirstColumn + i * ColumnStep - 10, AxisBottom + 1, 20, 13), Qt::AlignCenter,
             QString::number(10 - i));
    const std::vector<double> ticks = FuelEconomy::chartTicks(m_values);
    for (int i = 0; i < 5; ++i)
        text(QRect(0, LowestTickY - i * TickStep - 7, AxisX - 3, 14), Qt::AlignRight | Qt::AlignVCenter,
             QString::asprintf("%.1f", ticks[size_t(i)]));

    // Most recent value at the column of "1", each older one a column further left.
    const double span = ticks.back() - ticks.front();
    const auto point = [&](size_t index) {
        const int column = int(m_values.size() - 1 - index);
        const double x = FirstColumn + (9 - column) * ColumnStep;
        const double y = LowestTickY - (m_values[index] - ticks.front()) / span * (4 * TickStep);
        return QPointF(x, y);
    };
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(255, 255, 0), 2));
    if (m_values.size() == 1 && m_values[0] > 0.0) {
        const QPointF at = point(0);
        painter.drawLine(at - QPointF(1, 0), at + QPointF(1, 0));
    }
    for (size_t i = 1; i < m_values.size(); ++i)
        if (m_values[i - 1] > 0.0 && m_values[i] > 0.0)
            painter.drawLine(point(i - 1), point(i));
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QColor(255, 255, 0));
    text(QRect(100, 93, 142, 14), Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("Overall ") + m_heading + QString::asprintf(" %3.2f", m_overall));
    text(QRect(100, 108, 142, 14), Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("Last 10 ") + m_heading + QString::asprintf(" %3.2f", m_lastTen));
}

void CFuelChart::paintEvent(QPaintEvent*)
{
    // Moved to a screen of another pixel density: draw again so that it stays sharp.
    if (!qFuzzyCompare(m_bitmap.devicePixelRatio(), devicePixelRatioF()))
        render();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bitmap);
}
