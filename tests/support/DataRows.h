#pragma once

#include <QString>
#include <QTest>

#include <type_traits>

// A text written as a literal fills a QString column; any other value goes in as it is.
inline QString asColumn(const char* text)
{
    return QString::fromUtf8(text);
}
template <class T>
requires(!std::is_convertible_v<const T&, const char*>) const T& asColumn(const T& value)
{
    return value;
}

// One row of a data table on one line: addRow("name", first, second, ...).
template <class... Values> void addRow(const char* name, const Values&... values)
{
    (QTest::newRow(name) << ... << asColumn(values));
}
