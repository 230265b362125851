#pragma once

#include <QToolButton>

class QComboBox;
class QFont;
class QLineEdit;
class QPushButton;

// The minus button at the end of a row that removes the row: the "minus.circle" symbol drawn in
// red, flat. The red follows the appearance.
class RemoveRowButton : public QToolButton {
    Q_OBJECT

public:
    explicit RemoveRowButton(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void paintIcon();
};

// What the rows of the subreport, list and table cards share.
namespace RowControls {

// The 10-point monospaced system font of expression fields.
QFont monospaced();
// A text field with that font and a placeholder.
QLineEdit *expressionField(const QString &placeholder, const QString &name, QWidget *parent);
// A button with a symbol and a label, such as "Add Parameter" with "plus".
QPushButton *symbolButton(const QString &symbol, const QString &text, const QString &name,
                          QWidget *parent);

// Shows the model's text (see InspectorRows::showText); a field the user is not in shows the
// start of a text longer than itself, where a name or expression is told apart.
void showText(QLineEdit *edit, const QString &text);

// Keeps the mouse wheel from changing the picker unless the user is in it: a wheel turned to
// scroll the panel would otherwise pick another entry as it passes, and picking a cell's kind
// replaces the cell's element.
void ignoreWheelUnlessFocused(QComboBox *picker);

// Takes a row out of its card: hidden and out of the card's children at once (so nothing finds
// it by name any more), deleted once control returns to the event loop, since the remove
// button that caused this may be one of its children and still inside its signal.
void retire(QWidget *row);

} // namespace RowControls
