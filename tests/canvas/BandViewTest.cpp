#include "canvas/AlignDistributeToolbar.h"
#include "canvas/BandGeometry.h"
#include "canvas/BandHeaderButton.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/ElementEnvironment.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppClock.h"

#include "CanvasPointer.h"
#include "TestBandSettings.h"

#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPicture>
#include <QStyleOptionGraphicsItem>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

namespace {

struct BandFixture : ::testing::Test, CanvasPointer {
    BandFixture()
    {
        ReportDocument doc = DocumentStore::defaultDocument();
        for (const char *name : {"A", "B"}) {
            ReportField field;
            field.name = QString::fromLatin1(name);
            field.className = QStringLiteral("java.lang.String");
            doc.fields.append(field);
        }
        store.setDocument(doc);
        detail = BandTarget::detailBand(doc.detailBands[0].id);
        showCanvas(&store, {1000, 800});
    }

    QUuid addRectangle(double x, double y, const BandTarget &target)
    {
        return add(ElementKind::Rectangle{}, QRectF(x, y, 50, 20), target);
    }

    void drop(QPoint point, const QString &text)
    {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &move);
        QDropEvent dropped(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &dropped);
    }
    // A drag of `data` from a source that allows a copy or a move and asks for the move,
    // entering the band at the point and let go there: whether the band
    // took it, and with which action. As a real drag does, it drops only where the last move
    // was accepted.
    std::pair<bool, Qt::DropAction> dropData(QPoint point, QMimeData *data)
    {
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(point, actions, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        QDragMoveEvent move(point, actions, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &move);
        if (!move.isAccepted())
            return {false, Qt::IgnoreAction};
        EXPECT_EQ(move.dropAction(), Qt::CopyAction) << "the drag shows a copy";
        QDropEvent dropped(point, actions, data, Qt::LeftButton, {});
        dropped.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(viewport(), &dropped);
        return {dropped.isAccepted(), dropped.dropAction()};
    }
    QStringList expressions(const BandTarget &target) const
    {
        QStringList texts;
        for (const ReportElement &e : store.elements(target)) {
            if (const auto *field = e.kind.as<ElementKind::TextField>())
                texts.append(field->expression);
        }
        return texts;
    }

    DocumentStore store;
    BandTarget detail = BandTarget::standard(BandType::detail);
};

} // namespace

TEST_F(BandFixture, RubberBandSelectsAndIsAdditive)
{
    const QUuid a = addRectangle(10, 5, detail);
    const QUuid b = addRectangle(100, 5, detail);
    const QUuid c = addRectangle(300, 5, detail);
    store.setSelectedElementIDs({});

    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(detail, {5, 2}));
    QTest::mouseMove(viewport(), at(detail, {160, 30}));
    EXPECT_TRUE(band(detail)->rubberBand().has_value());
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(detail, {160, 30}));
    EXPECT_FALSE(band(detail)->rubberBand().has_value());
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a, b}));

    drag(at(detail, {290, 2}), at(detail, {360, 30}), Qt::ShiftModifier);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a, b, c}));
    drag(at(detail, {290, 2}), at(detail, {360, 30}));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{c});

    // A press on an element draws no rubber band.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(detail, {20, 10}));
    QTest::mouseMove(viewport(), at(detail, {200, 30}));
    EXPECT_FALSE(band(detail)->rubberBand().has_value());
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(detail, {200, 30}));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{c});
}

TEST_F(BandFixture, ClicksActivateClearAndDoubleClickFits)
{
    const QUuid a = addRectangle(10, 5, title);
    store.setSelectedElementIDs({a});
    click(at(detail, {300, 10}), Qt::ControlModifier);
    EXPECT_EQ(store.activeBandTarget(), detail);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{a});

    click(at(title, {300, 3}));
    EXPECT_EQ(store.activeBandTarget(), title);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());

    // The second click 0.3 s later fits the band to its lowest element's bottom.
    clock.advanceMs(300);
    click(at(title, {300, 3}));
    EXPECT_EQ(store.height(title), 25);
    // A third click starts a new pair; one 0.4 s after it does not pair.
    clock.advanceMs(100);
    click(at(title, {300, 3}));
    store.setHeight(60, title);
    clock.advanceMs(400);
    click(at(title, {300, 3}));
    EXPECT_EQ(store.height(title), 60);
}

