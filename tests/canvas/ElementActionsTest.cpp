#include "canvas/AlignDistributeToolbar.h"
#include "canvas/ElementChildLayer.h"
#include "canvas/ElementExpressionSheet.h"
#include "canvas/ElementMenuItems.h"
#include "canvas/ElementView.h"
#include "editors/CodeEditorView.h"
#include "editors/ExpressionBuilderPresentationState.h"
#include "editors/ExpressionBuilderSheet.h"
#include "editors/ExpressionBuilderView.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SheetDialog.h"
#include "workspace/AppClock.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include "CanvasPointer.h"
#include "ModelBuilders.h"
#include "TestBandSettings.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A canvas on the workspace's report whose elements act on scripted alerts.
struct ElementActionsTest : ::testing::Test, CanvasPointer {
    ElementActionsTest()
    {
        store = workspace.activeStore();
        canvas.setEnvironment(
            ElementEnvironment{&workspace, &settings, &dialogs, nullptr, nullptr});
        showCanvas(store, {900, 700});
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }

    QUuid add(ElementKind kind, QRectF frame)
    {
        return CanvasPointer::add(std::move(kind), frame, title);
    }
    void doubleClick(QPointF body)
    {
        click(at(title, body));
        click(at(title, body));
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    AppSettings settings{dir.path()};
    ScriptedDialogs dialogs;
    WorkspaceModel workspace;
    DocumentStore *store = nullptr;
};

TEST_F(ElementActionsTest, DoubleClickOnATextFieldOpensTheBuilderOnItsExpression)
{
    const QUuid field = add(ElementKind::TextField{u"$F{name}"_s}, QRectF(10, 2, 120, 16));
    ElementView *view = band(title)->elementItems().value(field);
    EXPECT_TRUE(view->findChildren<ElementExpressionSheet *>().isEmpty())
        << "an element that never opened its builder has none";
    doubleClick({20, 8});
    click(at(title, {20, 8}));
    QCoreApplication::processEvents();
    ASSERT_TRUE(view->expressionSheet()->presentation()->isVisible());
    EXPECT_EQ(view->findChildren<ElementExpressionSheet *>().size(), 1);
    ExpressionBuilderSheet *sheet = view->expressionSheet()->sheet();
    ASSERT_TRUE(sheet && sheet->builder());
    EXPECT_EQ(sheet->builder()->editor()->text(), u"$F{name}"_s);

    sheet->builder()->editor()->insertAtCursor(u"$F{other}"_s);
    const ReportElement changed = store->element(field).value();
    ASSERT_TRUE(changed.kind.is<ElementKind::TextField>());
    const QString expression = changed.kind.as<ElementKind::TextField>()->expression;
    EXPECT_TRUE(expression.contains(u"$F{other}"_s)) << expression.toStdString();
    EXPECT_TRUE(store->isDirty());
    view->expressionSheet()->presentation()->setVisible(false);
}

// Inside a list the builder knows the fields of the list's dataset, not the report's.
TEST_F(ElementActionsTest, TheBuilderOfATextFieldInAListChecksTheListsDataset)
{
    ReportDocument document = store->document();
    ReportSubDataset orders;
    orders.name = u"Orders"_s;
    orders.fields = {ReportField{.name = u"orderNo"_s}};
    document.subDatasets = {orders};
    document.fields = {ReportField{.name = u"amount"_s}};
    store->setDocument(document);
    ReportElement inList = testsupport::element(ElementKind::TextField{u"$F{orderNo}"_s});
    inList.x = 10;
    inList.y = 4;
    inList.width = 120;
    inList.height = 16;
    ElementKind::List list;
    list.datasetName = u"Orders"_s;
    list.children = {inList};
    const QUuid listID = add(std::move(list), QRectF(10, 2, 300, 30));
    ElementView *listView = band(title)->elementItems().value(listID);
    ASSERT_TRUE(listView);
    ElementView *view = listView->children().value(inList.id);
    ASSERT_TRUE(view);

    doubleClick({30, 12});
    click(at(title, {30, 12}));
    QCoreApplication::processEvents();
    ASSERT_TRUE(view->expressionSheet()->presentation()->isVisible());
    ExpressionBuilderView *builder = view->expressionSheet()->sheet()->builder();
    ASSERT_TRUE(builder);
    EXPECT_EQ(builder->warnings(), QStringList());
    builder->editor()->insertAtCursor(u"$F{amount}"_s);
    EXPECT_EQ(builder->warnings(),
              QStringList{u"$F{amount} isn't a declared field of the dataset \"Orders\" this "
                          u"element runs in."_s});
    view->expressionSheet()->presentation()->setVisible(false);
}

TEST_F(ElementActionsTest, DeletingATextFieldWhoseBuilderIsOpenClosesTheBuilder)
{
    const QUuid field = add(ElementKind::TextField{u"$F{name}"_s}, QRectF(10, 2, 120, 16));
    QPointer<ElementView> view = band(title)->elementItems().value(field);
    doubleClick({20, 8});
    click(at(title, {20, 8}));
    QCoreApplication::processEvents();
    QPointer<ExpressionBuilderSheet> sheet = view->expressionSheet()->sheet();
    ASSERT_TRUE(sheet && sheet->builder());
    QPointer<QDialog> dialog = sheet->dialog();
    QPointer<ExpressionBuilderView> builder = sheet->builder();
    ASSERT_TRUE(dialog->isVisible());

    store->setSelectedElementIDs({field});
    store->deleteSelectedElement();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view.isNull()) << "the element's view goes with it";
    EXPECT_TRUE(sheet.isNull()) << "and so does its builder sheet";
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->isVisible()) << "the dialog closes at once";

    // What is left of the builder until it is deleted no longer reaches the element or store.
    const ReportDocument after = store->document();
    builder->editor()->insertAtCursor(u"$F{other}"_s);
    builder->doneButton()->click();
    EXPECT_TRUE(store->document() == after);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(ElementActionsTest, DoubleClickOnASubreportOpensItUnlessItIsBeingCreated)
{
    const QUuid subreport =
        add(ElementKind::Subreport{uR"("Orders.jasper")"_s}, QRectF(200, 0, 100, 18));
    const ReportDocument before = store->document();
    store->setCreatingSubreportElementIDs({subreport});
    doubleClick({210, 8});
    EXPECT_TRUE(dialogs.alerts().isEmpty()) << "still being created";

    store->setCreatingSubreportElementIDs({});
    doubleClick({210, 8});
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_TRUE(
        dialogs.alerts().first().informativeText.startsWith(u"Save the master report first"_s));
    EXPECT_TRUE(store->document() == before) << "the master report is left as it was";
    EXPECT_EQ(workspace.tabs().size(), 1);
}

