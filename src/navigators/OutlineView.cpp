#include "navigators/OutlineView.h"

#include "canvas/ElementContextMenu.h"
#include "document/DocumentStore.h"
#include "navigators/OutlineActions.h"
#include "navigators/OutlineDelegate.h"
#include "navigators/OutlineModel.h"
#include "widgets/CardText.h"
#include "widgets/SymbolIcons.h"

#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

constexpr int columnPadding = 6;
constexpr int minimumColumnWidth = 90;
// The chevron takes the clicks of its whole column, half the parts' spacing on either side.
constexpr int chevronSlack = 2;

// The picture under the pointer while a row is dragged: its icon and text on a faint accent.
QPixmap dragImage(const OutlineDrag &drag, const QWidget &source)
{
    const QFont font = CardText::sized(source.font(), CardText::bodyPointSize);
    const QFontMetrics metrics(font);
    const int iconSize = metrics.height();
    const int padding = 6;
    const QSize size(padding + iconSize + 4 + metrics.horizontalAdvance(drag.text) + padding,
                     padding + iconSize + padding);
    const qreal ratio = source.devicePixelRatioF();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(), QSizeF(size)), 4, 4);
    QColor accent = source.palette().color(QPalette::Highlight);
    accent.setAlphaF(0.15F);
    painter.fillPath(shape, accent);
    const QColor text = source.palette().color(QPalette::WindowText);
    painter.drawPixmap(
        padding, padding,
        SymbolIcons::tintedPixmap(drag.icon, QSize(iconSize, iconSize), ratio, text));
    painter.setFont(font);
    painter.setPen(text);
    painter.drawText(QRect(padding + iconSize + 4, padding, size.width(), iconSize),
                     Qt::AlignVCenter | Qt::AlignLeft, drag.text);
    return pixmap;
}

} // namespace

