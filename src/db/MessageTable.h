#pragma once

#include <QString>

// The message texts are kept as tables (the *.def files beside each header), one row a message: its
// name in the code, its message number (0 where it has none) and its text. A header includes its table
// inside its namespace, and each row becomes a named constant.
#define VEL_MESSAGE(name, number, text) inline const QString name = QStringLiteral(text);
