#include "canvas/ElementView.h"
#include "app/KeyMonitor.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/InlineElementTextField.h"
#include "canvas/ResizeHandleItem.h"
#include "workspace/AppClock.h"
#include "workspace/WorkspaceModel.h"

#include "CanvasPointer.h"
#include "ModelBuilders.h"
#include "TestBandSettings.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// The canvas of the workspace's report in an active window, with the key monitor installed:
// pointer events go to the canvas viewport and keys through the window, as a user's do.
struct ElementViewFixture : ::testing::Test, CanvasPointer {
    ElementViewFixture()
    {
        store = workspace.activeStore();
        detail = BandTarget::detailBand(store->document().detailBands[0].id);
        showCanvas(store, {1000, 900});
        canvas.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&canvas));
        KeyMonitor::install(&workspace, &canvas);
    }

    QUuid addBox(double x, double y, const BandTarget &target)
    {
        return add(ElementKind::Rectangle{}, QRectF(x, y, 50, 20), target);
    }
    ElementView *viewOf(const QUuid &id, const BandTarget &target) const
    {
        return band(target)->elementItems().value(id);
    }
    QRectF frameOf(const QUuid &id) const
    {
        const ReportElement e = store->element(id).value();
        return QRectF(e.x, e.y, e.width, e.height);
    }
    QList<QUuid> idsIn(const BandTarget &target) const
    {
        QList<QUuid> ids;
        for (const ReportElement &e : store->elements(target))
            ids.append(e.id);
        return ids;
    }
    double column() const { return store->document().columnWidth; }

    void key(Qt::Key key) { QTest::keyClick(canvas.windowHandle(), key); }
    const CrossBandDragState &ghost() const { return *canvas.crossBandDragState(); }

    WorkspaceModel workspace;
    DocumentStore *store = nullptr;
    BandTarget detail = BandTarget::standard(BandType::detail);
};

} // namespace

TEST_F(ElementViewFixture, DragFollowsThePointerSnapsAndUndoesInOneStep)
{
    const QUuid a = addBox(10, 5, detail);
    ElementView *view = viewOf(a, detail);

    // A travel of one point is a click: it selects and moves nothing.
    press(at(detail, {20, 10}));
    move(at(detail, {21, 10}));
    EXPECT_EQ(view->pos(), QPointF(10, 5));
    release(at(detail, {21, 10}));
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{a});
    EXPECT_EQ(frameOf(a), QRectF(10, 5, 50, 20));

    press(at(detail, {20, 10}));
    move(at(detail, {24, 10}));
    move(at(detail, {53, 22}));
    EXPECT_EQ(view->pos(), QPointF(43, 17));
    EXPECT_FALSE(ghost().isShowingGhost()) << "it still fits its band";
    release(at(detail, {53, 22}));
    EXPECT_EQ(frameOf(a), QRectF(bandSettings.snapped(43, column()), 20, 50, 20));
    EXPECT_EQ(view->pos(), QPointF(bandSettings.snapped(43, column()), 20));
    EXPECT_EQ(viewOf(a, detail), view) << "updated in place";

    store->undo();
    EXPECT_EQ(frameOf(a), QRectF(10, 5, 50, 20));
    EXPECT_EQ(view->pos(), QPointF(10, 5));

    // Past the band's left edge and released over no band: clamped at 0.
    drag(at(detail, {20, 10}), at(detail, {-25, 10}));
    EXPECT_EQ(frameOf(a).x(), 0);
}

