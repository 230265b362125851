#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelView.h"
#include "datapanel/QueryTestState.h"
#include "datapanel/ReadFields.h"
#include "datapanel/SamplePreviewModel.h"
#include "datapanel/ShadedGrid.h"
#include "datapanel/ShadedTable.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeSyntaxHighlighting.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "edits/DataListEdits.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/LiveConnection.h"
#include "engine/SidecarModel.h"
#include "widgets/CardText.h"
#include "widgets/DisabledWhile.h"
#include "widgets/InspectorRows.h"
#include "widgets/OutlinedBox.h"
#include "widgets/SheetHeader.h"
#include "widgets/Spinner.h"
#include "widgets/WheelGuard.h"
#include "widgets/WidgetDialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A text in one of the named colours, which follow the light or dark palette.
void tint(QLabel *label, SyntaxColor color, const QPalette &palette)
{
    QPalette shown = label->palette();
    shown.setColor(QPalette::WindowText, syntaxColor(color, palette));
    label->setPalette(shown);
}

// A named section whose rows stand `spacing` points apart, without margins.
QVBoxLayout *sectionRows(QWidget *section, const QString &name, int spacing)
{
    section->setObjectName(name);
    auto *rows = new QVBoxLayout(section);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(spacing);
    return rows;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *made = new QPushButton(text, parent);
    made->setObjectName(name);
    made->setAutoDefault(false);
    return made;
}

// A row of the Read Fields block: the command's button, then its caption, which is returned.
QLabel *commandRow(QVBoxLayout *rows, QPushButton *command, const QString &captionName)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(command, 0, Qt::AlignTop);
    QLabel *caption = CardText::note({}, command->parentWidget(), CardText::caption2PointSize);
    caption->setObjectName(captionName);
    row->addWidget(caption, 1);
    rows->addLayout(row);
    return caption;
}

// A wrapping line of the smallest caption size; its colour is the pane's to give.
QLabel *outcomeLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(CardText::sized(label->font(), CardText::caption2PointSize));
    return label;
}

const QString staticCaption =
    u"Parses the SELECT list directly - no database connection, so it won't work for SELECT * or "
    u"complex expressions without an AS alias."_s;
const QString liveCaption = u"Runs the query for real against the active connection below "
                            u"(schema discovery only - at most 1 row is fetched)."_s;
const QString standaloneCaption =
    u"No data source selected - runs as a standalone query (works for literal/hardcoded "
    u"values; real table references need a connection below)."_s;

// The left column of the data panel: the main query and its language, Read Fields with its
// outcome and stale fields, and the sample data test. The Read Fields outcome and the sample
// file belong to the pane, so they last as long as the panel is open.
class QueryPane : public DataPanelPart {
public:
    QueryPane(const DataPanelContext &context, QWidget *parent);

    void refresh() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildEditor();
    QWidget *buildCommands();
    QWidget *buildOutcome();
    QWidget *buildSampleTest();
    void showReadFields();
    void showReadFieldsCaption();
    void showExecuteCaption();
    void showEngineState();
    std::optional<DatabaseConnection> activePreset() const;
    // The whole sheet while it shows the pane, else the pane.
    QWidget *sheet() { return context_.panel ? static_cast<QWidget *>(context_.panel) : this; }
    void readFields();
    void executeQuery();
    void showSampleTest();
    void showPreview();
    void applyTints();
    void tintReadFieldsMessage();
    void attachCSV();

