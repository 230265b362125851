#include "datapanel/OutcomeText.h"

#include "widgets/CardText.h"

#include <QEvent>

namespace {

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace

OutcomeText::OutcomeText(QWidget *parent) : QLabel(parent)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeading | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setFont(CardText::sized(font(), CardText::caption2PointSize));
    hide();
    paintColour();
}

bool OutcomeText::isTestSuccess(const std::optional<QString> &text)
{
    return text && !text->startsWith(QStringLiteral("Failed"));
}

QColor OutcomeText::successColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(48, 209, 88) : QColor(40, 167, 69);
}

QColor OutcomeText::failureColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(255, 69, 58) : QColor(215, 45, 35);
}

void OutcomeText::showOutcome(const std::optional<QString> &text, bool isSuccess)
{
    if (text && text != this->text())
        setText(*text);
    if (isSuccess != success_) {
        success_ = isSuccess;
        paintColour();
    }
    setVisible(text.has_value());
}

void OutcomeText::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !painting_)
        paintColour();
}

// The colour is worked out anew from the inherited palette, as one set once would keep the
// previous appearance's shade.
void OutcomeText::paintColour()
{
    painting_ = true;
    setPalette(QPalette());
    QPalette palette = this->palette();
    const QColor colour = success_ ? successColor(palette) : failureColor(palette);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, colour);
    setPalette(palette);
    painting_ = false;
}
