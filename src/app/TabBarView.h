#pragma once

#include <QHash>
#include <QPointer>
#include <QUuid>
#include <QWidget>

class Dialogs;
class QHBoxLayout;
class QScrollArea;
class QScrollBar;
class QToolButton;
class TabChip;
class WorkspaceModel;

// The strip of report tabs: one chip per tab in tab order, the active one marked, a click to
// activate, a close mark that asks before discarding unsaved changes, and a "New Report"
// button that stays in place however many tabs there are. Chips are keyed by their store's id
// and updated in place. Tabs beyond its width stay in reach: the wheel scrolls the chips
// sideways, the active chip is scrolled into view whenever it changes, and Ctrl+Tab and
// Ctrl+PageDown (Ctrl+Shift+Tab and Ctrl+PageUp) activate the next (previous) tab in the
// window, going round at the ends.
class TabBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int stripHeight = 32;

    TabBarView(WorkspaceModel &workspace, Dialogs &dialogs, QWidget *parent = nullptr);

    // The chips in tab order.
    QList<TabChip *> chips() const;
    QToolButton *newReportButton() const { return newReport_; }
    // Room for every chip; the strip scrolls when it gets less.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The chip's title for a store: the file's name without its last extension, or the
    // report's name when it has no file.
    static QString title(const class DocumentStore &store);

    // The chips' sideways scroll bar (never shown).
    QScrollBar *scrollBar() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addTabKeys();
    // Activates the tab `step` places on, going round at the ends.
    void stepActiveTab(int step);
    void syncChips();
    void followChipWidths();
    // Scrolls the strip so that the active tab's chip shows whole.
    void showActiveChip();
    // Asks whether to discard the tab that waits to be closed; queued after the request.
    void confirmPendingClose();

    WorkspaceModel &workspace_;
    Dialogs &dialogs_;
    QScrollArea *scroll_;
    QHBoxLayout *chipRow_;
    QToolButton *newReport_;
    QHash<QUuid, QPointer<TabChip>> chipsById_;
};
