#include "widgets/EnteredTextValidator.h"

#include "model/EnteredText.h"

#include <QLineEdit>

QValidator::State EnteredTextValidator::validate(QString &input, int &position) const
{
    if (EnteredText::needsCleaning(input)) {
        // The cursor keeps its place among the characters that stay.
        position = int(EnteredText::cleaned(input.left(position)).size());
        input = EnteredText::cleaned(input);
        position = std::min(position, int(input.size()));
        cleaned_ = true;
    }
    return Acceptable;
}

void EnteredTextValidator::install(QLineEdit *field)
{
    auto *validator = new EnteredTextValidator(field);
    field->setValidator(validator);
    connect(field, &QLineEdit::textEdited, validator, [field, validator] {
        if (std::exchange(validator->cleaned_, false))
            field->setModified(true);
    });
}
