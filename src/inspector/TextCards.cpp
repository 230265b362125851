#include "inspector/TextCards.h"

#include "editors/ExpressionBuilderButton.h"
#include "editors/ExpressionBuilderPresentationState.h"
#include "inspector/ColorRow.h"
#include "inspector/EvaluationTimeControls.h"
#include "inspector/InspectorTexts.h"
#include "model/ElementFill.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/LinePieces.h"
#include "widgets/PlainTextEdit.h"
#include "widgets/WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace {

constexpr int captionWidth = 60;

QFont monospaced()
{
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(10);
    return mono;
}

// The multi-line editor of a text or an expression: 60 points tall, monospaced.
PlainTextEdit *codeEditor(const QString &name, QWidget *parent)
{
    auto *editor = new PlainTextEdit(parent);
    editor->setObjectName(name);
    editor->setFont(monospaced());
    editor->setFixedHeight(60);
    editor->setTabChangesFocus(true);
    editor->setStyleSheet(
        u"QPlainTextEdit { border: 1px solid rgba(128, 128, 128, 77); border-radius: 4px; }"_s);
    return editor;
}

// Shows the model's text in an editor the user may be typing in, keeping its caret when it
// already holds the text; an editor with the caret in it (an undo or redo typed there) puts the
// caret where the text changed. `written` is the text the editor last handed to the model, if
// the card has not been refreshed since: the model hands back that very string, which needs no
// reading.
void showPlainText(PlainTextEdit *editor, const QString &text, QString &written)
{
    const bool own = !written.isNull() && text.isSharedWith(written);
    written = QString();
    if (own || editor->holds(text))
        return;
    const QSignalBlocker blocker(editor);
    if (editor->window()->focusWidget() == editor)
        editor->setTextAtChange(text);
    else
        editor->setText(text);
}

// Calls `write` with the editor's text at every change the user makes.
template <typename Write> void writeOnChange(PlainTextEdit *editor, QObject *context, Write write)
{
    QObject::connect(editor, &PlainTextEdit::linesChanged, context,
                     [editor, write] { write(editor->text()); });
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFixedWidth(captionWidth);
    return label;
}

} // namespace

ColorRow *elementColorRow(const QString &label, const QString &name,
                          std::optional<ElementColor> ReportElement::*field,
                          const ElementWriter &writer, QWidget *parent)
{
    const bool isFill = field == &ReportElement::backColor;
    auto *row = new ColorRow(
        label, name,
        [writer, field, isFill](const std::optional<ElementColor> &color) {
            writer.update([&](ReportElement &e) {
                // A fill prints only in the opaque mode: choosing one sets the mode with it.
                if (isFill)
                    ElementFill::setFill(e, color);
                else
                    e.*field = color;
            });
        },
        parent);
    watchColorDialog(
        row->colorWell(), writer, [field, isFill](ReportElement &now, const ReportElement &opened) {
            now.*field = opened.*field;
            if (isFill)
                now.kept.setPart(u"reportElement"_s, opened.kept.part(u"reportElement"));
        });
    return row;
}

StaticTextCard::StaticTextCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), writer_(writer),
      editor_(codeEditor(u"inspector.text.editor"_s, this))
{
    setObjectName(u"inspector.text"_s);
    addWidget(editor_);
    writeOnChange(editor_, this, [this](const QString &text) {
        written_ = text;
        // The ends of lines the editor cannot hold (a carriage return) stay where the user left
        // them.
        writer_.updatePayload<ElementKind::StaticText>([&](ElementKind::StaticText &payload) {
            payload.text = linepieces::keptEnds(payload.text, text);
        });
    });
}

void StaticTextCard::refresh(const ReportElement &element, const ReportDocument &)
{
    if (const auto *payload = element.kind.as<ElementKind::StaticText>())
        showPlainText(editor_, payload->text, written_);
}

TextFieldExpressionCard::TextFieldExpressionCard(const ElementWriter &writer, const QString &title,
                                                 SidecarModel *sidecar, QWidget *parent)
    : SectionCard(title, parent), writer_(writer),
      editor_(codeEditor(u"inspector.expression.editor"_s, this))
{
    setObjectName(u"inspector.expression"_s);
    writeOnChange(editor_, this, [this](const QString &text) {
        written_ = text;
        write(text);
    });
    builder_ =
        new ExpressionBuilderButton(TextBinding{[this] { return editor_->text(); },
                                                [this](const QString &text) { write(text); }},
                                    ReportDocument{}, sidecar, this);
    builder_->setObjectName(u"inspector.expression.builder"_s);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(editor_, 1, Qt::AlignTop);
    row->addWidget(builder_, 0, Qt::AlignTop);
    addLayout(row);
    addWidget(InspectorRows::secondaryText(InspectorTexts::expressionHint(), this));
    // The builder's sheet covers the window while it edits: the editor takes what it wrote when
    // it closes, once, rather than being set and laid out again at every key.
    connect(builder_->presentation(), &ExpressionBuilderPresentationState::isVisibleChanged, this,
            [this] {
                if (!builder_->presentation()->isVisible() && heldExpression_)
                    showPlainText(editor_, *std::exchange(heldExpression_, std::nullopt), written_);
            });
}

void TextFieldExpressionCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    if (const auto *payload = element.kind.as<ElementKind::TextField>()) {
        if (builder_->presentation()->isVisible()) {
            heldExpression_ = payload->expression;
            written_ = QString();
        } else {
            showPlainText(editor_, payload->expression, written_);
        }
    }
    builder_->setDocument(document);
}

