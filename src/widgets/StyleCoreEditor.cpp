#include "widgets/StyleCoreEditor.h"

#include "widgets/CardText.h"
#include "widgets/ColorWell.h"
#include "widgets/DataRowButtons.h"
#include "widgets/InspectorRows.h"
#include "widgets/StyleEditorTexts.h"
#include "widgets/WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void StyleBinding::write(const std::function<void(ReportStyle &)> &change) const
{
    const std::optional<ReportStyle> before = get ? get() : std::nullopt;
    if (!before)
        return;
    ReportStyle after = *before;
    change(after);
    if (after != *before)
        set(after);
}

namespace StyleEditorParts {

QHBoxLayout *captionedWell(const QString &caption, ColorWell *well, const QFont &font,
                           QWidget *clear)
{
    auto *label = new QLabel(caption, well->parentWidget());
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    well->setAccessibleName(caption);
    auto *pair = new QHBoxLayout;
    pair->setSpacing(4);
    pair->addWidget(label);
    pair->addWidget(well);
    if (clear)
        pair->addWidget(clear);
    return pair;
}

} // namespace StyleEditorParts

namespace {

constexpr int rowSpacing = 4;
constexpr int controlSpacing = 8;

QHBoxLayout *controlRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(controlSpacing);
    return row;
}

const QList<std::pair<QString, TextAlignment>> &alignments()
{
    static const QList<std::pair<QString, TextAlignment>> entries{
        {u"Left"_s, TextAlignment::left},
        {u"Center"_s, TextAlignment::center},
        {u"Right"_s, TextAlignment::right}};
    return entries;
}

} // namespace

StyleCoreEditor::StyleCoreEditor(StyleBinding style, QWidget *parent)
    : QWidget(parent), style_(std::move(style)), name_(new QLineEdit(this)),
      default_(new QCheckBox(u"Default"_s, this)),
      move_(new MoveButtons(
          [this](int offset) {
              const std::function<void()> &action =
                  offset < 0 ? actions_.onMoveUp : actions_.onMoveDown;
              if (action)
                  action();
          },
          this)),
      remove_(DataRowButtons::removeButton(
          nullptr,
          [this] {
              if (actions_.onRemove)
                  actions_.onRemove();
              return true;
          },
          this)),
      font_(new QComboBox(this)), size_(new QLineEdit(this)),
      bold_(checkbox(u"B"_s, &ReportStyle::isBold)),
      italic_(checkbox(u"I"_s, &ReportStyle::isItalic)),
      underline_(checkbox(u"U"_s, &ReportStyle::isUnderline)), alignment_(new QComboBox(this)),
      text_(new ColorWell(
          Qt::black,
          [this](const ElementColor &color) {
              style_.write([&](ReportStyle &s) { s.foreColor = color; });
          },
          this)),
      fill_(new ColorWell(
          Qt::white,
          [this](const ElementColor &color) {
              style_.write([&](ReportStyle &s) { s.backColor = color; });
          },
          this))
{
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(rowSpacing);

    // Row 1: name, default flag, the move pair and remove.
    name_->setPlaceholderText(u"name"_s);
    name_->setFixedWidth(nameWidth);
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString &text) { style_.write([&](ReportStyle &s) { s.name = text; }); });
    connect(default_, &QCheckBox::clicked, this,
            [this](bool on) { style_.write([&](ReportStyle &s) { s.isDefault = on; }); });
    move_->setFont(CardText::sized(font(), CardText::captionPointSize));
    move_->layout()->setSpacing(2);
    auto *first = controlRow();
    first->addWidget(name_);
    first->addWidget(default_);
    first->addWidget(move_);
    first->addWidget(remove_);
    first->addStretch(1); // the controls sit together at the leading edge
    rows->addLayout(first);

    // Rows 2 and 3 in the 10-point font.
    const QFont small = CardText::sized(font(), CardText::captionPointSize);
    font_->setFixedWidth(fontWidth);
    WheelGuard::ignoreUnlessFocused(font_);
    WheelGuard::ignoreUnlessFocused(alignment_);
    connect(font_, &QComboBox::activated, this, [this](int index) {
        const QString name = font_->itemText(index);
        style_.write([&](ReportStyle &s) { s.fontName = name; });
    });
    size_->setPlaceholderText(u"size"_s);
    size_->setFixedWidth(sizeWidth);
    connect(size_, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (const std::optional<double> size = StyleEditorTexts::parsedSize(text))
            style_.write([&](ReportStyle &s) { s.fontSize = *size; });
    });
    for (const auto &[label, value] : alignments())
        alignment_->addItem(label, int(value));
    alignment_->setFixedWidth(alignmentWidth);
    connect(alignment_, &QComboBox::activated, this, [this](int index) {
        const auto value = TextAlignment(alignment_->itemData(index).toInt());
        style_.write([&](ReportStyle &s) { s.textAlignment = value; });
    });
    auto *second = controlRow();
    for (QWidget *control :
         {static_cast<QWidget *>(font_), static_cast<QWidget *>(size_),
          static_cast<QWidget *>(bold_), static_cast<QWidget *>(italic_),
          static_cast<QWidget *>(underline_), static_cast<QWidget *>(alignment_)}) {
        control->setFont(small);
        second->addWidget(control);
    }
    second->addStretch(1);
    rows->addLayout(second);

    auto *third = controlRow();
    third->addLayout(StyleEditorParts::captionedWell(u"Text"_s, text_, small));
    third->addLayout(StyleEditorParts::captionedWell(u"Fill"_s, fill_, small));
    third->addStretch(1);
    rows->addLayout(third);

    setActions({});
    refresh();
}

