#include "inspector/DataItemInspector.h"

#include "document/DocumentStore.h"
#include "editors/ExpressionBuilderButton.h"
#include "edits/DataItemEdits.h"
#include "edits/InspectorEdits.h"
#include "inspector/SectionCard.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/PlainToolTip.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int headerIconSize = 12;

// The symbol and the semibold title at the top of the inspector.
QWidget *header(const QString &symbol, const QString &title, QWidget *parent)
{
    auto *row = new QWidget(parent);
    row->setObjectName(u"inspector.dataItem.header"_s);
    row->setProperty(SymbolIcons::symbolProperty, symbol);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto *icon = new QLabel(row);
    icon->setPixmap(SymbolIcons::icon(symbol).pixmap(headerIconSize, headerIconSize));
    layout->addWidget(icon);
    QLabel *text = InspectorRows::heading(title, row);
    text->setObjectName(u"inspector.dataItem.title"_s);
    layout->addWidget(text, 1);
    return row;
}

// The rows' caption width: 70, or what the longest caption needs in the panel's font, so that
// "Description" is not cut and the fields still line up.
int captionWidth(const QWidget *card)
{
    int width = TextRow::defaultLabelWidth;
    for (const QString &caption : {u"Name"_s, u"Class"_s, u"Description"_s})
        width = std::max(width, card->fontMetrics().horizontalAdvance(caption) + 2);
    return width;
}

} // namespace

DataItemInspector::DataItemInspector(const InspectorContext &context,
                                     const InspectorDataSelection &item, QWidget *parent)
    : InspectorPage(parent), context_(context), store_(context.store), item_(item),
      content_(new QWidget(this))
{
    setObjectName(u"inspector.dataItem"_s);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(content_);
    if (item.kind == InspectorDataSelection::Kind::field)
        buildField(content_);
    else
        buildParameter(content_);
    usage_ = InspectorRows::secondaryText({}, content_);
    usage_->setObjectName(u"inspector.dataItem.usage"_s);
    content_->layout()->addWidget(usage_);
    name_->lineEdit()->setObjectName(u"inspector.dataItem.name"_s);
    className_->lineEdit()->setObjectName(u"inspector.dataItem.class"_s);
    description_->lineEdit()->setObjectName(u"inspector.dataItem.description"_s);
    if (prompt_) {
        prompt_->setObjectName(u"inspector.dataItem.prompt"_s);
        defaultValue_->setObjectName(u"inspector.dataItem.defaultValue.expression"_s);
        builder_->setObjectName(u"inspector.dataItem.defaultValue.builder"_s);
    }
}

void DataItemInspector::buildField(QWidget *content)
{
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(header(u"curlybraces"_s, DataItemEdits::fieldTitle(), content));

    const QUuid id = item_.id;
    const auto write = [this, id](const std::function<void(ReportField &)> &change) {
        if (store_)
            DataItemEdits::writeField(*store_, id, change);
    };
    auto *properties = new SectionCard(u"Properties"_s, content);
    properties->setObjectName(u"inspector.dataItem.properties"_s);
    name_ = new TextRow(
        u"Name"_s, [write](const QString &text) { write([&](ReportField &f) { f.name = text; }); },
        captionWidth(properties), properties);
    className_ = new TextRow(
        u"Class"_s,
        [write](const QString &text) { write([&](ReportField &f) { f.className = text; }); },
        captionWidth(properties), properties);
    description_ = new TextRow(
        u"Description"_s,
        [write](const QString &text) {
            write([&](ReportField &f) { f.fieldDescription = InspectorEdits::optionalText(text); });
        },
        captionWidth(properties), properties);
    for (TextRow *row : {name_, className_, description_})
        properties->addWidget(row);
    column->addWidget(properties);

    insert_ = new QPushButton(SymbolIcons::icon(u"text.badge.plus"_s),
                              DataItemEdits::insertTextFieldTitle(), content);
    insert_->setObjectName(u"inspector.dataItem.insert"_s);
    insert_->setProperty(SymbolIcons::symbolProperty, u"text.badge.plus"_s);
    connect(insert_, &QPushButton::clicked, this, [this, id] {
        if (store_)
            DataItemEdits::insertTextField(*store_, id, *context_.settings);
    });
    auto *button = new QHBoxLayout;
    button->setContentsMargins(0, 0, 0, 0);
    button->addWidget(insert_);
    button->addStretch(1);
    column->addLayout(button);
}

