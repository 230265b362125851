#include "canvas/InlineElementTextField.h"
#include "widgets/EnteredTextValidator.h"

#include <QGraphicsProxyWidget>
#include <QKeyEvent>
#include <QTimer>

InlineElementTextField::InlineElementTextField(const QString &text, const QFont &font,
                                               Qt::Alignment alignment,
                                               std::function<void(const QString &)> onTextChanged,
                                               std::function<void()> onEndEditing, QWidget *parent)
    : QLineEdit(text, parent), onTextChanged_(std::move(onTextChanged)),
      onEndEditing_(std::move(onEndEditing))
{
    setFrame(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFont(font);
    setAlignment(alignment);
    EnteredTextValidator::install(this);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &typed) {
        if (onTextChanged_)
            onTextChanged_(typed);
    });
    QTimer::singleShot(0, this, [this] {
        // Only a field that is shown in a window (or on a canvas) can take the focus.
        if (!isVisible() && !graphicsProxyWidget())
            return;
        setFocus(Qt::OtherFocusReason);
        selectAll();
    });
}

void InlineElementTextField::update(const QString &text, const QFont &font, Qt::Alignment alignment)
{
    if (this->text() != text)
        setText(text);
    setFont(font);
    setAlignment(alignment);
}

void InlineElementTextField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        clearFocus();
        // A field that never had the focus loses none; editing still ends.
        endEditing();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void InlineElementTextField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    endEditing();
}

void InlineElementTextField::endEditing()
{
    if (hasEnded_)
        return;
    hasEnded_ = true;
    if (onEndEditing_)
        onEndEditing_();
}
