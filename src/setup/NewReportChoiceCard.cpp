#include "setup/NewReportChoiceCard.h"

#include "widgets/CardText.h"
#include "widgets/ColorHex.h"
#include "widgets/SymbolIcons.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int labelGap = 6;
constexpr qreal cardRadius = 6;
constexpr double presetCardMinimumWidth = 96;

// The outline of a sample that is not chosen: grey at 40 %.
QColor idleOutline()
{
    QColor grey(Qt::gray);
    grey.setAlphaF(0.4);
    return grey;
}

} // namespace

double NewReportChoiceCard::thumbnailRatio(const std::optional<PageSize> &size)
{
    constexpr double a4Ratio = 210.0 / 297.0;
    if (!size || !(size->width > 0) || !(size->height > 0))
        return a4Ratio;
    const double ratio = size->width / size->height;
    return std::isfinite(ratio) && ratio > 0 ? ratio : a4Ratio;
}

QSizeF NewReportChoiceCard::fitted(double ratio, double width, double height)
{
    if (!(ratio > 0) || !(width > 0) || !(height > 0))
        return {0, 0};
    if (height * ratio <= width)
        return {height * ratio, height};
    return {width, width / ratio};
}

NewReportChoiceCard *NewReportChoiceCard::presetCard(PageFormatPreset preset,
                                                     std::function<void()> onChoose,
                                                     QWidget *parent)
{
    const bool isCustom = preset == PageFormatPreset::custom;
    Look look{PageFormatPresets::displayText(preset),
              CardText::bodyPointSize,
              8,
              thumbnailRatio(PageFormatPresets::size(preset)),
              QSizeF(0, thumbnailHeight),
              3,
              Qt::white,
              isCustom ? u"ruler"_s : QString()};
    return new NewReportChoiceCard(std::move(look), std::move(onChoose), parent);
}

NewReportChoiceCard *NewReportChoiceCard::headerSwatch(StarterHeaderStyle style,
                                                       std::function<void()> onChoose,
                                                       QWidget *parent)
{
    QColor fill = Qt::white;
    if (const std::optional<ElementColor> color = StarterHeaderStyles::headerColor(style))
        fill = ColorHex::fromHex(color->hex).value_or(QColor(Qt::white));
    Look look{StarterHeaderStyles::displayText(style),
              CardText::captionPointSize,
              6,
              swatchSize.width() / swatchSize.height(),
              swatchSize,
              4,
              fill,
              style == StarterHeaderStyle::none ? u"slash.circle"_s : QString()};
    return new NewReportChoiceCard(std::move(look), std::move(onChoose), parent);
}

NewReportChoiceCard::NewReportChoiceCard(Look look, std::function<void()> onChoose, QWidget *parent)
    : QWidget(parent), look_(std::move(look)), text_(look_.text), fill_(look_.fill),
      symbol_(look_.symbol), onChoose_(std::move(onChoose))
{
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(text_);
    setToolTip(text_);
    if (look_.sampleBox.width() == 0)
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void NewReportChoiceCard::setChosen(bool chosen)
{
    if (chosen == isChosen_)
        return;
    isChosen_ = chosen;
    update();
}

QFont NewReportChoiceCard::labelFont() const
{
    return CardText::sized(font(), look_.labelPointSize);
}

QSize NewReportChoiceCard::sizeHint() const
{
    const QFontMetrics metrics(labelFont());
    if (look_.sampleBox.width() > 0) {
        // A swatch: as wide as its sample or its name, on one line.
        const int width =
            std::max(int(std::ceil(look_.sampleBox.width())), metrics.horizontalAdvance(text_)) +
            2 * look_.padding;
        return {width, int(std::ceil(look_.sampleBox.height())) + labelGap + metrics.height() +
                           2 * look_.padding};
    }
    // A preset card takes its grid column's width; its name wraps to fit the narrowest column.
    const int width = int(presetCardMinimumWidth);
    return {width, int(std::ceil(look_.sampleBox.height())) + labelGap +
                       labelHeight(width - 2 * look_.padding) + 2 * look_.padding};
}

int NewReportChoiceCard::labelHeight(int width) const
{
    const QFontMetrics metrics(labelFont());
    return metrics
        .boundingRect(QRect(0, 0, std::max(width, 1), 10 * metrics.height()),
                      Qt::AlignHCenter | Qt::TextWordWrap, text_)
        .height();
}

QRectF NewReportChoiceCard::sampleRect() const
{
    const double innerWidth = width() - 2.0 * look_.padding;
    const QSizeF size = look_.sampleBox.width() > 0
                            ? look_.sampleBox
                            : fitted(look_.ratio, innerWidth, look_.sampleBox.height());
    // Centred in the sample's row, whose height is the box's.
    const double x = look_.padding + (innerWidth - size.width()) / 2;
    const double y = look_.padding + (look_.sampleBox.height() - size.height()) / 2;
    return {x, y, size.width(), size.height()};
}

void NewReportChoiceCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    if (isChosen_) {
        QColor tint = accent;
        tint.setAlphaF(0.1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        painter.drawRoundedRect(QRectF(rect()), cardRadius, cardRadius);
    }

    const QRectF sample = sampleRect();
    const double outline = isChosen_ ? 2 : 1;
    painter.setPen(QPen(isChosen_ ? accent : idleOutline(), outline));
    painter.setBrush(fill_);
    const double inset = outline / 2;
    painter.drawRoundedRect(sample.adjusted(inset, inset, -inset, -inset), look_.sampleRadius,
                            look_.sampleRadius);
    if (!symbol_.isEmpty()) {
        const int side = int(std::min(16.0, std::min(sample.width(), sample.height())));
        if (side > 0) {
            // Samples with a symbol are white in both appearances, so the symbol takes the
            // secondary colour of text on white, not the palette's (light in the dark look).
            const QPixmap pixmap = SymbolIcons::tintedPixmap(
                symbol_, QSize(side, side), devicePixelRatioF(), QColor(0, 0, 0, 128));
            const QPointF topLeft = sample.center() - QPointF(side / 2.0, side / 2.0);
            painter.drawPixmap(topLeft, pixmap);
        }
    }

    painter.setFont(labelFont());
    painter.setPen(isChosen_ ? accent : palette().color(QPalette::WindowText));
    const double top = look_.padding + look_.sampleBox.height() + labelGap;
    const QRectF label(look_.padding, top, width() - 2.0 * look_.padding, height() - top);
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text_);
}

void NewReportChoiceCard::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onChoose_)
        onChoose_();
    QWidget::mouseReleaseEvent(event);
}
