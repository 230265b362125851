#pragma once

#include <QValidator>

class QLineEdit;

// Cleans a one-line field's text as EnteredText says, whatever put it there (typing, a paste,
// a drop, an input method): the line breaks of other programs become line feeds, characters XML
// cannot carry stay out. Every text is acceptable once cleaned.
class EnteredTextValidator : public QValidator {
    Q_OBJECT
public:
    State validate(QString &input, int &position) const override;

    // Gives the field one of these. A text the field cleans is set anew, which would leave the
    // field unmodified: it stays modified, so that a write on finishing the edit still comes.
    static void install(QLineEdit *field);

private:
    using QValidator::QValidator;

    mutable bool cleaned_ = false;
};
