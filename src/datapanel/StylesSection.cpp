#include "datapanel/StylesSection.h"

#include "datapanel/ConditionalStylesEditor.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/RemovalQuestions.h"
#include "edits/DataListEdits.h"
#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/DataRowButtons.h"
#include "widgets/DuplicateNames.h"
#include "widgets/LazyRowColumn.h"
#include "widgets/StyleCoreEditor.h"
#include "widgets/StyleEditorTexts.h"
#include "widgets/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString cardName()
{
    return DataPanelCards::objectName(DataPanelCard::styles);
}

QPushButton *captionButton(const QString &title, QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    button->setAutoDefault(false);
    button->setFont(CardText::sized(button->font(), CardText::caption2PointSize));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

StyleBinding bindingOf(DocumentStore *store, const QUuid &id)
{
    const DataListEdits::RowWriter<ReportStyle> writer(store, &ReportDocument::styles, id);
    return {[writer]() -> std::optional<ReportStyle> {
                const ReportStyle *style = writer.current();
                return style ? std::optional(*style) : std::nullopt;
            },
            [writer](const ReportStyle &style) {
                writer.write([&](ReportStyle &stored) { stored = style; });
            }};
}

} // namespace

StyleRow::StyleRow(const QUuid &id, const DataPanelContext &context, QWidget *parent)
    : DataRowCard(parent), id_(id), store_(context.store), dialogs_(context.dialogs),
      editor_(new StyleCoreEditor(bindingOf(context.store, id), this)),
      conditions_(new ConditionalStylesEditor(bindingOf(context.store, id), context.sidecar, this)),
      usage_(new QLabel(this)), reapply_(captionButton(u"Reapply"_s, this)),
      apply_(captionButton(u"Apply to Selected Element"_s, this)),
      hint_(new QLabel(StyleEditorTexts::applyHint, this)),
      nameWarning_(DuplicateNames::warningLabel(this))
{
    QVBoxLayout *stack = DuplicateNames::underEditor(editor_, nameWarning_);
    auto *conditions = new QVBoxLayout;
    conditions->setContentsMargins(0, 2, 0, 2);
    conditions->addWidget(conditions_);
    stack->addLayout(conditions);

    usage_->setFont(CardText::sized(usage_->font(), CardText::caption2PointSize));
    CardText::makeSecondary(usage_);
    connect(reapply_, &QPushButton::clicked, this, [this] {
        if (const std::optional<ReportStyle> style = current(); style && store_)
            store_->reapplyStyle(*style);
    });
    apply_->setIcon(SymbolIcons::icon(u"paintbrush.fill"_s));
    apply_->setProperty(SymbolIcons::symbolProperty, u"paintbrush.fill"_s);
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (!store_)
            return;
        const std::optional<ReportStyle> style = current();
        const std::optional<QUuid> element = store_->selectedElementID();
        if (style && element && store_->element(*element))
            store_->applyStyle(*style, *element);
    });
    hint_->setFont(CardText::sized(hint_->font(), CardText::caption2PointSize));
    CardText::makeSecondary(hint_);
    hint_->setEnabled(false); // the dimmer, tertiary text
    auto *usageLine = new QHBoxLayout;
    usageLine->setSpacing(8);
    usageLine->addWidget(usage_);
    usageLine->addWidget(reapply_);
    usageLine->addStretch(1);
    usageLine->addWidget(apply_);
    usageLine->addWidget(hint_);
    stack->addLayout(usageLine);
    setContent(stack);
}

std::optional<ReportStyle> StyleRow::current() const
{
    const ReportStyle *style =
        store_ ? DataListEdits::find(store_->document().styles, id_) : nullptr;
    return style ? std::optional(*style) : std::nullopt;
}

