#include "navigators/OutlineView.h"

#include "canvas/ElementContextMenu.h"
#include "document/DocumentStore.h"
#include "navigators/OutlineActions.h"
#include "navigators/OutlineRowView.h"
#include "widgets/CardText.h"
#include "widgets/SymbolIcons.h"

#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int columnPadding = 6;
constexpr int minimumColumnWidth = 90;

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

OutlineView::OutlineView(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(u"OutlineView"_s);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMinimumWidth(minimumColumnWidth);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);

    content_ = new QWidget(this);
    content_->setObjectName(u"outline.content"_s);
    content_->setBackgroundRole(QPalette::Base);
    content_->setMinimumWidth(minimumColumnWidth);
    column_ = new QVBoxLayout(content_);
    column_->setContentsMargins(0, columnPadding, 0, columnPadding);
    column_->setSpacing(0);
    column_->addStretch(1);
    setWidget(content_);
}

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
        for (auto signal :
             {&DocumentStore::documentChanged, &DocumentStore::selectedElementIDsChanged,
              &DocumentStore::selectedDataItemChanged, &DocumentStore::selectedFieldIDsChanged,
              &DocumentStore::isReportRootSelectedChanged, &DocumentStore::activeBandTargetChanged,
              &DocumentStore::collapsedOutlineNodesChanged})
            connections_.append(connect(store, signal, this, &OutlineView::refresh));
    }
    refresh();
    if (!store)
        return;
    // The column takes its new height when it is next laid out; the place is restored after.
    const int position = scrollPositions_.value(store->id(), 0);
    verticalScrollBar()->setValue(position);
    QMetaObject::invokeMethod(
        this,
        [this, guarded = QPointer<DocumentStore>(store), position] {
            if (guarded && guarded == store_)
                verticalScrollBar()->setValue(position);
        },
        Qt::QueuedConnection);
}

QSize OutlineView::sizeHint() const
{
    // A tree wants the column's height, whatever it lists now.
    return {minimumColumnWidth, 600};
}

QList<OutlineRow> OutlineView::rows() const
{
    QList<OutlineRow> rows;
    rows.reserve(order_.size());
    for (const OutlineRowView *view : order_)
        rows.append(view->row());
    return rows;
}

OutlineRowView *OutlineView::rowView(const QString &key) const
{
    return rowViews_.value(key);
}

void OutlineView::refresh()
{
    QList<OutlineRow> rows;
    if (store_) {
        rows = OutlineRows::build(store_->document(), store_->collapsedOutlineNodes(),
                                  OutlineSelection::of(*store_));
    }

    QHash<QString, OutlineRowView *> kept;
    QList<OutlineRowView *> order;
    order.reserve(rows.size());
    for (OutlineRow &row : rows) {
        // An id the report holds twice still gets a row of its own.
        if (kept.contains(row.key)) {
            const QString base = row.key;
            for (int n = 2; kept.contains(row.key); ++n)
                row.key = base + u'#' + QString::number(n);
        }
        OutlineRowView *view = rowViews_.take(row.key);
        if (view) {
            view->setRow(row);
        } else {
            view = new OutlineRowView(row, content_);
            connect(view, &OutlineRowView::clicked, this, &OutlineView::rowClicked);
            connect(view, &OutlineRowView::dragStarted, this, &OutlineView::startDrag);
            connect(view, &OutlineRowView::menuRequested, this, &OutlineView::showMenu);
        }
        kept.insert(row.key, view);
        order.append(view);
    }
    // Rows that went away may be the one whose click is being handled: they leave later.
    for (OutlineRowView *gone : std::as_const(rowViews_)) {
        gone->hide();
        column_->removeWidget(gone);
        gone->deleteLater();
    }
    rowViews_ = kept;
    if (order != order_) {
        for (OutlineRowView *view : std::as_const(order))
            column_->removeWidget(view);
        for (qsizetype i = 0; i < order.size(); ++i) {
            column_->insertWidget(int(i), order.at(i));
            order.at(i)->show();
        }
        order_ = order;
    }
}

void OutlineView::rowClicked(const QString &key, Qt::KeyboardModifiers modifiers, bool onChevron)
{
    const OutlineRowView *view = rowViews_.value(key);
    if (!store_ || !view)
        return;
    // A copy: the click may replace the row.
    const OutlineRow row = view->row();
    OutlineActions::click(*store_, row, modifiers, onChevron);
}

QMimeData *OutlineView::dragData(const QString &key) const
{
    const OutlineRowView *view = rowViews_.value(key);
    if (!store_ || !view)
        return nullptr;
    const std::optional<OutlineDrag> drag =
        OutlineActions::drag(store_->document(), store_->selectedFieldIDs(), view->row());
    if (!drag)
        return nullptr;
    auto *data = new QMimeData;
    data->setText(drag->payload);
    return data;
}

void OutlineView::startDrag(const QString &key)
{
    OutlineRowView *view = rowViews_.value(key);
    if (!store_ || !view)
        return;
    const std::optional<OutlineDrag> payload =
        OutlineActions::drag(store_->document(), store_->selectedFieldIDs(), view->row());
    if (!payload)
        return;
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setText(payload->payload);
    drag->setMimeData(data);
    drag->setPixmap(dragImage(*payload, *this));
    drag->exec(Qt::CopyAction);
}

QMenu *OutlineView::contextMenu(const QString &key)
{
    const OutlineRowView *view = rowViews_.value(key);
    if (!store_ || !view || !view->row().target)
        return nullptr;
    const OutlineRow row = view->row();
    QPointer<DocumentStore> store = store_;
    auto *menu = new QMenu(this);
    if (row.kind == OutlineRow::Kind::band) {
        const BandTarget target = *row.target;
        for (const OutlineBandMenuItem &item : OutlineActions::bandMenu(*store_, target)) {
            if (item.action == OutlineBandMenuItem::Action::separator) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(SymbolIcons::icon(item.icon), item.title);
            action->setProperty(SymbolIcons::symbolProperty, item.icon);
            connect(action, &QAction::triggered, menu, [store, target, item] {
                if (store)
                    OutlineActions::performBandMenuItem(*store, target, item.action);
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

void OutlineView::showMenu(const QString &key, QPoint globalPosition)
{
    QMenu *menu = contextMenu(key);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}
