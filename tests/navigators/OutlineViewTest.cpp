#include "navigators/OutlineView.h"

#include "inspector/InspectorView.h"
#include "navigators/OutlineActions.h"
#include "navigators/OutlineRowView.h"
#include "widgets/DisclosureChevron.h"
#include "workspace/AppSettings.h"

#include "CanvasPointer.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"

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
        showCanvas(&store, {900, 700});
        outline.resize(260, 400);
        outline.setStore(&store);
        outline.show();
        inspector.setStore(&store);
        settle();
    }

    static void settle() { QCoreApplication::processEvents(); }

    OutlineRowView *row(const QString &key) const
    {
        OutlineRowView *view = outline.findChild<OutlineRowView *>(u"outline.row."_s + key);
        EXPECT_TRUE(view) << key.toStdString();
        return view;
    }
    QString fieldKey(int index) const
    {
        return u"field."_s + idText(store.document().fields[index].id);
    }
    QString elementKey(const QUuid &id) const { return u"element."_s + idText(id); }
    QString bandKey(const BandTarget &target) const { return u"band."_s + target.id(); }

    // A click in the middle of the row's text, or on its chevron.
    void clickRow(const QString &key, Qt::KeyboardModifiers modifiers = {})
    {
        OutlineRowView *view = row(key);
        outline.ensureWidgetVisible(view);
        QTest::mouseClick(view, Qt::LeftButton, modifiers,
                          QPoint(view->width() / 2, view->height() / 2));
        settle();
    }
    void clickChevron(const QString &key)
    {
        OutlineRowView *view = row(key);
        outline.ensureWidgetVisible(view);
        QTest::mouseClick(view, Qt::LeftButton, {}, view->chevronRect().center());
        settle();
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
    EXPECT_TRUE(row(elementKey(child.id))->row().isSelected);
    EXPECT_EQ(inspector.shownKind(), InspectorKind::element);

    // The reverse: a click on the frame on the canvas marks its row in the outline.
    click(at(detail, {300 + 150, 5 + 40}));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{box.id});
    EXPECT_TRUE(row(elementKey(box.id))->row().isSelected);
    EXPECT_FALSE(row(elementKey(child.id))->row().isSelected);

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
    EXPECT_TRUE(row(fieldKey(0))->row().isSelected);
    EXPECT_TRUE(row(fieldKey(2))->row().isSelected);

    std::unique_ptr<QMimeData> data(outline.dragData(fieldKey(2)));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->text(), u"fields:id,total"_s);
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
    EXPECT_TRUE(outline.rowView(elementKey(after.last().id)));
}

TEST_F(OutlineViewTest, RowsAreKeptOverUpdatesAndSoIsTheScrollPosition)
{
    outline.verticalScrollBar()->setValue(outline.verticalScrollBar()->maximum() / 2);
    const int position = outline.verticalScrollBar()->value();
    ASSERT_GT(position, 0);
    OutlineRowView *before = row(elementKey(child.id));
    store.updateElement(
        child.id, [](ReportElement &e) { e.kind = ElementKind::TextField{u"$F{customer}"_s}; });
    store.setSelectedElementIDs({box.id});
    settle();
    EXPECT_EQ(row(elementKey(child.id)), before);
    EXPECT_EQ(before->row().label, u"$F{customer}"_s);
    EXPECT_EQ(outline.verticalScrollBar()->value(), position);
}

TEST_F(OutlineViewTest, CollapseStateIsKeptPerTab)
{
    DocumentStore other;
    clickChevron(u"fields"_s);
    EXPECT_TRUE(store.collapsedOutlineNodes().contains(u"fields"_s));
    EXPECT_FALSE(outline.rowView(fieldKey(0)));
    clickChevron(bandKey(detail));
    EXPECT_FALSE(outline.rowView(elementKey(box.id)));
    outline.verticalScrollBar()->setValue(10);

    outline.setStore(&other);
    settle();
    EXPECT_EQ(outline.rows().size(), 11);
    EXPECT_TRUE(outline.rows().constFirst().isExpanded);

    outline.setStore(&store);
    settle();
    EXPECT_FALSE(outline.rowView(fieldKey(0)));
    EXPECT_FALSE(outline.rowView(elementKey(box.id)));
    EXPECT_TRUE(outline.rowView(u"fields"_s));
    EXPECT_FALSE(outline.rowView(u"fields"_s)->findChild<DisclosureChevron *>()->isExpanded());
    EXPECT_FALSE(store.isDirty());
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
    EXPECT_EQ(row(bandKey(pageHeader))->row().label, u"Page Header (hidden)"_s);
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
    EXPECT_FALSE(outline.rowView(elementKey(last)));
    EXPECT_FALSE(outline.contextMenu(bandKey(detail))) << "an empty clipboard: no menu";
}
