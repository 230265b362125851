#include "canvas/BandItem.h"

#include "canvas/BandContext.h"
#include "canvas/BandDrop.h"
#include "canvas/BandDropHandler.h"
#include "canvas/BandGeometry.h"
#include "canvas/BandHandleStrip.h"
#include "canvas/BandHeaderButton.h"
#include "canvas/BandLimitTip.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/ElementEnvironment.h"
#include "canvas/ElementPainter.h"
#include "canvas/GridStroke.h"
#include "canvas/PaintedArea.h"
#include "canvas/RulerTicks.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportService.h"
#include "widgets/BandHiding.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppClock.h"
#include "workspace/BandSettings.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QScopedValueRollback>
#include <QStyleOptionGraphicsItem>
#include <QTimer>
#include <algorithm>

namespace {

// A container that draws nothing: the body's coordinate origin for the element views. It cuts
// them off at its area, the band's, widened where their pens print past the band's edges.
class BodyItem : public QGraphicsItem {
public:
    explicit BodyItem(QGraphicsItem *parent) : QGraphicsItem(parent)
    {
        // Not marked as without contents: the scene skips a clipping item's children only
        // when the item itself lies outside what is repainted.
        setFlag(ItemClipsChildrenToShape);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    void setArea(const QRectF &area)
    {
        if (area == area_)
            return;
        prepareGeometryChange();
        area_ = area;
    }
    QRectF boundingRect() const override { return drawnBounds(this, area_); }
    QPainterPath shape() const override
    {
        QPainterPath path;
        path.addRect(boundingRect());
        return path;
    }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    QRectF area_;
};

QColor withAlpha(QColor color, double opacity)
{
    color.setAlphaF(float(opacity));
    return color;
}

QColor accentColor()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

const QColor gray(128, 128, 128);

// Above every element view.
constexpr qreal chromeZ = 1e9;

bool isAdditive(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
}

} // namespace

BandItem::BandItem(const BandTarget &target, const BandContext *context, QGraphicsItem *parent)
    : QGraphicsObject(parent), target_(target), context_(context), body_(new BodyItem(this)),
      handleBar_(new QGraphicsRectItem(this)),
      // Beside the band, so that it reaches over the header strip of the band below.
      handleStrip_(new BandHandleStrip(this, parent ? parent : this))
{
    setFlag(ItemSendsGeometryChanges);
    body_->setPos(0, canvas::headerStripHeight);
    // The grid is drawn over the exposed part only.
    setFlag(ItemUsesExtendedStyleOption);
    // The strip, grid and border are drawn once and kept: a drag over the band repaints them
    // from the picture. Whatever changes their look calls update().
    setCacheMode(DeviceCoordinateCache);
    setAcceptDrops(true);
    handleBar_->setZValue(chromeZ);
    handleBar_->setPen(Qt::NoPen);
    handleBar_->setAcceptedMouseButtons(Qt::NoButton);

    if (target.kind() == BandTarget::Case::detailBand) {
        const QUuid id = target.uuid();
        addButton_ = new BandHeaderButton(
            QStringLiteral("plus.circle"), QStringLiteral("Add Detail Band"),
            [context] {
                if (context->store)
                    context->store->addDetailBand();
            },
            this);
        removeButton_ = new BandHeaderButton(
            QStringLiteral("minus.circle"), QStringLiteral("Remove This Detail Band"),
            [context, id] {
                if (context->store)
                    context->store->removeDetailBand(id);
            },
            this);
    }
    placeChrome();
    placeBody();
}

BandItem::~BandItem()
{
    if (handleStrip_) {
        handleStrip_->release();
        delete handleStrip_;
    }
}

QVariant BandItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionHasChanged)
        placeChrome();
    return QGraphicsObject::itemChange(change, value);
}

void BandItem::setBand(const QString &label, double width, double storedHeight, bool isActive,
                       bool canRemove)
{
    // A column of 0 or less draws an empty band, never one of negative width.
    const double drawnWidth = std::max(width, 0.0);
    if (label_ == label && width_ == drawnWidth && storedHeight_ == storedHeight &&
        isActive_ == isActive && canRemove_ == canRemove)
        return;
    prepareGeometryChange();
    label_ = label;
    width_ = drawnWidth;
    storedHeight_ = storedHeight;
    isActive_ = isActive;
    canRemove_ = canRemove;
    placeChrome();
    placeBody();
    update();
}

bool BandItem::setElements(const ElementList &elements)
{
    if (shownElements_ == elements)
        return false;
    shownElements_ = elements;
    ElementView::syncList(body_, elements_, elements, target_, context_);
    placeBody();
    return true;
}

void BandItem::showSelection(const QSet<QUuid> &selected)
{
    ElementView::showSelection(elements_, selected);
}

