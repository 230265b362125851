#include "navigators/OutlineView.h"

#include "inspector/InspectorView.h"
#include "navigators/OutlineActions.h"
#include "navigators/OutlineModel.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"

#include "CanvasPointer.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A report with fields, a group, a frame with a child and plenty of elements on its detail
// band, shown in an outline beside a canvas on the same store.
struct OutlineViewTest : ::testing::Test, CanvasPointer {
    OutlineViewTest()
    {
        ReportDocument document = DocumentStore::defaultDocument();
        document.name = u"Orders"_s;
        for (const QString &name : {u"id"_s, u"customer"_s, u"total"_s}) {
            ReportField f;
            f.name = name;
            f.className = u"java.lang.String"_s;
            document.fields.append(f);
        }
        ReportGroup group;
        group.name = u"Customer"_s;
        group.headerHeight = 20;
        document.groups.append(group);
        child = storetest::textField(2, 2, 60, 16);
        box = storetest::frame({child}, 300, 5);
        document.detailBands[0].height = 60;
        document.detailBands[0].elements = {box};
        for (int i = 0; i < 40; ++i)
            document.detailBands[0].elements.append(storetest::textField(0, 30, 50, 10));
        store.setDocument(document);
        detail = BandTarget::detailBand(document.detailBands[0].id);
        SymbolIcons::useIconTheme(false);
        showCanvas(&store, {900, 700});
        outline.resize(260, 400);
        outline.setStore(&store);
        outline.setDialogs(&dialogs);
        outline.show();
        inspector.setStore(&store);
        settle();
    }

    static void settle() { QCoreApplication::processEvents(); }

    // The row as the outline shows it now.
    OutlineRow row(const QString &key) const
    {
        const std::optional<OutlineRow> shown = outline.row(key);
        EXPECT_TRUE(shown) << key.toStdString();
        return shown.value_or(OutlineRow{});
    }
    QModelIndex indexOf(const QString &key) const
    {
        return static_cast<const OutlineModel *>(outline.model())->indexOf(key);
    }
    // The middle of the row's text on the viewport, scrolled into view.
    QPoint pointOf(const QString &key)
    {
        const QModelIndex index = indexOf(key);
        EXPECT_TRUE(index.isValid()) << key.toStdString();
        outline.scrollTo(index);
        return outline.visualRect(index).center();
    }
    QString fieldKey(int index) const
    {
        return u"field."_s + idText(store.document().fields[index].id);
    }
    QString elementKey(const QUuid &id) const { return u"element."_s + idText(id); }
    QString bandKey(const BandTarget &target) const { return u"band."_s + target.id(); }

    // A click in the middle of the row, or on its chevron.
    void clickRow(const QString &key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(outline.viewport(), Qt::LeftButton, modifiers, pointOf(key));
        settle();
    }
    void clickChevron(const QString &key)
    {
        pointOf(key);
        QTest::mouseClick(outline.viewport(), Qt::LeftButton, {},
                          outline.chevronRect(key).center());
        settle();
    }
    // The row as the viewport paints it now.
    static QImage painted(OutlineView &view, const QString &key)
    {
        return view.viewport()->grab(view.rowRect(key)).toImage();
    }
    void trigger(QMenu *menu, const QString &title)
    {
        ASSERT_TRUE(menu);
        for (QAction *action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << title.toStdString();
    }

    DocumentStore store;
    ScriptedDialogs dialogs;
    OutlineView outline;
    QTemporaryDir settingsDir;
    AppSettings settings{settingsDir.path()};
    InspectorView inspector{settings, nullptr};
    ReportElement child;
    ReportElement box;
    BandTarget detail = BandTarget::standard(BandType::detail);
};

} // namespace

TEST_F(OutlineViewTest, ElementRowClicksAndCanvasClicksShareOneSelection)
{
    clickRow(elementKey(child.id));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{child.id});
    EXPECT_EQ(store.activeBandTarget(), detail) << "a nested row carries its band";
    ElementView *frameItem = band(detail)->elementItems().value(box.id);
    ASSERT_TRUE(frameItem);
    ASSERT_TRUE(frameItem->children().value(child.id));
    EXPECT_TRUE(frameItem->children().value(child.id)->isShownSelected());
    EXPECT_TRUE(row(elementKey(child.id)).isSelected);
    EXPECT_EQ(inspector.shownKind(), InspectorKind::element);

    // The reverse: a click on the frame on the canvas marks its row in the outline.
    click(at(detail, {300 + 150, 5 + 40}));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{box.id});
    EXPECT_TRUE(row(elementKey(box.id)).isSelected);
    EXPECT_FALSE(row(elementKey(child.id)).isSelected);

    const QUuid last = store.document().detailBands[0].elements.last().id;
    clickRow(elementKey(last), Qt::ControlModifier);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{box.id, last}));
    EXPECT_EQ(inspector.shownKind(), InspectorKind::multiSelection);

    clickRow(fieldKey(1));
    EXPECT_EQ(inspector.shownKind(), InspectorKind::dataItem);
    clickRow(u"root"_s);
    EXPECT_EQ(inspector.shownKind(), InspectorKind::report);
}