QCheckBox *StyleCoreEditor::checkbox(const QString &label, bool ReportStyle::*flag)
{
    auto *box = new QCheckBox(label, this);
    connect(box, &QCheckBox::clicked, this,
            [this, flag](bool on) { style_.write([&](ReportStyle &s) { s.*flag = on; }); });
    return box;
}

void StyleCoreEditor::setActions(Actions actions)
{
    actions_ = std::move(actions);
    move_->setVisible(actions_.onMoveUp || actions_.onMoveDown);
    move_->up()->setEnabled(bool(actions_.onMoveUp));
    move_->down()->setEnabled(bool(actions_.onMoveDown));
    remove_->setVisible(bool(actions_.onRemove));
}

void StyleCoreEditor::refresh()
{
    const std::optional<ReportStyle> style = style_.get ? style_.get() : std::nullopt;
    if (!style)
        return;
    InspectorRows::showText(name_, style->name);
    const QSignalBlocker blockDefault(default_);
    default_->setChecked(style->isDefault);

    const QStringList options = StyleEditorTexts::fontOptions(style->fontName);
    QStringList shown;
    for (int i = 0; i < font_->count(); ++i)
        shown.append(font_->itemText(i));
    if (shown != options) {
        const QSignalBlocker blocker(font_);
        font_->clear();
        font_->addItems(options);
    }
    InspectorRows::showIndex(font_, int(options.indexOf(style->fontName)));

    // A text that stands for the stored size stays as the user typed it ("10.0").
    if (StyleEditorTexts::parsedSize(size_->text()) != style->fontSize)
        InspectorRows::showText(size_, StyleEditorTexts::shownSize(style->fontSize));

    for (const auto &[box, on] : {std::pair{bold_, style->isBold},
                                  {italic_, style->isItalic},
                                  {underline_, style->isUnderline}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }
    InspectorRows::showIndex(alignment_, alignment_->findData(int(style->textAlignment)));
    text_->showColor(style->foreColor);
    fill_->showColor(style->backColor);
}

void StyleCoreEditor::setNames(const QString &name)
{
    setObjectName(name + u".core"_s);
    const QList<std::pair<QWidget *, QString>> controls{{name_, u"name"_s},
                                                        {default_, u"default"_s},
                                                        {move_->up(), u"up"_s},
                                                        {move_->down(), u"down"_s},
                                                        {remove_, u"remove"_s},
                                                        {font_, u"font"_s},
                                                        {size_, u"size"_s},
                                                        {bold_, u"bold"_s},
                                                        {italic_, u"italic"_s},
                                                        {underline_, u"underline"_s},
                                                        {alignment_, u"alignment"_s},
                                                        {text_, u"text"_s},
                                                        {fill_, u"fill"_s}};
    for (const auto &[control, suffix] : controls)
        control->setObjectName(name + u'.' + suffix);
}
