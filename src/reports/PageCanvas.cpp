#include "reports/PageCanvas.h"

namespace Report {

namespace {
constexpr double Advance = 1229.0 / 2048.0;
constexpr double Height = 2320.0 / 2048.0;
constexpr double BodyPoints = 10.0;
} // namespace

double pointSize(Font font)
{
    switch (font) {
    case Font::Title:
        return BodyPoints * 1.5;
    case Font::ReportName:
        return BodyPoints * 1.25;
    case Font::Footer:
    case Font::Small:
        return BodyPoints * 0.75;
    case Font::Company:
        return BodyPoints * 2.0 / 3.0;
    case Font::Body:
    case Font::Band:
        break;
    }
    return BodyPoints;
}

bool isBold(Font font)
{
    return font == Font::Band || font == Font::Title || font == Font::ReportName;
}

double charWidth(Font font)
{
    return pointSize(font) * 100.0 / 72.0 * Advance;
}

double lineHeight(Font font)
{
    return pointSize(font) * 100.0 / 72.0 * Height;
}

double textWidth(Font font, const QString& text)
{
    return charWidth(font) * double(text.size());
}

} // namespace Report
