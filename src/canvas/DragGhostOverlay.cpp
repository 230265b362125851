#include "canvas/DragGhostOverlay.h"

#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/OverlayGeometry.h"
#include "document/DocumentStore.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

DragGhostOverlay::DragGhostOverlay(CrossBandDragState *dragState, BandFrameTracker *frameTracker,
                                   QWidget *parent)
    : QWidget(parent), dragState_(dragState), frameTracker_(frameTracker)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    connect(dragState, &CrossBandDragState::changed, this, &DragGhostOverlay::ghostsChanged);
    // Scrolling and zooming move the bands, and with them the carried elements' places.
    connect(frameTracker, &BandFrameTracker::framesChanged, this, &DragGhostOverlay::planChanged);
}

void DragGhostOverlay::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    // The dragged element may vanish mid-drag (an undo): then nothing is drawn.
    if (store) {
        connect(store, &DocumentStore::documentChanged, this, &DragGhostOverlay::planChanged);
        connect(store, &DocumentStore::zoomLevelChanged, this, &DragGhostOverlay::planChanged);
    }
    planChanged();
}

void DragGhostOverlay::planChanged()
{
    plan_.isValid = false;
    ghostsChanged();
}

const QList<DragGhostOverlay::Ghost> &DragGhostOverlay::ghosts() const
{
    static const QList<Ghost> none;
    if (!store_ || !dragState_->elementID() || !dragState_->globalLocation())
        return none;
    const QUuid draggedID = *dragState_->elementID();
    const QList<QUuid> &group = dragState_->groupElementIDs();
    if (plan_.isValid && plan_.elementID == draggedID && plan_.groupElementIDs == group)
        return plan_.ghosts;
    plan_ = Plan{true, draggedID, group, {}};
    const std::optional<ReportElement> dragged = store_->element(draggedID);
    if (!dragged)
        return plan_.ghosts;
    const auto ghostOf = [](const ReportElement &e, QPointF offset) {
        return Ghost{QSizeF(e.printedWidth(), e.printedHeight()), overlay::ghostLabel(e), offset};
    };
    plan_.ghosts.append(ghostOf(*dragged, QPointF(0, 0)));
    if (group.isEmpty())
        return plan_.ghosts;
    // The carried elements keep their arrangement on screen around the dragged one.
    QSet<QUuid> wanted(group.cbegin(), group.cend());
    wanted.insert(draggedID);
    const QHash<QUuid, overlay::DrawnElement> drawn =
        overlay::homeScreenOrigins(*store_, frameTracker_->frames(), wanted);
    const auto home = drawn.constFind(draggedID);
    if (home == drawn.cend())
        return plan_.ghosts;
    for (const QUuid &id : group) {
        const auto member = drawn.constFind(id);
        if (member != drawn.cend())
            plan_.ghosts.append(ghostOf(member->element, member->origin - home->origin));
    }
    return plan_.ghosts;
}

QRectF DragGhostOverlay::ghostBox(const Ghost &ghost, QPointF center) const
{
    const QSizeF size =
        overlay::ghostSize(ghost.size.width(), ghost.size.height(), store_->zoomLevel());
    return QRectF(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(),
                  size.height());
}

void DragGhostOverlay::ghostsChanged()
{
    QRect area;
    const QList<Ghost> &shown = ghosts();
    if (!shown.isEmpty()) {
        // The overlay lies exactly over the canvas viewport, whose coordinates the state uses.
        const QPointF c = *dragState_->globalLocation();
        QRectF boxes;
        for (const Ghost &ghost : shown)
            boxes |= ghostBox(ghost, c + ghost.offset);
        // The corner marks reach 4.25 beyond the boxes; a little more for antialiasing.
        // Only the part over the overlay is repainted, however large the boxes.
        area =
            (boxes.adjusted(-6, -6, 6, 6) & QRectF(rect().adjusted(-1, -1, 1, 1))).toAlignedRect();
    }
    update(shownArea_ | area);
    shownArea_ = area;
}

void DragGhostOverlay::paintEvent(QPaintEvent *event)
{
    const QList<Ghost> &shown = ghosts();
    if (shown.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = dragState_->isOutOfBounds()
                             ? QColor(Qt::red)
                             : palette().color(QPalette::Active, QPalette::Highlight);
    const QPointF c = *dragState_->globalLocation();
    // A carried group is drawn once and then only moved with the pointer.
    if (shown.size() > 1) {
        if (const QPixmap &picture = groupPicture(color); !picture.isNull()) {
            painter.drawPixmap(c + plan_.pictureArea.topLeft(), picture);
            return;
        }
    }
    const QRectF exposed = QRectF(event->rect()).adjusted(-6, -6, 6, 6);
    for (const Ghost &ghost : shown) {
        const QPointF center = c + ghost.offset;
        if (ghostBox(ghost, center).intersects(exposed))
            drawGhost(painter, ghost, center, color);
    }
}

const QPixmap &DragGhostOverlay::groupPicture(const QColor &color) const
{
    // A picture larger than this many device pixels is not kept.
    constexpr double largestPicture = 4096.0 * 4096.0;
    if (plan_.pictureColor == color && !plan_.picture.isNull())
        return plan_.picture;
    QRectF area;
    for (const Ghost &ghost : std::as_const(plan_.ghosts))
        area |= ghostBox(ghost, ghost.offset);
    area = area.adjusted(-6, -6, 6, 6);
    const double scale = devicePixelRatioF();
    plan_.pictureColor = color;
    plan_.pictureArea = area;
    plan_.picture = QPixmap();
    if (area.width() * area.height() * scale * scale > largestPicture)
        return plan_.picture;
    plan_.picture = QPixmap((area.size() * scale).toSize() + QSize(1, 1));
    plan_.picture.setDevicePixelRatio(scale);
    plan_.picture.fill(Qt::transparent);
    QPainter painter(&plan_.picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-area.topLeft());
    for (const Ghost &ghost : std::as_const(plan_.ghosts))
        drawGhost(painter, ghost, ghost.offset, color);
    return plan_.picture;
}

void DragGhostOverlay::drawGhost(QPainter &painter, const Ghost &ghost, QPointF center,
                                 const QColor &color) const
{
    const QRectF box = ghostBox(ghost, center);
    QColor fill = color;
    fill.setAlphaF(0.15f);
    painter.setPen(QPen(color, 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 2, 2);

    QFont font = painter.font();
    font.setPixelSize(9);
    font.setWeight(QFont::Medium);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(box.adjusted(3, 3, -3, -3), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     ghost.label);

    painter.setPen(QPen(color, 1.5));
    painter.setBrush(Qt::white);
    for (const QPointF &corner :
         {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        painter.drawEllipse(corner, 3.5, 3.5);
}