void StyleRow::refresh(int index, int count)
{
    const std::optional<ReportStyle> style = current();
    if (!style || !store_)
        return;
    DocumentStore *store = store_;
    const QPointer<DocumentStore> guarded = store_;
    const QUuid id = id_;
    StyleCoreEditor::Actions actions;
    if (index > 0)
        actions.onMoveUp = [guarded, id] {
            if (guarded)
                DataListEdits::moveRow(*guarded, &ReportDocument::styles,
                                       DataListOperations::styles(), id, -1);
        };
    if (index < count - 1)
        actions.onMoveDown = [guarded, id] {
            if (guarded)
                DataListEdits::moveRow(*guarded, &ReportDocument::styles,
                                       DataListOperations::styles(), id, +1);
        };
    actions.onRemove = [guarded, id, dialogs = dialogs_] {
        if (guarded &&
            RemovalQuestions::mayDelete(dialogs, *guarded, ReportReferences::Kind::style, id))
            guarded->removeStyle(id);
    };
    editor_->setActions(std::move(actions));

    const QString name = cardName() + u".row"_s + QString::number(index);
    setObjectName(name);
    editor_->setNames(name);
    conditions_->setNames(name + u".conditions"_s);
    usage_->setObjectName(name + u".usage"_s);
    reapply_->setObjectName(name + u".reapply"_s);
    apply_->setObjectName(name + u".apply"_s);
    hint_->setObjectName(name + u".hint"_s);
    nameWarning_->setObjectName(name + u".nameWarning"_s);

    editor_->refresh();
    const bool shared = DuplicateNames::isShared(store->document().styles, style->name);
    DuplicateNames::showWarning(nameWarning_,
                                shared ? DuplicateNames::warning(u"style"_s) : QString());
    conditions_->refresh(&store->document());
    // One count with the question before the style's deletion; "Reapply" reaches the elements
    // that name it.
    usage_->setText(
        StyleEditorTexts::usageLine(RemovalQuestions::styleUses(store->document(), id_).elements));
    reapply_->setVisible(store->elementCountReferencingStyle(style->name) >= 1);
    const std::optional<QUuid> selected = store->selectedElementID();
    const bool canApply = selected && store->element(*selected).has_value();
    apply_->setVisible(canApply);
    hint_->setVisible(!canApply);
}

StylesSection::StylesSection(const DataPanelContext &context, QWidget *parent)
    : DataPanelPart(parent), context_(context),
      rowColumn_(new LazyRowColumn(
          CardSection::spacing,
          [this](const QUuid &id) { return new StyleRow(id, context_, rowColumn_); }, this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(CardSection::spacing);
    column->addWidget(rowColumn_);
    connect(rowColumn_, &LazyRowColumn::rowMade, this, [this](qsizetype index, QWidget *row) {
        static_cast<StyleRow *>(row)->refresh(int(index), int(rowColumn_->count()));
    });
    add_ = DataRowButtons::addButton(
        u"Add Style"_s,
        [store = context_.store] {
            if (store)
                store->addStyle();
        },
        this);
    add_->setObjectName(cardName() + u".add"_s);
    column->addWidget(add_, 0, Qt::AlignLeft);
    if (context_.store)
        connect(context_.store, &DocumentStore::selectedElementIDsChanged, this,
                &StylesSection::refresh);
    refresh();
}

QList<StyleRow *> StylesSection::rows() const
{
    QList<StyleRow *> out;
    out.reserve(rowColumn_->count());
    for (qsizetype i = 0; i < rowColumn_->count(); ++i)
        out.append(static_cast<StyleRow *>(rowColumn_->rowAt(i)));
    return out;
}

StyleRow *StylesSection::showRow(int index)
{
    return static_cast<StyleRow *>(rowColumn_->showRow(index));
}

// Rows made while the column takes the new ids show their style as they are made; the rows
// made before show it anew in place.
void StylesSection::refresh()
{
    if (!context_.store)
        return;
    const QList<QUuid> ids = DataListEdits::ids(context_.store->document().styles);
    QSet<QWidget *> madeBefore;
    for (qsizetype i = 0; i < rowColumn_->count(); ++i)
        if (QWidget *row = rowColumn_->rowAt(i))
            madeBefore.insert(row);
    rowColumn_->setRows(ids);
    rowColumn_->setVisible(!ids.isEmpty());
    const int count = int(rowColumn_->count());
    for (int i = 0; i < count; ++i)
        if (QWidget *row = rowColumn_->rowAt(i); row && madeBefore.contains(row))
            static_cast<StyleRow *>(row)->refresh(i, count);
}
