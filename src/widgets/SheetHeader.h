#pragma once

#include <QList>
#include <QString>

class QFrame;
class QLabel;
class QWidget;

// The top of a sheet: its title in the headline font, then, at the trailing end, `trailing` in
// order; padded 12 points on every side and followed by a divider.
QWidget *sheetHeader(const QString &title, const QList<QWidget *> &trailing, QWidget *parent);

// A sheet's title in the headline font (the system font, bold).
QLabel *sheetTitle(const QString &title, QWidget *parent);

// A one-line horizontal rule in the palette's mid tone, as under a sheet's header.
QFrame *horizontalDivider(QWidget *parent);
