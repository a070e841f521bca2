#pragma once

#include <QString>
#include <QStringList>

// Lines of comma-separated values as spreadsheet programs read them.
namespace CsvText {

// The field as written: in double quotes, with inner quotes doubled, when it holds a comma, a quote or a
// line break; as it is otherwise.
QString field(const QString& text);
// The fields joined into one line, without its line end.
QString line(const QStringList& fields);

} // namespace CsvText
