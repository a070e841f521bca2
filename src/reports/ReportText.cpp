#include "reports/ReportText.h"

#include "db/Values.h"
#include "reports/PageCanvas.h"

#include <algorithm>

namespace ReportText {

using namespace Report;

QString padded(const QString& value, int width)
{
    return value.rightJustified(width, QLatin1Char(' '), false);
}

QString money(double value)
{
    return Values::withThousands(Values::formatMoney(value));
}

QString fuel(double value)
{
    return Values::withThousands(three(value));
}

QString reading(qint64 value)
{
    return Values::withThousands(value);
}

QString three(double value)
{
    return Values::formatFixed(value, 3);
}

namespace {

// The filled parts with the separator between them: an empty part brings no separator.
QString joined(const QStringList& parts, const QString& separator)
{
    QStringList filled;
    for (const QString& part : parts)
        if (!part.isEmpty())
            filled << part;
    return filled.join(separator);
}

} // namespace

QStringList ownerLines(const Owner& owner)
{
    const QString indent(18, QLatin1Char(' '));
    QStringList lines;
    lines << QStringLiteral("Company/Location: ") +
                 joined({owner.companyName, owner.locationId}, QStringLiteral(", "));
    lines << QStringLiteral("    Contact Name: ") +
                 joined({owner.lastName, owner.firstName}, QStringLiteral(", "));
    lines << QStringLiteral("         Address: ") + owner.address1;
    if (!owner.address2.isEmpty())
        lines << indent + owner.address2;
    lines << indent + joined({joined({owner.city, owner.state}, QStringLiteral(", ")), owner.zipCode},
                             QStringLiteral("  "));
    const bool phone = !owner.phone.isEmpty();
    const bool fax = !owner.fax.isEmpty();
    QString label = phone ? QStringLiteral("Phone") : QString();
    if (phone && fax)
        label += QLatin1Char('/');
    if (fax)
        label += QStringLiteral("Fax");
    if (!label.isEmpty())
        label += QStringLiteral(": ");
    lines << padded(label, 18) + owner.phone + (phone && fax ? QStringLiteral(" / ") : QString()) + owner.fax;
    return lines;
}

QString bandText(const Vehicle& vehicle, int lineWidth)
{
    QString text;
    if (!vehicle.number.isEmpty())
        text = QStringLiteral("# ") + vehicle.number + QStringLiteral(", ");
    text += vehicle.year + QLatin1Char(' ');
    if (!vehicle.make.isEmpty())
        text += vehicle.make + QLatin1Char(' ');
    if (!vehicle.model.isEmpty())
        text += vehicle.model + QLatin1Char(' ');
    return text.leftJustified(lineWidth, QLatin1Char(' '));
}

QStringList wrapMemo(const QString& memo, int width)
{
    QString text = memo;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QString window = text.mid(pos, width);
        const qsizetype lineEnd = window.indexOf(QLatin1Char('\n'));
        if (lineEnd >= 0) {
            lines << window.left(lineEnd);
            pos += lineEnd + 1;
        } else if (text.size() - pos <= width) {
            lines << window;
            pos = text.size();
        } else {
            const qsizetype blank = window.lastIndexOf(QLatin1Char(' '));
            const qsizetype cut = blank > 0 ? blank : width;
            lines << window.left(cut);
            pos += blank > 0 ? cut + 1 : cut;
        }
    }
    return lines;
}

void addBand(Block& block, const Vehicle& vehicle, const Layout& layout)
{
    block.lines(2);
    Op op;
    op.y = block.height;
    op.font = Font::Band;
    op.text = bandText(vehicle, layout.lineWidth);
    op.fill = Rgb{216, 216, 216};
    block.ops.push_back(op);
}

void addDetails(Block& block, const Vehicle& vehicle, const Layout& layout, bool readingOnNextLine)
{
    block.lines(1);
    const double y = block.height;
    block.textAt(40, y, QStringLiteral("VIN# ") + vehicle.vin);
    block.textAt(250, y, QStringLiteral("Vehicle# ") + vehicle.number);
    // On a portrait page the licence moves left as far as it must to end inside the margin.
    const QString license = QStringLiteral("License# ") + vehicle.license;
    block.textAt(std::min(550.0, layout.blockWidth - textWidth(Font::Body, license)), y, license);
    const QString readingText = Values::withThousands(
        QString::asprintf("%s %6lld", vehicle.hours ? "Hour Meter" : "Odometer", qint64(vehicle.reading)));
    if (readingOnNextLine) {
        block.lines(1);
        block.textAt(40, block.height, readingText);
    } else {
        block.textAt(730, y, readingText);
    }
}

} // namespace ReportText
