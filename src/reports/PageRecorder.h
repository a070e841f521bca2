#pragma once

#include "reports/PageCanvas.h"
#include "reports/ReportLayout.h"

#include <QStringList>
#include <QTextStream>
#include <vector>

namespace Report {

class ReportJob;

struct RecordedOp
{
    Section section = Section::Body;
    Op op; // absolute positions
};

// Keeps what a page draws, for tests and for the text output of the command line.
class PageRecorder : public PageCanvas
{
public:
    void beginSection(Section section) override { m_section = section; }
    void text(double x, double y, Font font, const QString& text, std::optional<Rgb> background) override;
    void line(double x1, double y1, double x2, double y2, const Pen& pen) override;
    void rect(double x, double y, double width, double height, std::optional<Pen> pen,
              std::optional<Rgb> fill) override;

    const std::vector<RecordedOp>& ops() const { return m_ops; }
    std::vector<Op> texts() const;
    // The page as text lines: texts drawn on one line joined at the columns of their x offsets (in body
    // characters from the block's left edge), blank lines for the body lines skipped between them, one
    // blank line between header, body and footer, trailing blanks dropped.
    QStringList lines(const Layout& layout) const;

private:
    Section m_section = Section::Body;
    std::vector<RecordedOp> m_ops;
};

// Every page of a paginated job as text, pages separated by a form feed line.
QString jobText(ReportJob& job);
// The same, written page by page as each is drawn.
void writeJobText(ReportJob& job, QTextStream& out);

} // namespace Report
