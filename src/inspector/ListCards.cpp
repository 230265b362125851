#include "inspector/ListCards.h"

#include "inspector/CardChoices.h"
#include "inspector/SubreportListTableTexts.h"
#include "model/DatasetRunSource.h"
#include "widgets/Dialogs.h"
#include "widgets/HeldTyping.h"
#include "widgets/InspectorRows.h"
#include "widgets/RowControls.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

DatasetRunCard::DatasetRunCard(const ElementWriter &writer, const QString &title, bool isList,
                               Dialogs *dialogs, QWidget *parent)
    : SectionCard(title, parent), writer_(writer), isList_(isList), dialogs_(dialogs)
{
    const QString name = isList ? u"inspector.list"_s : u"inspector.table"_s;
    setObjectName(name);
    // Both captions as wide as the longer needs, and at least the usual width.
    const int captionWidth =
        std::max(TextRow::defaultLabelWidth, fontMetrics().horizontalAdvance(u"Connection"_s) + 2);

    if (isList) {
        // A list runs one of the report's sub-datasets: it is picked, never typed, so that the
        // list never names one the report lacks, not even while a name is being typed.
        datasetPicker_ = new QComboBox(this);
        datasetPicker_->setObjectName(name + u".dataset"_s);
        datasetPicker_->setAccessibleName(u"Dataset"_s);
        RowControls::ignoreWheelUnlessFocused(datasetPicker_);
        addWidget(InspectorRows::pickerRow(u"Dataset"_s, datasetPicker_, this));
        connect(datasetPicker_, &QComboBox::activated, this, [this](int index) {
            if (index >= 0)
                writeListDataset(datasetPicker_->itemText(index));
        });
        addWidget(InspectorRows::secondaryText(SubreportListTableTexts::datasetNote(), this));
    } else {
        dataset_ = new TextRow(
            u"Dataset"_s,
            [this](const QString &text) {
                writeRun([&](QString &datasetName, QString &, KeptXml &) { datasetName = text; });
            },
            captionWidth, this);
        dataset_->lineEdit()->setObjectName(name + u".dataset"_s);
        dataset_->lineEdit()->setPlaceholderText(u"subDataset name"_s);
        // The name is written as typed; once it is committed, the table passes the dataset only
        // the parameters it takes (a name typed on the way may be another dataset's).
        connect(dataset_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
            QLineEdit *edit = dataset_->lineEdit();
            if (edit->isModified()) {
                edit->setModified(false);
                CardChoices::chooseTableDataset(writer_, edit->text());
            }
        });
        addWidget(dataset_);
    }

    connection_ = new TextRow(
        u"Connection"_s, [this](const QString &text) { writeConnection(text); }, captionWidth,
        this);
    connection_->lineEdit()->setObjectName(name + u".connection"_s);
    connection_->lineEdit()->setPlaceholderText(SubreportListTableTexts::connectionPlaceholder());
    connection_->lineEdit()->setFont(RowControls::monospaced());
    // A connection that replaces the data source is asked about once the user commits it.
    connect(connection_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { commitConnection(); });
    // Such a connection waits in the field, held, until then.
    HeldTyping::install(connection_->lineEdit(), [this] { return storedConnection(); });
    addWidget(connection_);

    // The file's data source expression, shown but not edited here.
    auto *dataSourceRow = new TextRow(
        u"Data Source"_s, [](const QString &) {}, captionWidth, this);
    dataSourceRow_ = dataSourceRow;
    dataSource_ = dataSourceRow->lineEdit();
    dataSource_->setObjectName(name + u".dataSource"_s);
    dataSource_->setReadOnly(true);
    dataSource_->setFont(RowControls::monospaced());
    addWidget(dataSourceRow_);
    sourceNote_ = InspectorRows::secondaryText({}, this);
    sourceNote_->setObjectName(name + u".sourceNote"_s);
    addWidget(sourceNote_);

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

void DatasetRunCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    const KeptParts *kept = nullptr;
    QString connection;
    if (const auto *list = element.kind.as<ElementKind::List>()) {
        showDatasets(list->datasetName, document);
        connection = list->connectionExpression;
        kept = &list->kept;
        if (printOrder_)
            InspectorRows::showIndex(printOrder_, allCases<PrintOrder>().indexOf(list->printOrder));
    } else if (const auto *table = element.kind.as<ElementKind::Table>()) {
        if (dataset_)
            RowControls::showText(dataset_->lineEdit(), table->datasetName);
        connection = table->connectionExpression;
        kept = &table->kept;
    }
    RowControls::showText(connection_->lineEdit(), connection);
    const std::optional<QString> dataSource =
        kept ? DatasetRunSource::dataSourceExpression(kept->part(u"datasetRun")) : std::nullopt;
    // Beside a connection the writer leaves the data source out: the run takes the connection.
    const bool usesDataSource = dataSource && connection.isEmpty();
    dataSourceRow_->setVisible(usesDataSource);
    RowControls::showText(dataSource_, dataSource.value_or(QString()));
    const QString note =
        SubreportListTableTexts::runSourceNote(isList_, usesDataSource, !connection.isEmpty());
    sourceNote_->setText(note);
    sourceNote_->setVisible(!note.isEmpty());
}

void DatasetRunCard::showDatasets(const QString &current, const ReportDocument &document)
{
    QStringList names;
    for (const ReportSubDataset &dataset : document.subDatasets)
        names.append(dataset.name);
    // A name the report does not declare (as a file may hold it) is shown as it is.
    if (!names.contains(current))
        names.prepend(current);
    if (names != shownDatasets_) {
        const QSignalBlocker blocker(datasetPicker_);
        datasetPicker_->clear();
        datasetPicker_->addItems(names);
        shownDatasets_ = names;
    }
    InspectorRows::showIndex(datasetPicker_, int(names.indexOf(current)));
}

void DatasetRunCard::writeListDataset(const QString &name)
{
    CardChoices::chooseListDataset(writer_, name);
}

std::optional<QString> DatasetRunCard::replacedDataSource(const QString &text) const
{
    const std::optional<ReportElement> element = writer_.current();
    if (!element || text.isEmpty())
        return std::nullopt;
    const auto *list = element->kind.as<ElementKind::List>();
    const auto *table = element->kind.as<ElementKind::Table>();
    const KeptXml run = list ? list->kept.part(u"datasetRun")
                             : (table ? table->kept.part(u"datasetRun") : KeptXml{});
    if (!storedConnection().isEmpty())
        return std::nullopt;
    return DatasetRunSource::dataSourceExpression(run);
}

QString DatasetRunCard::storedConnection() const
{
    const std::optional<ReportElement> element = writer_.current();
    if (const auto *list = element ? element->kind.as<ElementKind::List>() : nullptr)
        return list->connectionExpression;
    if (const auto *table = element ? element->kind.as<ElementKind::Table>() : nullptr)
        return table->connectionExpression;
    return QString();
}

void DatasetRunCard::writeConnection(const QString &text)
{
    // A connection over the data source replaces it: the text waits in the field until the user
    // commits it, and is asked about then.
    if (replacedDataSource(text))
        return;
    writeConnectionText(text);
}

void DatasetRunCard::commitConnection()
{
    // The question takes the focus away from the field, which commits it once more.
    if (asking_)
        return;
    const QString text = connection_->lineEdit()->text();
    const std::optional<QString> dataSource = replacedDataSource(text);
    if (!dataSource)
        return;
    const AlertRequest question{AlertRequest::Style::warning,
                                SubreportListTableTexts::replaceDataSourceQuestion(isList_),
                                SubreportListTableTexts::replaceDataSourceDetail(*dataSource),
                                {{u"Replace"_s, AlertRequest::Role::destructive},
                                 {u"Cancel"_s, AlertRequest::Role::cancel}},
                                1};
    asking_ = true;
    const bool replace = dialogs_ && dialogs_->runAlert(question) == 0;
    asking_ = false;
    if (replace)
        writeConnectionText(text);
    else
        RowControls::showText(connection_->lineEdit(), QString());
}

void DatasetRunCard::writeConnectionText(const QString &text)
{
    writeRun([&](QString &, QString &connection, KeptXml &kept) {
        connection = text;
        if (!text.isEmpty())
            DatasetRunSource::removeDataSourceExpression(kept);
    });
}

void DatasetRunCard::writeRun(
    const std::function<void(QString &datasetName, QString &connection, KeptXml &run)> &change)
{
    writer_.updateOfKind([&](ReportElement &element) {
        const auto apply = [&](QString &datasetName, QString &connection, KeptParts &kept) {
            KeptXml run = kept.part(u"datasetRun");
            change(datasetName, connection, run);
            kept.setPart(u"datasetRun"_s, std::move(run));
        };
        if (auto *list = element.kind.as<ElementKind::List>())
            apply(list->datasetName, list->connectionExpression, list->kept);
        else if (auto *table = element.kind.as<ElementKind::Table>())
            apply(table->datasetName, table->connectionExpression, table->kept);
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
