#include "widgets/CardText.h"

#include <QEvent>
#include <QFont>
#include <QLabel>

namespace CardText {

QFont sized(const QFont &base, double pointSize)
{
    QFont font = base;
    font.setPointSizeF(pointSize);
    return font;
}

QColor secondaryColor(const QPalette &palette, QPalette::ColorGroup group)
{
    QColor color = palette.color(group, QPalette::WindowText);
    color.setAlphaF(0.55F);
    return color;
}

QColor warningColor(const QPalette &palette)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    return dark ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xD9, 0x73, 0x00);
}

namespace {

void dim(QLabel *label)
{
    QPalette palette = label->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, secondaryColor(palette, group));
    label->setPalette(palette);
}

// Dims the label again from the inherited colours whenever its palette changes (light and dark), as
// a dimmed colour set once would keep the previous appearance's text colour.
class SecondaryColour : public QObject {
public:
    explicit SecondaryColour(QLabel *label) : QObject(label), label_(label) { refresh(); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == label_ && event->type() == QEvent::PaletteChange && !refreshing_)
            refresh();
        return false;
    }

private:
    void refresh()
    {
        refreshing_ = true;
        label_->setPalette(QPalette());
        dim(label_);
        refreshing_ = false;
    }

    QLabel *label_;
    bool refreshing_ = false;
};

} // namespace

void makeSecondary(QLabel *label)
{
    label->installEventFilter(new SecondaryColour(label));
}

QLabel *subheadline(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = sized(label->font(), subheadlinePointSize);
    font.setBold(true);
    label->setFont(font);
    return label;
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
