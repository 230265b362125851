#pragma once

#include <QList>
#include <QSet>
#include <QString>

// The name of a new item: the prefix followed by the first number from `from` that no item of
// its namespace carries, so that an add after a removal never repeats a name the engine then
// refuses as declared twice.
QString firstFreeName(const QString &prefix, const QSet<QString> &taken, qsizetype from = 1);

// The names of the items of a list (anything with a `name`).
template <typename T> QSet<QString> namesOf(const QList<T> &items)
{
    QSet<QString> names;
    names.reserve(items.size());
    for (const T &item : items)
        names.insert(item.name);
    return names;
}

template <typename T> QString firstFreeName(const QString &prefix, const QList<T> &items)
{
    return firstFreeName(prefix, namesOf(items));
}