    DataPanelContext context_;
    ReadFieldsResultState *readFields_;
    QueryTestState *queryTest_;
    QWidget *commandsBlock_ = nullptr;
    QWidget *outcome_ = nullptr;
    QComboBox *language_ = nullptr;
    CodeEditorView *editor_ = nullptr;
    QPushButton *readButton_ = nullptr;
    QLabel *readCaption_ = nullptr;
    QPushButton *executeButton_ = nullptr;
    Spinner *executeSpinner_ = nullptr;
    QLabel *executeCaption_ = nullptr;
    QLabel *message_ = nullptr;
    QWidget *staleLine_ = nullptr;
    QLabel *staleText_ = nullptr;
    QPushButton *attach_ = nullptr;
    QPushButton *clear_ = nullptr;
    QLabel *fileName_ = nullptr;
    QLabel *csvError_ = nullptr;
    QWidget *previewArea_ = nullptr;
    QWidget *previewBox_ = nullptr;
    QTableView *preview_ = nullptr;
    SamplePreviewModel *previewModel_ = nullptr;
    QLabel *previewHint_ = nullptr;
    // The declared names the preview was last drawn for.
    QStringList previewFields_;
};

QueryPane::QueryPane(const DataPanelContext &context, QWidget *parent)
    : DataPanelPart(parent), context_(context), readFields_(new ReadFieldsResultState(this)),
      queryTest_(new QueryTestState(this))
{
    setObjectName(u"datapanel.query"_s);
    readFields_->setObjectName(u"datapanel.query.readFieldsState"_s);
    queryTest_->setObjectName(u"datapanel.query.testState"_s);

    // The block from the title down to the two commands, whose height the pane's frame sets (its
    // editor takes what is left), and under it what the commands report and the sample data
    // test: a message or a sample file never moves the commands.
    commandsBlock_ = new QWidget(this);
    commandsBlock_->setObjectName(queryCommandsBlockName());
    auto *column = new QVBoxLayout(commandsBlock_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);

    column->addWidget(CardText::subheadline(u"Query"_s, commandsBlock_));
    column->addWidget(CardText::note(
        u"Executed against a real data source at fill time - this editor doesn't connect to a "
        u"live database, so \"Read Fields\" here parses the query text itself rather than "
        u"running it."_s,
        commandsBlock_));

    auto *languageRow = new QHBoxLayout;
    languageRow->setSpacing(8);
    languageRow->addWidget(new QLabel(u"Language"_s, commandsBlock_));
    language_ = new QComboBox(commandsBlock_);
    language_->setObjectName(u"datapanel.query.language"_s);
    WheelGuard::ignoreUnlessFocused(language_);
    language_->addItems(ReportDocument::queryLanguages);
    language_->setFixedWidth(160);
    connect(language_, &QComboBox::activated, this, [this](int index) {
        if (context_.store && index >= 0)
            DataListEdits::writeDocument(
                *context_.store, u"query.language"_s, [&](ReportDocument &document) {
                    // The language it has, in another letter case, stays as the file spells it.
                    if (ReportDocument::queryLanguageIndex(document.queryLanguage) != index)
                        document.queryLanguage = ReportDocument::queryLanguages.value(index);
                });
    });
    languageRow->addWidget(language_);
    languageRow->addStretch(1);
    column->addLayout(languageRow);

    column->addWidget(buildEditor(), 1);
    column->addWidget(buildCommands());

    // The Read Fields block's rows stand 4 points apart, the pane's items 8: the parts below the
    // block keep that room above them, so that a part that is hidden leaves none.
    auto *pane = new QVBoxLayout(this);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->setSpacing(0);
    pane->addWidget(commandsBlock_);
    pane->addWidget(buildOutcome());
    pane->addWidget(buildSampleTest());
    pane->addStretch(1);

    connect(readFields_, &ReadFieldsResultState::changed, this, &QueryPane::showReadFields);
    connect(queryTest_, &QueryTestState::changed, this, &QueryPane::showSampleTest);
    if (context_.store)
        connect(context_.store, &DocumentStore::activeConnectionIDChanged, this, [this] {
            showReadFieldsCaption();
            showExecuteCaption();
        });
    if (context_.connections)
        connect(context_.connections, &ConnectionPresetStore::connectionsChanged, this,
                &QueryPane::showExecuteCaption);
    if (context_.sidecar)
        for (auto changed : {&SidecarModel::isBusyChanged, &SidecarModel::queryOutcomesChanged})
            connect(context_.sidecar, changed, this, &QueryPane::showEngineState);

    showEngineState();
    showReadFieldsCaption();
    showExecuteCaption();
    showReadFields();
    showSampleTest();
    applyTints();
}

