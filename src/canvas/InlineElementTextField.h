#pragma once

#include <QLineEdit>
#include <functional>

// The single-line field in which a static text is edited in place. Every keystroke is written
// through; Return and Escape end editing (and go no further), as does losing the focus. On the
// next turn of the event loop after it is made it takes the focus with all its text selected.
class InlineElementTextField : public QLineEdit {
    Q_OBJECT
public:
    InlineElementTextField(const QString &text, const QFont &font, Qt::Alignment alignment,
                           std::function<void(const QString &)> onTextChanged,
                           std::function<void()> onEndEditing, QWidget *parent = nullptr);

    // Shows the bound text again: the string is replaced only when it differs; font and
    // alignment are always applied.
    void update(const QString &text, const QFont &font, Qt::Alignment alignment);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void endEditing();

    std::function<void(const QString &)> onTextChanged_;
    std::function<void()> onEndEditing_;
    bool hasEnded_ = false;
};
