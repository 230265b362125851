#include "widgets/DuplicateNames.h"

#include "widgets/CardText.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace DuplicateNames {

QString warning(const QString &itemKind)
{
    return u"Another "_s + itemKind + u" has this name: the engine refuses two "_s + itemKind +
           u"s of one name."_s;
}

QLabel *warningLabel(QWidget *parent)
{
    return CardText::warning(parent);
}

QVBoxLayout *underEditor(QWidget *editor, QLabel *warning)
{
    auto *stack = new QVBoxLayout;
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    stack->addWidget(editor);
    stack->addWidget(warning);
    return stack;
}

void showWarning(QLabel *label, const QString &text)
{
    CardText::showWarning(label, text);
}

} // namespace DuplicateNames
