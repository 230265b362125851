#include "canvas/ElementMenuItems.h"
#include "StoreTestSupport.h"

using namespace storetest;
using namespace Qt::StringLiterals;

namespace {

using Action = ElementMenuItem::Action;
using Edge = DocumentStore::AlignEdge;

QStringList titles(const QList<ElementMenuItem> &items)
{
    QStringList out;
    for (const ElementMenuItem &item : items)
        out.append(item.kind == ElementMenuItem::Kind::separator ? u"-"_s : item.title);
    return out;
}

const ElementMenuItem &find(const QList<ElementMenuItem> &items, const QString &title)
{
    for (const ElementMenuItem &item : items) {
        if (item.title == title)
            return item;
    }
    throw std::runtime_error("no item " + title.toStdString());
}

TEST(ElementMenuItemsTest, ItemsArePresentOrAbsentByTargetAndClipboard)
{
    const struct {
        qsizetype targets;
        bool clipboard;
        QStringList expected;
    } cases[] = {
        {1,
         false,
         {u"Cut"_s, u"Copy"_s, u"Duplicate"_s, u"-"_s, u"Order"_s, u"Align in Container"_s,
          u"Enclose in Frame"_s, u"-"_s, u"Delete"_s}},
        {1,
         true,
         {u"Cut"_s, u"Copy"_s, u"Paste"_s, u"Duplicate"_s, u"-"_s, u"Order"_s,
          u"Align in Container"_s, u"Enclose in Frame"_s, u"-"_s, u"Delete"_s}},
        {3,
         false,
         {u"Cut"_s, u"Copy"_s, u"Duplicate"_s, u"-"_s, u"Order"_s, u"Align in Container"_s,
          u"Align to Each Other"_s, u"Enclose in Frame"_s, u"-"_s, u"Delete"_s}},
    };
    for (const auto &c : cases) {
        const QList<ElementMenuItem> items = ElementMenuItems::items(c.targets, c.clipboard);
        EXPECT_EQ(titles(items), c.expected);
        EXPECT_TRUE(find(items, u"Delete"_s).isDestructive);
        EXPECT_FALSE(find(items, u"Cut"_s).isDestructive);
    }
    const QList<ElementMenuItem> items = ElementMenuItems::items(2, false);
    EXPECT_EQ(titles(find(items, u"Order"_s).children),
              (QStringList{u"Bring to Front"_s, u"Bring Forward"_s, u"Send Backward"_s,
                           u"Send to Back"_s}));
    for (const QString &align : {u"Align in Container"_s, u"Align to Each Other"_s}) {
        const QList<ElementMenuItem> &buttons = find(items, align).children;
        EXPECT_EQ(titles(buttons), (QStringList{u"Left"_s, u"Center Horizontally"_s, u"Right"_s,
                                                u"Top"_s, u"Center Vertically"_s, u"Bottom"_s}));
        QList<Edge> edges;
        for (const ElementMenuItem &b : buttons)
            edges.append(*b.edge);
        EXPECT_EQ(edges, (QList<Edge>{Edge::left, Edge::horizontalCenter, Edge::right, Edge::top,
                                      Edge::verticalCenter, Edge::bottom}));
    }
}

using ElementMenuPerform = StoreTest;

TEST_F(ElementMenuPerform, CutCopiesThenDeletesAndPasteKeepsTheSelection)
{
    const ReportElement a = textField(0, 0), b = textField(0, 40);
    place({a, b});
    store.setSelectedElementIDs({a.id});
    const QList<ElementMenuItem> items = ElementMenuItems::items(store, b.id);
    EXPECT_EQ(titles(items).count(u"Paste"_s), 0) << "an empty clipboard has no Paste";

    ElementMenuItems::perform(store, find(items, u"Cut"_s), {b.id});
    EXPECT_FALSE(store.element(b.id));
    ASSERT_EQ(store.clipboard()->elements().size(), 1);
    EXPECT_EQ(store.clipboard()->elements().first().id, b.id);
    EXPECT_EQ(store.undoStack().size(), 1) << "one step, for the deletion";

    // Paste leaves the selection alone: opened on an unselected frame, it pastes into the band,
    // not into that frame.
    const ReportElement box = frame({});
    place({box});
    store.setSelectedElementIDs({a.id});
    const QList<ElementMenuItem> withClipboard = ElementMenuItems::items(store, box.id);
    ElementMenuItems::perform(store, find(withClipboard, u"Paste"_s), {box.id});
    EXPECT_EQ(store.elements(detail()).size(), 3);
    EXPECT_TRUE(store.element(box.id)->kind.children()->isEmpty());

    ElementMenuItems::perform(store, find(withClipboard, u"Delete"_s), {a.id});
    EXPECT_FALSE(store.element(a.id));
}

} // namespace
