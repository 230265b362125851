#include "datapanel/ConditionalStylesEditor.h"

#include "document/DatasetLacks.h"
#include "editors/ExpressionBuilderButton.h"
#include "edits/DataListEdits.h"
#include "widgets/CardText.h"
#include "widgets/ColorWell.h"
#include "widgets/DataRowButtons.h"
#include "widgets/InspectorRows.h"
#include "widgets/StyleEditorTexts.h"
#include "widgets/SymbolIcons.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int toggleSide = 16;

QColor withAlpha(QColor color, float alpha)
{
    color.setAlphaF(alpha);
    return color;
}

// The small "clear" of a colour that is set.
QPushButton *clearButton(QWidget *parent)
{
    auto *button = new QPushButton(u"clear"_s, parent);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(CardText::sized(button->font(), CardText::caption2PointSize));
    button->setStyleSheet(
        u"QPushButton { color: palette(highlight); border: none; padding: 0 2px; }"_s);
    return button;
}

} // namespace

TriStateToggle::TriStateToggle(const QString &label,
                               std::function<void(std::optional<bool>)> onChange, QWidget *parent)
    : QToolButton(parent)
{
    setText(label);
    setToolTip(StyleEditorTexts::toggleHelp);
    setAccessibleName(label);
    setFixedSize(toggleSide, toggleSide);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QToolButton::clicked, this, [this, onChange = std::move(onChange)] {
        onChange(StyleEditorTexts::nextToggleState(state_));
    });
}

void TriStateToggle::showState(const std::optional<bool> &state)
{
    if (state == state_)
        return;
    state_ = state;
    update();
}

void TriStateToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    if (state_)
        painter.fillPath(box, *state_ ? withAlpha(palette().color(QPalette::Highlight), 0.6F)
                                      : withAlpha(QColor(0xFF, 0x3B, 0x30), 0.4F));
    painter.setPen(QPen(withAlpha(QColor(Qt::gray), 0.4F), 1));
    painter.drawPath(box);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawPath(box);
    }
}

ConditionalRuleCard::ConditionalRuleCard(const QUuid &id, const StyleBinding &style,
                                         SidecarModel *sidecar, QWidget *parent)
    : QWidget(parent), id_(id), style_(style), condition_(new QLineEdit(this))
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(6, 6, 6, 6);
    stack->setSpacing(2);

    condition_->setPlaceholderText(u"condition, e.g. $V{REPORT_COUNT}%2==0"_s);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(CardText::captionPointSize);
    condition_->setFont(mono);
    connect(condition_, &QLineEdit::textEdited, this, [this](const QString &text) {
        write([&](ConditionalStyleRule &rule) { rule.conditionExpression = text; });
    });
    const std::optional<ConditionalStyleRule> rule = current();
    builder_ = new ExpressionBuilderButton(
        TextBinding{[this] {
                        const std::optional<ConditionalStyleRule> now = current();
                        return now ? now->conditionExpression : QString();
                    },
                    [this](const QString &text) {
                        write([&](ConditionalStyleRule &r) { r.conditionExpression = text; });
                    }},
        ReportDocument(), sidecar, this);
    remove_ = new QToolButton(this);
    remove_->setAutoRaise(true);
    remove_->setProperty(SymbolIcons::symbolProperty, u"xmark.circle.fill"_s);
    remove_->setIconSize(QSize(14, 14));
    remove_->setIcon(SymbolIcons::tintedPixmap(u"xmark.circle.fill"_s, QSize(14, 14),
                                               devicePixelRatioF(), QColor(0xFF, 0x3B, 0x30)));
    connect(remove_, &QToolButton::clicked, this, [this] {
        const QUuid id = id_;
        style_.write([&](ReportStyle &s) {
            s.conditionalStyles.removeIf([&](const ConditionalStyleRule &r) { return r.id == id; });
        });
    });
    auto *first = new QHBoxLayout;
    first->setSpacing(4);
    first->addWidget(condition_, 1);
    first->addWidget(builder_);
    first->addWidget(remove_);
    stack->addLayout(first);
    lacks_ = CardText::warning(this);
    stack->addWidget(lacks_);

    const QFont small = CardText::sized(font(), CardText::captionPointSize);
    auto toggle = [this, &small](const QString &label,
                                 std::optional<bool> ConditionalStyleRule::*flag) {
        auto *button = new TriStateToggle(
            label,
            [this, flag](std::optional<bool> state) {
                write([&](ConditionalStyleRule &r) { r.*flag = state; });
            },
            this);
        button->setFont(small);
        return button;
    };
    bold_ = toggle(u"B"_s, &ConditionalStyleRule::isBold);
    italic_ = toggle(u"I"_s, &ConditionalStyleRule::isItalic);
    underline_ = toggle(u"U"_s, &ConditionalStyleRule::isUnderline);
    auto colour = [this](std::optional<ElementColor> ConditionalStyleRule::*field, QColor absent) {
        return new ColorWell(
            absent,
            [this, field](const ElementColor &color) {
                write([&](ConditionalStyleRule &r) { r.*field = color; });
            },
            this);
    };
    text_ = colour(&ConditionalStyleRule::foreColor, Qt::black);
    fill_ = colour(&ConditionalStyleRule::backColor, Qt::white);
    textClear_ = clearButton(this);
    fillClear_ = clearButton(this);
    for (const auto &[button, field] : {std::pair{textClear_, &ConditionalStyleRule::foreColor},
                                        {fillClear_, &ConditionalStyleRule::backColor}})
        connect(button, &QPushButton::clicked, this, [this, field = field] {
            write([&](ConditionalStyleRule &r) { r.*field = std::nullopt; });
        });

    auto *second = new QHBoxLayout;
    second->setSpacing(8);
    for (TriStateToggle *t : {bold_, italic_, underline_})
        second->addWidget(t);
    second->addLayout(StyleEditorParts::captionedWell(u"Text"_s, text_, small, textClear_));
    second->addLayout(StyleEditorParts::captionedWell(u"Fill"_s, fill_, small, fillClear_));
    second->addStretch(1);
    stack->addLayout(second);

    refresh(rule.value_or(ConditionalStyleRule{}), nullptr);
}

