#pragma once

#include <QToolButton>

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

// Takes a row out of its card: hidden and out of the card's children at once (so nothing finds
// it by name any more), deleted once control returns to the event loop, since the remove
// button that caused this may be one of its children and still inside its signal.
void retire(QWidget *row);

} // namespace RowControls
