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

// Colours the label again from the inherited colours whenever its palette changes (light and
// dark), as a colour set once would keep the previous appearance's.
class FollowedColour : public QObject {
public:
    FollowedColour(QLabel *label, void (*paint)(QLabel *))
        : QObject(label), label_(label), paint_(paint)
    {
        refresh();
    }

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
        paint_(label_);
        refreshing_ = false;
    }

    QLabel *label_;
    void (*paint_)(QLabel *);
    bool refreshing_ = false;
};

void warn(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, warningColor(palette));
    label->setPalette(palette);
}

} // namespace

void makeSecondary(QLabel *label)
{
    label->installEventFilter(new FollowedColour(label, dim));
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

QLabel *warning(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(sized(label->font(), captionPointSize));
    label->installEventFilter(new FollowedColour(label, warn));
    label->setVisible(false);
    return label;
}

void showWarning(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace CardText
