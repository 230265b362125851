#include "datapanel/CardText.h"

#include <QFont>
#include <QLabel>

namespace CardText {

QFont sized(const QFont &base, double pointSize)
{
    QFont font = base;
    font.setPointSizeF(pointSize);
    return font;
}

void makeSecondary(QLabel *label)
{
    QPalette palette = label->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor color = palette.color(group, QPalette::WindowText);
        color.setAlphaF(0.55F);
        palette.setColor(group, QPalette::WindowText, color);
    }
    label->setPalette(palette);
}

QLabel *note(const QString &text, QWidget *parent, double pointSize)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(sized(label->font(), pointSize));
    makeSecondary(label);
    return label;
}

} // namespace CardText
