#include "widgets/RowControls.h"

#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/SymbolIcons.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>

#include <QEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString removeSymbol = u"minus.circle"_s;

// The system red, readable on the light and the dark window colour.
QColor destructiveColor(const QPalette &palette)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    return dark ? QColor(0xFF, 0x45, 0x3A) : QColor(0xE0, 0x2F, 0x25);
}

} // namespace

RemoveRowButton::RemoveRowButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setProperty(SymbolIcons::symbolProperty, removeSymbol);
    setProperty("destructive", true);
    setFocusPolicy(Qt::TabFocus);
    paintIcon();
}

void RemoveRowButton::changeEvent(QEvent *event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintIcon();
}

void RemoveRowButton::paintIcon()
{
    const QSize size(14, 14);
    setIconSize(size);
    setIcon(QIcon(SymbolIcons::tintedPixmap(removeSymbol, size, devicePixelRatioF(),
                                            destructiveColor(palette()))));
}

namespace RowControls {

QFont monospaced()
{
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(10);
    return mono;
}

QLineEdit *expressionField(const QString &placeholder, const QString &name, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setPlaceholderText(placeholder);
    field->setFont(monospaced());
    EnteredTextValidator::install(field);
    return field;
}

QPushButton *symbolButton(const QString &symbol, const QString &text, const QString &name,
                          QWidget *parent)
{
    auto *button = new QPushButton(SymbolIcons::icon(symbol), text, parent);
    button->setObjectName(name);
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    return button;
}

void showText(QLineEdit *edit, const QString &text)
{
    const bool changed = edit->text() != text;
    InspectorRows::showText(edit, text);
    if (changed && !edit->hasFocus())
        edit->setCursorPosition(0);
}

void ignoreWheelUnlessFocused(QComboBox *picker)
{
    WheelGuard::ignoreUnlessFocused(picker);
}

void retire(QWidget *row)
{
    row->hide();
    row->setParent(nullptr);
    row->deleteLater();
}

} // namespace RowControls
