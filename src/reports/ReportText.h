#pragma once

#include "reports/ReportLayout.h"

#include <QString>
#include <QStringList>

// The pieces report lines are built from: values filled out with blanks, the thousands separator, and the
// owner block, vehicle band and details line that several reports share.
namespace ReportText {

// Blanks in front until the value has that many characters; a longer value is not cut.
QString padded(const QString& value, int width);
QString money(double value);      // "$%.2f" with the thousands separator
QString fuel(double value);       // "%.3f" with the thousands separator
QString reading(qint64 value);    // whole number with the thousands separator
QString three(double value);      // "%.3f"

QStringList ownerLines(const Report::Owner& owner);
QString bandText(const Report::Vehicle& vehicle, int lineWidth);
// Memo lines of at most width characters, broken at a line end within the width, else at the last blank,
// else (a run without blanks) at the width.
QStringList wrapMemo(const QString& memo, int width = 66);

// The vehicle band two body lines below the block's top (the block moves two lines).
void addBand(Report::Block& block, const Report::Vehicle& vehicle, const Report::Layout& layout);
// "VIN# ... Vehicle# ... License# ..." one line lower; the reading on the same line or on the next one.
void addDetails(Report::Block& block, const Report::Vehicle& vehicle, const Report::Layout& layout,
                bool readingOnNextLine);

} // namespace ReportText
