#include "inspector/TableCards.h"

#include "inspector/SubreportListTableTexts.h"
#include "widgets/CardText.h"
#include "widgets/HeldTyping.h"
#include "widgets/InspectorRows.h"
#include "widgets/RowControls.h"
#include "workspace/AppSettings.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

TableCellRow::TableCellRow(const QString &title, const QString &name,
                           std::function<void(TableCellKind)> onPick,
                           std::function<void(const QString &)> onContent, QWidget *parent)
    : QWidget(parent), kind_(new QComboBox(this)),
      content_(RowControls::expressionField(u"content"_s, name + u".content"_s, this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(title, this);
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(CardText::sized(caption->font(), 10));
    // The three rows' pickers line up: every title as wide as the widest needs, at least 45.
    int captionWidth = 45;
    for (const QString &cell : {u"Header"_s, u"Detail"_s, u"Footer"_s})
        captionWidth = std::max(captionWidth, caption->fontMetrics().horizontalAdvance(cell) + 2);
    caption->setFixedWidth(captionWidth);
    caption->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    row->addWidget(caption);

    kind_->setObjectName(name + u".kind"_s);
    RowControls::ignoreWheelUnlessFocused(kind_);
    kind_->setAccessibleName(title);
    kind_->setFixedWidth(110);
    for (TableCellKind kind : allCases<TableCellKind>())
        kind_->addItem(rawValue(kind));
    row->addWidget(kind_);
    row->addWidget(content_, 1);
    // Takes the room of a hidden content field, so the picker keeps its place.
    row->addStretch(0);
    connect(kind_, &QComboBox::activated, this, [onPick = std::move(onPick)](int index) {
        const QList<TableCellKind> kinds = allCases<TableCellKind>();
        if (index >= 0 && index < kinds.size())
            onPick(kinds.at(index));
    });
    connect(content_, &QLineEdit::textEdited, this,
            [onContent = std::move(onContent)](const QString &text) { onContent(text); });
}

void TableCellRow::show(const SharedOptional<ReportElement> &cell)
{
    InspectorRows::showIndex(kind_, allCases<TableCellKind>().indexOf(TableCells::kindOf(cell)));
    content_->setVisible(cell.has_value());
    RowControls::showText(content_, cell ? TableCells::content(*cell) : QString());
}

ColumnsCard::ColumnsCard(const ElementWriter &writer, const QString &title,
                         const InspectorContext &context, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), context_(context), blocksLayout_(new QVBoxLayout)
{
    setObjectName(u"inspector.columns"_s);
    blocksLayout_->setContentsMargins(0, 0, 0, 0);
    blocksLayout_->setSpacing(0);
    addLayout(blocksLayout_);

    auto *add =
        RowControls::symbolButton(u"plus"_s, u"Add Column"_s, u"inspector.columns.add"_s, this);
    connect(add, &QPushButton::clicked, this, [this] {
        writeColumns([](QList<ReportTableColumn> &columns) {
            columns.append(ReportTableColumn::blankFor(columns));
        });
    });
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(add);
    row->addStretch(1);
    addLayout(row);
}

void ColumnsCard::refresh(const ReportElement &element, const ReportDocument &)
{
    const auto *table = element.kind.as<ElementKind::Table>();
    if (!table)
        return;
    QList<QUuid> shown;
    for (const Block &block : std::as_const(blocks_))
        shown.append(block.id);
    QList<QUuid> ids;
    for (const ReportTableColumn &column : table->columns)
        ids.append(column.id);
    if (ids != shown)
        rebuildBlocks(table->columns);
    const QLocale locale;
    for (qsizetype i = 0; i < blocks_.size(); ++i) {
        const ReportTableColumn &column = table->columns.at(i);
        const Block &block = blocks_.at(i);
        // A width being typed stays until it is committed.
        if (!block.width->isModified())
            InspectorRows::showText(block.width, TableCells::widthText(column.width, locale));
        // The engine refuses a table without columns: the only one offers no removal.
        block.remove->setVisible(table->columns.size() > 1);
        block.cells.at(0)->show(column.columnHeaderElement);
        block.cells.at(1)->show(column.detailCellElement);
        block.cells.at(2)->show(column.columnFooterElement);
    }
}

void ColumnsCard::rebuildBlocks(const QList<ReportTableColumn> &columns)
{
    for (const Block &block : std::as_const(blocks_))
        RowControls::retire(block.widget);
    blocks_.clear();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        blocks_.append(makeBlock(columns.at(i).id, int(i)));
        blocksLayout_->addWidget(blocks_.last().widget);
    }
}

