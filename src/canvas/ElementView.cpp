#include "canvas/ElementView.h"

#include "canvas/BandContext.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/ElementChildLayer.h"
#include "canvas/ElementContextMenu.h"
#include "canvas/ElementDragRules.h"
#include "canvas/ElementEnvironment.h"
#include "canvas/ElementExpressionSheet.h"
#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementFrame.h"
#include "canvas/ElementMove.h"
#include "canvas/ElementPainter.h"
#include "canvas/ElementViewRegistry.h"
#include "canvas/InlineElementTextField.h"
#include "canvas/MultiDragState.h"
#include "canvas/PaintedArea.h"
#include "canvas/PrintFaces.h"
#include "canvas/ResizeHandleItem.h"
#include "canvas/SubreportOpener.h"
#include "document/ContainerRoom.h"
#include "widgets/ColorHex.h"
#include "widgets/Dialogs.h"
#include "workspace/AppClock.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Selected elements lie above the others of their band, in their own order among themselves.
constexpr qreal selectedLift = 1e6;
// The inline field lies over the element's content and children, below its handles.
constexpr qreal editorZ = 1e8;

QFont inlineFont(const ReportElement &element)
{
    // The face the text prints in.
    const QString family =
        PrintFaces::textFaces(element.fontName, element.pdfFontName, false, false).family;
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QApplication::font();
    font.setPixelSize(std::max(1, int(std::lround(element.fontSize))));
    return font;
}

// The field keeps the element's horizontal alignment and centres its one line vertically.
Qt::Alignment inlineAlignment(TextAlignment alignment)
{
    return ElementFaceGeometry::frameAlignment(alignment, VerticalTextAlignment::middle);
}

// Whether the item or one of its children holds the pointer: it is inside a mouse handler.
bool holdsPointer(const QGraphicsItem *item)
{
    const QGraphicsItem *grabber = item->scene() ? item->scene()->mouseGrabberItem() : nullptr;
    return grabber && (grabber == item || item->isAncestorOf(grabber));
}

} // namespace

ElementView::ElementView(const ElementList::Shared &element, const BandTarget &target,
                         const BandContext *context, QGraphicsItem *parent)
    : QGraphicsObject(parent), element_(element), target_(target), context_(context)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    // Also a view made while a ghost stands in for its element is drawn hidden.
    if (context && context->views)
        context->views->add(this);
    if (context && context->lackMarks)
        lacks_ = context->lackMarks->value(element_->id);
    setToolTip(lacks_.join(u'\n'));
    layOut();
}

ElementView::~ElementView()
{
    // A view that goes mid-gesture is never released: its gesture ends here, so that no ghost
    // and no offset of the rest of the selection is left behind.
    cancelGestures();
    if (context_ && context_->views)
        context_->views->remove(this);
}

void ElementView::cancelGestures()
{
    if (const std::unique_ptr<ElementMove> move = std::move(move_))
        move->cancel();
    for (ResizeHandleItem *handle : handles_) {
        if (handle)
            handle->cancelResize();
    }
}

bool ElementView::sceneEvent(QEvent *event)
{
    // The pointer was taken from a drag in progress: the view left the page, or the canvas
    // shows another report. After an ordinary release there is nothing left to end.
    if (event->type() == QEvent::UngrabMouse) {
        if (const std::unique_ptr<ElementMove> move = std::move(move_))
            move->cancel();
    }
    return QGraphicsObject::sceneEvent(event);
}

void ElementView::setElement(const ElementList::Shared &element)
{
    const bool unchanged = element_.isSameBox(element) || *element_ == *element;
    // An element that only moved keeps its face: a drag of thousands of texts draws their kept
    // pictures at their new places. A container takes its children's new values too.
    const bool moved = !unchanged && !element->kind.children() && [&] {
        ReportElement before = *element_;
        before.x = element->x;
        before.y = element->y;
        return before == *element;
    }();
    // The list's own value is held, so that an earlier one is not kept alive.
    element_ = element;
    if (moved)
        place();
    else if (!unchanged)
        layOut();
}

