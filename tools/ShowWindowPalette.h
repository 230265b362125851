#pragma once

#include "widgets/SymbolIcons.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

// The Fusion style and icon theme with a light palette, or a dark one: what the programs that show
// one view under Xvfb use to look at it both ways.
inline void useShowWindowPalette(bool dark)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    SymbolIcons::useIconTheme(dark);
    if (!dark) {
        QApplication::setPalette(QApplication::style()->standardPalette());
        return;
    }
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
    p.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x20));
    p.setColor(QPalette::AlternateBase, QColor(0x2B, 0x2B, 0x2E));
    p.setColor(QPalette::Text, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3D));
    p.setColor(QPalette::ButtonText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Highlight, QColor(0x2F, 0x6F, 0xDB));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x8A, 0x8E));
    p.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x48));
    QApplication::setPalette(p);
}
