#include "model/FreshName.h"

QString firstFreeName(const QString &prefix, const QSet<QString> &taken, qsizetype from)
{
    // Among n taken names one of n + 1 numbers is free.
    for (qsizetype n = from;; ++n) {
        QString name = prefix + QString::number(n);
        if (!taken.contains(name))
            return name;
    }
}