TEST_F(ElementViewFixture, DropOnAnotherBandMovesTheElementThereAndOneUndoRestoresIt)
{
    const QUuid t = add(ElementKind::Rectangle{}, QRectF(10, 2, 50, 10), title);
    ElementView *view = viewOf(t, title);

    press(at(title, {20, 5}));
    move(at(title, {30, 5}));
    move(at(detail, {100, 15}));
    EXPECT_EQ(ghost().elementID(), t);
    EXPECT_FALSE(ghost().isOutOfBounds());
    EXPECT_EQ(view->opacity(), 0) << "the ghost stands in for it";
    release(at(detail, {100, 15}));

    EXPECT_TRUE(idsIn(title).isEmpty());
    EXPECT_EQ(idsIn(detail), QList<QUuid>{t});
    // Grabbed 10 right of and 3 below its corner; snapped along the detail band.
    EXPECT_EQ(frameOf(t), QRectF(bandSettings.snapped(90, column()), 10, 50, 10));
    EXPECT_EQ(store->activeBandTarget(), detail);
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{t});
    EXPECT_TRUE(store->isDirty());
    EXPECT_FALSE(ghost().elementID());
    ASSERT_NE(viewOf(t, detail), nullptr);
    EXPECT_EQ(viewOf(t, detail)->opacity(), 1);

    store->undo();
    EXPECT_EQ(idsIn(title), QList<QUuid>{t});
    EXPECT_TRUE(idsIn(detail).isEmpty());
    EXPECT_EQ(frameOf(t), QRectF(10, 2, 50, 10));
}

TEST_F(ElementViewFixture, ASelectionMovesTogetherWithinItsBandAndToAnother)
{
    const QUuid a = addBox(10, 5, detail);
    const QUuid b = addBox(100, 5, detail);
    const QUuid c = addBox(200, 5, detail);
    const QUuid loose = addBox(300, 5, detail);
    store->setSelectedElementIDs({a, b, c});

    press(at(detail, {20, 10}));
    move(at(detail, {24, 10}));
    move(at(detail, {40, 20}));
    EXPECT_EQ(viewOf(a, detail)->pos(), QPointF(30, 15));
    EXPECT_EQ(viewOf(b, detail)->pos(), QPointF(120, 15)) << "followers take the translation";
    EXPECT_EQ(viewOf(c, detail)->pos(), QPointF(220, 15));
    EXPECT_EQ(viewOf(loose, detail)->pos(), QPointF(300, 5));
    release(at(detail, {40, 20}));
    for (const auto &[id, x] : {std::pair{a, 30.0}, {b, 120.0}, {c, 220.0}})
        EXPECT_EQ(frameOf(id).topLeft(), QPointF(bandSettings.snapped(x, column()), 20));
    EXPECT_EQ(viewOf(b, detail)->pos(), frameOf(b).topLeft()) << "no translation is left over";
    EXPECT_EQ(frameOf(loose).topLeft(), QPointF(300, 5));
    store->undo();
    EXPECT_EQ(frameOf(c).topLeft(), QPointF(200, 5)) << "one step for the three";

    store->setSelectedElementIDs({a, b, c});
    press(at(detail, {20, 10}));
    move(at(detail, {24, 10}));
    move(at(title, {20, 10}));
    EXPECT_EQ(ghost().groupElementIDs().size(), 2);
    EXPECT_EQ(viewOf(b, detail)->opacity(), 0);
    release(at(title, {20, 10}));
    EXPECT_EQ(idsIn(detail), QList<QUuid>{loose});
    EXPECT_EQ(idsIn(title).size(), 3);
    EXPECT_NEAR(frameOf(b).x() - frameOf(a).x(), 90, 1e-9) << "the arrangement is kept";
    EXPECT_EQ(frameOf(a).y(), 10);
    store->undo();
    EXPECT_EQ(idsIn(detail).size(), 4);
}

TEST_F(ElementViewFixture, AChildOfAFrameDroppedOnAnotherBandStaysWhereItWas)
{
    ReportElement child = testsupport::element(ElementKind::Rectangle{});
    child.x = 5;
    child.y = 5;
    child.width = 40;
    child.height = 10;
    ElementKind::Frame frame;
    frame.children = ElementList{child};
    const QUuid frameID = add(frame, QRectF(10, 5, 200, 30), detail);
    const ReportDocument before = store->document();
    const qsizetype undoSteps = store->undoStack().size();
    ElementView *childView = viewOf(frameID, detail)->children().value(child.id);
    ASSERT_NE(childView, nullptr);

    drag(at(detail, {20, 15}), at(title, {50, 10}));
    EXPECT_EQ(store->document(), before);
    EXPECT_EQ(store->undoStack().size(), undoSteps);
    EXPECT_EQ(childView->pos(), QPointF(5, 5));
}