OutlineView::OutlineView(QWidget *parent)
    : RowTreeView(parent), emptyModel_(new OutlineModel(this)), model_(emptyModel_)
{
    setObjectName(u"OutlineView"_s);
    setModel(model_);
    setItemDelegate(new OutlineDelegate(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMinimumWidth(minimumColumnWidth);
    setViewportMargins(0, columnPadding, 0, columnPadding);
}

OutlineView::~OutlineView() = default;

void OutlineView::setStore(DocumentStore *store)
{
    if (store == store_ && store)
        return;
    if (store_)
        scrollPositions_.insert(store_->id(), verticalScrollBar()->value());
    for (const QMetaObject::Connection &connection : std::as_const(connections_))
        disconnect(connection);
    connections_.clear();
    store_ = store;
    if (store) {
        // What the report holds and what is open decide the rows; the selection only marks them.
        for (auto signal :
             {&DocumentStore::documentChanged, &DocumentStore::collapsedOutlineNodesChanged})
            connections_.append(connect(store, signal, this, [this] { refresh(); }));
        for (auto signal :
             {&DocumentStore::selectedElementIDsChanged, &DocumentStore::selectedDataItemChanged,
              &DocumentStore::selectedFieldIDsChanged, &DocumentStore::isReportRootSelectedChanged,
              &DocumentStore::activeBandTargetChanged})
            connections_.append(connect(store, signal, this, &OutlineView::refreshSelection));
    }
    showModel(store ? keptFor(store).model : emptyModel_);
    const Kept &kept = kept_.value(store);
    if (!store || !kept.built) {
        refresh(true);
    } else if (kept.document == store->document() &&
               kept.collapsed == store->collapsedOutlineNodes()) {
        // Nothing the rows show changed while the tab was hidden; the tree was emptied of its
        // expanded rows when it took the model back.
        refreshSelection();
        expandParents(model_->parentsOfRows());
    } else {
        refresh();
    }
    if (store)
        restoreScrollPosition();
}

OutlineView::Kept &OutlineView::keptFor(DocumentStore *store)
{
    auto found = kept_.find(store);
    if (found != kept_.end())
        return *found;
    connect(store, &QObject::destroyed, this, [this, store] {
        if (store_ == nullptr && model_ == kept_.value(store).model)
            showModel(emptyModel_);
        delete kept_.take(store).model;
    });
    return *kept_.insert(store, {new OutlineModel(this)});
}

void OutlineView::showModel(OutlineModel *model)
{
    if (model == model_)
        return;
    // The tree makes a selection model for each model it is given and keeps the old one.
    QItemSelectionModel *old = selectionModel();
    model_ = model;
    setModel(model);
    delete old;
}

void OutlineView::restoreScrollPosition()
{
    const int position = scrollPositions_.value(store_->id(), 0);
    if (position > 0) {
        // The tree's height is known once its rows are laid out.
        executeDelayedItemsLayout();
        updateGeometries();
    }
    verticalScrollBar()->setValue(position);
    // A view not yet shown takes its final size later; the place is set again then.
    QMetaObject::invokeMethod(
        this,
        [this, guarded = QPointer<DocumentStore>(store_), position] {
            if (guarded && guarded == store_)
                verticalScrollBar()->setValue(position);
        },
        Qt::QueuedConnection);
}

void OutlineView::refresh(bool replace)
{
    if (acting_ > 0 && !replace) {
        refreshPending_ = true;
        return;
    }
    QList<OutlineRow> rows;
    if (store_) {
        rows = OutlineRows::build(store_->document(), store_->collapsedOutlineNodes(),
                                  OutlineSelection::of(*store_));
    }
    model_->setRows(std::move(rows), replace);
    if (store_) {
        Kept &kept = kept_[store_];
        kept.document = store_->document();
        kept.collapsed = store_->collapsedOutlineNodes();
        kept.built = true;
    }
    // The children of a collapsed node are not in the model: the rest is shown.
    expandParents(model_->parentsOfRows());
}

void OutlineView::refreshSelection()
{
    if (acting_ > 0) {
        selectionPending_ = true;
        return;
    }
    if (store_)
        model_->setSelection(OutlineSelection::of(*store_));
}

QSize OutlineView::sizeHint() const
{
    // A tree wants the column's height, whatever it lists now.
    return {minimumColumnWidth, 600};
}

QList<OutlineRow> OutlineView::rows() const
{
    return model_->rows();
}

std::optional<OutlineRow> OutlineView::row(const QString &key) const
{
    if (const OutlineRow *found = model_->row(model_->indexOf(key)))
        return *found;
    return std::nullopt;
}

QRect OutlineView::rowRect(const QString &key) const
{
    return visualRect(model_->indexOf(key));
}

QRect OutlineView::chevronRect(const QString &key) const
{
    const QModelIndex index = model_->indexOf(key);
    const OutlineRow *found = model_->row(index);
    return found ? OutlineDelegate::chevronRect(*found, visualRect(index)) : QRect();
}

bool OutlineView::isOnChevron(const QModelIndex &index, const QPoint &point) const
{
    const OutlineRow *found = model_->row(index);
    if (!found)
        return false;
    const QRect chevron = OutlineDelegate::chevronRect(*found, visualRect(index));
    return !chevron.isEmpty() && point.x() >= chevron.left() - chevronSlack &&
           point.x() <= chevron.right() + chevronSlack;
}

void OutlineView::act(const OutlineRow &row, Qt::KeyboardModifiers modifiers, bool onChevron)
{
    if (!store_)
        return;
    ++acting_;
    OutlineActions::click(*store_, row, modifiers, onChevron);
    --acting_;
    if (acting_ > 0)
        return;
    // A new build marks the selection too.
    if (std::exchange(refreshPending_, false)) {
        selectionPending_ = false;
        refresh();
    } else if (std::exchange(selectionPending_, false)) {
        refreshSelection();
    }
}

void OutlineView::activateRow(const QModelIndex &index, Qt::KeyboardModifiers modifiers,
                              std::optional<QPoint> pressedAt)
{
    if (const OutlineRow *row = model_->row(index)) {
        const bool onChevron = pressedAt && isOnChevron(index, *pressedAt);
        // A copy: the click may replace the row.
        const OutlineRow clicked = *row;
        act(clicked, modifiers, onChevron);
    }
}

std::optional<bool> OutlineView::isRowOpen(const QModelIndex &index) const
{
    const OutlineRow *row = model_->row(index);
    if (!row || !row->collapseKey)
        return std::nullopt;
    return row->isExpanded;
}

void OutlineView::toggleRow(const QModelIndex &index)
{
    if (const OutlineRow *row = model_->row(index)) {
        const OutlineRow toggled = *row;
        act(toggled, {}, true);
    }
}

void OutlineView::dragRow(const QModelIndex &index)
{
    const OutlineRow *row = model_->row(index);
    if (row && (row->kind == OutlineRow::Kind::parameter || row->kind == OutlineRow::Kind::field))
        startDrag(*row);
}

QMimeData *OutlineView::dragData(const QString &key) const
{
    const std::optional<OutlineRow> shown = row(key);
    if (!store_ || !shown)
        return nullptr;
    const std::optional<OutlineDrag> drag =
        OutlineActions::drag(store_->document(), store_->selectedFieldIDs(), *shown);
    if (!drag)
        return nullptr;
    auto *data = new QMimeData;
    data->setText(drag->payload);
    return data;
}

void OutlineView::startDrag(const OutlineRow &row)
{
    if (!store_)
        return;
    const std::optional<OutlineDrag> payload =
        OutlineActions::drag(store_->document(), store_->selectedFieldIDs(), row);
    if (!payload)
        return;
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setText(payload->payload);
    drag->setMimeData(data);
    drag->setPixmap(dragImage(*payload, *this));
    if (dragRunner_) {
        dragRunner_(*drag);
        drag->deleteLater();
        return;
    }
    drag->exec(Qt::CopyAction);
}

QMenu *OutlineView::contextMenu(const QString &key)
{
    const std::optional<OutlineRow> shown = row(key);
    return shown ? contextMenu(*shown) : nullptr;
}

QMenu *OutlineView::contextMenu(const OutlineRow &row)
{
    if (!store_ || !row.target)
        return nullptr;
    QPointer<DocumentStore> store = store_;
    auto *menu = new QMenu(this);
    if (row.kind == OutlineRow::Kind::band) {
        const BandTarget target = *row.target;
        Dialogs *dialogs = dialogs_;
        for (const OutlineBandMenuItem &item : OutlineActions::bandMenu(*store_, target)) {
            if (item.action == OutlineBandMenuItem::Action::separator) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(SymbolIcons::icon(item.icon), item.title);
            action->setProperty(SymbolIcons::symbolProperty, item.icon);
            connect(action, &QAction::triggered, menu, [store, target, item, dialogs] {
                if (store)
                    OutlineActions::performBandMenuItem(*store, target, item.action, dialogs);
            });
        }
    } else if (row.kind == OutlineRow::Kind::element) {
        ElementContextMenu::addItems(
            menu, OutlineActions::elementMenu(), *store_,
            ElementMenuItems::targetSet(store_->selectedElementIDs(), row.id));
    }
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    return menu;
}

bool OutlineView::showRowMenu(const QModelIndex &index, const QPoint &globalPosition)
{
    const OutlineRow *row = model_->row(index);
    QMenu *menu = row ? contextMenu(*row) : nullptr;
    if (!menu)
        return false;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
    return true;
}