void ElementView::layOut()
{
    if (const ElementList *children = element_->kind.children())
        syncList(childParent(), children_, *children, target_, context_);
    else if (!children_.isEmpty())
        syncList(childParent(), children_, {}, target_, context_);
    ++faceVersion_;
    place();
    placeChildLayer();
    syncInlineEditor();
    update();
}

void ElementView::setShownSelected(bool selected)
{
    if (isShownSelected_ == selected)
        return;
    // The handles it draws stand out of its box.
    prepareGeometryChange();
    isShownSelected_ = selected;
    ++faceVersion_;
    // A container's handles draw themselves over its children; the handles of other elements,
    // drawn by the element, only take presses and are made when one comes near.
    if (selected && childLayer_)
        makeHandles();
    for (ResizeHandleItem *handle : handles_) {
        if (handle)
            handle->setVisible(selected);
    }
    setOrder(order_);
    placeHandles();
    place();
    update();
}

void ElementView::setLacks(const QStringList &notes)
{
    if (notes == lacks_)
        return;
    lacks_ = notes;
    setToolTip(notes.join(u'\n'));
    ++faceVersion_;
    update();
}

void ElementView::setOrder(int order)
{
    order_ = order;
    setZValue(order + (isShownSelected_ ? selectedLift : 0));
}

QRectF ElementView::previewFrame() const
{
    const std::optional<QRectF> &start = resizeAnchor_.startFrame();
    const std::optional<ResizeHandleKind> &handle = resizeAnchor_.activeHandle();
    if (start && handle)
        return liveResizeFrame(*handle, *start, resizeTranslation_);
    return QRectF(element_->x, element_->y, element_->printedWidth(), element_->printedHeight());
}

QRectF ElementView::box() const
{
    return QRectF(QPointF(0, 0), drawnSize_);
}

InlineElementTextField *ElementView::inlineField() const
{
    return editorProxy_ ? qobject_cast<InlineElementTextField *>(editorProxy_->widget()) : nullptr;
}

ResizeHandleItem *ElementView::handle(ResizeHandleKind kind)
{
    makeHandles();
    return isShownSelected_ ? handles_[size_t(kind)] : nullptr;
}

void ElementView::makeHandles()
{
    if (!isShownSelected_ || handles_[0])
        return;
    for (ResizeHandleKind kind : allResizeHandleKinds()) {
        auto *handle = new ResizeHandleItem(kind, this);
        handle->setDrawnByElement(!childLayer_);
        handles_[size_t(kind)] = handle;
    }
    placeHandles();
}

bool ElementView::handlesReach(QPointF scenePoint) const
{
    if (!isShownSelected_)
        return false;
    const qreal half = ResizeHandleItem::hitSize / 2;
    return mapRectToScene(box().adjusted(-half, -half, half, half)).contains(scenePoint);
}

void ElementView::setDragTranslation(QSizeF translation)
{
    dragTranslation_ = translation;
    place();
}

void ElementView::setResizeTranslation(QSizeF translation)
{
    resizeTranslation_ = translation;
    place();
}

bool ElementView::canBeDragged() const
{
    return context_ && context_->store && context_->settings && context_->frameTracker &&
           context_->multiDrag && context_->crossBand;
}

QPointF ElementView::canvasLocation(const QGraphicsSceneMouseEvent *event)
{
    QWidget *viewport = event->widget();
    const auto *view = viewport ? qobject_cast<QGraphicsView *>(viewport->parentWidget()) : nullptr;
    return view ? view->viewportTransform().map(event->scenePos()) : event->scenePos();
}

void ElementView::place()
{
    const QRectF frame = previewFrame();
    const QSizeF size = ElementFaceGeometry::drawnFrame(frame.width(), frame.height()).size();
    // Pens print their whole width, reaching out of the box.
    const qreal penReach = ElementPainter::penReach(*element_);
    if (penReach != penReach_) {
        prepareGeometryChange();
        penReach_ = penReach;
        placeChildLayer();
    }
    if (size != drawnSize_) {
        prepareGeometryChange();
        drawnSize_ = size;
        placeHandles();
        if (editorProxy_)
            editorProxy_->setGeometry(box());
        placeChildLayer();
    }
    const QSizeF base(frame.x() + dragTranslation_.width(), frame.y() + dragTranslation_.height());
    const QSizeF offset =
        context_ && context_->multiDrag
            ? dragrules::followerOffset(*context_->multiDrag, base, isShownSelected_, id())
            : base;
    setPos(offset.width(), offset.height());
}

