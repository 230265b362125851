#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/ShadedGrid.h"
#include "datapanel/ShadedTable.h"
#include "document/DocumentStore.h"
#include "editors/CodeSyntaxHighlighting.h"
#include "engine/EngineRequests.h"
#include "engine/SidecarModel.h"
#include "widgets/CardText.h"
#include "widgets/Spinner.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int gridHeight = 220;

// The rows of the engine's last query result; a database NULL reads "NULL" and says so in
// nullRole. A row may hold fewer or more values than there are column names.
class QueryResultModel : public QAbstractTableModel {
public:
    static constexpr int nullRole = ShadedTable::nullRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setResult(const QueryResult &result);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QueryResult result_;
    int columns_ = 0;
};

void QueryResultModel::setResult(const QueryResult &result)
{
    beginResetModel();
    result_ = result;
    columns_ = int(result_.columns.size());
    for (const QList<std::optional<QString>> &row : std::as_const(result_.rows))
        columns_ = std::max(columns_, int(row.size()));
    endResetModel();
}

int QueryResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(result_.rows.size());
}

int QueryResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant QueryResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= result_.rows.size())
        return {};
    const QList<std::optional<QString>> &row = result_.rows[index.row()];
    // A row shorter than the header has no cell there.
    if (index.column() >= row.size())
        return {};
    const std::optional<QString> &value = row[index.column()];
    if (role == Qt::DisplayRole)
        return value ? ShadedGrid::oneLine(*value) : u"NULL"_s;
    if (role == nullRole)
        return !value.has_value();
    return {};
}

QVariant QueryResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return result_.columns.value(section);
    return {};
}

QLabel *captionLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(CardText::sized(label->font(), CardText::caption2PointSize));
    return label;
}

// The "Query Results" area under the data panel's split: the outcome of the last query run for
// the panel's report, which the engine model keeps, so the report's panel opened later shows it
// as well; another report's queries never show here.
class QueryResults : public DataPanelPart {
public:
    QueryResults(const DataPanelContext &context, QWidget *parent);

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildGrid();
    void showResult();
    void showState();
    void applyTints();
    // The outcome of the report's queries when it changed since last shown.
    bool outcomeChanged();

    SidecarModel *sidecar_;
    QPointer<DocumentStore> store_;
    SidecarModel::QueryOutcome shown_;
    QueryResultModel *model_;
    QLabel *count_ = nullptr;
    QWidget *running_ = nullptr;
    QLabel *error_ = nullptr;
    QWidget *grid_ = nullptr;
    QTableView *table_ = nullptr;
    QLabel *empty_ = nullptr;
};

QueryResults::QueryResults(const DataPanelContext &context, QWidget *parent)
    : DataPanelPart(parent), sidecar_(context.sidecar), store_(context.store),
      model_(new QueryResultModel(this))
{
    setObjectName(u"datapanel.queryResults"_s);
    setFont(CardText::sized(font(), CardText::bodyPointSize));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(4);

    auto *header = new QHBoxLayout;
    header->addWidget(CardText::subheadline(u"Query Results"_s, this));
    header->addStretch(1);
    count_ = captionLabel(u"datapanel.queryResults.count"_s, this);
    CardText::makeSecondary(count_);
    header->addWidget(count_);
    column->addLayout(header);

    running_ = new QWidget(this);
    running_->setObjectName(u"datapanel.queryResults.running"_s);
    auto *runningRow = new QHBoxLayout(running_);
    runningRow->setContentsMargins(0, 0, 0, 0);
    runningRow->setSpacing(8);
    runningRow->addWidget(new Spinner(14, running_));
    runningRow->addWidget(CardText::note(u"Running query\u2026"_s, running_), 1);
    column->addWidget(running_);

    error_ = captionLabel(u"datapanel.queryResults.error"_s, this);
    error_->setWordWrap(true);
    column->addWidget(error_);

    column->addWidget(buildGrid());

    empty_ = captionLabel(u"datapanel.queryResults.empty"_s, this);
    empty_->setText(u"Query ran successfully - no rows returned."_s);
    CardText::makeSecondary(empty_);
    column->addWidget(empty_);

    if (sidecar_)
        connect(sidecar_, &SidecarModel::queryOutcomesChanged, this, [this] {
            const std::optional<QueryResult> before = shown_.result;
            if (!outcomeChanged())
                return;
            if (shown_.result != before)
                showResult();
            showState();
        });
    outcomeChanged();
    showResult();
    showState();
    applyTints();
    // A full grid is the most the area shows: the query pane keeps that room free under its
    // commands, so that they stay in sight whatever the outcome. A longer error is cut.
    setMaximumHeight(column->contentsMargins().top() + header->sizeHint().height() +
                     column->spacing() + gridHeight + column->contentsMargins().bottom());
}

