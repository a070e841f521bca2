#pragma once

#include <QString>
#include <optional>

// The small drawing surface every report page is laid out on. Positions are in hundredths of an inch from
// the top left corner of the printable area, y growing downwards; texts are placed by their top left
// corner. The painter implementation draws on a printer, a preview or a PDF file; the recorder keeps what
// was drawn so that pages can be compared line by line.
namespace Report {

enum class Font { Body, Band, Title, ReportName, Footer, Company, Small };

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct Pen
{
    Rgb colour;
    bool dotted = false;
};

// The parts of a page, so that a text rendering can keep them apart.
enum class Section { Header, Body, Footer };

// Liberation Mono's measures (advance 1229/2048 em, height 2320/2048 em, no leading), used on every device
// so that pages break the same on paper, in PDF files and in the recorded text.
double pointSize(Font font);
bool isBold(Font font);
double charWidth(Font font);
double lineHeight(Font font);
double textWidth(Font font, const QString& text);

class PageCanvas
{
public:
    virtual ~PageCanvas() = default;
    virtual void beginSection(Section) {}
    virtual void text(double x, double y, Font font, const QString& text, std::optional<Rgb> background = {}) = 0;
    virtual void line(double x1, double y1, double x2, double y2, const Pen& pen) = 0;
    // An outline with the pen when given, filled when a fill is given.
    virtual void rect(double x, double y, double width, double height, std::optional<Pen> pen,
                      std::optional<Rgb> fill) = 0;
};

} // namespace Report