TEST_F(BandFixture, HandleDragPreviewsLiveAndCommitsSnappedHeight)
{
    const int undoDepth = int(store.undoStack().size());
    const double height = store.height(detail);
    const QPoint from = at(detail, {200, height - 3});
    QTest::mousePress(viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport(), from + QPoint(0, 7));
    QTest::mouseMove(viewport(), from + QPoint(0, 13));
    EXPECT_EQ(band(detail)->bodyHeight(), height + 13);
    EXPECT_TRUE(band(detail)->isHandleHighlighted());
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, from + QPoint(0, 13));
    EXPECT_EQ(store.height(detail), 50);
    EXPECT_EQ(band(detail)->bodyHeight(), 50);

    store.undo();
    EXPECT_EQ(store.height(detail), height);
    EXPECT_EQ(int(store.undoStack().size()), undoDepth);

    // Dragged up past its height the band stays 4 tall.
    drag(at(detail, {200, height - 2}), at(detail, {200, -120}));
    EXPECT_EQ(store.height(detail), 4);
}

TEST_F(BandFixture, DropsOfFieldsAndParameters)
{
    const BandTarget header = BandTarget::standard(BandType::pageHeader);
    drop(at(header, {100, 15}), QStringLiteral("field:Name"));
    ASSERT_EQ(expressions(header), QStringList{QStringLiteral("$F{Name}")});
    const ReportElement placed = store.elements(header).first();
    EXPECT_EQ(QRectF(placed.x, placed.y, placed.width, placed.height),
              QRectF(bandSettings.snapped(60, store.document().columnWidth), 10, 150, 20));
    EXPECT_EQ(placed.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(store.activeBandTarget(), header);

    drop(at(header, {10, 2}), QStringLiteral("param:P"));
    EXPECT_EQ(store.elements(header).last().x, 0);
    EXPECT_EQ(expressions(header).last(), QStringLiteral("$P{P}"));

    const qsizetype undoDepth = store.undoStack().size();
    drop(at(header, {100, 15}), QStringLiteral("fields:A,Missing,B"));
    EXPECT_EQ(expressions(header).mid(2), (QStringList{"$F{A}", "$F{B}"}));
    EXPECT_EQ(store.elements(header).last().x - store.elements(header).at(2).x, 160);
    EXPECT_EQ(store.undoStack().size(), undoDepth + 2);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{store.elements(header).last().id});

    // On a detail band the fields become the columnar layout.
    drop(at(detail, {100, 15}), QStringLiteral("fields:A,B"));
    EXPECT_EQ(expressions(detail), (QStringList{"$F{A}", "$F{B}"}));
    const BandTarget columnHeader = BandTarget::standard(BandType::columnHeader);
    EXPECT_EQ(store.elements(columnHeader).size(), 2);

    drop(at(detail, {100, 15}), QStringLiteral("fields:Missing"));
    drop(at(detail, {100, 15}), QStringLiteral("something else"));
    EXPECT_EQ(store.elements(detail).size(), 2);
}

TEST_F(BandFixture, OnlyDropsThatAddSomethingAreTakenAndAlwaysAsCopies)
{
    const BandTarget header = BandTarget::standard(BandType::pageHeader);
    const ReportDocument before = store.document();
    const auto text = [](const QString &t) {
        auto *data = new QMimeData;
        data->setText(t);
        return std::unique_ptr<QMimeData>(data);
    };
    for (const QString &unused :
         {QStringLiteral("hello"), QStringLiteral("fields:Missing"), QStringLiteral("fields:")}) {
        SCOPED_TRACE(unused.toStdString());
        EXPECT_FALSE(dropData(at(header, {100, 5}), text(unused).get()).first);
    }
    // A file, also one that comes with a text naming a field, adds nothing on a canvas without
    // an image import.
    auto file = text(QStringLiteral("field:A"));
    file->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/picture.png"))});
    EXPECT_FALSE(dropData(at(header, {100, 5}), file.get()).first);
    EXPECT_EQ(store.document(), before);
    EXPECT_FALSE(store.isDirty());

    // A used drop is taken as a copy even when the source proposed a move: the outline keeps
    // its row.
    EXPECT_EQ(dropData(at(header, {100, 5}), text(QStringLiteral("field:A")).get()),
              std::pair(true, Qt::CopyAction));
    EXPECT_EQ(expressions(header), QStringList{QStringLiteral("$F{A}")});
    EXPECT_EQ(dropData(at(detail, {100, 5}), text(QStringLiteral("fields:A,B")).get()),
              std::pair(true, Qt::CopyAction));
    EXPECT_EQ(expressions(detail), (QStringList{"$F{A}", "$F{B}"}));
}