QWidget *QueryResults::buildGrid()
{
    grid_ = new ShadedGrid::Box(this);
    grid_->setObjectName(u"datapanel.queryResults.gridBox"_s);
    grid_->setMaximumHeight(gridHeight);
    auto *inside = new QVBoxLayout(grid_);
    inside->setContentsMargins(8, 8, 8, 8);

    table_ = ShadedTable::make(model_, u"datapanel.queryResults.grid"_s, grid_);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->viewport()->setAutoFillBackground(false);
    inside->addWidget(table_);
    return grid_;
}

bool QueryResults::outcomeChanged()
{
    const SidecarModel::QueryOutcome now =
        sidecar_ && store_ ? sidecar_->queryOutcome(store_) : SidecarModel::QueryOutcome();
    if (now == shown_)
        return false;
    shown_ = now;
    return true;
}

void QueryResults::showResult()
{
    const std::optional<QueryResult> &result = shown_.result;
    model_->setResult(result.value_or(QueryResult()));
    // Each column as wide as its widest cell, over every row.
    table_->horizontalHeader()->setResizeContentsPrecision(-1);
    table_->resizeColumnsToContents();
    table_->updateGeometry();
    // The grid keeps the height of its rows, up to its limit, however small the sheet: the
    // panes above scroll instead.
    const QMargins margins = grid_->layout()->contentsMargins();
    const qsizetype shownRows = result ? result->rows.size() : 0;
    const int content = table_->horizontalHeader()->sizeHint().height() +
                        int(std::min<qsizetype>(shownRows, gridHeight)) *
                            table_->verticalHeader()->defaultSectionSize() +
                        margins.top() + margins.bottom();
    grid_->setMinimumHeight(std::min(gridHeight, content));
    const qsizetype rows = result ? result->rows.size() : 0;
    count_->setText(QString::number(rows) + (rows == 1 ? u" row"_s : u" rows"_s) +
                    (rows == EngineRequests::queryMaxRows ? u" (capped at 200)"_s : QString()));
}

void QueryResults::showState()
{
    const bool running = shown_.isExecuting;
    const std::optional<QString> &error = shown_.errorMessage;
    const bool result = shown_.result.has_value();
    const bool rows = result && !shown_.result->rows.isEmpty();
    count_->setVisible(result && !error && !running);
    running_->setVisible(running);
    error_->setText(error.value_or(QString()));
    error_->setVisible(!running && error.has_value());
    grid_->setVisible(!running && !error && rows);
    empty_->setVisible(!running && !error && result && !rows);
}

void QueryResults::applyTints()
{
    QPalette shown = error_->palette();
    shown.setColor(QPalette::WindowText, syntaxColor(SyntaxColor::red, palette()));
    error_->setPalette(shown);
}

void QueryResults::changeEvent(QEvent *event)
{
    DataPanelPart::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && error_)
        applyTints();
}

} // namespace

DataPanelPart *makeQueryResults(const DataPanelContext &context, QWidget *parent)
{
    return new QueryResults(context, parent);
}
