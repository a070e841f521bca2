#include "reports/ui/PainterCanvas.h"

#include "reports/ReportCatalogue.h"
#include "reports/ReportJob.h"
#include "db/Values.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace Report {

namespace {

QColor colour(const Rgb& rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, double resolution) : m_painter(painter), m_scale(resolution / 100.0)
{
}

QFont PainterCanvas::qFont(Font font)
{
    QFont result(QStringLiteral("Liberation Mono"));
    result.setStyleHint(QFont::TypeWriter);
    result.setPointSizeF(pointSize(font));
    result.setBold(isBold(font));
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setKerning(false);
    return result;
}

void PainterCanvas::text(double x, double y, Font font, const QString& stored, std::optional<Rgb> background)
{
    const QString text = Values::printable(stored);
    const QFont qfont = qFont(font);
    m_painter.setFont(qfont);
    const QFontMetricsF metrics(qfont, m_painter.device());
    if (background)
        m_painter.fillRect(QRectF(device(x), device(y), device(textWidth(font, text)), device(lineHeight(font))),
                           colour(*background));
    m_painter.setPen(Qt::black);
    m_painter.drawText(QPointF(device(x), device(y) + metrics.ascent()), text);
}

void PainterCanvas::line(double x1, double y1, double x2, double y2, const Pen& pen)
{
    QPen qpen(colour(pen.colour));
    qpen.setWidthF(m_scale); // a hundredth of an inch
    qpen.setStyle(pen.dotted ? Qt::DotLine : Qt::SolidLine);
    m_painter.setPen(qpen);
    m_painter.drawLine(QPointF(device(x1), device(y1)), QPointF(device(x2), device(y2)));
}

void PainterCanvas::rect(double x, double y, double width, double height, std::optional<Pen> pen,
                         std::optional<Rgb> fill)
{
    const QRectF area(device(x), device(y), device(width), device(height));
    if (fill)
        m_painter.fillRect(area, colour(*fill));
    if (pen) {
        QPen qpen(colour(pen->colour));
        qpen.setWidthF(m_scale);
        qpen.setStyle(pen->dotted ? Qt::DotLine : Qt::SolidLine);
        m_painter.setPen(qpen);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(area);
    }
}

void renderPages(ReportJob& job, QPagedPaintDevice& device, QPainter& painter, int from, int to)
{
    PainterCanvas canvas(painter, device.logicalDpiY());
    for (int page = from; page <= to; ++page) {
        if (page > from)
            device.newPage();
        job.drawPage(page, canvas);
    }
}

bool writeReportPdf(ReportJob& job, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(job.title());
    writer.setCreator(QStringLiteral("Velmora"));
    const bool landscape = ReportCatalogue::isLandscape(job.options().code);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    renderPages(job, writer, painter, 1, job.pageCount());
    return painter.end() && QFileInfo(path).size() > 0;
}

} // namespace Report