ColumnsCard::Block ColumnsCard::makeBlock(const QUuid &id, int position)
{
    const QString prefix = u"inspector.columns.column"_s + QString::number(position);
    auto *widget = new QWidget(this);
    auto *column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto *widthRow = new QHBoxLayout;
    widthRow->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(u"Width"_s, widget);
    caption->setFixedWidth(50);
    caption->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    auto *width = new QLineEdit(widget);
    width->setObjectName(prefix + u".width"_s);
    width->setFixedWidth(50);
    auto *remove = new RemoveRowButton(widget);
    remove->setObjectName(prefix + u".remove"_s);
    widthRow->addWidget(caption);
    widthRow->addWidget(width);
    widthRow->addStretch(1);
    widthRow->addWidget(remove);
    column->addLayout(widthRow);
    auto *widthMessage = CardText::warning(widget);
    widthMessage->setObjectName(prefix + u".width.message"_s);
    column->addWidget(widthMessage);
    connect(width, &QLineEdit::editingFinished, this,
            [this, id, width, widthMessage] { commitWidth(id, width, widthMessage); });
    // A width typed waits for Return or leaving the field.
    HeldTyping::install(width,
                        [this, id, width] { return storedWidth(id).value_or(width->text()); });
    connect(remove, &QToolButton::clicked, this, [this, id] {
        writeColumns(
            [&](QList<ReportTableColumn> &columns) { TableCells::removeColumn(columns, id); });
    });

    Block block{id, widget, width, widthMessage, remove, {}};
    const std::pair<QString, TableCells::Cell> cells[] = {{u"Header"_s, TableCells::Cell::header},
                                                          {u"Detail"_s, TableCells::Cell::detail},
                                                          {u"Footer"_s, TableCells::Cell::footer}};
    for (const auto &[title, cell] : cells) {
        auto *row = new TableCellRow(
            title, prefix + u'.' + title.toLower(),
            [this, id, cell](TableCellKind kind) { pick(id, cell, kind); },
            [this, id, cell](const QString &text) {
                writeColumn(id, [&](ReportTableColumn &c) {
                    TableCells::element(c, cell).modify(
                        [&](ReportElement &e) { TableCells::setContent(e, text); });
                });
            },
            widget);
        column->addWidget(row);
        block.cells.append(row);
    }
    column->addSpacing(6);
    auto *divider = new QFrame(widget);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    column->addWidget(divider);
    column->addSpacing(SectionCard::spacing);
    return block;
}

void ColumnsCard::commitWidth(const QUuid &id, QLineEdit *field, QLabel *message)
{
    // Only a width the user typed is written; leaving the field otherwise writes nothing.
    if (!field->isModified())
        return;
    field->setModified(false);
    const LengthVerdict verdict = TableCells::commitWidth(writer_, id, field->text(), QLocale());
    CardText::showWarning(message, verdict.message);
    // What the store holds now: the written width, or the old one after text that is no number
    // or a width refused.
    if (const std::optional<QString> stored = storedWidth(id))
        InspectorRows::showText(field, *stored);
}

std::optional<QString> ColumnsCard::storedWidth(const QUuid &id) const
{
    const std::optional<ReportElement> element = writer_.current();
    const auto *table = element ? element->kind.as<ElementKind::Table>() : nullptr;
    if (!table)
        return std::nullopt;
    for (const ReportTableColumn &column : table->columns) {
        if (column.id == id)
            return TableCells::widthText(column.width, QLocale());
    }
    return std::nullopt;
}

void ColumnsCard::pick(const QUuid &id, TableCells::Cell cell, TableCellKind kind)
{
    TableCells::pick(writer_, id, cell, kind,
                     context_.settings && context_.settings->defaultBlankWhenNull());
}

void ColumnsCard::writeColumn(const QUuid &id,
                              const std::function<void(ReportTableColumn &)> &change)
{
    writeColumns([&](QList<ReportTableColumn> &columns) {
        for (ReportTableColumn &column : columns) {
            if (column.id == id) {
                change(column);
                return;
            }
        }
    });
}

void ColumnsCard::writeColumns(const std::function<void(QList<ReportTableColumn> &)> &change)
{
    writer_.updatePayload<ElementKind::Table>(
        [&](ElementKind::Table &table) { change(table.columns); });
}

NoDataCard::NoDataCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), picker_(new QComboBox(this))
{
    setObjectName(u"inspector.noData"_s);
    picker_->setObjectName(u"inspector.noData.picker"_s);
    RowControls::ignoreWheelUnlessFocused(picker_);
    for (WhenNoDataType type : allCases<WhenNoDataType>())
        picker_->addItem(SubreportListTableTexts::whenNoDataLabel(type));
    addWidget(InspectorRows::pickerRow(u"When No Data"_s, picker_, this));
    addWidget(InspectorRows::secondaryText(SubreportListTableTexts::whenNoDataNote(), this));
    connect(picker_, &QComboBox::activated, this, [this](int index) {
        const QList<WhenNoDataType> types = allCases<WhenNoDataType>();
        if (index < 0 || index >= types.size())
            return;
        // "No Pages" is stored as a value too, also when the table had no setting.
        writer_.updateOfKind(
            [&](ReportElement &element) { element.tableWhenNoDataType = types.at(index); });
    });
}

void NoDataCard::refresh(const ReportElement &element, const ReportDocument &)
{
    InspectorRows::showIndex(picker_,
                             allCases<WhenNoDataType>().indexOf(
                                 element.tableWhenNoDataType.value_or(WhenNoDataType::noPages)));
}