TEST_F(BandFixture, TheHandleStripYieldsToElementsAndStopsAtTheLowestOne)
{
    const double height = store.height(detail); // 40
    const QUuid low = addRectangle(100, 25, detail);
    store.setSelectedElementIDs({});
    store.setHeight(50, detail);
    store.flushPendingUndoSnapshot();

    // The element's bottom lies where the handle reaches into the band: hovering it promises no
    // handle, a click selects it and a drag moves it, as anywhere else.
    const QPoint onLow = at(detail, {120, 44});
    QTest::mouseMove(viewport(), onLow);
    EXPECT_FALSE(band(detail)->isHandleHighlighted());
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, onLow);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{low});
    EXPECT_EQ(store.height(detail), 50);
    drag(onLow, onLow + QPoint(0, 10));
    const ReportElement moved = store.element(low).value();
    EXPECT_EQ(moved.y, bandSettings.snapped(35, 50));
    EXPECT_EQ(store.height(detail), moved.y + moved.height) << "the band grew to hold it";
    store.undo();
    EXPECT_EQ(store.element(low)->y, 25);
    EXPECT_EQ(store.height(detail), 50);

    // Beside it the strip is the handle; just below the band's edge it is the handle over the
    // element too, and a drag there grows the band while the element stays.
    QTest::mouseMove(viewport(), at(detail, {300, 44}));
    EXPECT_TRUE(band(detail)->isHandleHighlighted());
    const QPoint belowLow = at(detail, {120, 52});
    QTest::mouseMove(viewport(), belowLow);
    EXPECT_TRUE(band(detail)->isHandleHighlighted());
    store.setSelectedElementIDs({});
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowLow);
    QTest::mouseMove(viewport(), belowLow + QPoint(0, 10));
    QTest::mouseMove(viewport(), belowLow + QPoint(0, 21));
    EXPECT_EQ(band(detail)->bodyHeight(), 71);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, belowLow + QPoint(0, 21));
    EXPECT_EQ(store.height(detail), 70);
    const ReportElement after = store.element(low).value();
    EXPECT_EQ(QRectF(after.x, after.y, after.width, after.height), QRectF(100, 25, 50, 20));

    // Dragged far up, the band stops at the element's bottom, live and when committed, even
    // where the grid would round lower.
    store.setHeight(height + 20, detail);
    const QPoint edge = at(detail, {300, height + 18});
    QTest::mousePress(viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(viewport(), edge - QPoint(0, 5));
    QTest::mouseMove(viewport(), edge - QPoint(0, 100));
    EXPECT_EQ(band(detail)->bodyHeight(), 45);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, edge - QPoint(0, 100));
    EXPECT_EQ(store.height(detail), 45);
    EXPECT_EQ(band(detail)->bodyHeight(), 45);
}

// An element that reaches the band's bottom has its bottom handles under the band's handle
// strip: a press on one of them resizes the element, and the band keeps its height. Beside the
// handle the strip still drags the band.
TEST_F(BandFixture, TheBottomHandlesOfAnElementOnTheBandsBottomResizeTheElement)
{
    const double height = store.height(detail); // 40
    const QUuid low = addRectangle(100, height - 20, detail);
    store.setSelectedElementIDs({low});
    store.flushPendingUndoSnapshot();

    for (const auto &[corner, grab, dx] :
         {std::tuple{"bottom right", QPointF(149, height - 3), 20},
          std::tuple{"bottom left", QPointF(101, height - 3), -20}}) {
        const ReportElement before = store.element(low).value();
        const QPoint from = at(detail, grab);
        drag(from, from + QPoint(dx, 0));
        const ReportElement after = store.element(low).value();
        // Only the edge the handle moves changes.
        if (dx > 0) {
            EXPECT_EQ(after.x, before.x) << corner;
            EXPECT_EQ(after.width, before.width + 20) << corner;
        } else {
            EXPECT_DOUBLE_EQ(after.x + after.width, before.x + before.width) << corner;
            EXPECT_NEAR(after.width, before.width + 20, 1) << corner;
        }
        EXPECT_EQ(after.y, before.y) << corner;
        EXPECT_EQ(after.height, 20) << corner;
        EXPECT_EQ(store.height(detail), height) << corner;
    }

    // Away from its handles a press on the element moves it; just below the band's edge the
    // handle takes the band's height.
    const double x = store.element(low)->x;
    const QPoint onElement = at(detail, {125, height - 3});
    drag(onElement, onElement + QPoint(30, 0));
    EXPECT_EQ(store.element(low)->x, bandSettings.snapped(x + 30, store.width(detail)));
    EXPECT_EQ(store.height(detail), height);
    const QPoint belowEdge = at(detail, {125, height + 2});
    drag(belowEdge, belowEdge + QPoint(0, 20));
    EXPECT_EQ(store.height(detail), height + 20);
}