QWidget *QueryPane::buildEditor()
{
    editor_ = new CodeEditorView(SQLSyntaxHighlighter::scheme(), true, {}, nullptr);
    editor_->setObjectName(u"datapanel.query.editor"_s);
    connect(editor_, &CodeEditorView::textEdited, this, [this](const QString &text) {
        if (context_.store)
            DataListEdits::writeDocument(
                *context_.store, u"query.text"_s,
                [&](ReportDocument &document) { document.queryString = text; });
    });
    auto *box = new OutlinedBox(editor_, commandsBlock_);
    box->setMinimumHeight(150);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    return box;
}

QWidget *QueryPane::buildCommands()
{
    auto *section = new QWidget(commandsBlock_);
    QVBoxLayout *rows = sectionRows(section, u"datapanel.query.readFieldsSection"_s, 4);

    readButton_ = button(u"Read Fields"_s, u"datapanel.query.readFields"_s, section);
    connect(readButton_, &QPushButton::clicked, this, &QueryPane::readFields);
    readCaption_ = commandRow(rows, readButton_, u"datapanel.query.readFieldsCaption"_s);

    executeButton_ = button(u"Execute Query"_s, u"datapanel.query.execute"_s, section);
    // While a query runs the label is a spinner; the button keeps the width of its text.
    executeButton_->setMinimumWidth(executeButton_->sizeHint().width());
    executeSpinner_ = new Spinner(14, executeButton_);
    executeSpinner_->setObjectName(u"datapanel.query.executeSpinner"_s);
    auto *label = new QHBoxLayout(executeButton_);
    label->setContentsMargins(0, 0, 0, 0);
    label->addWidget(executeSpinner_, 0, Qt::AlignCenter);
    connect(executeButton_, &QPushButton::clicked, this, &QueryPane::executeQuery);
    executeCaption_ = commandRow(rows, executeButton_, u"datapanel.query.executeCaption"_s);
    return section;
}

QWidget *QueryPane::buildOutcome()
{
    outcome_ = new QWidget(this);
    QVBoxLayout *rows = sectionRows(outcome_, u"datapanel.query.readFieldsOutcome"_s, 4);
    rows->setContentsMargins(0, 4, 0, 0);
    QWidget *section = outcome_;

    message_ = outcomeLabel(u"datapanel.query.message"_s, section);
    rows->addWidget(message_);

    staleLine_ = new QWidget(section);
    staleLine_->setObjectName(u"datapanel.query.staleLine"_s);
    auto *staleRow = new QHBoxLayout(staleLine_);
    staleRow->setContentsMargins(0, 0, 0, 0);
    staleRow->setSpacing(8);
    staleText_ = outcomeLabel(u"datapanel.query.stale"_s, staleLine_);
    staleRow->addWidget(staleText_, 1);
    auto *remove = button(u"Remove"_s, u"datapanel.query.removeStale"_s, staleLine_);
    remove->setFont(CardText::sized(font(), CardText::caption2PointSize));
    connect(remove, &QPushButton::clicked, this, [this] {
        if (context_.store)
            ReadFields::removeStale(*context_.store, *readFields_);
    });
    staleRow->addWidget(remove, 0, Qt::AlignTop);
    rows->addWidget(staleLine_);
    return section;
}

