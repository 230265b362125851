#include "StoreTestSupport.h"

using namespace storetest;

using DocumentStoreUndo = StoreTest;

TEST_F(DocumentStoreUndo, KeepsFiftySnapshots)
{
    QList<ReportDocument> states{store.document()};
    for (int i = 0; i < 51; ++i) {
        store.addElement(textField(i), detail());
        states.append(store.document());
    }
    for (int i = 0; i < 51; ++i) // the last one finds the stack empty
        store.undo();
    EXPECT_EQ(store.document(), states[1]) << "the first edit's before-state is gone";
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
        double x; // the elements start at 0
    };
    QList<Edit> sliding;
    for (qint64 t = 0; t <= 10'000; t += 1000)
        sliding.append({t, 0, double(t + 1)});
    const struct {
        const char *name;
        QList<Edit> edits;
        qsizetype steps;
        bool dirty;
    } cases[] = {
        {"half a second apart", {{0, 0, 1}, {500, 0, 2}, {1000, 0, 3}}, 1, true},
        {"exactly the window", {{0, 0, 1}, {1200, 0, 2}}, 2, true},
        {"two elements", {{0, 0, 1}, {100, 1, 1}}, 2, true},
        {"one second apart for ten seconds", sliding, 1, true},
        {"a run that ends where it started", {{0, 0, 5}, {500, 0, 0}}, 0, true},
        {"a run that ends where it started, then another element at once",
         {{0, 0, 5}, {500, 0, 0}, {600, 1, 3}},
         1,
         true},
        {"a clock that went back an hour", {{0, 0, 1}, {-3'600'000, 0, 2}}, 2, true},
        {"an edit that changes nothing", {{0, 0, 0}}, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentStore s;
        qint64 clock = 0;
        s.setClock([&] { return clock; });
        const QList<ReportElement> elements{textField(), textField()};
        for (const ReportElement &e : elements)
            s.performAddElement(e, s.activeBandTarget());
        const ReportDocument start = s.document();
        for (const Edit &edit : c.edits) {
            clock = edit.at;
            s.updateElement(elements[edit.element].id, [&](ReportElement &e) { e.x = edit.x; });
        }
        s.flushPendingUndoSnapshot();
        EXPECT_EQ(s.undoStack().size(), c.steps);
        EXPECT_EQ(s.isDirty(), c.dirty);
        for (qsizetype i = 0; i < c.steps; ++i)
            s.undo();
        EXPECT_EQ(s.document(), start);
    }
}

TEST_F(DocumentStoreUndo, WhatEndsARun)
{
    const ReportElement e = textField();
    place({e});
    // Assigning the same (empty) selection ends a run.
    store.updateElement(e.id, [](ReportElement &el) { el.x = 3; });
    store.setSelectedElementIDs({});
    EXPECT_EQ(store.undoStack().size(), 1);

    // A band drag ended by selecting an element is one step; undo restores the height.
    store.setHeight(50, detail());
    store.setHeight(60, detail());
    store.setSelectedElementID(e.id);
    store.undo();
    EXPECT_EQ(store.height(detail()), 40);
    EXPECT_EQ(store.undoStack().size(), 1);

    // Undo, then a continuous edit, then redo: the redo finds an empty stack.
    store.updateElement(e.id, [](ReportElement &el) { el.x = 4; });
    const ReportDocument edited = store.document();
    store.redo();
    EXPECT_EQ(store.document(), edited);
}

TEST_F(DocumentStoreUndo, DeletingOrDuplicatingASelectionThatUndoTookAwayIsNoEdit)
{
    const std::function<void()> edits[] = {
        [&] { EXPECT_TRUE(store.handleKeyDown({.key = Qt::Key_Delete})); },
        [&] { store.duplicateSelectedElement(); },
    };
    for (const auto &edit : edits) {
        const ReportElement e = textField();
        store.addElement(e, detail());
        store.undo();
        store.setIsDirty(false);
        edit();
        EXPECT_TRUE(store.selectedElementIDs().isEmpty());
        EXPECT_TRUE(store.undoStack().isEmpty());
        EXPECT_FALSE(store.isDirty());
        store.redo();
        EXPECT_TRUE(store.element(e.id)) << "the redo history is kept";
        store.undo();
    }
}

// An undo or redo that takes the active band away, or hides it (a hidden band is left out of the
// saved report), moves the active band to the first detail band; whatever is inserted next goes
// there, also where a view still holds the old band, and nothing goes into a frame of a hidden
// band or beside an element of one.
TEST_F(DocumentStoreUndo, InsertsAfterAnUndoOrRedoTakesTheActiveBandAwayGoToTheFirstDetailBand)
{
    const BandTarget lastPageFooter = BandTarget::standard(BandType::lastPageFooter);
    const BandTarget title = BandTarget::standard(BandType::title);
    const struct {
        const char *name;
        // Makes a band active and has an undo or redo take it away; that band.
        std::function<BandTarget(DocumentStore &)> takeAway;
    } ways[] = {
        {"new detail band undone",
         [](DocumentStore &s) {
             s.addDetailBand();
             const BandTarget gone = s.activeBandTarget();
             s.undo();
             return gone;
         }},
        {"band shown, undone",
         [&](DocumentStore &s) {
             s.setBandPresent(BandType::lastPageFooter, true);
             s.setActiveBandTarget(lastPageFooter);
             s.undo();
             return lastPageFooter;
         }},
        {"band hidden, undone, redone",
         [&](DocumentStore &s) {
             s.setBandPresent(BandType::title, false);
             s.undo();
             s.setActiveBandTarget(title);
             s.redo();
             return title;
         }},
        {"new group undone",
         [](DocumentStore &s) {
             s.addGroup();
             const BandTarget gone = BandTarget::groupFooter(s.document().groups.first().id);
             s.setActiveBandTarget(gone);
             s.undo();
             return gone;
         }},
    };
    const struct {
        const char *name;
        std::function<void(DocumentStore &, const BandTarget &)> insert;
    } inserts[] = {
        {"insert", [](DocumentStore &s, const BandTarget &t) { s.addElement(textField(), t); }},
        {"smart insert",
         [](DocumentStore &s, const BandTarget &) { s.addElementSmart(textField()); }},
        {"composite",
         [](DocumentStore &s, const BandTarget &t) {
             s.insertComposite(CompositeElement::pageNumber, t);
         }},
        {"paste",
         [](DocumentStore &s, const BandTarget &) {
             s.clipboard()->setElements({textField()});
             s.pasteClipboard();
         }},
        {"enclose", [](DocumentStore &s, const BandTarget &) { s.encloseSelectedInFrame(); }},
    };
    for (const auto &way : ways) {
        for (const auto &insert : inserts) {
            // Undo moves the active band off the vanished band; a view may still hold it.
            for (const bool viewKeepsTheGoneBand : {false, true}) {
                SCOPED_TRACE(std::string(way.name) + ", " + insert.name +
                             (viewKeepsTheGoneBand ? ", stale band" : ""));
                DocumentStore s;
                const BandTarget first = s.activeBandTarget();
                const ReportElement placed = textField();
                s.performAddElement(placed, first);
                const BandTarget gone = way.takeAway(s);
                EXPECT_FALSE(s.takesElements(gone));
                EXPECT_EQ(s.activeBandTarget(), first);
                if (viewKeepsTheGoneBand)
                    s.setActiveBandTarget(gone);
                EXPECT_EQ(s.activeBandTarget(), first);
                s.setSelectedElementID(placed.id);
                s.setIsDirty(false);
                const qsizetype steps = s.undoStack().size();

                insert.insert(s, gone);
                ASSERT_EQ(s.selectedElementIDs().size(), 1);
                EXPECT_EQ(s.homeBandTarget(*s.selectedElementID()), first);
                EXPECT_EQ(s.undoStack().size(), steps + 1);
                EXPECT_TRUE(s.isDirty());
            }
        }
    }

    // A frame of a hidden band, selected from the outline, takes no paste or insert: they go to
    // the active band. A duplicate of it is refused, and said why; so is a move into the band.
    DocumentStore s;
    const BandTarget first = s.activeBandTarget();
    const ReportElement boxed = textField();
    const ReportElement hiddenFrame = frame({boxed});
    s.performAddElement(hiddenFrame, title);
    s.setBandPresent(BandType::title, false);
    QList<BandTarget> refused;
    QObject::connect(&s, &DocumentStore::bandTakesNoElements, &s,
                     [&](const BandTarget &band) { refused.append(band); });
    for (const QUuid &id : {hiddenFrame.id, boxed.id}) {
        s.setSelectedElementID(id);
        EXPECT_EQ(s.selectedContainerID(), std::nullopt);
        s.clipboard()->setElements({textField()});
        s.pasteClipboard();
        s.setSelectedElementID(id);
        s.addElementSmart(textField());
        EXPECT_EQ(s.elements(first).size(), 2);
        s.undo();
        s.undo();
        const ReportDocument before = s.document();
        s.setSelectedElementID(id);
        s.duplicateSelectedElement();
        EXPECT_EQ(s.document(), before);
    }
    const ReportElement moved = textField();
    s.performAddElement(moved, first);
    s.setSelectedElementID(moved.id);
    const ReportDocument before = s.document();
    s.moveSelectedElementsToNewBand(title, 0, 0);
    EXPECT_EQ(s.document(), before);
    EXPECT_EQ(refused, (QList<BandTarget>{title, title, title}));

    // Columns generated for a detail band an undo took away (while the sheet stayed open) put
    // their values into the first one.
    s.addDetailBand();
    const BandTarget goneDetail = s.activeBandTarget();
    s.undo();
    const qsizetype held = s.elements(first).size();
    s.generateColumnarLayout({{.name = u"a"_s}}, goneDetail, false, std::nullopt);
    EXPECT_EQ(s.elements(first).size(), held + 1);
}

TEST_F(DocumentStoreUndo, SnapshotsShareEveryElementAnEditLeavesAlone)
{
    const ReportElement a = textField(), b = textField(), c = textField();
    const ReportElement container = frame({a, b});
    place({c, container, textField()});
    const ReportDocument before = store.document();
    const auto band = [](const ReportDocument &d) -> const ElementList & {
        return d.detailBands.at(0).elements;
    };

    // Reading copies nothing.
    store.setSelectedElementIDs({c.id, a.id});
    store.copySelectedElements();
    store.selectAllInActiveBand();
    store.selectElements(QRectF(0, 0, 50, 50), detail(), false);
    store.elementCountReferencing(u"x"_s);
    EXPECT_TRUE(store.element(a.id));
    EXPECT_EQ(store.document(), before);
    for (qsizetype i = 0; i < 3; ++i)
        EXPECT_EQ(&band(store.document()).at(i), &band(before).at(i)) << i;

    // An edit of a child copies the child and its frame, not the child's sibling or the band's
    // other elements.
    store.updateElement(a.id, [](ReportElement &e) { e.x = 5; });
    const ReportDocument &snapshot = store.document();
    EXPECT_EQ(&band(snapshot).at(0), &band(before).at(0));
    EXPECT_EQ(&band(snapshot).at(2), &band(before).at(2));
    EXPECT_NE(&band(snapshot).at(1), &band(before).at(1));
    EXPECT_EQ(&band(snapshot).at(1).kind.children()->at(1),
              &band(before).at(1).kind.children()->at(1));
}

TEST_F(DocumentStoreUndo, APendingRunCanBeUndoneAtOnceAndHoldsBackRedo)
{
    const ReportElement e = textField();
    place({e});
    int announced = 0;
    QObject::connect(&store, &DocumentStore::undoStacksChanged, &store, [&] { ++announced; });
    EXPECT_FALSE(store.canUndo());

    // A drag's coalesced edit: nothing on the stack yet, but Undo can act.
    store.updateElement(e.id, [](ReportElement &el) { el.x = 30; });
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_TRUE(store.canUndo());
    EXPECT_EQ(announced, 1);
    store.updateElement(e.id, [](ReportElement &el) { el.x = 40; });
    EXPECT_EQ(announced, 1) << "merged into the same run";

    store.undo();
    EXPECT_EQ(store.element(e.id)->x, 0) << "the run ended and was undone in one go";
    EXPECT_FALSE(store.canUndo());
    EXPECT_TRUE(store.canRedo());

    // While a new run is pending, Redo waits: ending the run drops the redo history.
    store.updateElement(e.id, [](ReportElement &el) { el.y = 5; });
    EXPECT_FALSE(store.canRedo());
    const int before = announced;
    store.setSelectedElementIDs({});
    EXPECT_TRUE(store.canUndo());
    EXPECT_FALSE(store.canRedo());
    EXPECT_EQ(announced, before) << "Undo and Redo can do what they could";

    // A run that cancelled out leaves no step, and Redo comes back.
    store.undo();
    store.updateElement(e.id, [](ReportElement &el) { el.y = 9; });
    store.updateElement(e.id, [](ReportElement &el) { el.y = 0; });
    EXPECT_FALSE(store.canRedo());
    store.flushPendingUndoSnapshot();
    EXPECT_TRUE(store.canRedo());
}

TEST_F(DocumentStoreUndo, WritingWhatSeveralElementsAlreadyHoldIsNoEdit)
{
    const ReportElement a = textField(), b = textField(40);
    placeSelected({a, b});
    store.updateSelectedElements([](ReportElement &e) { e.fontName = u"SansSerif"_s; });
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_FALSE(store.isDirty());

    // A pending run of one element still ends as its own step before a real change.
    store.updateElement(a.id, [](ReportElement &e) { e.x = 3; });
    store.updateSelectedElements([](ReportElement &e) { e.isBold = true; });
    EXPECT_EQ(store.undoStack().size(), 2);
    EXPECT_TRUE(store.isDirty());
    store.undo();
    EXPECT_FALSE(store.element(b.id)->isBold);
    EXPECT_EQ(store.element(a.id)->x, 3);
}
