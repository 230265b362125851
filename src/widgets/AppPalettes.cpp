#include "widgets/AppPalettes.h"

#include "widgets/SymbolIcons.h"

#include <QApplication>
#include <QWidget>

namespace {

QPalette make(const QColor &window, const QColor &base, const QColor &alternate, const QColor &text,
              const QColor &button, const QColor &mid, const QColor &accent,
              const QColor &placeholder)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, placeholder);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Light, button.lighter(130));
    p.setColor(QPalette::Midlight, button.lighter(115));
    p.setColor(QPalette::Mid, mid);
    p.setColor(QPalette::Dark, mid.darker(130));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::LinkVisited, accent.darker(120));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, placeholder);
    }
    return p;
}

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5f;
}

} // namespace

namespace AppPalettes {

QPalette light()
{
    return make(QColor(0xEC, 0xEC, 0xEC), Qt::white, QColor(0xF5, 0xF5, 0xF5),
                QColor(0x1D, 0x1D, 0x1F), QColor(0xF6, 0xF6, 0xF6), QColor(0xB8, 0xB8, 0xB8),
                QColor(0x0A, 0x64, 0xD8), QColor(0x86, 0x86, 0x8B));
}

QPalette dark()
{
    return make(QColor(0x2B, 0x2B, 0x2D), QColor(0x1E, 0x1E, 0x20), QColor(0x26, 0x26, 0x28),
                QColor(0xEC, 0xEC, 0xEE), QColor(0x3A, 0x3A, 0x3C), QColor(0x55, 0x55, 0x58),
                QColor(0x2F, 0x81, 0xF7), QColor(0x98, 0x98, 0x9D));
}

void apply(AppAppearance appearance)
{
    static const QPalette platform = QApplication::palette();
    const QPalette chosen = appearance == AppAppearance::light  ? light()
                            : appearance == AppAppearance::dark ? dark()
                                                                : platform;
    QApplication::setPalette(chosen);
    SymbolIcons::useIconTheme(isDark(chosen));
    // A widget with a style sheet keeps the colours it was polished with; polish it again so
    // it takes the new palette too.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        if (!widget->styleSheet().isEmpty())
            widget->setStyleSheet(widget->styleSheet());
    }
}

void outlineControlsOnBase(QWidget *column, QPalette palette)
{
    palette.setColor(QPalette::Window, palette.color(QPalette::Mid));
    column->setPalette(palette);
}

} // namespace AppPalettes