QWidget *QueryPane::buildSampleTest()
{
    auto *section = new QWidget(this);
    QVBoxLayout *rows = sectionRows(section, u"datapanel.query.sampleTest"_s, 6);
    rows->setContentsMargins(0, 8, 0, 0);

    auto *header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(CardText::note(u"Test with Sample Data"_s, section), 1);
    attach_ = button({}, u"datapanel.query.attachCSV"_s, section);
    connect(attach_, &QPushButton::clicked, this, &QueryPane::attachCSV);
    header->addWidget(attach_);
    clear_ = button(u"Clear"_s, u"datapanel.query.clearCSV"_s, section);
    connect(clear_, &QPushButton::clicked, queryTest_, &QueryTestState::clear);
    header->addWidget(clear_);
    rows->addLayout(header);

    fileName_ = CardText::note({}, section, CardText::caption2PointSize);
    fileName_->setObjectName(u"datapanel.query.csvName"_s);
    rows->addWidget(fileName_);
    csvError_ = outcomeLabel(u"datapanel.query.csvError"_s, section);
    rows->addWidget(csvError_);

    previewArea_ = new QWidget(section);
    auto *previewColumn = new QVBoxLayout(previewArea_);
    previewColumn->setContentsMargins(0, 0, 0, 0);
    previewColumn->setSpacing(2);
    // The rows in an item view: a sample of thousands of columns costs only the cells in view.
    previewBox_ = new ShadedGrid::Box(previewArea_);
    previewBox_->setMaximumHeight(140);
    auto *inside = new QVBoxLayout(previewBox_);
    inside->setContentsMargins(8, 8, 8, 8);
    previewModel_ = new SamplePreviewModel(this);
    preview_ = ShadedTable::make(previewModel_, u"datapanel.query.csvPreview"_s, previewBox_);
    preview_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    inside->addWidget(preview_);
    previewColumn->addWidget(previewBox_);
    previewHint_ = CardText::note(u"Columns in orange don't match any declared Field name below."_s,
                                  previewArea_, CardText::caption2PointSize);
    previewHint_->setObjectName(u"datapanel.query.csvHint"_s);
    previewHint_->setAlignment(Qt::AlignHCenter);
    // Keeps its place while hidden, so the pane does not jump as fields are declared.
    QSizePolicy keepPlace = previewHint_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    previewHint_->setSizePolicy(keepPlace);
    previewColumn->addWidget(previewHint_);
    rows->addWidget(previewArea_);
    return section;
}

void QueryPane::refresh()
{
    if (!context_.store)
        return;
    const ReportDocument &document = context_.store->document();
    InspectorRows::showIndex(language_,
                             int(ReportDocument::queryLanguageIndex(document.queryLanguage)));
    editor_->setText(document.queryString);
    QStringList fields;
    for (const ReportField &field : document.fields)
        fields.append(field.name);
    if (fields != previewFields_)
        showPreview();
}

void QueryPane::showReadFieldsCaption()
{
    const bool live = context_.store && context_.store->activeConnectionID().has_value();
    readCaption_->setText(live ? liveCaption : staticCaption);
}

std::optional<DatabaseConnection> QueryPane::activePreset() const
{
    if (!context_.store || !context_.connections || !context_.store->activeConnectionID())
        return std::nullopt;
    for (const DatabaseConnection &preset : context_.connections->connections())
        if (preset.id == *context_.store->activeConnectionID())
            return preset;
    return std::nullopt;
}

void QueryPane::showExecuteCaption()
{
    const std::optional<DatabaseConnection> preset = activePreset();
    executeCaption_->setText(preset ? u"Runs against \""_s + preset->name +
                                          u"\" - results appear at the bottom of this window "
                                          u"(up to 200 rows)."_s
                                    : standaloneCaption);
}

void QueryPane::showEngineState()
{
    const bool busy = context_.sidecar && context_.sidecar->isBusy();
    // The spinner stands for this report's own query; another report's only makes the engine busy.
    const bool running = context_.sidecar && context_.store &&
                         context_.sidecar->queryOutcome(context_.store).isExecuting;
    readButton_->setEnabled(!busy);
    executeButton_->setEnabled(!busy);
    executeButton_->setText(running ? QString() : u"Execute Query"_s);
    executeSpinner_->setVisible(running);
}

