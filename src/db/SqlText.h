#pragma once

#include <QString>

// Text helpers for the filter and statement texts the program builds.
namespace SqlText {

// The only way a value goes between quotes in a filter or statement: 'O''Neil'.
QString literal(const QString& value);

// Turns the filter dialect the program writes ("OpenInd = TRUE", "Fillup = FALSE") into SQLite's, leaving
// quoted literals untouched. Booleans are stored as -1/0, so TRUE means any non-zero value.
QString toSqlite(const QString& text);

} // namespace SqlText