double BandItem::bodyHeight() const
{
    return canvas::drawnBodyHeight(storedHeight_ + dragHeightDelta_);
}

QRectF BandItem::bodyRect() const
{
    return QRectF(0, canvas::headerStripHeight, width_, bodyHeight());
}

std::optional<QRectF> BandItem::rubberBand() const
{
    if (!rubberBandItem_ || !rubberBandItem_->isVisible())
        return std::nullopt;
    return rubberBandItem_->rect();
}

bool BandItem::isHandleHighlighted() const
{
    return isHovering_ || dragHeightDelta_ != 0;
}

void BandItem::placed()
{
    if (!canvas::exceedsDrawn(wholeRect()))
        return;
    prepareGeometryChange();
    placeChrome();
    placeBody();
}

QRectF BandItem::wholeRect() const
{
    return QRectF(0, 0, width_, canvas::headerStripHeight + bodyHeight());
}

QRectF BandItem::boundingRect() const
{
    return drawnBounds(this, wholeRect());
}

void BandItem::placeChrome()
{
    const QRectF bounds = wholeRect();
    const bool highlighted = isHandleHighlighted();
    const double barHeight = highlighted ? 3 : 1;
    handleBar_->setRect(
        drawnBounds(this, QRectF(0, bounds.bottom() - barHeight, width_, barHeight)));
    if (handleStrip_) {
        const QRectF strip(0, bounds.bottom() - bandgeometry::handleReachInside, width_,
                           bandgeometry::handleReachInside + bandgeometry::handleReachBelow);
        handleStrip_->setRect(mapRectToItem(handleStrip_->parentItem(), drawnBounds(this, strip)));
    }
    handleBar_->setBrush(highlighted ? withAlpha(accentColor(), 0.7) : withAlpha(gray, 0.35));
    if (!addButton_)
        return;
    const double y = (canvas::headerStripHeight - BandHeaderButton::size) / 2;
    double x = width_ - 4 - BandHeaderButton::size;
    removeButton_->setVisible(canRemove_);
    if (canRemove_) {
        removeButton_->setPos(x, y);
        x -= 4 + BandHeaderButton::size;
    }
    addButton_->setPos(x, y);
}

void BandItem::placeBody()
{
    const QRectF body(0, 0, width_, bodyHeight());
    const QRectF band(0, -canvas::headerStripHeight, width_,
                      canvas::headerStripHeight + body.height());
    static_cast<BodyItem *>(body_)->setArea(
        band | body.marginsAdded(ElementPainter::overflow(shownElements_, body)));
}

void BandItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    // Only the part being painted is drawn: a band can be far wider and taller than the view.
    // Within it the strip, the grid and the border are what the whole band draws; cut a little
    // past it, their lengths stay those of the view whatever the band's size.
    const QRectF seen = paintedArea(painter, option->exposedRect);
    if (seen.isEmpty())
        return;
    const QRectF near = seen.adjusted(-2, -2, 2, 2);
    painter->save();
    painter->setClipRect(seen, Qt::IntersectClip);
    const QColor accent = accentColor();
    const QRectF header(0, 0, width_, canvas::headerStripHeight);
    const QRectF body = bodyRect();

    painter->fillRect(header & near, isActive_ ? withAlpha(accent, 0.15) : withAlpha(gray, 0.08));
    if (isActive_)
        painter->fillRect(body & near, withAlpha(accent, 0.03));

    const BandSettings *settings = context_ ? context_->settings : nullptr;
    if (settings && settings->isSnapToGridEnabled())
        GridStroke::paintBand(painter, seen, body, settings->gridSize(),
                              QPen(withAlpha(gray, 0.18), 0.5));

    const QRectF labelRect = header.adjusted(4, 1, -4, -1);
    if (labelRect.left() < near.right() && header.intersects(near)) {
        QFont font = painter->font();
        font.setPixelSize(9);
        font.setWeight(QFont::DemiBold);
        painter->setFont(font);
        // The header strip lies on the white sheet in every appearance.
        painter->setPen(withAlpha(QColor(Qt::black), 0.55));
        painter->drawText(
            labelRect.adjusted(0, 0, std::min(near.right() - labelRect.right(), 0.0), 0),
            Qt::AlignLeft | Qt::AlignVCenter, label_.toUpper());
    }

    painter->setPen(QPen(withAlpha(gray, 0.25), 1));
    painter->setBrush(Qt::NoBrush);
    // Edges outside the painted part are drawn just outside it, where the clip takes them.
    const QRectF border = wholeRect().adjusted(0.5, 0.5, -0.5, -0.5);
    if (border.intersects(near))
        painter->drawRect(border & near);
    painter->restore();
}

