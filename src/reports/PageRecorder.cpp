#include "reports/PageRecorder.h"

#include "reports/ReportJob.h"
#include "db/Values.h"

#include <cmath>

namespace Report {

void PageRecorder::text(double x, double y, Font font, const QString& text, std::optional<Rgb> background)
{
    Op op;
    op.x = x;
    op.y = y;
    op.font = font;
    op.text = Values::printable(text);
    op.fill = background;
    m_ops.push_back({m_section, std::move(op)});
}

void PageRecorder::line(double x1, double y1, double x2, double y2, const Pen& pen)
{
    Op op;
    op.kind = Op::Line;
    op.x = x1;
    op.y = y1;
    op.width = x2 - x1;
    op.height = y2 - y1;
    op.pen = pen;
    m_ops.push_back({m_section, std::move(op)});
}

void PageRecorder::rect(double x, double y, double width, double height, std::optional<Pen> pen,
                        std::optional<Rgb> fill)
{
    Op op;
    op.kind = Op::Rect;
    op.x = x;
    op.y = y;
    op.width = width;
    op.height = height;
    op.pen = pen;
    op.fill = fill;
    m_ops.push_back({m_section, std::move(op)});
}

std::vector<Op> PageRecorder::texts() const
{
    std::vector<Op> result;
    for (const RecordedOp& recorded : m_ops)
        if (recorded.op.kind == Op::Text)
            result.push_back(recorded.op);
    return result;
}

QStringList PageRecorder::lines(const Layout& layout) const
{
    QStringList result;
    const double advance = charWidth(Font::Body);
    QString current;
    bool haveRow = false;
    Section rowSection = Section::Header;
    double rowY = 0;
    const auto finishRow = [&] {
        if (haveRow) {
            while (current.endsWith(QLatin1Char(' ')))
                current.chop(1);
            result << current;
        }
        current.clear();
    };
    for (const RecordedOp& recorded : m_ops) {
        const Op& op = recorded.op;
        if (op.kind != Op::Text)
            continue;
        const bool sameRow = haveRow && recorded.section == rowSection && std::abs(op.y - rowY) < 0.01;
        if (!sameRow) {
            finishRow();
            if (haveRow) {
                int blanks = 0;
                if (recorded.section != rowSection)
                    blanks = 1;
                else if (op.y > rowY)
                    blanks = int(std::floor((op.y - rowY) / layout.line + 0.5)) - 1;
                for (int i = 0; i < blanks; ++i)
                    result << QString();
            }
            haveRow = true;
            rowSection = recorded.section;
            rowY = op.y;
        }
        const int column = std::max(0, int(std::floor((op.x - layout.blockLeft) / advance + 0.5 + 1e-6)));
        if (column < current.size() && !current.isEmpty())
            current += QLatin1Char(' ');
        else
            current = current.leftJustified(column, QLatin1Char(' '));
        current += op.text;
    }
    finishRow();
    return result;
}

QString jobText(ReportJob& job)
{
    QString text;
    QTextStream out(&text);
    writeJobText(job, out);
    out.flush();
    return text;
}

void writeJobText(ReportJob& job, QTextStream& out)
{
    for (int page = 1; page <= job.pageCount(); ++page) {
        PageRecorder recorder;
        job.drawPage(page, recorder);
        if (page > 1)
            out << "\f\n";
        out << recorder.lines(job.layout()).join(QLatin1Char('\n')) << '\n';
    }
}

} // namespace Report
