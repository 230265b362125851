#include "canvas/ElementContextMenu.h"
#include "document/DocumentStore.h"
#include "model/Identifiers.h"

#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QAction *actionTitled(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

TEST(ElementContextMenuTest, ButtonsActThroughTheStoreOnTheTargetSet)
{
    QWidget owner;
    DocumentStore store;
    ReportElement a, b;
    a.id = newId();
    b.id = newId();
    b.x = 40;
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands.first().id);
    store.performAddElement(a, detail);
    store.performAddElement(b, detail);
    store.setSelectedElementIDs({a.id});

    QMenu *menu = ElementContextMenu::build(store, b.id, &owner);
    QStringList titles;
    for (const QAction *action : menu->actions())
        titles.append(action->isSeparator() ? u"-"_s : action->text());
    EXPECT_EQ(titles,
              (QStringList{u"Cut"_s, u"Copy"_s, u"Duplicate"_s, u"-"_s, u"Order"_s,
                           u"Align in Container"_s, u"Enclose in Frame"_s, u"-"_s, u"Delete"_s}));
    for (const QAction *action : menu->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(actionTitled(menu, u"Delete"_s)->property("destructive").toBool());
    ASSERT_TRUE(actionTitled(menu, u"Order"_s)->menu());
    EXPECT_EQ(actionTitled(menu, u"Order"_s)->menu()->actions().size(), 4);

    // The clicked element outside the selection becomes the selection, then is copied.
    actionTitled(menu, u"Copy"_s)->trigger();
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{b.id});
    ASSERT_EQ(store.clipboard()->elements().size(), 1);
    EXPECT_EQ(store.clipboard()->elements().first().id, b.id);

    // Built again, the menu offers Paste; a right click inside a selection of two aligns them.
    store.setSelectedElementIDs({a.id, b.id});
    QMenu *again = ElementContextMenu::build(store, a.id, &owner);
    EXPECT_TRUE(actionTitled(again, u"Paste"_s));
    QAction *alignLeft =
        actionTitled(actionTitled(again, u"Align to Each Other"_s)->menu(), u"Left"_s);
    ASSERT_TRUE(alignLeft);
    alignLeft->trigger();
    EXPECT_EQ(store.element(b.id)->x, 0);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{a.id, b.id}));
}

} // namespace