// Both commands read the active preset's password, and the keychain answers in a local event
// loop. The sheet stays disabled meanwhile, so that nothing in it starts the same work again; and
// as the sheet may be closed by then, nothing of it is used afterwards without a check.
void QueryPane::readFields()
{
    const DisabledWhile waiting{sheet()};
    ReadFields::read(context_.store, context_.sidecar, context_.connections, readFields_);
}

void QueryPane::executeQuery()
{
    if (!context_.store || !context_.sidecar)
        return;
    const QPointer<QueryPane> alive(this);
    std::optional<LiveConnection> live;
    {
        const DisabledWhile waiting{sheet()};
        if (context_.connections)
            live = resolveLiveConnection(*context_.store, *context_.connections);
    }
    if (!alive || !context_.store || !context_.sidecar || calledOff(live))
        return;
    context_.sidecar->executeQuery(live, context_.store->document().queryString, context_.store);
}

void QueryPane::showReadFields()
{
    message_->setText(readFields_->message().value_or(QString()));
    message_->setVisible(readFields_->message().has_value());
    tintReadFieldsMessage();
    const QStringList &stale = readFields_->staleFieldNames();
    staleText_->setText(u"Not found in this query, but still used by an element: "_s +
                        stale.join(u", "_s));
    staleLine_->setVisible(!stale.isEmpty());
    outcome_->setVisible(readFields_->message().has_value() || !stale.isEmpty());
}

void QueryPane::showSampleTest()
{
    const bool attached = queryTest_->filePath().has_value();
    attach_->setText(attached ? u"Change CSV..."_s : u"Attach CSV..."_s);
    clear_->setVisible(attached);
    fileName_->setText(attached ? QFileInfo(*queryTest_->filePath()).fileName() : QString());
    fileName_->setVisible(attached);
    csvError_->setText(queryTest_->errorMessage().value_or(QString()));
    csvError_->setVisible(queryTest_->errorMessage().has_value());
    showPreview();
}

void QueryPane::showPreview()
{
    previewFields_.clear();
    if (context_.store)
        for (const ReportField &field : context_.store->document().fields)
            previewFields_.append(field.name);
    const bool shown = !queryTest_->errorMessage() && !queryTest_->headerRow().isEmpty();
    previewArea_->setVisible(shown);
    if (!shown) {
        previewModel_->show({}, {}, {});
        return;
    }
    previewModel_->show(queryTest_->headerRow(), queryTest_->previewRows(),
                        QSet<QString>(previewFields_.cbegin(), previewFields_.cend()));
    ShadedTable::fitColumns(preview_, previewModel_->rowCount());
    previewHint_->setVisible(previewModel_->hasUnmatched());
    applyTints();
}

void QueryPane::applyTints()
{
    const QPalette &shown = palette();
    tintReadFieldsMessage();
    tint(staleText_, SyntaxColor::orange, shown);
    tint(csvError_, SyntaxColor::red, shown);
    previewModel_->setUnmatchedColor(syntaxColor(SyntaxColor::orange, shown));
}

void QueryPane::tintReadFieldsMessage()
{
    // A read that failed is drawn in the red of the other failures, its other outcomes in blue.
    tint(message_, readFields_->failed() ? SyntaxColor::red : SyntaxColor::blue, palette());
}

void QueryPane::changeEvent(QEvent *event)
{
    DataPanelPart::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && message_)
        applyTints();
}

void QueryPane::attachCSV()
{
    FilePanelRequest request;
    request.fileExtensions = {u"csv"_s};
    WidgetDialogs platformDialogs(this);
    Dialogs &dialogs = context_.dialogs ? *context_.dialogs : platformDialogs;
    const QList<QUrl> chosen = dialogs.runOpenPanel(request);
    if (!chosen.isEmpty() && chosen.front().isLocalFile())
        queryTest_->load(chosen.front().toLocalFile());
}

} // namespace

DataPanelPart *makeQueryPane(const DataPanelContext &context, QWidget *parent)
{
    return new QueryPane(context, parent);
}