TEST_F(ElementViewFixture, ClicksSelectAndModifierClicksToggle)
{
    const QUuid a = addBox(10, 5, detail);
    const QUuid b = addBox(100, 5, detail);
    const QUuid t = addBox(10, 2, title);
    const QUuid tiny = add(ElementKind::Rectangle{}, QRectF(300, 5, 0, 0), detail);
    store->setActiveBandTarget(title);

    click(at(detail, {20, 10}));
    EXPECT_EQ(store->activeBandTarget(), detail);
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{a});
    click(at(detail, {110, 10}), Qt::ShiftModifier);
    EXPECT_EQ(store->selectedElementIDs(), (QSet<QUuid>{a, b}));
    click(at(detail, {20, 10}), Qt::ControlModifier);
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{b});

    // The selected element lies above the unselected ones of its band.
    EXPECT_GT(viewOf(b, detail)->zValue(), viewOf(tiny, detail)->zValue());
    EXPECT_NE(viewOf(b, detail)->handle(ResizeHandleKind::bottomRight), nullptr);
    EXPECT_EQ(viewOf(a, detail)->handle(ResizeHandleKind::bottomRight), nullptr);

    click(at(title, {20, 10}));
    EXPECT_EQ(store->activeBandTarget(), title);
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{t});

    // An element of no size is drawn and hit 4 by 4.
    EXPECT_EQ(viewOf(tiny, detail)->box(), QRectF(0, 0, 4, 4));
    click(at(detail, {303, 8}));
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{tiny});
}

TEST_F(ElementViewFixture, HandlesResizeByTheFrameRule)
{
    bandSettings.snapping = false;
    const QUuid a = addBox(10, 5, detail);
    ElementView *view = viewOf(a, detail);
    const qsizetype items = view->scene()->items().size();
    store->setSelectedElementIDs({a});
    // The element draws its handles itself; the items that take presses on them come with the
    // first press near one, so that selecting thousands of elements adds no items.
    EXPECT_EQ(view->scene()->items().size(), items);

    // The top-left handle dragged past the band's left and top edges.
    press(at(detail, {10, 5}));
    move(at(detail, {0, 5}));
    move(at(detail, {-20, 0}));
    EXPECT_EQ(view->previewFrame(), QRectF(-20, 0, 80, 25));
    EXPECT_EQ(view->pos(), QPointF(-20, 0));
    EXPECT_EQ(ghost().elementID(), a);
    EXPECT_TRUE(ghost().isOutOfBounds());
    EXPECT_EQ(view->opacity(), 0);
    release(at(detail, {-20, 0}));
    EXPECT_EQ(frameOf(a), QRectF(-20, 0, 80, 25)) << "a negative x is stored";
    EXPECT_FALSE(ghost().elementID());
    EXPECT_FALSE(view->resizeAnchor().startFrame());
    EXPECT_EQ(view->handle(ResizeHandleKind::bottomRight)->pos(), QPointF(80, 25));
    store->undo();
    EXPECT_EQ(frameOf(a), QRectF(10, 5, 50, 20));

    // With a grid of 10, the bottom-right handle dragged far up and left: the frame stops at 4
    // by 4 while dragging and is stored one grid step large, never 0.
    bandSettings.snapping = true;
    store->setSelectedElementIDs({a});
    drag(at(detail, {60, 25}), at(detail, {0, 0}));
    EXPECT_EQ(frameOf(a).size(), QSizeF(10, 10));

    // At zoom 2, 20 view points of travel are 10 points of the report.
    store->setZoomLevel(2);
    const QRectF before = frameOf(a);
    const QPoint corner = at(detail, before.bottomRight());
    press(corner);
    move(corner + QPoint(10, 0));
    move(corner + QPoint(20, 0));
    EXPECT_EQ(view->previewFrame(), before.adjusted(0, 0, 10, 0));
    release(corner + QPoint(20, 0));
}

