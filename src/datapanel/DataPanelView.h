#pragma once

#include "datapanel/DataPanelCards.h"
#include "datapanel/DataPanelPart.h"
#include "datapanel/DataPanelSplitState.h"

#include <QList>
#include <QWidget>
#include <functional>

class CardSection;
class ConnectionEditorSheet;
class ConnectionEditorState;
class PanelDivider;
class QPushButton;
class QScrollArea;
class QueryPaneScroll;

// The "Report Data" sheet's content: the header with "Close", the query pane at its width
// beside the 6-point divider, the scrolling column of the ten cards, and the query results area
// under both while a query runs or has an outcome. The panel is built for one store when the
// sheet opens and lives until it closes, so what it owns (the query pane's width) starts afresh
// at every opening. It keeps no copy of the report: every part reads the store's document and
// is refreshed in place after each change of it.
class DataPanelView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumPanelWidth = 760;
    static constexpr int minimumPanelHeight = 560;
    static constexpr int idealWidth = 1050;
    static constexpr int idealHeight = 760;
    static constexpr int columnMinimumWidth = 460;

    DataPanelView(DocumentStore *store, AppSettings &settings, SidecarModel *sidecar,
                  ConnectionPresetStore *connections, std::function<void()> onClose,
                  QWidget *parent = nullptr, Dialogs *dialogs = nullptr);

    const DataPanelContext &context() const { return context_; }
    DocumentStore *store() const { return context_.store; }

    DataPanelSplitState &splitState() { return split_; }
    double effectiveQueryPaneWidth() const { return split_.effectiveWidth(); }

    CardSection *card(DataPanelCard card) const;
    // The content the card's maker built; null for a card without one.
    DataPanelPart *cardContent(DataPanelCard card) const;
    QWidget *queryPane() const { return queryPane_; }
    PanelDivider *divider() const { return divider_; }
    QScrollArea *cardColumn() const { return cardColumn_; }
    QWidget *resultsArea() const { return resultsArea_; }

    // The connection editor's state; its sheet shows over the panel while the state is visible.
    ConnectionEditorState &connectionEditor() const;
    ConnectionEditorSheet *connectionEditorSheet() const { return connectionEditorSheet_; }

    // Shows the report's values in every part, in place.
    void refresh();

    QSize sizeHint() const override { return {idealWidth, idealHeight}; }

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildSplit();
    QWidget *buildCardColumn();
    QWidget *buildResultsArea();
    void applyQueryPaneWidth();
    void updateResultsArea();
    // The height the query pane keeps free under its commands for the results area.
    int resultsReserve() const;

    DataPanelContext context_;
    DataPanelSplitState split_;
    ConnectionEditorSheet *connectionEditorSheet_ = nullptr;
    QWidget *queryPane_ = nullptr;
    QueryPaneScroll *queryScroll_ = nullptr;
    PanelDivider *divider_ = nullptr;
    QScrollArea *cardColumn_ = nullptr;
    QWidget *resultsArea_ = nullptr;
    QList<CardSection *> cards_;
    QList<DataPanelPart *> cardContents_;
    QList<QPointer<DataPanelPart>> parts_;
};