void BandItem::setHovering(bool hovering)
{
    if (isHovering_ == hovering)
        return;
    isHovering_ = hovering;
    placeChrome();
}

void BandItem::setDragHeightDelta(double delta)
{
    if (dragHeightDelta_ == delta)
        return;
    prepareGeometryChange();
    dragHeightDelta_ = delta;
    placeChrome();
    placeBody();
    update();
    if (context_ && context_->relayout)
        context_->relayout();
}

void BandItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    if (event->button() != Qt::LeftButton || !store) {
        event->ignore();
        return;
    }
    pressBodyPoint_ = toBody(event->pos());
    if (bandgeometry::pressHitsElement(pressBodyPoint_, store->elements(target_))) {
        press_ = Press::ignoring;
    } else {
        press_ = Press::rubberBand;
        store->setActiveBandTarget(target_);
    }
    event->accept();
}

void BandItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (press_ == Press::rubberBand && context_ && context_->store) {
        if (!rubberBandItem_) {
            rubberBandItem_ = new QGraphicsRectItem(body_);
            rubberBandItem_->setZValue(chromeZ);
            rubberBandItem_->setBrush(withAlpha(accentColor(), 0.15));
            rubberBandItem_->setPen(QPen(accentColor(), 1));
            rubberBandItem_->setAcceptedMouseButtons(Qt::NoButton);
        }
        rubberBandItem_->setRect(
            bandgeometry::rubberBandRect(pressBodyPoint_, toBody(event->pos())));
        rubberBandItem_->show();
    }
}

bool BandItem::sceneEvent(QEvent *event)
{
    if (event->type() == QEvent::UngrabMouse) {
        press_ = Press::none;
        if (rubberBandItem_)
            rubberBandItem_->hide();
    }
    return QGraphicsObject::sceneEvent(event);
}

void BandItem::handlePressed(QPointF scenePoint)
{
    pressScenePoint_ = scenePoint;
    isHandlePressed_ = true;
    handleDragStarted_ = false;
    const double tallest = context_->store->tallestHeight(target_);
    handleMinimum_ =
        bandgeometry::handleMinimum(context_->store->heightToHoldElements(target_), tallest);
    // A band the page does not hold (a file's) is never raised, and may still be lowered.
    handleMaximum_ = std::max(tallest, handleMinimum_);
    handleLimitWords_ = bandlimit::words(*context_, target_, std::floor(handleMaximum_) + 1);
}

void BandItem::handleMoved(QPointF scenePoint)
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    // A move lays the page out again; when the new page size moves a scroll bar, the view sends
    // the last pointer move once more, at the scene point it now lies over. That move arrives
    // while this one runs and is ignored: taken, it would lay the page out and scroll again,
    // without end.
    if (!isHandlePressed_ || !store || isHandleMoving_)
        return;
    const QScopedValueRollback moving(isHandleMoving_, true);
    // Scene units are points: the pointer's travel on screen divided by the zoom level.
    const double dy = scenePoint.y() - pressScenePoint_.y();
    if (!handleDragStarted_ && std::abs(dy) < 1)
        return;
    handleDragStarted_ = true;
    if (!(store->activeBandTarget() == target_))
        store->setActiveBandTarget(target_);
    if (store->selectedElementID())
        store->setSelectedElementIDs({});
    // Live and unsnapped, but never above the lowest element's bottom, nor below what the page
    // holds; past that the pointer is told why.
    setDragHeightDelta(
        std::clamp(dy, handleMinimum_ - storedHeight_, handleMaximum_ - storedHeight_));
    handleTip_.tell(storedHeight_ + dy > handleMaximum_ ? handleLimitWords_ : QString());
}

void BandItem::handleReleased(QPointF scenePoint)
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    const bool dragged = std::exchange(isHandlePressed_, false) && handleDragStarted_;
    setDragHeightDelta(0);
    handleTip_.tell({});
    if (!dragged || !store)
        return;
    const double dy = scenePoint.y() - pressScenePoint_.y();
    double height = bandgeometry::committedHeight(
        store->height(target_), dy,
        [this](double v) { return context_->settings ? context_->settings->snapped(v) : v; },
        handleMinimum_);
    height = std::min(height, handleMaximum_);
    if (height != store->height(target_))
        store->setHeight(height, target_);
}

void BandItem::handleCancelled()
{
    isHandlePressed_ = false;
    setDragHeightDelta(0);
    handleTip_.tell({});
}

void BandItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    const Press press = std::exchange(press_, Press::none);
    const std::optional<QRectF> rect = rubberBand();
    if (rubberBandItem_)
        rubberBandItem_->hide();
    if (!store)
        return;
    if (press != Press::rubberBand)
        return;
    const bool additive = isAdditive(event->modifiers());
    const QPointF travel = toBody(event->pos()) - pressBodyPoint_;
    if (!ruler::isClick(travel) && rect)
        store->selectElements(*rect, target_, additive);
    else if (ruler::isClick(travel))
        bandClicked(additive);
}

void BandItem::bandClicked(bool additive)
{
    DocumentStore *store = context_->store;
    const qint64 now = context_->clock ? context_->clock->now().toMSecsSinceEpoch() : 0;
    if (clicks_.registerClick(now, bandgeometry::doubleClickMs)) {
        store->fitBandToContent(target_);
        return;
    }
    store->setActiveBandTarget(target_);
    if (additive)
        return;
    store->setSelectedElementIDs({});
    // Ends text editing in any field of the window.
    if (QWidget *focused = QApplication::focusWidget())
        focused->clearFocus();
    if (scene())
        scene()->setFocusItem(nullptr);
}

void BandItem::fillContextMenu(QMenu &menu) const
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    if (!store)
        return;
    QObject *scope = scene() ? static_cast<QObject *>(scene()) : store;
    const BandTarget target = target_;
    QPointer<DocumentStore> guarded = store;
    // Deferred: hiding the band deletes this item.
    const auto later = [scope](std::function<void()> action) {
        QTimer::singleShot(0, scope, std::move(action));
    };
    const ElementClipboard *clipboard = store->clipboard();
    if (clipboard && !clipboard->elements().isEmpty()) {
        QAction *paste = menu.addAction(SymbolIcons::icon(QStringLiteral("doc.on.clipboard")),
                                        QStringLiteral("Paste"));
        paste->setProperty(SymbolIcons::symbolProperty, QStringLiteral("doc.on.clipboard"));
        QObject::connect(paste, &QAction::triggered, scope, [later, guarded, target] {
            later([guarded, target] {
                if (!guarded)
                    return;
                guarded->setActiveBandTarget(target);
                guarded->pasteClipboard();
            });
        });
    }
    if (target.kind() == BandTarget::Case::standard && target.bandType() != BandType::detail) {
        menu.addSeparator();
        QAction *hide = menu.addAction(SymbolIcons::icon(QStringLiteral("eye.slash")),
                                       QStringLiteral("Hide Band"));
        hide->setProperty(SymbolIcons::symbolProperty, QStringLiteral("eye.slash"));
        const ElementEnvironment *environment = context_->environment;
        QObject::connect(hide, &QAction::triggered, scope, [later, guarded, target, environment] {
            later([guarded, target, environment] {
                if (guarded)
                    BandHiding::hide(*guarded, target.bandType(),
                                     environment ? environment->dialogs : nullptr);
            });
        });
    }
}

void BandItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    QMenu menu;
    fillContextMenu(menu);
    if (menu.isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
    menu.exec(event->screenPos());
}

std::optional<QUrl> BandItem::droppedImage(const QMimeData *data) const
{
    const DocumentStore *store = context_ ? context_->store.data() : nullptr;
    if (!data || !data->hasUrls() || !store || !context_->settings || !context_->environment ||
        !context_->environment->imageImport || !bandTakesElements(*store, target_))
        return std::nullopt;
    // Only the first dropped item counts.
    const QUrl url = data->urls().value(0);
    if (!url.isLocalFile() || !ImageImportService::isImageFile(url))
        return std::nullopt;
    return url;
}

bool BandItem::usesDrop(const QMimeData *data) const
{
    const DocumentStore *store = context_ ? context_->store.data() : nullptr;
    if (!data || !store || !context_->settings)
        return false;
    // A file is looked at first: a drop that carries files adds an image or nothing, whatever
    // text comes with it.
    if (data->hasUrls())
        return droppedImage(data).has_value();
    if (!data->hasText())
        return false;
    return bandUsesDrop(*store, target_, BandDrop::parse(data->text()));
}

// Only a drop that adds something is accepted, and always as a copy: the source keeps what it
// dragged.
void BandItem::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    if (!usesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void BandItem::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    dragEnterEvent(event);
}

void BandItem::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    if (!usesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (const std::optional<QUrl> image = droppedImage(event->mimeData())) {
        // The sheet asks how to store the picture; the element is added once it is imported.
        DocumentStore *store = context_->store;
        const QPointF origin =
            imageDropOrigin(*store, *context_->settings, target_, toBody(event->pos()));
        context_->environment->imageImport->begin(*image,
                                                  droppedImageCompletion(store, target_, origin));
        return;
    }
    applyBandDrop(*context_->store, *context_->settings, target_,
                  BandDrop::parse(event->mimeData()->text()), toBody(event->pos()));
}