TEST_F(ElementViewFixture, DoubleClickEditsAStaticTextInPlace)
{
    const QUuid text =
        add(ElementKind::StaticText{QStringLiteral("Hello")}, QRectF(10, 5, 100, 20), detail);
    const QUuid other =
        add(ElementKind::StaticText{QStringLiteral("Other")}, QRectF(200, 5, 100, 20), detail);
    ElementView *view = viewOf(text, detail);

    // Two clicks on two elements are no double click.
    click(at(detail, {210, 10}));
    click(at(detail, {20, 10}));
    EXPECT_EQ(viewOf(other, detail)->inlineField(), nullptr);
    EXPECT_EQ(view->inlineField(), nullptr);

    click(at(detail, {20, 10}));
    QCoreApplication::processEvents();
    InlineElementTextField *field = view->inlineField();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(view->inlineEdit().isEditing());
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), QStringLiteral("Hello"));

    key(Qt::Key_X);
    EXPECT_EQ(store->element(text)->kind.as<ElementKind::StaticText>()->text, QStringLiteral("x"));
    key(Qt::Key_Y);
    key(Qt::Key_Backspace);
    EXPECT_EQ(store->element(text)->kind.as<ElementKind::StaticText>()->text, QStringLiteral("x"));
    EXPECT_EQ(store->selectedElementIDs(), QSet<QUuid>{text}) << "Backspace stayed in the field";

    key(Qt::Key_Return);
    EXPECT_FALSE(view->inlineEdit().isEditing());
    EXPECT_EQ(view->inlineField(), nullptr);
    EXPECT_EQ(store->element(text)->kind.as<ElementKind::StaticText>()->text, QStringLiteral("x"))
        << "Return added no line";

    // With the field closed, Backspace deletes the selected element.
    key(Qt::Key_Backspace);
    EXPECT_FALSE(store->element(text));
}

TEST_F(ElementViewFixture, DraggingOrResizingBelowTheBandGrowsItInTheSameStep)
{
    const QUuid a = addBox(10, 5, detail); // 50 by 20 in a band 40 high
    const double height = store->height(detail);
    store->setSelectedElementIDs({});
    const qsizetype steps = store->undoStack().size();

    drag(at(detail, {20, 10}), at(detail, {20, 40}));
    const double y = bandSettings.snapped(35, height);
    EXPECT_EQ(frameOf(a).y(), y);
    EXPECT_EQ(store->height(detail), y + 20);
    EXPECT_EQ(band(detail)->bodyHeight(), y + 20) << "the page shows the grown band";
    store->undo();
    EXPECT_EQ(frameOf(a).topLeft(), QPointF(10, 5));
    EXPECT_EQ(store->height(detail), height) << "one step for the move and the growth";
    EXPECT_EQ(store->undoStack().size(), steps);

    // The bottom-right handle pulled below the band's bottom.
    store->setSelectedElementIDs({a});
    drag(at(detail, {60, 25}), at(detail, {60, 55}));
    EXPECT_EQ(frameOf(a).height(), 50);
    // The top stays where it was: the handle moves only the bottom edge.
    EXPECT_EQ(frameOf(a).y(), 5);
    EXPECT_EQ(frameOf(a).x(), 10);
    EXPECT_EQ(store->height(detail), frameOf(a).bottom());
    store->undo();
    EXPECT_EQ(frameOf(a), QRectF(10, 5, 50, 20));
    EXPECT_EQ(store->height(detail), height);
}