void ElementView::placeChildLayer()
{
    if (!childLayer_)
        return;
    const QPointF origin = ContainerRoom::contentsOrigin(*element_);
    const ElementList *children = element_->kind.children();
    childLayer_->setBox(box(), penReach_, origin,
                        children ? ElementPainter::overflow(*children, box(), origin)
                                 : QMarginsF());
}

void ElementView::placeHandles()
{
    if (!isShownSelected_)
        return;
    for (ResizeHandleItem *handle : handles_) {
        if (handle)
            handle->placeOn(drawnSize_);
    }
}

bool ElementView::drawsHandles() const
{
    // A container's handles draw themselves, over its children.
    return isShownSelected_ && !childLayer_;
}

QRectF ElementView::boundingRect() const
{
    // Room for the selection outline around the box, and for the handles it draws.
    const qreal margin = std::max(drawsHandles() ? ResizeHandleItem::reach + 1 : 1, penReach_);
    return drawnBounds(this, box().adjusted(-margin, -margin, margin, margin));
}

QPainterPath ElementView::shape() const
{
    QPainterPath path;
    path.addRect(box());
    return path;
}

void ElementView::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // Texts are kept as pictures with their outline and handles: they cost the most to draw, and
    // their look follows the element and its selection alone (images and subreports follow
    // loads and jobs).
    const ElementKind &kind = element_->kind;
    if (kind.is<ElementKind::StaticText>() || kind.is<ElementKind::TextField>()) {
        const quint64 version =
            faceVersion_ + (quint64(context_ ? context_->faceGeneration : 0) << 32);
        faceCache_.draw(painter, boundingRect(), version, [this](QPainter *p) { paintWhole(p); });
    } else {
        paintWhole(painter);
    }
}

void ElementView::paintWhole(QPainter *painter)
{
    const QRectF b = box();
    // The face clips itself to the box.
    paintContent(painter, b);
    if (lacks_.isEmpty()) {
        ElementFrame::draw(painter, b, isShownSelected_, drawsHandles());
        return;
    }
    // The outline of an element that lacks names is drawn directly, in the warning colour
    // unless selected, with the sign under the handles.
    ElementFrame::paintOutline(painter, b, isShownSelected_, true);
    paintWarningSign(painter, b);
    if (drawsHandles())
        ElementFrame::paintHandles(painter, b);
}

void ElementView::paintWarningSign(QPainter *painter, const QRectF &box)
{
    // A triangle with an exclamation mark in the top right corner, as large as the box allows
    // up to 10 points.
    const qreal side = std::min({qreal(10), box.width(), box.height()});
    const QRectF corner(box.right() - side, box.top(), side, side);
    QPainterPath triangle;
    triangle.moveTo(corner.center().x(), corner.top());
    triangle.lineTo(corner.bottomRight());
    triangle.lineTo(corner.bottomLeft());
    triangle.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(triangle, ColorHex::warning());
    const qreal stroke = side / 8;
    const qreal middle = corner.center().x();
    painter->fillRect(QRectF(middle - stroke / 2, corner.top() + side * 0.35, stroke, side * 0.33),
                      Qt::white);
    painter->fillRect(QRectF(middle - stroke / 2, corner.top() + side * 0.76, stroke, stroke),
                      Qt::white);
    painter->restore();
}

void ElementView::paintContent(QPainter *painter, const QRectF &box)
{
    const DocumentStore *store = context_ ? context_->store.data() : nullptr;
    ElementFaceContext face;
    if (store) {
        face.reportURL = store->fileURL();
        face.isCreatingSubreport = store->creatingSubreportElementIDs().contains(id());
        face.styles = &store->document().styles;
    }
    face.isEditingInline = inlineEdit_.isEditing();
    face.images = context_ && context_->environment ? context_->environment->images : nullptr;
    ElementPainter::paintContent(painter, shownElement(), box, face);
}

