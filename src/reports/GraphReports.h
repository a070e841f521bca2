#pragma once

#include "reports/ReportLayout.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// The graph component of the graph reports: the months on the axis, the scale, and the drawing of one
// graph of at most 24 months as a block of a vehicle.
namespace Graph {

constexpr int MonthsPerGraph = 24;

struct Month
{
    int year = 0;
    int month = 0;
    bool operator==(const Month&) const = default;
};

// Every month from the month of one stored date ("YYYYMMDD") to the month of another, both included.
std::vector<Month> monthsBetween(const QString& fromStored, const QString& toStored);
// The position of a stored date's month in the list, -1 when it is outside.
int monthIndex(const std::vector<Month>& months, const QString& stored);
// "%2d/%02d": the month, then the year's last two digits.
QString monthLabel(const Month& month);

// The seven scale ticks over the non-zero values (bottom to top).
std::array<double, 7> fuelTicks(const std::vector<double>& values);
std::array<double, 7> expenseTicks(const std::vector<double>& values);

// Series colours and pens, in colour or in shades of grey.
Report::Rgb seriesColour(int series, bool colour);
Report::Rgb axisColour(bool colour);
Report::Rgb gridColour(bool colour);
Report::Rgb fuelLineColour(bool colour);

struct Chart
{
    bool fuel = true;     // the fuel graph (one series, a line), else the expense graph (three bars a month)
    bool colour = true;
    QString economyLabel; // the axis title and the statistics' unit (fuel graph)
    std::vector<Month> months;
    std::vector<std::array<double, 3>> values; // per month: the fuel economy, or gas, maintenance, total
    QStringList seriesNames;                   // the three bars' legend, when not the expense graph's
};

// One graph two lines below the cursor: frame, axis title, scale, grid, month labels, legend, data.
Report::Block chartBlock(const Chart& chart, const Report::Layout& layout);

// The graphs of a period, 24 months each (the last one shorter).
std::vector<Chart> splitIntoGraphs(const Chart& whole);

// A line clipped to a rectangle; false when nothing of it is inside.
bool clipLine(double& x1, double& y1, double& x2, double& y2, double left, double top, double right, double bottom);

} // namespace Graph
