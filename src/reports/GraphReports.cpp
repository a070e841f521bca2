#include "reports/GraphReports.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace Graph {

using namespace Report;

std::vector<Month> monthsBetween(const QString& fromStored, const QString& toStored)
{
    std::vector<Month> months;
    Month month{fromStored.left(4).toInt(), fromStored.mid(4, 2).toInt()};
    const Month last{toStored.left(4).toInt(), toStored.mid(4, 2).toInt()};
    if (month.month < 1 || month.month > 12 || last.month < 1 || last.month > 12)
        return months;
    while (month.year * 12 + month.month <= last.year * 12 + last.month) {
        months.push_back(month);
        if (++month.month > 12) {
            month.month = 1;
            ++month.year;
        }
    }
    return months;
}

int monthIndex(const std::vector<Month>& months, const QString& stored)
{
    if (months.empty())
        return -1;
    const int index = (stored.left(4).toInt() * 12 + stored.mid(4, 2).toInt()) -
                      (months.front().year * 12 + months.front().month);
    return index >= 0 && index < int(months.size()) ? index : -1;
}

QString monthLabel(const Month& month)
{
    return QString::asprintf("%2d/%02d", month.month, month.year % 100);
}

namespace {

struct Range
{
    double min = 0;
    double max = 6;
};

Range nonZeroRange(const std::vector<double>& values)
{
    bool any = false;
    Range range;
    for (double value : values) {
        if (value == 0)
            continue;
        range.min = any ? std::min(range.min, value) : value;
        range.max = any ? std::max(range.max, value) : value;
        any = true;
    }
    return any ? range : Range{};
}

// The whole steps of a tick spacing: the integer part, one more when q exceeds it by more than 0.02.
double stepOf(double q)
{
    const double whole = std::floor(q);
    return q - whole > 0.02 ? whole + 1 : whole;
}

} // namespace

std::array<double, 7> fuelTicks(const std::vector<double>& values)
{
    Range range = nonZeroRange(values);
    if (range.min == range.max) {
        range.min -= 3;
        range.max += 3;
    }
    double span = range.max - range.min;
    if (span == 0)
        span = 0.01;
    const double q = span / 6;
    std::array<double, 7> ticks{};
    if (q <= 0.5) {
        double base = std::trunc(range.min);
        if (range.min - base > 0.4)
            base += 0.5;
        for (int i = 0; i < 7; ++i)
            ticks[size_t(i)] = base + 0.5 * i;
    } else {
        const double step = stepOf(q);
        for (int i = 0; i < 7; ++i)
            ticks[size_t(i)] = std::trunc(range.min) + step * i;
    }
    return ticks;
}

std::array<double, 7> expenseTicks(const std::vector<double>& values)
{
    const Range range = nonZeroRange(values);
    double span = range.max;
    if (range.min == range.max)
        span = range.max + 3;
    if (span == 0)
        span = 0.01;
    const double q = span / 6;
    std::array<double, 7> ticks{};
    const double step = q <= 0.5 ? 0.5 : stepOf(q);
    for (int i = 0; i < 7; ++i)
        ticks[size_t(i)] = step * i;
    return ticks;
}

Rgb seriesColour(int series, bool colour)
{
    static const Rgb colours[] = {{255, 0, 0}, {255, 235, 0}, {0, 0, 255}};
    static const Rgb greys[] = {{64, 64, 64}, {128, 128, 128}, {212, 212, 212}};
    const size_t index = size_t(std::clamp(series, 1, 3) - 1);
    return colour ? colours[index] : greys[index];
}

Rgb axisColour(bool colour)
{
    return colour ? Rgb{0, 0, 255} : Rgb{0, 0, 0};
}

Rgb gridColour(bool colour)
{
    return colour ? Rgb{150, 255, 255} : Rgb{182, 182, 182};
}

