#pragma once

#include "canvas/ClickTracker.h"
#include "canvas/ElementFaceCache.h"
#include "canvas/InlineEditState.h"
#include "canvas/ResizeAnchor.h"
#include "model/ReportBand.h"
#include "model/ReportElement.h"

#include <QGraphicsObject>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <array>
#include <memory>
#include <vector>

class ElementChildLayer;
class ElementExpressionSheet;
class ElementMove;
class ElementResize;
class InlineElementTextField;
class QGraphicsProxyWidget;
class QGraphicsSceneMouseEvent;
class ResizeHandleItem;
struct BandContext;

// One report element on the canvas, at its place in points inside its band or container,
// drawn at least 4 by 4 points large. It shows the selection with an outline and four corner
// handles, turns clicks into selection changes and double clicks into its kind's action, is
// dragged within and across bands with the rest of the selection, resized by its handles, and
// edits a static text in place. Views are keyed by element id and updated in place; a
// container keeps its children's views the same way.
class ElementView : public QGraphicsObject {
    Q_OBJECT
public:
    using Items = QHash<QUuid, ElementView *>;

    // `target` is the band that holds the element, or the outermost container's band. The view
    // shares the element's value with the list it stands in.
    ElementView(const ElementList::Shared &element, const BandTarget &target,
                const BandContext *context, QGraphicsItem *parent);
    ~ElementView() override;

    QUuid id() const { return element_->id; }
    // The element as last given; the store holds the current value.
    const ReportElement &element() const { return *element_; }
    const BandTarget &target() const { return target_; }
    const BandContext *context() const { return context_; }
    // Takes the element's new value; nothing happens when it is unchanged.
    void setElement(const ElementList::Shared &element);
    void setShownSelected(bool selected);
    bool isShownSelected() const { return isShownSelected_; }
    // What the element's expressions name that the dataset it runs in lacks, in the expression
    // editor's words (LackMarks): while there is any, the element is outlined in the warning
    // colour with a warning sign in its corner, and its tooltip says it.
    void setLacks(const QStringList &notes);
    const QStringList &lacks() const { return lacks_; }
    const Items &children() const { return children_; }

    // The frame drawn now, in the points of the band or container: the element's own frame,
    // or the live frame of a resize in progress.
    QRectF previewFrame() const;
    // The rectangle that is drawn and hit: the frame's size, at least 4 by 4.
    QRectF box() const;
    const ResizeAnchor &resizeAnchor() const { return resizeAnchor_; }
    const InlineEditState &inlineEdit() const { return inlineEdit_; }
    // The inline text field while a static text is edited in place, else null.
    InlineElementTextField *inlineField() const;
    // A corner handle while the element is selected, else null. An element without children
    // draws its handles itself: its handle items only take presses, and are made when first
    // asked for, so that selecting thousands of elements adds no items.
    ResizeHandleItem *handle(ResizeHandleKind kind);
    // Makes the handle items of a selected element, when it has none.
    void makeHandles();
    // Whether a handle of the selected element could take a press at the point of the scene.
    bool handlesReach(QPointF scenePoint) const;
    // The picture of a text with its outline, drawn again from it until the text, its selection
    // or the zoom changes.
    const ElementFaceCache &faceCache() const { return faceCache_; }
    // The expression builder of a text field, opened by a double click; made the first time
    // it is asked for, as most elements never open it.
    ElementExpressionSheet *expressionSheet();

    // The live translations of a drag or resize, in points; zero outside one.
    void setDragTranslation(QSizeF translation);
    void setResizeTranslation(QSizeF translation);
    // Takes its place after a change of the multi-selection drag: a selected element follows
    // the dragged one. The canvas calls it on the selected views only.
    void followDrag() { place(); }
    ResizeAnchor &resizeAnchor() { return resizeAnchor_; }
    // Whether presses may become drags and resizes: the canvas's store, preferences and shared
    // gesture state are all present.
    bool canBeDragged() const;
    // Where a pointer event happened, in canvas view coordinates (zoom and scroll included),
    // the coordinates of the band frames and the drag ghost.
    static QPointF canvasLocation(const QGraphicsSceneMouseEvent *event);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Makes `items` (the children of `parent`) show `elements` in their order: existing views
    // are updated, missing ones created, and those of elements no longer listed removed.
    static void syncList(QGraphicsItem *parent, Items &items, const ElementList &elements,
                         const BandTarget &target, const BandContext *context);
    // Marks the views of the selected ids, at any depth.
    static void showSelection(const Items &items, const QSet<QUuid> &selected);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // Ends a drag that loses the pointer without a release.
    bool sceneEvent(QEvent *event) override;
    // The element's menu, acting on it or on the whole selection it belongs to.
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;

private:
    // Ends a drag or a resize of its handles that is in progress, without a release.
    void cancelGestures();
    // The face, the outline and the handles it draws itself.
    void paintWhole(QPainter *painter);
    // The sign of lacks() in the box's top right corner.
    static void paintWarningSign(QPainter *painter, const QRectF &box);
    // The element's inside, in `box`: what its kind shows.
    void paintContent(QPainter *painter, const QRectF &box);
    // A click that was no drag: selection, then the double-click test.
    void clicked(Qt::KeyboardModifiers modifiers);
    // The double-click action of the element's kind.
    void doubleClicked();
    void openSubreport(const QString &expression);
    // The element as drawn now: a resize in progress shows its live size.
    ReportElement shownElement() const;
    // The items of a frame's or list's children go in here; null for other kinds.
    QGraphicsItem *childParent();
    void openInlineEditor();
    void closeInlineEditor();
    void syncInlineEditor();
    // Children, place and inline field from the element.
    void layOut();
    // Position, size, stacking, opacity and handles from the element and the gesture state.
    void place();
    void placeHandles();
    // The children's layer from the box, the border's reach, the contents origin and the pens
    // of the children.
    void placeChildLayer();
    // Whether it draws its corner handles itself (selected, without children).
    bool drawsHandles() const;
    void setOrder(int order);
    // Deletes the views, children of `parent`, of elements no longer listed (one inside a mouse
    // handler once the handler is done).
    static void removeViews(QGraphicsItem *parent, std::vector<ElementView *> gone);

    ElementList::Shared element_;
    BandTarget target_;
    const BandContext *context_;
    Items children_;
    bool isShownSelected_ = false;
    QStringList lacks_;
    int order_ = 0;
    QSizeF drawnSize_;
    ElementFaceCache faceCache_;
    // Counts the changes of the look: the element's value, selection and inline editing.
    quint64 faceVersion_ = 0;
    qreal penReach_ = 0; // how far the element's pens reach out of the box
    QSizeF dragTranslation_{0, 0};
    QSizeF resizeTranslation_{0, 0};
    ResizeAnchor resizeAnchor_;
    InlineEditState inlineEdit_;
    ClickTracker clicks_;
    std::array<ResizeHandleItem *, 4> handles_{};
    QPointer<QGraphicsProxyWidget> editorProxy_;
    std::unique_ptr<ElementMove> move_;
    ElementExpressionSheet *expressionSheet_ = nullptr;
    ElementChildLayer *childLayer_ = nullptr;
};
