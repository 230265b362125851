#include "inspector/ListCards.h"

#include "inspector/SubreportListTableTexts.h"
#include "widgets/InspectorRows.h"
#include "widgets/RowControls.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

DatasetRunCard::DatasetRunCard(const ElementWriter &writer, const QString &title, bool isList,
                               QWidget *parent)
    : SectionCard(title, parent), writer_(writer)
{
    const QString name = isList ? u"inspector.list"_s : u"inspector.table"_s;
    setObjectName(name);
    // Both captions as wide as the longer needs, and at least the usual width.
    const int captionWidth =
        std::max(TextRow::defaultLabelWidth, fontMetrics().horizontalAdvance(u"Connection"_s) + 2);

    dataset_ = new TextRow(
        u"Dataset"_s,
        [this](const QString &text) {
            writeRun([&](QString &datasetName, QString &) { datasetName = text; });
        },
        captionWidth, this);
    dataset_->lineEdit()->setObjectName(name + u".dataset"_s);
    dataset_->lineEdit()->setPlaceholderText(u"subDataset name"_s);
    addWidget(dataset_);
    if (isList)
        addWidget(InspectorRows::secondaryText(SubreportListTableTexts::datasetNote(), this));

    connection_ = new TextRow(
        u"Connection"_s,
        [this](const QString &text) {
            writeRun([&](QString &, QString &connection) { connection = text; });
        },
        captionWidth, this);
    connection_->lineEdit()->setObjectName(name + u".connection"_s);
    connection_->lineEdit()->setPlaceholderText(SubreportListTableTexts::connectionPlaceholder());
    connection_->lineEdit()->setFont(RowControls::monospaced());
    addWidget(connection_);

    if (!isList)
        return;
    printOrder_ = new QComboBox(this);
    printOrder_->setObjectName(name + u".printOrder"_s);
    RowControls::ignoreWheelUnlessFocused(printOrder_);
    for (PrintOrder order : allCases<PrintOrder>())
        printOrder_->addItem(rawValue(order));
    addWidget(InspectorRows::pickerRow(u"Print Order"_s, printOrder_, this));
    connect(printOrder_, &QComboBox::activated, this, [this](int index) {
        const QList<PrintOrder> orders = allCases<PrintOrder>();
        if (index < 0 || index >= orders.size())
            return;
        writer_.updatePayload<ElementKind::List>(
            [&](ElementKind::List &list) { list.printOrder = orders.at(index); });
    });
}

void DatasetRunCard::refresh(const ReportElement &element, const ReportDocument &)
{
    if (const auto *list = element.kind.as<ElementKind::List>()) {
        RowControls::showText(dataset_->lineEdit(), list->datasetName);
        RowControls::showText(connection_->lineEdit(), list->connectionExpression);
        if (printOrder_)
            InspectorRows::showIndex(printOrder_, allCases<PrintOrder>().indexOf(list->printOrder));
    } else if (const auto *table = element.kind.as<ElementKind::Table>()) {
        RowControls::showText(dataset_->lineEdit(), table->datasetName);
        RowControls::showText(connection_->lineEdit(), table->connectionExpression);
    }
}

void DatasetRunCard::writeRun(
    const std::function<void(QString &datasetName, QString &connection)> &change)
{
    writer_.updateOfKind([&](ReportElement &element) {
        if (auto *list = element.kind.as<ElementKind::List>())
            change(list->datasetName, list->connectionExpression);
        else if (auto *table = element.kind.as<ElementKind::Table>())
            change(table->datasetName, table->connectionExpression);
    });
}

ListNote::ListNote(QWidget *parent) : QLabel(parent)
{
    setObjectName(u"inspector.listNote"_s);
    InspectorRows::makeSecondaryText(this);
}

void ListNote::refresh(const ReportElement &element, const ReportDocument &)
{
    const ElementList *children = element.kind.children();
    setText(SubreportListTableTexts::listNote(children ? children->size() : 0));
}