void TextFieldExpressionCard::write(const QString &expression)
{
    writer_.updatePayload<ElementKind::TextField>([&](ElementKind::TextField &payload) {
        payload.expression = linepieces::keptEnds(payload.expression, expression);
    });
}

FormatCard::FormatCard(const ElementWriter &writer, const QString &title, SidecarModel *sidecar,
                       QWidget *parent)
    : SectionCard(title, parent), writer_(writer)
{
    setObjectName(u"inspector.format"_s);

    pattern_ = new TextRow(
        u"Pattern"_s,
        [this](const QString &text) {
            writer_.update(
                [&](ReportElement &e) { e.pattern = InspectorEdits::optionalText(text); });
        },
        captionWidth, this);
    pattern_->lineEdit()->setObjectName(u"inspector.format.pattern"_s);
    pattern_->lineEdit()->setPlaceholderText(InspectorTexts::patternPlaceholder());
    addWidget(pattern_);

    blankWhenNull_ = new QCheckBox(u"Blank When Null"_s, this);
    blankWhenNull_->setObjectName(u"inspector.format.blankWhenNull"_s);
    connect(blankWhenNull_, &QCheckBox::clicked, this, [this](bool checked) {
        writer_.update([&](ReportElement &e) { e.isBlankWhenNull = checked; });
    });
    addWidget(blankWhenNull_);

    evaluation_ = new EvaluationTimeControls(writer_, u"inspector.format"_s, this);
    addWidget(evaluation_);

    overflow_ = new QComboBox(this);
    overflow_->setObjectName(u"inspector.format.overflow"_s);
    WheelGuard::ignoreUnlessFocused(overflow_);
    for (TextAdjust adjust : allCases<TextAdjust>())
        overflow_->addItem(InspectorTexts::overflowLabel(adjust));
    overflow_->setToolTip(InspectorTexts::overflowHelp());
    addWidget(InspectorRows::pickerRow(u"When Text Overflows"_s, overflow_, this));
    connect(overflow_, &QComboBox::activated, this, [this](int index) {
        const QList<TextAdjust> cases = allCases<TextAdjust>();
        const std::optional<ReportElement> element = writer_.current();
        if (!element || index < 0 || index >= cases.size())
            return;
        const std::optional<TextAdjust> stored = InspectorTexts::storedOverflow(cases.at(index));
        if (element->textAdjust != stored)
            writer_.update([&](ReportElement &e) { e.textAdjust = stored; });
    });

    hyperlink_ = new QLineEdit(this);
    hyperlink_->setObjectName(u"inspector.format.hyperlink"_s);
    hyperlink_->setPlaceholderText(InspectorTexts::hyperlinkPlaceholder());
    EnteredTextValidator::install(hyperlink_);
    connect(hyperlink_, &QLineEdit::textEdited, this, &FormatCard::writeHyperlink);
    hyperlinkBuilder_ = new ExpressionBuilderButton(
        TextBinding{[this] { return hyperlink_->text(); },
                    [this](const QString &text) { writeHyperlink(text); }},
        ReportDocument{}, sidecar, this);
    hyperlinkBuilder_->setObjectName(u"inspector.format.hyperlinkBuilder"_s);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(caption(u"Hyperlink"_s, this));
    row->addWidget(hyperlink_, 1);
    row->addWidget(hyperlinkBuilder_);
    addLayout(row);
}

void FormatCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    pattern_->showText(element.pattern.value_or(QString()));
    if (blankWhenNull_->isChecked() != element.isBlankWhenNull) {
        const QSignalBlocker blocker(blankWhenNull_);
        blankWhenNull_->setChecked(element.isBlankWhenNull);
    }
    evaluation_->refresh(element, document);
    // No value shows as the engine prints it: cut.
    InspectorRows::showIndex(overflow_, allCases<TextAdjust>().indexOf(
                                            element.textAdjust.value_or(TextAdjust::cutText)));
    InspectorRows::showText(hyperlink_, element.hyperlinkExpression.value_or(QString()));
    hyperlinkBuilder_->setDocument(document);
}

void FormatCard::writeHyperlink(const QString &text)
{
    writer_.update(
        [&](ReportElement &e) { e.hyperlinkExpression = InspectorEdits::optionalText(text); });
}

FontCard::FontCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), markup_(new QComboBox(this))
{
    setObjectName(u"inspector.font"_s);
    markup_->setObjectName(u"inspector.font.markup"_s);
    WheelGuard::ignoreUnlessFocused(markup_);
    for (const InspectorTexts::MarkupChoice &choice : InspectorTexts::markupChoices())
        markup_->addItem(choice.label);
    markup_->setToolTip(InspectorTexts::markupHelp());
    addWidget(InspectorRows::pickerRow(u"Markup"_s, markup_, this));
    connect(markup_, &QComboBox::activated, this, [this](int index) {
        const QList<InspectorTexts::MarkupChoice> choices = InspectorTexts::markupChoices();
        const std::optional<ReportElement> element = writer_.current();
        if (!element || index < 0 || index >= choices.size() ||
            InspectorTexts::markupIndex(element->markup) == index)
            return;
        writer_.update([&](ReportElement &e) { e.markup = choices.at(index).stored; });
    });

    text_ = elementColorRow(u"Text"_s, u"inspector.font.text"_s, &ReportElement::foreColor, writer_,
                            this);
    addWidget(text_);
    highlight_ = elementColorRow(u"Highlight"_s, u"inspector.font.highlight"_s,
                                 &ReportElement::backColor, writer_, this);
    addWidget(highlight_);
}

void FontCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    InspectorRows::showIndex(markup_, InspectorTexts::markupIndex(element.markup));
    text_->showColor(element.foreColor);
    highlight_->showFill(element, document.styles);
}