ReportElement ElementView::shownElement() const
{
    ReportElement shown = *element_;
    const QRectF frame = previewFrame();
    shown.width = frame.width();
    shown.height = frame.height();
    return shown;
}

QGraphicsItem *ElementView::childParent()
{
    if (!childLayer_ && element_->kind.children()) {
        // From now on the handles draw themselves, over the children.
        prepareGeometryChange();
        for (ResizeHandleItem *handle : handles_) {
            if (handle)
                handle->setDrawnByElement(false);
        }
        childLayer_ = new ElementChildLayer(
            [this](QPainter *painter, const QRectF &box) {
                ElementPainter::paintOverlay(painter, shownElement(), box);
            },
            this);
        placeChildLayer();
        makeHandles();
    }
    return childLayer_ ? static_cast<QGraphicsItem *>(childLayer_) : this;
}

void ElementView::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    DocumentStore *store = context_ ? context_->store.data() : nullptr;
    if (!store) {
        event->ignore();
        return;
    }
    event->accept();
    QMenu *menu = ElementContextMenu::build(*store, id(), event->widget());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->screenPos());
}

void ElementView::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !context_ || !context_->store) {
        event->ignore();
        return;
    }
    // While the inline field is open, presses on the element belong to the field.
    event->accept();
    if (!inlineEdit_.isEditing())
        move_ = std::make_unique<ElementMove>(*this, canvasLocation(event));
}

void ElementView::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (move_ && canBeDragged())
        move_->moved(canvasLocation(event));
}

void ElementView::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    // Taken first: a drop may take this view off the canvas.
    const std::unique_ptr<ElementMove> move = std::move(move_);
    if (!move || !context_->store || move->released(canvasLocation(event)))
        return;
    clicked(event->modifiers());
}

void ElementView::clicked(Qt::KeyboardModifiers modifiers)
{
    DocumentStore *store = context_->store;
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) {
        store->toggleSelection(id(), target_);
    } else {
        store->setActiveBandTarget(target_);
        store->setSelectedElementIDs({id()});
    }
    const AppClock *clock = context_->clock;
    if (!clock)
        return;
    if (clicks_.registerClick(clock->now().toMSecsSinceEpoch(), clock->doubleClickIntervalMs()))
        doubleClicked();
}

ElementExpressionSheet *ElementView::expressionSheet()
{
    if (!expressionSheet_)
        expressionSheet_ = new ElementExpressionSheet(this);
    return expressionSheet_;
}

void ElementView::doubleClicked()
{
    DocumentStore *store = context_->store;
    const ElementEnvironment *environment = context_->environment;
    if (element_->kind.is<ElementKind::StaticText>()) {
        openInlineEditor();
    } else if (element_->kind.is<ElementKind::TextField>()) {
        const QList<QGraphicsView *> views = scene() ? scene()->views() : QList<QGraphicsView *>();
        expressionSheet()->open(store, id(), views.value(0),
                                environment ? environment->expressions : nullptr);
    } else if (const auto *subreport = element_->kind.as<ElementKind::Subreport>()) {
        // A subreport whose file is still being made is left alone until it exists.
        if (!store->creatingSubreportElementIDs().contains(id()))
            openSubreport(subreport->expression);
    }
}

void ElementView::openSubreport(const QString &expression)
{
    const ElementEnvironment *environment = context_->environment;
    if (!environment || !environment->workspace || !environment->settings || !environment->dialogs)
        return;
    SubreportOpener(*context_->store, *environment->workspace, *environment->settings,
                    *environment->dialogs)
        .openSubreport(expression);
}

void ElementView::openInlineEditor()
{
    const auto *text = element_->kind.as<ElementKind::StaticText>();
    if (!text || inlineEdit_.isEditing() || !context_->store)
        return;
    inlineEdit_.setIsEditing(true);
    ++faceVersion_;
    QPointer<DocumentStore> store = context_->store;
    const QUuid elementID = id();
    auto *field = new InlineElementTextField(
        text->text, inlineFont(*element_), inlineAlignment(element_->textAlignment),
        [store, elementID](const QString &typed) {
            if (!store)
                return;
            store->updateElement(elementID, [&typed](ReportElement &e) {
                if (auto *staticText = e.kind.as<ElementKind::StaticText>())
                    staticText->text = typed;
                else
                    e.kind = ElementKind::StaticText{typed};
            });
        },
        [this] { closeInlineEditor(); });
    auto *proxy = new QGraphicsProxyWidget(this);
    proxy->setWidget(field);
    proxy->setZValue(editorZ);
    proxy->setGeometry(box());
    editorProxy_ = proxy;
    update();
}

