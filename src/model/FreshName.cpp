#include "model/FreshName.h"

QString firstFreeName(const QString &prefix, const QSet<QString> &taken)
{
    // Among n taken names one of the first n + 1 numbers is free.
    for (qsizetype n = 1;; ++n) {
        QString name = prefix + QString::number(n);
        if (!taken.contains(name))
            return name;
    }
}