void DataItemInspector::buildParameter(QWidget *content)
{
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(header(u"at"_s, DataItemEdits::parameterTitle(), content));

    const QUuid id = item_.id;
    const auto write = [this, id](const std::function<void(ReportParameter &)> &change) {
        if (store_)
            DataItemEdits::writeParameter(*store_, id, change);
    };
    auto *properties = new SectionCard(u"Properties"_s, content);
    properties->setObjectName(u"inspector.dataItem.properties"_s);
    name_ = new TextRow(
        u"Name"_s,
        [write](const QString &text) { write([&](ReportParameter &p) { p.name = text; }); },
        captionWidth(properties), properties);
    className_ = new TextRow(
        u"Class"_s,
        [write](const QString &text) { write([&](ReportParameter &p) { p.className = text; }); },
        captionWidth(properties), properties);
    prompt_ = new QCheckBox(DataItemEdits::promptTitle(), properties);
    prompt_->setToolTip(DataItemEdits::promptHelp());
    connect(prompt_, &QCheckBox::clicked, this, [write](bool checked) {
        write([&](ReportParameter &p) { p.isForPrompting = checked; });
    });
    description_ = new TextRow(
        u"Description"_s,
        [write](const QString &text) {
            write([&](ReportParameter &p) {
                p.parameterDescription = InspectorEdits::optionalText(text);
            });
        },
        captionWidth(properties), properties);
    properties->addWidget(name_);
    properties->addWidget(className_);
    properties->addWidget(prompt_);
    properties->addWidget(description_);
    column->addWidget(properties);

    // Typing and the builder write the default value the same way.
    const auto writeDefault = [write](const QString &text) {
        write([&](ReportParameter &p) {
            p.defaultValueExpression = InspectorEdits::optionalText(text);
        });
    };
    auto *defaultCard = new SectionCard(u"Default Value"_s, content);
    defaultCard->setObjectName(u"inspector.dataItem.defaultValue"_s);
    defaultValue_ = new QLineEdit(defaultCard);
    defaultValue_->setPlaceholderText(DataItemEdits::defaultValuePlaceholder());
    EnteredTextValidator::install(defaultValue_);
    connect(defaultValue_, &QLineEdit::textEdited, this, writeDefault);
    builder_ = new ExpressionBuilderButton(
        TextBinding{[this] {
                        const std::optional<ReportParameter> shown = parameter();
                        return shown ? shown->defaultValueExpression.value_or(QString())
                                     : QString();
                    },
                    writeDefault},
        store_ ? store_->document() : ReportDocument{}, context_.sidecar, defaultCard);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(defaultValue_, 1);
    row->addWidget(builder_);
    defaultCard->addLayout(row);
    column->addWidget(defaultCard);
}

std::optional<ReportParameter> DataItemInspector::parameter() const
{
    if (!store_)
        return std::nullopt;
    const ReportDocument &document = store_->document();
    const std::optional<qsizetype> index = DataItemEdits::parameterIndex(document, item_.id);
    if (!index)
        return std::nullopt;
    return document.parameters[*index];
}

void DataItemInspector::refresh(const DocumentStore &store, const InspectorChoice &)
{
    const ReportDocument &document = store.document();
    std::optional<qsizetype> index;
    if (item_.kind == InspectorDataSelection::Kind::field) {
        index = DataItemEdits::fieldIndex(document, item_.id);
        if (index)
            refreshField(store, document.fields[*index]);
    } else {
        index = DataItemEdits::parameterIndex(document, item_.id);
        if (index)
            refreshParameter(store, document.parameters[*index]);
    }
    // An item that is gone leaves the panel empty; one that comes back (an undo) shows again.
    content_->setVisible(index.has_value());
}

void DataItemInspector::refreshField(const DocumentStore &store, const ReportField &field)
{
    name_->showText(field.name);
    className_->showText(field.className);
    description_->showText(field.fieldDescription.value_or(QString()));
    insert_->setToolTip(plainToolTip(
        DataItemEdits::insertTextFieldHelp(field.name, store.label(store.activeBandTarget()))));
    const QString token = DataItemEdits::fieldToken(field.name);
    usage_->setText(DataItemEdits::usageText(store.elementCountReferencing(token), token));
}

void DataItemInspector::refreshParameter(const DocumentStore &store,
                                         const ReportParameter &parameter)
{
    name_->showText(parameter.name);
    className_->showText(parameter.className);
    if (prompt_->isChecked() != parameter.isForPrompting) {
        const QSignalBlocker blocker(prompt_);
        prompt_->setChecked(parameter.isForPrompting);
    }
    description_->showText(parameter.parameterDescription.value_or(QString()));
    InspectorRows::showText(defaultValue_, parameter.defaultValueExpression.value_or(QString()));
    builder_->setDocument(store.document());
    const QString token = DataItemEdits::parameterToken(parameter.name);
    usage_->setText(DataItemEdits::usageText(store.elementCountReferencing(token), token));
}