std::optional<ConditionalStyleRule> ConditionalRuleCard::current() const
{
    const std::optional<ReportStyle> style = style_.get ? style_.get() : std::nullopt;
    if (!style)
        return std::nullopt;
    const ConditionalStyleRule *rule = DataListEdits::find(style->conditionalStyles, id_);
    return rule ? std::optional(*rule) : std::nullopt;
}

void ConditionalRuleCard::write(const std::function<void(ConditionalStyleRule &)> &change) const
{
    const QUuid id = id_;
    style_.write([&](ReportStyle &s) {
        const qsizetype index = DataListEdits::indexOf(s.conditionalStyles, id);
        if (index >= 0)
            change(s.conditionalStyles[index]);
    });
}

void ConditionalRuleCard::refresh(const ConditionalStyleRule &rule, const ReportDocument *document)
{
    InspectorRows::showText(condition_, rule.conditionExpression);
    if (document) {
        builder_->setDocument(*document);
        const std::optional<ReportStyle> style = style_.get ? style_.get() : std::nullopt;
        CardText::showWarning(lacks_, style ? DatasetLacks::conditionNotes(*document, style->name,
                                                                           rule.conditionExpression)
                                                  .join(u'\n')
                                            : QString());
    }
    bold_->showState(rule.isBold);
    italic_->showState(rule.isItalic);
    underline_->showState(rule.isUnderline);
    text_->showColor(rule.foreColor);
    textClear_->setVisible(rule.foreColor.has_value());
    fill_->showColor(rule.backColor);
    fillClear_->setVisible(rule.backColor.has_value());
}

void ConditionalRuleCard::setNames(const QString &name)
{
    setObjectName(name);
    const QList<std::pair<QWidget *, QString>> controls{
        {condition_, u"condition"_s}, {builder_, u"builder"_s},
        {remove_, u"remove"_s},       {bold_, u"bold"_s},
        {italic_, u"italic"_s},       {underline_, u"underline"_s},
        {text_, u"text"_s},           {textClear_, u"text.clear"_s},
        {fill_, u"fill"_s},           {fillClear_, u"fill.clear"_s},
        {lacks_, u"lacks"_s}};
    for (const auto &[control, suffix] : controls)
        control->setObjectName(name + u'.' + suffix);
}

void ConditionalRuleCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 4, 4);
    painter.fillPath(shape, withAlpha(QColor(Qt::gray), 0.08F));
}

ConditionalStylesEditor::ConditionalStylesEditor(StyleBinding style, SidecarModel *sidecar,
                                                 QWidget *parent)
    : QWidget(parent), style_(std::move(style)), sidecar_(sidecar),
      title_(new QLabel(u"Conditional Styles"_s, this)), cardColumn_(new QVBoxLayout),
      cards_(cardColumn_)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    title_->setFont(CardText::sized(title_->font(), CardText::caption2PointSize));
    CardText::makeSecondary(title_);
    stack->addWidget(title_);
    cardColumn_->setContentsMargins(0, 0, 0, 0);
    cardColumn_->setSpacing(4);
    stack->addLayout(cardColumn_);
    add_ = DataRowButtons::addButton(
        u"Add Condition"_s,
        [this] {
            style_.write([](ReportStyle &s) {
                s.conditionalStyles.append(DataListDefaults::conditionalStyle());
            });
        },
        this, u"plus.circle"_s);
    add_->setFont(CardText::sized(add_->font(), CardText::caption2PointSize));
    stack->addWidget(add_, 0, Qt::AlignLeft);
    refresh();
}

void ConditionalStylesEditor::refresh(const ReportDocument *document)
{
    const std::optional<ReportStyle> style = style_.get ? style_.get() : std::nullopt;
    if (!style)
        return;
    const QList<ConditionalStyleRule> &rules = style->conditionalStyles;
    title_->setVisible(!rules.isEmpty());

    cards_.update(DataListEdits::ids(rules), [this](const QUuid &id) {
        return new ConditionalRuleCard(id, style_, sidecar_, this);
    });
    for (ConditionalRuleCard *card : cards_.widgets())
        if (const ConditionalStyleRule *rule = DataListEdits::find(rules, card->id()))
            card->refresh(*rule, document);
    if (!name_.isEmpty())
        setNames(name_);
}

void ConditionalStylesEditor::setNames(const QString &name)
{
    name_ = name;
    setObjectName(name);
    add_->setObjectName(name + u".add"_s);
    title_->setObjectName(name + u".title"_s);
    const QList<ConditionalRuleCard *> &cards = cards_.widgets();
    for (int i = 0; i < cards.size(); ++i)
        cards[i]->setNames(name + u".rule"_s + QString::number(i));
}