TEST_F(OutlineViewTest, ShiftSelectedFieldsDroppedOnDetailBecomeTwoTextFields)
{
    clickRow(fieldKey(0));
    clickRow(fieldKey(2), Qt::ShiftModifier);
    EXPECT_EQ(store.selectedFieldIDs().size(), 2);
    EXPECT_TRUE(row(fieldKey(0)).isSelected);
    EXPECT_TRUE(row(fieldKey(2)).isSelected);

    std::unique_ptr<QMimeData> data(outline.dragData(fieldKey(2)));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->text(), u"fields:id,total"_s);

    // Dragged with the mouse, the row carries that text under a picture of its own; a drag is
    // no click, so the selection stays.
    QString carried;
    QPixmap picture;
    outline.setDragRunner([&carried, &picture](QDrag &drag) {
        carried = drag.mimeData()->text();
        picture = drag.pixmap();
    });
    const QPoint from = pointOf(fieldKey(2));
    const QPoint to = from + QPoint(QApplication::startDragDistance() + 4, 3);
    QTest::mousePress(outline.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(outline.viewport(), (from + to) / 2);
    QTest::mouseMove(outline.viewport(), to);
    QTest::mouseRelease(outline.viewport(), Qt::LeftButton, {}, to);
    settle();
    EXPECT_EQ(carried, u"fields:id,total"_s);
    EXPECT_FALSE(picture.isNull());
    EXPECT_EQ(store.selectedFieldIDs().size(), 2);
    // What the mouse dragged is what lands on the band.
    data->setText(std::exchange(carried, QString()));
    // Element rows are not dragged.
    const QPoint element = pointOf(elementKey(child.id));
    QTest::mousePress(outline.viewport(), Qt::LeftButton, {}, element);
    QTest::mouseMove(outline.viewport(), element + QPoint(0, 12));
    QTest::mouseRelease(outline.viewport(), Qt::LeftButton, {}, element + QPoint(0, 12));
    EXPECT_TRUE(carried.isEmpty());

    const qsizetype before = store.elements(detail).size();
    const QPoint point = at(detail, {100, 20});
    QDragEnterEvent enter(point, Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &move);
    QDropEvent drop(point, Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport(), &drop);
    settle();

    QStringList added;
    const ElementList after = store.elements(detail);
    for (qsizetype i = before; i < after.size(); ++i) {
        if (const auto *field = after[i].kind.as<ElementKind::TextField>())
            added.append(field->expression);
    }
    EXPECT_EQ(added, (QStringList{u"$F{id}"_s, u"$F{total}"_s}));
    // The outline lists the new elements under Detail.
    EXPECT_TRUE(outline.row(elementKey(after.last().id)));
}

TEST_F(OutlineViewTest, RowsAreKeptOverUpdatesAndSoIsTheScrollPosition)
{
    outline.verticalScrollBar()->setValue(outline.verticalScrollBar()->maximum() / 2);
    const int position = outline.verticalScrollBar()->value();
    ASSERT_GT(position, 0);
    // The tree keeps its rows: a place held in it stays on the same row.
    const QPersistentModelIndex before = indexOf(elementKey(child.id));
    const QPersistentModelIndex last =
        indexOf(elementKey(store.document().detailBands[0].elements.last().id));
    store.updateElement(
        child.id, [](ReportElement &e) { e.kind = ElementKind::TextField{u"$F{customer}"_s}; });
    store.setSelectedElementIDs({box.id});
    store.addElement(storetest::textField(0, 0), BandTarget::standard(BandType::title));
    settle();
    ASSERT_TRUE(before.isValid());
    EXPECT_EQ(QModelIndex(before), indexOf(elementKey(child.id)));
    EXPECT_EQ(static_cast<const OutlineModel *>(outline.model())->row(before)->label,
              u"$F{customer}"_s);
    EXPECT_TRUE(last.isValid());
    EXPECT_EQ(QModelIndex(last),
              indexOf(elementKey(store.document().detailBands[0].elements.last().id)));
    EXPECT_EQ(outline.verticalScrollBar()->value(), position);
}

