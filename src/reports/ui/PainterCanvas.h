#pragma once

#include "reports/PageCanvas.h"

#include <QFont>
#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace Report {

class ReportJob;

// Draws report pages with a QPainter on a printer, a preview or a PDF file. The painter's origin is the top
// left corner of the printable area; resolution is the device's dots per inch.
class PainterCanvas : public PageCanvas
{
public:
    PainterCanvas(QPainter& painter, double resolution);

    void text(double x, double y, Font font, const QString& text, std::optional<Rgb> background) override;
    void line(double x1, double y1, double x2, double y2, const Pen& pen) override;
    void rect(double x, double y, double width, double height, std::optional<Pen> pen,
              std::optional<Rgb> fill) override;

    static QFont qFont(Font font);

private:
    double device(double units) const { return units * m_scale; }

    QPainter& m_painter;
    double m_scale;
};

// Draws pages from..to of a paginated job on a printer or PDF writer that is already set up.
void renderPages(ReportJob& job, QPagedPaintDevice& device, QPainter& painter, int from, int to);

// Writes every page of a paginated job to a US Letter PDF file (quarter-inch margins, the report's
// orientation). False when the file cannot be written.
bool writeReportPdf(ReportJob& job, const QString& path);

} // namespace Report