Rgb fuelLineColour(bool colour)
{
    return colour ? Rgb{255, 0, 0} : Rgb{0, 0, 0};
}

bool clipLine(double& x1, double& y1, double& x2, double& y2, double left, double top, double right, double bottom)
{
    double t0 = 0;
    double t1 = 1;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double startX = x1 + t0 * dx;
    const double startY = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = startX;
    y1 = startY;
    return true;
}

std::vector<Chart> splitIntoGraphs(const Chart& whole)
{
    std::vector<Chart> graphs;
    for (size_t start = 0; start < whole.months.size(); start += MonthsPerGraph) {
        Chart part = whole;
        const size_t end = std::min(whole.months.size(), start + MonthsPerGraph);
        part.months.assign(whole.months.begin() + qsizetype(start), whole.months.begin() + qsizetype(end));
        part.values.assign(whole.values.begin() + qsizetype(start), whole.values.begin() + qsizetype(end));
        graphs.push_back(std::move(part));
    }
    return graphs;
}

Block chartBlock(const Chart& chart, const Layout& layout)
{
    Block block;
    block.lines(2);
    const double small = lineHeight(Font::Small);
    const double x0 = 40;
    const double y0 = block.height;
    const double width = layout.blockWidth - layout.blockLeft;
    const double height = (layout.usableHeight - 300) / 2;
    // Frame: white with a raised edge.
    block.rect(x0, y0, width, height, Pen{Rgb{160, 160, 160}}, Rgb{255, 255, 255});
    block.line(x0 + 2, y0 + height + 2, x0 + width + 2, y0 + height + 2, Pen{Rgb{64, 64, 64}});
    block.line(x0 + width + 2, y0 + 2, x0 + width + 2, y0 + height + 2, Pen{Rgb{64, 64, 64}});

    const double left = x0 + 110;
    const double right = x0 + width - 180;
    const double top = y0 + 15 + 3 * small;
    const double bottom = y0 + height - 2.5 * small - 6;
    const Pen axisPen{axisColour(chart.colour)};

    // Axis title, one character a line, left of the scale.
    const double titleTop = (top + bottom) / 2 - chart.economyLabel.size() * small / 2;
    for (int i = 0; i < chart.economyLabel.size(); ++i)
        block.textAt(x0 + 10, titleTop + i * small, chart.economyLabel.mid(i, 1), Font::Small);

    std::vector<double> all;
    for (const auto& month : chart.values)
        for (int s = 0; s < (chart.fuel ? 1 : 3); ++s)
            all.push_back(month[size_t(s)]);
    const std::array<double, 7> ticks = chart.fuel ? fuelTicks(all) : expenseTicks(all);
    const double span = ticks[6] - ticks[0];
    const auto yOf = [&](double value) { return bottom - (value - ticks[0]) / span * (bottom - top); };
    for (int i = 0; i < 7; ++i) {
        const double y = bottom - i * (bottom - top) / 6;
        const QString label = chart.fuel ? QString::asprintf("%.1f", ticks[size_t(i)])
                                         : QString::asprintf("$%.2f", ticks[size_t(i)]);
        block.textAt(left - 6 - textWidth(Font::Small, label), y - small / 2, label, Font::Small);
        if (i > 0)
            block.line(left, y, right, y, Pen{gridColour(chart.colour)});
    }
    block.line(left, top, left, bottom, axisPen);
    block.line(left, bottom, right, bottom, axisPen);

    const int count = std::max<int>(1, int(chart.months.size()));
    const double spacing = (right - left) / count;
    const auto centre = [&](int i) { return left + (i + 0.5) * spacing; };
    for (int i = 0; i < int(chart.months.size()); ++i) {
        const QString label = monthLabel(chart.months[size_t(i)]);
        const double labelWidth = textWidth(Font::Small, label);
        const double row = labelWidth > spacing && i % 2 == 1 ? 1 : 0;
        block.textAt(centre(i) - labelWidth / 2, bottom + 4 + row * small, label, Font::Small);
    }

    const double legendX = right + 20;
    if (chart.fuel) {
        block.rect(legendX, top + 10, 150, 4 * small, Pen{}, std::nullopt);
        block.textAt(legendX + 5, top + 10 + 0.5 * small, QStringLiteral("Legend:"), Font::Small);
        const double solidY = top + 10 + 2 * small;
        block.line(legendX + 5, solidY, legendX + 25, solidY, Pen{fuelLineColour(chart.colour)});
        block.textAt(legendX + 25, solidY - small / 2, QStringLiteral("    Normal Display"), Font::Small);
        const double dottedY = solidY + small;
        block.line(legendX + 5, dottedY, legendX + 25, dottedY, Pen{fuelLineColour(chart.colour), true});
        block.textAt(legendX + 25, dottedY - small / 2, QStringLiteral("  No Data Availble"), Font::Small);

        // Non-zero months joined by solid lines; a run of empty months between two of them bridged by a dotted one.
        int previous = -1;
        for (int i = 0; i < int(chart.values.size()); ++i) {
            const double value = chart.values[size_t(i)][0];
            if (value == 0)
                continue;
            if (previous >= 0) {
                double x1 = centre(previous), y1 = yOf(chart.values[size_t(previous)][0]);
                double x2 = centre(i), y2 = yOf(value);
                if (clipLine(x1, y1, x2, y2, left, top, right, bottom))
                    block.line(x1, y1, x2, y2, Pen{fuelLineColour(chart.colour), i - previous > 1});
            }
            previous = i;
        }
        std::vector<double> nonZero;
        for (const auto& month : chart.values)
            if (month[0] != 0)
                nonZero.push_back(month[0]);
        const double high = nonZero.empty() ? 0 : *std::max_element(nonZero.begin(), nonZero.end());
        const double low = nonZero.empty() ? 0 : *std::min_element(nonZero.begin(), nonZero.end());
        double average = 0;
        for (double value : nonZero)
            average += value / double(nonZero.size());
        const QByteArray unit = chart.economyLabel.toLatin1();
        const QString stats[] = {QString::asprintf("High %s %3.3f", unit.constData(), high),
                                 QString::asprintf("Low %s %3.3f", unit.constData(), low),
                                 QString::asprintf("Avg. Monthly %s %3.3f", unit.constData(), average)};
        for (int i = 0; i < 3; ++i)
            block.textAt(x0 + width - 10 - textWidth(Font::Small, stats[i]), y0 + 5 + i * small, stats[i], Font::Small);
    } else {
        const QStringList names =
            chart.seriesNames.size() == 3
                ? chart.seriesNames
                : QStringList{QStringLiteral("      Gas Expense"), QStringLiteral("Maintenance Expense"),
                              QStringLiteral("Total Expenses")};
        for (int s = 0; s < 3; ++s) {
            const double y = top + 10 + s * (small + 8);
            block.textAt(legendX, y, names[s], Font::Small);
            block.rect(legendX + textWidth(Font::Small, names[1]) + 6, y - 2, 10, 15, Pen{},
                       seriesColour(s + 1, chart.colour));
        }
        const double barWidth = std::min(std::clamp(spacing - 10, 8.0, 16.0), spacing / 3);
        for (int i = 0; i < int(chart.values.size()); ++i) {
            for (int s = 0; s < 3; ++s) {
                const double value = chart.values[size_t(i)][size_t(s)];
                if (value <= 0)
                    continue;
                const double x = centre(i) - 1.5 * barWidth + s * barWidth;
                const double barTop = std::max(top, yOf(value));
                block.rect(x, barTop, barWidth, bottom - barTop, axisPen, seriesColour(s + 1, chart.colour));
            }
        }
    }
    block.height = y0 + height + 8;
    block.need = block.height;
    return block;
}

} // namespace Graph