TEST_F(OutlineViewTest, CollapseStateIsKeptPerTab)
{
    outline.resize(260, 200);
    settle();
    DocumentStore other;
    clickChevron(u"fields"_s);
    EXPECT_TRUE(store.collapsedOutlineNodes().contains(u"fields"_s));
    EXPECT_FALSE(outline.row(fieldKey(0)));
    clickChevron(bandKey(detail));
    EXPECT_FALSE(outline.row(elementKey(box.id)));
    outline.verticalScrollBar()->setValue(10);
    ASSERT_EQ(outline.verticalScrollBar()->value(), 10);

    outline.setStore(&other);
    settle();
    EXPECT_EQ(outline.rows().size(), 11);
    EXPECT_TRUE(outline.rows().constFirst().isExpanded);
    EXPECT_EQ(outline.verticalScrollBar()->value(), 0);

    // The other tab, all open, is scrolled with the wheel to a place of its own.
    ReportDocument big = DocumentStore::defaultDocument();
    for (int i = 0; i < 60; ++i)
        big.detailBands[0].elements.append(storetest::textField(0, 0));
    other.setDocument(big);
    settle();
    QWheelEvent wheel(QPointF(100, 100), outline.viewport()->mapToGlobal(QPointF(100, 100)),
                      QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(outline.viewport(), &wheel);
    const int otherPosition = outline.verticalScrollBar()->value();
    EXPECT_GT(otherPosition, 10);

    outline.setStore(&store);
    settle();
    EXPECT_FALSE(outline.row(fieldKey(0)));
    EXPECT_FALSE(outline.row(elementKey(box.id)));
    EXPECT_TRUE(outline.row(u"fields"_s));
    EXPECT_FALSE(outline.row(u"fields"_s)->isExpanded);
    EXPECT_EQ(outline.verticalScrollBar()->value(), 10);
    EXPECT_FALSE(store.isDirty());

    outline.setStore(&other);
    settle();
    EXPECT_EQ(outline.verticalScrollBar()->value(), otherPosition);
    EXPECT_TRUE(other.collapsedOutlineNodes().isEmpty());
}

TEST_F(OutlineViewTest, RootRowSelectsTheReportAndItsChevronFoldsEverything)
{
    store.setSelectedElementIDs({box.id});
    clickRow(u"root"_s);
    EXPECT_TRUE(store.isReportRootSelected());
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    clickChevron(u"root"_s);
    EXPECT_EQ(outline.rows().size(), 1);
    clickChevron(u"root"_s);
    EXPECT_GT(outline.rows().size(), 40);

    store.setSelectedElementIDs({box.id});
    clickRow(bandKey(BandTarget::groupHeader(store.document().groups[0].id)));
    EXPECT_EQ(store.activeBandTarget(), BandTarget::groupHeader(store.document().groups[0].id));
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
}

TEST_F(OutlineViewTest, HiddenBandThenSaveLeavesTheBandOut)
{
    const BandTarget pageHeader = BandTarget::standard(BandType::pageHeader);
    std::unique_ptr<QMenu> menu(outline.contextMenu(bandKey(pageHeader)));
    trigger(menu.get(), u"Hide Band"_s);
    settle();
    EXPECT_EQ(row(bandKey(pageHeader)).label, u"Page Header (hidden)"_s);
    menu.reset(outline.contextMenu(bandKey(pageHeader)));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), u"Show Band"_s);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"orders.jrxml"_s);
    store.save(QUrl::fromLocalFile(path));
    const QByteArray saved = testsupport::readFile(path);
    EXPECT_FALSE(saved.contains("<pageHeader")) << saved.constData();
    EXPECT_TRUE(saved.contains("<columnHeader"));
}

TEST_F(OutlineViewTest, ElementMenuDeletesTheRowsElementWhenItIsNotSelected)
{
    const QUuid last = store.document().detailBands[0].elements.last().id;
    store.setSelectedElementIDs({box.id});
    std::unique_ptr<QMenu> menu(outline.contextMenu(elementKey(last)));
    trigger(menu.get(), u"Delete"_s);
    settle();
    EXPECT_FALSE(store.element(last));
    EXPECT_TRUE(store.element(box.id));
    EXPECT_FALSE(outline.row(elementKey(last)));
    EXPECT_FALSE(outline.contextMenu(bandKey(detail))) << "an empty clipboard: no menu";
}

TEST_F(OutlineViewTest, AClickLandsOnTheRowUnderThePointerAfterTheTreeChanged)
{
    const QPoint aimed = pointOf(fieldKey(2));
    // Rows appear above the one aimed at: the click goes to the row drawn there now.
    storetest::editDocument(store, [](ReportDocument &d) {
        for (const QString &name : {u"from"_s, u"to"_s, u"region"_s}) {
            ReportParameter p;
            p.name = name;
            d.parameters.append(p);
        }
    });
    settle();
    const OutlineRow *under =
        static_cast<const OutlineModel *>(outline.model())->row(outline.indexAt(aimed));
    ASSERT_TRUE(under);
    EXPECT_EQ(under->kind, OutlineRow::Kind::parameter);
    const QString key = under->key;
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, aimed);
    settle();
    EXPECT_TRUE(row(key).isSelected) << key.toStdString();
    EXPECT_FALSE(row(fieldKey(2)).isSelected);

    // A press whose row moves away before the release is no click at all.
    store.setSelectedDataItem(std::nullopt);
    store.setSelectedFieldIDs({});
    const QPoint pressed = pointOf(fieldKey(0));
    QTest::mousePress(outline.viewport(), Qt::LeftButton, {}, pressed);
    storetest::editDocument(store, [](ReportDocument &d) { d.parameters.removeLast(); });
    QTest::mouseRelease(outline.viewport(), Qt::LeftButton, {}, pressed);
    settle();
    EXPECT_FALSE(store.selectedDataItem());
    EXPECT_TRUE(store.selectedFieldIDs().isEmpty());
}