TEST_F(ElementActionsTest, ContextMenuTargetsTheClickedElementOutsideTheSelection)
{
    const QUuid a = add(ElementKind::Rectangle{}, QRectF(10, 0, 40, 18));
    const QUuid b = add(ElementKind::Rectangle{}, QRectF(100, 0, 40, 18));
    store->setSelectedElementIDs({a});
    const QPoint point = at(title, {110, 8});
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport()->mapToGlobal(point));
    QApplication::sendEvent(viewport(), &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    QAction *remove = nullptr;
    for (QAction *action : menu->actions()) {
        EXPECT_TRUE(action->isEnabled()) << "items are present or absent, never disabled";
        remove = action->text() == u"Delete"_s ? action : remove;
    }
    ASSERT_TRUE(remove);
    EXPECT_TRUE(remove->property("destructive").toBool());
    remove->trigger();
    menu->close();
    EXPECT_FALSE(store->element(b));
    EXPECT_TRUE(store->element(a)) << "the selection elsewhere was not the target";
}

// The Title hidden, its text picked in the outline and three texts of Detail Ctrl+clicked on the
// canvas: every gesture on that selection leaves the report as it was, records no step, and is
// refused in the words that refuse its duplicate, so that nothing of the hidden band rides along
// into a printed one or changes where it cannot be seen.
TEST_F(ElementActionsTest, EveryGestureOnASelectionHoldingAHiddenBandsElementIsRefusedInOneWording)
{
    store->addDetailBand();
    const BandTarget detail = BandTarget::detailBand(store->document().detailBands.at(0).id);
    const BandTarget detail2 = BandTarget::detailBand(store->document().detailBands.at(1).id);
    const QUuid hidden = add(ElementKind::StaticText{u"Title text"_s}, QRectF(10, 0, 80, 18));
    const QUuid a = CanvasPointer::add(ElementKind::StaticText{u"A"_s}, {10, 2, 40, 14}, detail);
    const QUuid b = CanvasPointer::add(ElementKind::StaticText{u"B"_s}, {100, 4, 40, 14}, detail);
    const QUuid c = CanvasPointer::add(ElementKind::StaticText{u"C"_s}, {250, 6, 40, 14}, detail);
    store->setBandPresent(BandType::title, false);
    QCoreApplication::processEvents();
    store->flushPendingUndoSnapshot();
    const ReportDocument before = store->document();
    const qsizetype steps = store->undoStack().size();
    AlignDistributeToolbar toolbar;
    toolbar.setStore(store);
    const auto select = [&] {
        store->setSelectedElementIDs({hidden}); // as the outline selects it
        store->setActiveBandTarget(detail);
        for (const QPointF body : {QPointF(20, 8), QPointF(110, 10), QPointF(260, 12)}) {
            clock.advanceMs(1000); // single clicks, never a double click
            click(at(detail, body), Qt::ControlModifier);
        }
        clock.advanceMs(1000);
        return store->selectedElementIDs() == QSet<QUuid>{hidden, a, b, c};
    };
    const auto toolbarButton = [&](const char *symbol) {
        return [&toolbar, symbol] { toolbar.button(QString::fromLatin1(symbol))->click(); };
    };
    const auto menuItem = [&](const QString &title, const QString &child = {}) {
        return [this, title, child] {
            const QSet<QUuid> selection = store->selectedElementIDs();
            QList<ElementMenuItem> items = ElementMenuItems::items(*store, *selection.cbegin());
            const auto named = [](const QList<ElementMenuItem> &list, const QString &name) {
                return *std::find_if(list.cbegin(), list.cend(),
                                     [&](const ElementMenuItem &i) { return i.title == name; });
            };
            ElementMenuItem item = named(items, title);
            if (!child.isEmpty())
                item = named(item.children, child);
            ElementMenuItems::perform(*store, item, selection);
        };
    };
    const struct {
        const char *gesture;
        std::function<void()> run;
    } gestures[] = {
        {"duplicate (the wording's source)", toolbarButton("plus.square.on.square")},
        {"drag into Detail 2",
         [&] {
             drag(at(detail, {20, 8}), at(detail2, {30, 10}));
         }},
        {"drag within Detail",
         [&] {
             drag(at(detail, {20, 8}), at(detail, {60, 20}));
         }},
        {"align left", toolbarButton("align.horizontal.left")},
        {"distribute", toolbarButton("arrow.left.and.right")},
        {"bring to front", toolbarButton("square.3.layers.3d.top.filled")},
        {"send backward", menuItem(u"Order"_s, u"Send Backward"_s)},
        {"align in container", menuItem(u"Align in Container"_s, u"Right"_s)},
        {"align to each other", menuItem(u"Align to Each Other"_s, u"Bottom"_s)},
        {"enclose in frame", menuItem(u"Enclose in Frame"_s)},
        {"delete", toolbarButton("trash")},
        {"cut", menuItem(u"Cut"_s)},
        {"Delete key", [&] { workspace.handleKeyDown({Qt::Key_Delete}, true, false); }},
    };
    QList<BandTarget> refused;
    QObject listener;
    QObject::connect(store, &DocumentStore::bandTakesNoElements, &listener,
                     [&refused](const BandTarget &target) { refused.append(target); });
    for (const auto &g : gestures) {
        SCOPED_TRACE(g.gesture);
        ASSERT_TRUE(select());
        refused.clear();
        g.run();
        QCoreApplication::processEvents();
        EXPECT_TRUE(store->document() == before) << "nothing moved, nothing left the Title";
        EXPECT_EQ(store->undoStack().size(), steps);
        EXPECT_EQ(store->homeBandTarget(hidden), title);
        // One announcement for the Title, which the bar words as it words the duplicate's.
        EXPECT_EQ(refused, QList<BandTarget>{title});
        store->setDocument(before);
    }
    // The shown elements alone still move.
    store->setSelectedElementIDs({a, b});
    toolbar.button(u"align.horizontal.left"_s)->click();
    EXPECT_EQ(store->element(b)->x, 10);
}

TEST_F(ElementActionsTest, FrameChildrenAreCutOffAtTheFrame)
{
    ReportElement child = testsupport::element(ElementKind::Rectangle{});
    child.x = 60;
    child.width = 80;
    const QUuid frame = add(ElementKind::Frame{{child}}, QRectF(10, 0, 100, 18));
    ElementView *view = band(title)->elementItems().value(frame);
    ElementView *childView = view->children().value(child.id);
    ASSERT_TRUE(childView);
    EXPECT_TRUE(childView->isClipped());
    auto *layer = dynamic_cast<ElementChildLayer *>(childView->parentItem());
    ASSERT_TRUE(layer);
    // The child, moved into the frame's room, prints its 1-point pen half past the frame's top
    // and right edges; it reaches past the bottom edge and is cut off there.
    EXPECT_EQ(layer->boundingRect(), QRectF(0, -0.5, 100.5, 18.5));
    // The frame's resize reaches the clip.
    store->updateElement(frame, [](ReportElement &e) { e.width = 150; });
    EXPECT_EQ(layer->boundingRect(), QRectF(0, -0.5, 150, 18.5));
}

} // namespace
