#pragma once

#include <QList>
#include <QString>

class QFrame;
class QWidget;

// The top of a sheet: its title in the headline font, then, at the trailing end, `trailing` in
// order; padded 12 points on every side and followed by a divider.
QWidget *sheetHeader(const QString &title, const QList<QWidget *> &trailing, QWidget *parent);

// A one-line horizontal rule in the palette's mid tone, as under a sheet's header.
QFrame *horizontalDivider(QWidget *parent);