TEST_F(OutlineViewTest, KeysMoveThroughTheRowsSelectAndFold)
{
    clickRow(fieldKey(0));
    outline.activateWindow();
    outline.setFocus();
    const QImage unmarked = painted(outline, fieldKey(1));
    QTest::keyClick(&outline, Qt::Key_Down);
    // The keyboard's row is marked while the keyboard moves.
    EXPECT_NE(painted(outline, fieldKey(1)), unmarked);
    QTest::keyClick(&outline, Qt::Key_Return);
    settle();
    EXPECT_EQ(store.selectedDataItem(),
              InspectorDataSelection::field(store.document().fields[1].id));
    // Left goes up to the section, then folds it; Right opens it again.
    QTest::keyClick(&outline, Qt::Key_Left);
    QTest::keyClick(&outline, Qt::Key_Left);
    settle();
    EXPECT_TRUE(store.collapsedOutlineNodes().contains(u"fields"_s));
    EXPECT_FALSE(outline.row(fieldKey(1)));
    QTest::keyClick(&outline, Qt::Key_Right);
    settle();
    EXPECT_FALSE(store.collapsedOutlineNodes().contains(u"fields"_s));
    EXPECT_TRUE(outline.row(fieldKey(1)));
    EXPECT_FALSE(store.isDirty());
}

TEST_F(OutlineViewTest, ABandRowShownOrHiddenPaintsItsChevronAndItsWholeLabelAtOnce)
{
    const BandTarget pageHeader = BandTarget::standard(BandType::pageHeader);
    const QString key = bandKey(pageHeader);
    for (const QString &title : {u"Hide Band"_s, u"Show Band"_s}) {
        std::unique_ptr<QMenu> menu(outline.contextMenu(key));
        trigger(menu.get(), title);
        // The first paint after the change, before anything else is processed.
        const QImage shown = painted(outline, key);
        settle();

        // As a tree made afresh on the report paints it.
        OutlineView fresh;
        fresh.resize(outline.size());
        fresh.setStore(&store);
        fresh.show();
        settle();
        EXPECT_EQ(shown, painted(fresh, key)) << title.toStdString();

        // The chevron is there: its frame holds ink.
        const QRect chevron = outline.chevronRect(key).translated(-outline.rowRect(key).topLeft());
        const QRgb background = shown.pixel(shown.width() - 1, 0);
        bool inked = false;
        for (int y = chevron.top(); y <= chevron.bottom(); ++y) {
            for (int x = chevron.left(); x <= chevron.right(); ++x)
                inked = inked || shown.pixel(x, y) != background;
        }
        EXPECT_TRUE(inked) << title.toStdString();
    }
}

// Going back to a tab finds its rows as they were, and takes in what changed in its report
// while another tab was shown.
TEST_F(OutlineViewTest, ATabShownAgainKeepsItsRowsAndTakesInWhatChangedMeanwhile)
{
    const QList<OutlineRow> shown = outline.rows();
    const QPersistentModelIndex childRow = indexOf(elementKey(child.id));
    DocumentStore other;
    outline.setStore(&other);
    settle();
    outline.setStore(&store);
    settle();
    EXPECT_EQ(outline.rows(), shown);
    EXPECT_TRUE(outline.isExpanded(indexOf(bandKey(detail))));

    outline.setStore(&other);
    settle();
    store.updateElement(
        child.id, [](ReportElement &e) { e.kind = ElementKind::TextField{u"$F{customer}"_s}; });
    store.setSelectedElementIDs({box.id});
    outline.setStore(&store);
    settle();
    ASSERT_TRUE(childRow.isValid()) << "the rows are kept, not built again";
    EXPECT_EQ(QModelIndex(childRow), indexOf(elementKey(child.id)));
    EXPECT_EQ(outline.row(elementKey(child.id))->label, u"$F{customer}"_s);
    EXPECT_TRUE(outline.row(elementKey(box.id))->isSelected);
    EXPECT_TRUE(outline.isExpanded(indexOf(elementKey(box.id))));
}
