#pragma once

#include "widgets/AppPalettes.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

// The Fusion style and icon theme with a light palette, or a dark one: what the programs that show
// one view under Xvfb use to look at it both ways.
inline void useShowWindowPalette(bool dark)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    AppPalettes::apply(dark ? AppAppearance::dark : AppAppearance::light);
}