TEST_F(ElementViewFixture, ADragWhoseElementGoesLeavesNoGhostAndNoOffset)
{
    const QUuid a = addBox(10, 5, detail);
    store->setSelectedElementIDs({a});

    // Delete while the element is carried over another band.
    carry(at(detail, {20, 10}), at(title, {40, 10}));
    ASSERT_TRUE(ghost().isShowingGhost());
    key(Qt::Key_Delete);
    EXPECT_FALSE(store->element(a));
    EXPECT_FALSE(ghost().isShowingGhost());
    EXPECT_FALSE(ghost().elementID());
    const ReportDocument afterDelete = store->document();
    release(at(title, {40, 10}));
    EXPECT_EQ(store->document(), afterDelete) << "the release finds no drag";

    // Undo takes the leader of a group away mid-drag: the one left behind is drawn where the
    // report has it.
    const QUuid b = addBox(100, 5, detail);
    const QUuid leader = addBox(10, 5, detail);
    store->setSelectedElementIDs({leader, b});
    carry(at(detail, {20, 10}), at(detail, {40, 20}));
    EXPECT_EQ(viewOf(b, detail)->pos(), QPointF(120, 15));
    store->undo();
    EXPECT_FALSE(store->element(leader));
    EXPECT_FALSE(canvas.multiDragState()->originID());
    EXPECT_EQ(viewOf(b, detail)->pos(), QPointF(100, 5));
    const ReportDocument afterUndo = store->document();
    release(at(detail, {40, 20}));
    EXPECT_EQ(store->document(), afterUndo);
    EXPECT_EQ(viewOf(b, detail)->pos(), QPointF(100, 5));
}

TEST_F(ElementViewFixture, AResizeOrDragCutShortByUndoOrAnotherReportEndsCleanly)
{
    const QUuid a = addBox(10, 5, detail);
    store->setSelectedElementIDs({a});
    // A resize pushed out of the band shows a ghost; undo takes the element away.
    carry(at(detail, {60, 25}), at(detail, {80, 60}));
    ASSERT_TRUE(ghost().isShowingGhost());
    store->undo();
    EXPECT_FALSE(ghost().isShowingGhost());
    release(at(detail, {80, 60}));
    EXPECT_FALSE(store->element(a));

    // The canvas is handed another report while an element is carried over another band.
    store->redo();
    store->setSelectedElementIDs({a});
    carry(at(detail, {20, 10}), at(title, {40, 10}));
    ASSERT_TRUE(ghost().isShowingGhost());
    DocumentStore other;
    canvas.setStore(&other);
    EXPECT_FALSE(ghost().isShowingGhost());
    EXPECT_FALSE(canvas.multiDragState()->originID());
    const ReportDocument untouched = other.document();
    release(at(title, {40, 10}));
    EXPECT_EQ(other.document(), untouched) << "the release does not reach the other report";
    EXPECT_FALSE(other.isDirty());
    canvas.setStore(store);
    EXPECT_EQ(frameOf(a), QRectF(10, 5, 50, 20));
}

TEST_F(ElementViewFixture, AViewMadeWhileItsElementIsCarriedIsHidden)
{
    // b went from the title to the detail band; the group a and b is carried over the title.
    const QUuid a = addBox(10, 5, detail);
    const QUuid b = addBox(100, 2, title);
    store->setSelectedElementIDs({b});
    store->moveSelectedElementsToNewBand(detail, 0, 3);
    store->setSelectedElementIDs({a, b});
    carry(at(detail, {20, 10}), at(title, {40, 10}));
    ASSERT_EQ(ghost().groupElementIDs(), QList<QUuid>{b});
    EXPECT_EQ(viewOf(b, detail)->opacity(), 0);

    // Undo puts b back in the title, in a view made mid-drag: the ghost still stands in for it.
    store->undo();
    ASSERT_NE(viewOf(b, title), nullptr);
    move(at(title, {45, 10}));
    EXPECT_EQ(viewOf(b, title)->opacity(), 0);
    EXPECT_EQ(viewOf(a, detail)->opacity(), 0);
    release(at(detail, {20, 10}));
    EXPECT_EQ(viewOf(b, title)->opacity(), 1);
    EXPECT_EQ(viewOf(a, detail)->opacity(), 1);
}
