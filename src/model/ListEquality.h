#pragma once

#include <QList>

// Whether two lists hold equal values in the same order. Qt compares lists of numbers with
// memcmp, also two empty lists, one of which may have no storage at all: memcmp with a null
// pointer is undefined even for no bytes. Empty lists are told apart by their size alone here.
template <typename T> bool equalLists(const QList<T> &a, const QList<T> &b)
{
    return a.size() == b.size() && (a.isEmpty() || a == b);
}