void ElementView::closeInlineEditor()
{
    inlineEdit_.setIsEditing(false);
    ++faceVersion_;
    // Called from the field's own key and focus handlers: it goes once they have returned.
    if (QGraphicsProxyWidget *proxy = editorProxy_) {
        editorProxy_ = nullptr;
        proxy->hide();
        proxy->deleteLater();
    }
    update();
}

void ElementView::syncInlineEditor()
{
    InlineElementTextField *field = inlineField();
    if (!field)
        return;
    if (const auto *text = element_->kind.as<ElementKind::StaticText>())
        field->update(text->text, inlineFont(*element_), inlineAlignment(element_->textAlignment));
    else
        closeInlineEditor();
}

void ElementView::syncList(QGraphicsItem *parent, Items &items, const ElementList &elements,
                           const BandTarget &target, const BandContext *context)
{
    QSet<QUuid> listed;
    listed.reserve(elements.size());
    for (qsizetype order = 0; order < elements.size(); ++order) {
        const ElementList::Shared e = elements.shared(order);
        listed.insert(e->id);
        ElementView *&item = items[e->id];
        if (item)
            item->setElement(e);
        else
            item = new ElementView(e, target, context, parent);
        item->setOrder(int(order));
    }
    if (listed.size() == items.size())
        return;
    std::vector<ElementView *> gone;
    for (auto it = items.begin(); it != items.end();) {
        if (listed.contains(it.key())) {
            ++it;
            continue;
        }
        gone.push_back(it.value());
        it = items.erase(it);
    }
    removeViews(parent, std::move(gone));
}

void ElementView::removeViews(QGraphicsItem *parent, std::vector<ElementView *> gone)
{
    // Removing an item from the scene, and from its parent, moves every item listed after it in
    // the scene's list (kept in the order of the items' addresses) and in the parent's list of
    // children; removed one by one from the middle, a band's thousands of views would take time
    // growing with the square of their number. The views' handles (made later, for a selection)
    // go first, from the highest address down, and then the views from the last child back, so
    // that each leaves the end of both lists (views made one after another lie at rising
    // addresses).
    std::vector<QGraphicsItem *> handles;
    for (ElementView *view : gone) {
        if (holdsPointer(view))
            continue;
        for (ResizeHandleItem *&handle : view->handles_) {
            if (handle) {
                handle->cancelResize();
                handles.push_back(std::exchange(handle, nullptr));
            }
        }
    }
    std::sort(handles.begin(), handles.end(), std::greater<>());
    for (QGraphicsItem *handle : handles)
        delete handle;
    QHash<const QGraphicsItem *, qsizetype> place;
    const QList<QGraphicsItem *> children = parent->childItems();
    place.reserve(children.size());
    for (qsizetype i = 0; i < children.size(); ++i)
        place.insert(children[i], i);
    std::vector<std::pair<qsizetype, ElementView *>> placed;
    placed.reserve(gone.size());
    for (ElementView *view : gone)
        placed.emplace_back(place.value(view), view);
    std::sort(placed.begin(), placed.end(), std::greater<>());
    for (const auto &entry : placed) {
        ElementView *view = entry.second;
        if (holdsPointer(view)) {
            // Its own drop took it away: it goes once the release has been handled, or with the
            // canvas.
            view->hide();
            view->setParentItem(nullptr);
            view->scene()->removeItem(view);
            view->deleteLater();
            if (view->context_ && view->context_->views)
                view->context_->views->keepLeaving(view);
        } else {
            delete view;
        }
    }
}

void ElementView::showSelection(const Items &items, const QSet<QUuid> &selected)
{
    for (ElementView *item : items) {
        item->setShownSelected(selected.contains(item->id()));
        showSelection(item->children_, selected);
    }
}