TEST_F(BandFixture, ContextMenuAndHeaderButtons)
{
    const auto items = [this](const BandTarget &target) {
        QMenu menu;
        band(target)->fillContextMenu(menu);
        QStringList texts;
        for (QAction *action : menu.actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    store.addGroup();
    const BandTarget group = BandTarget::groupHeader(store.document().groups[0].id);
    EXPECT_EQ(items(detail), QStringList{});
    EXPECT_EQ(items(group), QStringList{});
    EXPECT_EQ(items(title), (QStringList{"-", "Hide Band"}));

    store.setSelectedElementIDs({addRectangle(10, 5, detail)});
    store.copySelectedElements();
    EXPECT_EQ(items(detail), QStringList{QStringLiteral("Paste")});
    EXPECT_EQ(items(group), QStringList{QStringLiteral("Paste")});
    EXPECT_EQ(items(title), (QStringList{"Paste", "-", "Hide Band"}));

    QMenu menu;
    band(title)->fillContextMenu(menu);
    menu.actions().first()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(store.elements(title).size(), 1);
    // The title now holds an element: hiding it asks first, and Cancel keeps it.
    ScriptedDialogs dialogs;
    canvas.setEnvironment(ElementEnvironment{nullptr, nullptr, &dialogs});
    dialogs.answerAlert(1);
    menu.actions().last()->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts()[0].message, QStringLiteral("Hide \"Title\"?"));
    EXPECT_NE(band(title), nullptr);
    dialogs.answerAlert(0);
    QMenu again;
    band(title)->fillContextMenu(again);
    again.actions().last()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(band(title), nullptr);

    BandItem *first = band(detail);
    ASSERT_NE(first->addButton(), nullptr);
    EXPECT_FALSE(first->removeButton()->isVisible());
    EXPECT_EQ(band(group)->addButton(), nullptr);
    const QPointF button = first->addButton()->sceneBoundingRect().center();
    click(canvas.graphicsView()->mapFromScene(button));
    QCoreApplication::processEvents();
    ASSERT_EQ(store.document().detailBands.size(), 2);
    EXPECT_TRUE(band(detail)->removeButton()->isVisible());
    band(detail)->removeButton()->trigger();
    EXPECT_EQ(store.document().detailBands.size(), 1);

    // The top of the button lies within the reach of the height handle of the band above,
    // which leaves the press to the button.
    const BandItem *left = band(BandTarget::detailBand(store.document().detailBands[0].id));
    ASSERT_NE(left, nullptr);
    const QRectF onScene = left->addButton()->sceneBoundingRect();
    const QPointF top(onScene.center().x(), onScene.top() + 1);
    ASSERT_LT(top.y() - left->sceneBoundingRect().top(), bandgeometry::handleReachBelow);
    click(canvas.graphicsView()->mapFromScene(top));
    QCoreApplication::processEvents();
    EXPECT_EQ(store.document().detailBands.size(), 2);
}

TEST_F(BandFixture, ToolbarEnablingFollowsSelectionCount)
{
    AlignDistributeToolbar toolbar;
    toolbar.setStore(&store);
    QList<QUuid> ids;
    for (int i = 0; i < 3; ++i)
        ids.append(addRectangle(10 + 60 * i, 5, detail));
    struct Case {
        int selected;
        bool align, distribute, arrange;
    };
    const Case cases[] = {{0, false, false, false},
                          {1, false, false, true},
                          {2, true, false, true},
                          {3, true, true, true}};
    for (const Case &c : cases) {
        store.setSelectedElementIDs(QSet<QUuid>(ids.begin(), ids.begin() + c.selected));
        EXPECT_EQ(toolbar.button(QStringLiteral("align.vertical.top"))->isEnabled(), c.align);
        EXPECT_EQ(toolbar.button(QStringLiteral("arrow.up.and.down"))->isEnabled(), c.distribute);
        EXPECT_EQ(toolbar.button(QStringLiteral("square.2.layers.3d.top.filled"))->isEnabled(),
                  c.arrange);
        EXPECT_EQ(toolbar.button(QStringLiteral("trash"))->isEnabled(), c.arrange);
        EXPECT_EQ(toolbar.countLabel()->isVisibleTo(&toolbar), c.selected > 0);
        if (c.selected > 0) {
            EXPECT_EQ(toolbar.countLabel()->text(), QString::number(c.selected) + " selected");
        }
    }
    toolbar.button(QStringLiteral("align.vertical.bottom"))->click();
    EXPECT_EQ(store.element(ids[0])->y, 5);
    toolbar.button(QStringLiteral("trash"))->click();
    EXPECT_TRUE(store.elements(detail).isEmpty());
    EXPECT_FALSE(toolbar.countLabel()->isVisibleTo(&toolbar));
}

// Undo keeps the selection: an element it takes away no longer counts, and comes back with redo.
TEST_F(BandFixture, TheToolbarCountsOnlySelectedElementsTheReportHolds)
{
    AlignDistributeToolbar toolbar;
    toolbar.setStore(&store);
    const QUuid kept = addRectangle(10, 5, detail);
    ReportElement inserted = testsupport::element(ElementKind::Rectangle{});
    inserted.x = 80;
    store.addElement(inserted, detail);
    store.setSelectedElementIDs({kept, inserted.id});
    EXPECT_EQ(toolbar.countLabel()->text(), QStringLiteral("2 selected"));

    store.undo();
    ASSERT_FALSE(store.element(inserted.id));
    EXPECT_EQ(toolbar.countLabel()->text(), QStringLiteral("1 selected"));
    EXPECT_FALSE(toolbar.button(QStringLiteral("align.vertical.top"))->isEnabled());

    store.setSelectedElementIDs({inserted.id});
    EXPECT_FALSE(toolbar.countLabel()->isVisibleTo(&toolbar)) << "nothing held is selected";
    EXPECT_FALSE(toolbar.button(QStringLiteral("trash"))->isEnabled());
    store.redo();
    EXPECT_TRUE(toolbar.countLabel()->isVisibleTo(&toolbar));
    EXPECT_EQ(toolbar.countLabel()->text(), QStringLiteral("1 selected"));
}

// A band far taller or wider than any view draws its strip, grid and border over the part being
// painted only: painting a view's stretch of a band ten million points high or two billion
// points wide costs what a short band's does, whether the scene hands it that stretch as exposed
// or, as it does to a band that keeps a picture of itself, its whole bounds with the painter cut
// to the stretch.
TEST_F(BandFixture, ALargeBandDrawsOnlyWhereItIsPainted)
{
    const QRectF stretch(0, 0, 555, 120);
    const auto recorded = [&](double width, double height, bool wholeExposed) {
        ReportDocument doc = store.document();
        doc.columnWidth = width;
        doc.detailBands[0].height = height;
        store.setDocument(doc);
        QPicture picture;
        QPainter painter(&picture);
        QStyleOptionGraphicsItem option;
        option.exposedRect = stretch;
        if (wholeExposed) {
            option.exposedRect = QRectF(0, 0, width, canvas::headerStripHeight + height);
            painter.setClipRect(stretch);
        }
        band(detail)->paint(&painter, &option, nullptr);
        painter.end();
        return picture.size();
    };
    const uint shortBand = recorded(555, 100, false);
    EXPECT_GT(shortBand, 0U);
    struct Case {
        double width, height;
        bool wholeExposed;
    };
    for (const Case &c : {Case{555, 1e7, false}, Case{555, 1e7, true}, Case{1e6, 100, true},
                          Case{2147483600, 100, true}, Case{2147483600, 2147483647, true}}) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << ", whole exposed " << c.wholeExposed);
        EXPECT_LT(recorded(c.width, c.height, c.wholeExposed), 2 * shortBand);
    }
}
