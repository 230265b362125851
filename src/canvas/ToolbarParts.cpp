#include "canvas/ToolbarParts.h"

#include "widgets/SymbolIcons.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace ToolbarParts {

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(16);
    return line;
}

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    // Captions name bands and groups as the user typed them: "<i>G</i>" shows as typed.
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return label;
}

QToolButton *symbolButton(const QString &symbol, const QString &help, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setIconSize({16, 16});
    button->setFixedSize(22, 22);
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    return button;
}

} // namespace ToolbarParts
