#include "datapanel/DataPanelView.h"
#include "datapanel/QueryPaneScroll.h"

#include "datapanel/ConnectionEditorSheet.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/GenerateColumnsSheet.h"
#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "widgets/AppPalettes.h"
#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/PanelDivider.h"
#include "widgets/SheetHeader.h"
#include "widgets/WheelGuard.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

using CardMaker = DataPanelPart *(*)(const DataPanelContext &, QWidget *);

// In the order of DataPanelCard.
constexpr std::array<CardMaker, 10> cardMakers = {
    makeConnectionsCard, makeSubDatasetsCard, makeParametersCard,      makeFieldsCard,
    makeSortFieldsCard,  makeScriptletsCard,  makeReportTemplatesCard, makeVariablesCard,
    makeGroupsCard,      makeStylesCard};

} // namespace

DataPanelView::DataPanelView(DocumentStore *store, AppSettings &settings, SidecarModel *sidecar,
                             ConnectionPresetStore *connections, std::function<void()> onClose,
                             QWidget *parent, Dialogs *dialogs)
    : QWidget(parent), context_{store, &settings, sidecar, connections, this, dialogs}
{
    setObjectName(u"DataPanelView"_s);
    // Scrolling the panel changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setMinimumSize(minimumPanelWidth, minimumPanelHeight);
    connectionEditorSheet_ = ConnectionEditorSheet::follow(this);

    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"datapanel.close"_s);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [onClose = std::move(onClose)] {
        if (onClose)
            onClose();
    });

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(sheetHeader(u"Report Data"_s, {close}, this));
    stack->addWidget(buildSplit(), 1);
    stack->addWidget(buildResultsArea());
    if (QWidget *commands = queryPane_->findChild<QWidget *>(queryCommandsBlockName()))
        queryScroll_->pinCommands(commands, [this] { return resultsReserve(); });

    if (store)
        connect(store, &DocumentStore::documentChanged, this, &DataPanelView::refresh);
    if (sidecar)
        connect(sidecar, &SidecarModel::queryOutcomesChanged, this,
                &DataPanelView::updateResultsArea);
    updateResultsArea();
    GenerateColumnsSheet::follow(this);
    refresh();
}

QWidget *DataPanelView::buildSplit()
{
    auto *split = new QWidget(this);
    split->setObjectName(u"datapanel.split"_s);

    queryPane_ = new QWidget(split);
    queryPane_->setObjectName(u"datapanel.queryPane"_s);
    queryPane_->setFont(CardText::sized(font(), CardText::bodyPointSize));
    auto *pane = new QVBoxLayout(queryPane_);
    pane->setContentsMargins(16, 16, 16, 16);
    pane->setSpacing(8);
    // The pane's part takes the height (its query editor grows); without one the pane stands
    // empty.
    if (DataPanelPart *part = makeQueryPane(context_, queryPane_)) {
        pane->addWidget(part, 1);
        parts_.append(part);
    } else {
        pane->addStretch(1);
    }

    divider_ = new PanelDivider(
        [this](double translation) {
            split_.drag(translation);
            applyQueryPaneWidth();
        },
        [this](double translation) {
            split_.endDrag(translation);
            applyQueryPaneWidth();
        },
        split);
    divider_->setObjectName(u"datapanel.divider"_s);

    auto *row = new QHBoxLayout(split);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    queryScroll_ = new QueryPaneScroll(queryPane_, this, split);
    queryScroll_->setObjectName(u"datapanel.queryScroll"_s);
    row->addWidget(queryScroll_);
    row->addWidget(divider_);
    row->addWidget(buildCardColumn(), 1);
    applyQueryPaneWidth();
    return split;
}

QWidget *DataPanelView::buildCardColumn()
{
    cardColumn_ = new QScrollArea(this);
    cardColumn_->setObjectName(u"datapanel.cards"_s);
    cardColumn_->setFrameShape(QFrame::NoFrame);
    cardColumn_->setWidgetResizable(true);
    cardColumn_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *content = new QWidget(cardColumn_);
    content->setObjectName(u"datapanel.column"_s);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(16);
    // At least 460 points wide, and wider where a row needs it: a minimum width set on the
    // widget would override the rows' own minimum and squeeze their buttons together.
    column->addSpacerItem(new QSpacerItem(columnMinimumWidth, 0, QSizePolicy::Fixed));
    for (DataPanelCard which : DataPanelCards::order) {
        auto *card =
            new CardSection(DataPanelCards::title(which), DataPanelCards::subtitle(which), content);
        card->setObjectName(DataPanelCards::objectName(which));
        DataPanelPart *part = cardMakers.at(std::size_t(which))(context_, card);
        if (part) {
            card->addWidget(part);
            parts_.append(part);
        }
        column->addWidget(card);
        cards_.append(card);
        cardContents_.append(part);
    }
    column->addStretch(1);
    cardColumn_->setWidget(content);
    // The column's own palette is for its controls' outlines; the viewport paints behind it.
    content->setAutoFillBackground(false);
    AppPalettes::outlineControlsOnBase(content, palette());
    return cardColumn_;
}

QWidget *DataPanelView::buildResultsArea()
{
    resultsArea_ = new QWidget(this);
    resultsArea_->setObjectName(u"datapanel.results"_s);
    auto *column = new QVBoxLayout(resultsArea_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(horizontalDivider(resultsArea_));
    if (DataPanelPart *part = makeQueryResults(context_, resultsArea_)) {
        column->addWidget(part);
        parts_.append(part);
    }
    return resultsArea_;
}

CardSection *DataPanelView::card(DataPanelCard card) const
{
    return cards_.value(qsizetype(card));
}

ConnectionEditorState &DataPanelView::connectionEditor() const
{
    return connectionEditorSheet_->state();
}

DataPanelPart *DataPanelView::cardContent(DataPanelCard card) const
{
    return cardContents_.value(qsizetype(card));
}

void DataPanelView::refresh()
{
    for (const QPointer<DataPanelPart> &part : std::as_const(parts_))
        if (part)
            part->refresh();
}

void DataPanelView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && cardColumn_)
        AppPalettes::outlineControlsOnBase(cardColumn_->widget(), palette());
}

void DataPanelView::applyQueryPaneWidth()
{
    queryScroll_->setFixedWidth(qRound(split_.effectiveWidth()));
}

int DataPanelView::resultsReserve() const
{
    if (!resultsArea_ || !resultsArea_->layout())
        return 0;
    // The tallest the results area gets, and the pane's spacing above it.
    const int tallest = resultsArea_->layout()->totalMaximumSize().height();
    return tallest >= QWIDGETSIZE_MAX ? 0 : tallest + 8;
}

void DataPanelView::updateResultsArea()
{
    // The outcome of this report's own queries only.
    const SidecarModel::QueryOutcome outcome = context_.sidecar && context_.store
                                                   ? context_.sidecar->queryOutcome(context_.store)
                                                   : SidecarModel::QueryOutcome();
    resultsArea_->setVisible(outcome.isExecuting || outcome.errorMessage.has_value() ||
                             outcome.result.has_value());
}
