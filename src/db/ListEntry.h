#pragma once

#include <QList>
#include <QString>
#include <algorithm>

// One item of a pick list (a record selector, an owner or company field): the text shown and the key of
// the row it stands for.
struct ListEntry
{
    QString text;
    qint32 key = 0;

    bool operator==(const ListEntry&) const = default;
};

// Which item a list selects for a key: the item with that key, else the first; -1 for an empty list.
inline int indexToSelect(const QList<ListEntry>& entries, qint32 key)
{
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].key == key)
            return i;
    return entries.isEmpty() ? -1 : 0;
}

// Pick lists of names are alphabetical without regard to case; equal texts keep their order.
inline void sortByText(QList<ListEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const ListEntry& a, const ListEntry& b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
}
