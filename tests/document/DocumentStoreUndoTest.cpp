#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreUndo : public StoreTest {};

} // namespace

TEST_F(DocumentStoreUndo, KeepsFiftySnapshots)
{
    QList<ReportDocument> states{store.document()};
    for (int i = 0; i < 51; ++i) {
        store.addElement(textField(i), detail());
        states.append(store.document());
    }
    EXPECT_EQ(store.undoStack().size(), 50);
    for (int i = 0; i < 50; ++i)
        store.undo();
    EXPECT_EQ(store.document(), states[1]) << "the first edit's before-state is gone";
    EXPECT_EQ(store.redoStack().size(), 50);
    store.undo();
    EXPECT_EQ(store.document(), states[1]);
    EXPECT_EQ(store.redoStack().size(), 50);

    store.setIsDirty(false);
    store.redo();
    EXPECT_EQ(store.document(), states[2]);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(DocumentStoreUndo, CoalescesEditsOfOneKeyWithinTheSlidingWindow)
{
    struct Edit {
        qint64 at; // milliseconds
        int element;
    };
    struct Case {
        const char *name;
        QList<Edit> edits;
        qsizetype steps;
    };
    QList<Edit> sliding;
    for (qint64 t = 0; t <= 10'000; t += 1000)
        sliding.append({t, 0});
    const QList<Case> cases = {
        {"half a second apart", {{0, 0}, {500, 0}, {1000, 0}}, 1},
        {"just under the window", {{0, 0}, {1199, 0}}, 1},
        {"exactly the window", {{0, 0}, {1200, 0}}, 2},
        {"two elements", {{0, 0}, {100, 1}}, 2},
        {"one second apart for ten seconds", sliding, 1},
        {"a clock that went back an hour", {{0, 0}, {-3'600'000, 0}}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentStore s;
        qint64 clock = 0;
        s.setClock([&] { return clock; });
        const QList<ReportElement> elements{textField(), textField()};
        for (const ReportElement &e : elements)
            s.performAddElement(e, BandTarget::detailBand(s.document().detailBands[0].id));
        const ReportDocument start = s.document();
        double x = 1;
        for (const Edit &edit : c.edits) {
            clock = edit.at;
            s.updateElement(elements[edit.element].id, [&](ReportElement &e) { e.x = x++; });
        }
        s.flushPendingUndoSnapshot();
        EXPECT_EQ(s.undoStack().size(), c.steps);
        for (qsizetype i = 0; i < c.steps; ++i)
            s.undo();
        EXPECT_EQ(s.document(), start);
    }
}

TEST_F(DocumentStoreUndo, ARunThatReturnsToItsStartLeavesNoStep)
{
    const ReportElement e = textField(10);
    place({e});
    store.addElement(textField(), detail());
    store.undo();
    ASSERT_EQ(store.redoStack().size(), 1);
    const qsizetype undoDepth = store.undoStack().size();

    store.updateElement(e.id, [](ReportElement &el) { el.x = 99; });
    now += 500;
    store.updateElement(e.id, [](ReportElement &el) { el.x = 10; });
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), undoDepth);
    EXPECT_EQ(store.redoStack().size(), 1);

    // An update that changes nothing records nothing and leaves the flag alone.
    store.setIsDirty(false);
    store.updateElement(e.id, [](ReportElement &el) { el.x = 10; });
    store.flushPendingUndoSnapshot();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), undoDepth);
}

TEST_F(DocumentStoreUndo, WhatEndsARun)
{
    const ReportElement e = textField();
    place({e});

    // Keys of different kinds never match, even when they name the same thing.
    const ReportDocument before = store.document();
    store.performUpdateElement(e.id, [](ReportElement &el) { el.x = 1; });
    store.recordCoalescedEdit(e.id, before);
    const ReportDocument middle = store.document();
    store.performUpdateElement(e.id, [](ReportElement &el) { el.x = 2; });
    store.recordCoalescedEdit(idText(e.id), middle);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 2);

    // Assigning the same (empty) selection ends a run.
    store.updateElement(e.id, [](ReportElement &el) { el.x = 3; });
    store.setSelectedElementIDs({});
    EXPECT_EQ(store.undoStack().size(), 3);

    // A band drag ended by selecting an element is one step; undo restores the height.
    store.setHeight(50, detail());
    store.setHeight(60, detail());
    store.setSelectedElementID(e.id);
    EXPECT_EQ(store.undoStack().size(), 4);
    store.undo();
    EXPECT_EQ(store.height(detail()), 40);

    // Undo, then a continuous edit, then redo: the redo finds an empty stack.
    store.updateElement(e.id, [](ReportElement &el) { el.x = 4; });
    const ReportDocument edited = store.document();
    store.redo();
    EXPECT_EQ(store.document(), edited);
    EXPECT_TRUE(store.redoStack().isEmpty());
}

TEST_F(DocumentStoreUndo, SnapshotsShareWhatAnEditDidNotTouch)
{
    const ReportElement e = textField();
    const BandTarget title = BandTarget::standard(BandType::title);
    store.performAddElement(e, title);
    store.performAddElement(textField(), BandTarget::standard(BandType::summary));

    store.addElement(textField(), detail());
    EXPECT_EQ(store.undoStack().last().bands.constData(), store.document().bands.constData());

    store.setSelectedElementIDs({e.id, newId()});
    store.updateSelectedElements([](ReportElement &el) { el.x = 5; });
    const ReportDocument &snapshot = store.undoStack().last();
    EXPECT_EQ(snapshot.detailBands.constData(), store.document().detailBands.constData());
    const qsizetype summary = store.document().bands.size() - 2;
    EXPECT_EQ(snapshot.bands[summary].elements.constData(),
              store.document().bands[summary].elements.constData());
    EXPECT_NE(snapshot.bands[1].elements.constData(),
              store.document().bands[1].elements.constData());
}
