#include "app/TabBarView.h"

#include "app/TabChip.h"
#include "document/DocumentStore.h"
#include "widgets/Dialogs.h"
#include "widgets/SymbolIcons.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

TabBarView::TabBarView(WorkspaceModel &workspace, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), workspace_(workspace), dialogs_(dialogs), scroll_(new QScrollArea(this)),
      newReport_(new QToolButton(this))
{
    setObjectName(QStringLiteral("TabBarView"));
    setFixedHeight(stripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *chips = new QWidget(scroll_);
    chips->setObjectName(QStringLiteral("TabChips"));
    chips->setAutoFillBackground(false);
    chipRow_ = new QHBoxLayout(chips);
    chipRow_->setContentsMargins(0, 0, 0, 0);
    chipRow_->setSpacing(2);
    chipRow_->addStretch(1);
    scroll_->setWidget(chips);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);

    newReport_->setObjectName(QStringLiteral("NewReportButton"));
    newReport_->setAutoRaise(true);
    newReport_->setIcon(SymbolIcons::icon(QStringLiteral("plus")));
    newReport_->setProperty(SymbolIcons::symbolProperty, QStringLiteral("plus"));
    newReport_->setToolTip(QStringLiteral("New Report"));
    connect(newReport_, &QToolButton::clicked, this,
            [this] { workspace_.setIsNewReportWizardVisible(true); });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(4);
    row->addWidget(scroll_, 1);
    row->addWidget(newReport_);

    scroll_->viewport()->installEventFilter(this);
    // Chips that widen or narrow change how far the strip scrolls, a little after the chip's
    // own change: the active chip is kept whole in view then.
    connect(scrollBar(), &QScrollBar::rangeChanged, this, &TabBarView::showActiveChip);
    addTabKeys();

    connect(&workspace_, &WorkspaceModel::tabsChanged, this, &TabBarView::syncChips);
    connect(&workspace_, &WorkspaceModel::activeTabIndexChanged, this, &TabBarView::syncChips);
    connect(&workspace_, &WorkspaceModel::pendingCloseTabIndexChanged, this, [this] {
        if (workspace_.pendingCloseTabIndex())
            QMetaObject::invokeMethod(this, &TabBarView::confirmPendingClose, Qt::QueuedConnection);
    });
    syncChips();
}

void TabBarView::addTabKeys()
{
    const struct {
        int step;
        QList<QKeySequence> keys;
    } moves[] = {
        {1, {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}},
        {-1,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)}},
    };
    for (const auto &move : moves) {
        auto *action = new QAction(this);
        action->setShortcuts(move.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this,
                [this, step = move.step] { stepActiveTab(step); });
        addAction(action);
    }
}

void TabBarView::stepActiveTab(int step)
{
    const int count = int(workspace_.tabs().size());
    workspace_.setActiveTabIndex(((workspace_.activeTabIndex() + step) % count + count) % count);
}

QScrollBar *TabBarView::scrollBar() const
{
    return scroll_->horizontalScrollBar();
}

bool TabBarView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != scroll_->viewport() || event->type() != QEvent::Wheel)
        return QWidget::eventFilter(watched, event);
    // The chips scroll sideways whichever way the wheel turns: a touchpad gives pixels, a
    // wheel notches of 120 that move the chips a third of a chip each.
    const auto *wheel = static_cast<QWheelEvent *>(event);
    const auto dominant = [](QPoint delta) {
        return std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    };
    const int pixels = wheel->pixelDelta().isNull()
                           ? dominant(wheel->angleDelta()) * TabChip::maximumWidth / 3 / 120
                           : dominant(wheel->pixelDelta());
    QScrollBar *bar = scrollBar();
    bar->setValue(bar->value() - pixels);
    return true;
}

QString TabBarView::title(const DocumentStore &store)
{
    if (store.fileURL())
        return QFileInfo(store.fileURL()->path()).completeBaseName();
    return store.document().name;
}

QSize TabBarView::sizeHint() const
{
    const int chips = scroll_->widget()->sizeHint().width();
    return {8 + chips + 4 + newReport_->sizeHint().width() + 8, stripHeight};
}

QSize TabBarView::minimumSizeHint() const
{
    return {8 + TabChip::maximumWidth / 2 + 4 + newReport_->sizeHint().width() + 8, stripHeight};
}

QList<TabChip *> TabBarView::chips() const
{
    QList<TabChip *> ordered;
    for (DocumentStore *store : workspace_.tabs())
        ordered.append(chipsById_.value(store->id()));
    return ordered;
}

void TabBarView::syncChips()
{
    const QList<DocumentStore *> &tabs = workspace_.tabs();
    QHash<QUuid, QPointer<TabChip>> kept;
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        DocumentStore *store = tabs.at(i);
        TabChip *chip = chipsById_.value(store->id());
        if (!chip) {
            chip = new TabChip(store, scroll_->widget());
            connect(chip, &TabChip::activated, this,
                    [this](int index) { workspace_.setActiveTabIndex(index); });
            connect(chip, &TabChip::closeRequested, this,
                    [this](int index) { workspace_.requestCloseTab(index); });
            // A renamed file widens or narrows its chip: the strip takes the row's new width.
            connect(chip, &TabChip::titleChanged, this, &TabBarView::followChipWidths);
        }
        chipRow_->removeWidget(chip);
        chipRow_->insertWidget(int(i), chip);
        chip->setPlace(int(i), int(i) == workspace_.activeTabIndex());
        chip->show();
        kept.insert(store->id(), chip);
    }
    for (auto it = chipsById_.cbegin(); it != chipsById_.cend(); ++it) {
        TabChip *chip = it.value();
        if (chip && !kept.contains(it.key())) {
            chipRow_->removeWidget(chip);
            chip->hide();
            chip->deleteLater();
        }
    }
    chipsById_ = kept;
    followChipWidths();
}

void TabBarView::followChipWidths()
{
    updateGeometry();
    // Once the row has its new layout.
    QTimer::singleShot(0, this, &TabBarView::showActiveChip);
}

void TabBarView::showActiveChip()
{
    if (TabChip *active = chipsById_.value(workspace_.activeStore()->id()))
        scroll_->ensureWidgetVisible(active, 0, 0);
}

void TabBarView::confirmPendingClose()
{
    if (!workspace_.pendingCloseTabIndex())
        return;
    const int answer = dialogs_.runAlert(
        {AlertRequest::Style::warning,
         QStringLiteral("Discard Unsaved Changes?"),
         QStringLiteral("This report has unsaved changes. Closing the tab will discard them."),
         {{QStringLiteral("Cancel"), AlertRequest::Role::cancel},
          {QStringLiteral("Discard Changes"), AlertRequest::Role::destructive}}});
    const std::optional<int> pending = workspace_.pendingCloseTabIndex();
    workspace_.setPendingCloseTabIndex(std::nullopt);
    if (answer == 1 && pending)
        workspace_.closeTab(*pending);
}

void TabBarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 8, 8);
    painter.fillPath(shape, palette().color(QPalette::Window));
}
