#include "StoreTestSupport.h"

using namespace storetest;

namespace {

// The change signals the views follow, by name, in the order they fired.
struct SignalLog {
    explicit SignalLog(DocumentStore &store)
    {
        const std::pair<void (DocumentStore::*)(), const char *> changes[] = {
            {&DocumentStore::documentChanged, "document"},
            {&DocumentStore::selectedElementIDsChanged, "selection"},
            {&DocumentStore::selectedDataItemChanged, "dataItem"},
            {&DocumentStore::isReportRootSelectedChanged, "root"},
            {&DocumentStore::activeBandTargetChanged, "activeBand"},
            {&DocumentStore::isDirtyChanged, "dirty"},
            {&DocumentStore::undoStacksChanged, "undoStacks"},
        };
        for (const auto &[signal, name] : changes) {
            QObject::connect(&store, signal, &context,
                             [this, name] { fired << QString::fromLatin1(name); });
        }
    }

    QObject context;
    QStringList fired;
};

} // namespace

using DocumentStoreSignals = StoreTest;

TEST_F(DocumentStoreSignals, MultiElementOperationsSurviveAListenerThatResetsTheSelection)
{
    const struct {
        const char *name;
        std::function<void(DocumentStore &)> run;
        bool fitsUntouched = false;
    } operations[] = {
        {"delete", [](DocumentStore &s) { s.deleteSelectedElement(); }, true},
        {"update", [](DocumentStore &s) { s.updateSelectedElements([](auto &e) { e.x += 1; }); }},
        {"forward", [](DocumentStore &s) { s.bringForward(); }},
        {"backward", [](DocumentStore &s) { s.sendBackward(); }},
        {"to front", [](DocumentStore &s) { s.bringToFront(); }},
        {"to back", [](DocumentStore &s) { s.sendToBack(); }},
        {"align", [](DocumentStore &s) { s.alignSelected(DocumentStore::AlignEdge::right); }},
        {"align in container",
         [](DocumentStore &s) { s.alignSelectedToContainer(DocumentStore::AlignEdge::bottom); }},
        {"distribute",
         [](DocumentStore &s) { s.distributeSelected(DocumentStore::DistributeAxis::vertical); }},
        {"enclose", [](DocumentStore &s) { s.encloseSelectedInFrame(); }, true},
        {"duplicate", [](DocumentStore &s) { s.duplicateSelectedElement(); }},
        {"paste",
         [](DocumentStore &s) {
             s.copySelectedElements();
             s.pasteClipboard();
         }},
        {"move to another band",
         [](DocumentStore &s) {
             s.moveSelectedElementsToNewBand(BandTarget::standard(BandType::title), 5, 5);
         }},
    };
    for (const auto &operation : operations) {
        SCOPED_TRACE(operation.name);
        DocumentStore s;
        QList<ReportElement> placed;
        for (int i = 0; i < 6; ++i)
            placed.append(textField(i * 30, i * 7, 20 + i, 10));
        placed.append(frame({textField(), textField(50), textField(100)}, 200, 0));
        QSet<QUuid> selection;
        for (const ReportElement &e : std::as_const(placed)) {
            s.performAddElement(e, s.activeBandTarget());
            selection.insert(e.id);
        }
        selection.insert(placed.last().kind.children()->at(1).id);
        // A list no operation touches, whose child reaches past it as a file may have it.
        ReportElement misfit = list({textField(0, 0, 200, 20)});
        misfit.x = 320;
        misfit.width = 150;
        const QUuid child = misfit.kind.children()->first().id;
        editDocument(s, [&](ReportDocument &d) { d.detailBands[0].elements.append(misfit); });
        s.setSelectedElementIDs(selection);
        const ReportDocument before = s.document();
        QStringList told;
        QObject::connect(&s, &DocumentStore::untouchedFitted, &s,
                         [&told](const QString &words) { told.append(words); });

        // A view that drops its selection whenever the report changes.
        int documentChanges = 0;
        QObject view;
        QObject::connect(&s, &DocumentStore::documentChanged, &view, [&] {
            ++documentChanges;
            s.setSelectedElementIDs({});
        });
        QObject::connect(&s, &DocumentStore::undoStacksChanged, &view,
                         [&] { s.setSelectedElementIDs({}); });
        operation.run(s);
        EXPECT_EQ(documentChanges, 1) << "one announcement, after the operation is complete";
        EXPECT_NE(s.document(), before);
        EXPECT_EQ(s.undoStack().size(), 1);
        // What the edit fitted of the untouched list is told, once, after the change.
        const double width = s.element(child)->width;
        EXPECT_EQ(told.size(), width == 200 ? 0 : 1);
        if (operation.fitsUntouched) {
            EXPECT_EQ(width, 150) << "the list holds 150 points";
            ASSERT_EQ(told.size(), 1);
            EXPECT_EQ(told.first(),
                      u"The edit also fitted what 1 frame, list or table it did not touch holds "
                      u"into its room: elements there reached past it, which the report engine "
                      u"refuses. Undo takes this back with the edit."_s);
        }
        s.undo();
        EXPECT_EQ(s.document(), before);
        EXPECT_EQ(told.size(), width == 200 ? 0 : 1) << "an undo tells nothing";
    }
}

TEST_F(DocumentStoreSignals, EachChangeFiresItsOwnSignalsAndNothingElse)
{
    const ReportElement a = textField(), b = textField(40);
    place({a, b});
    const struct {
        const char *name;
        std::function<void()> run;
        QStringList fired;
    } steps[] = {
        {"add",
         [&] { store.addElement(textField(), detail()); },
         {u"undoStacks"_s, u"document"_s, u"selection"_s, u"dirty"_s}},
        {"add again: already dirty, undo already possible",
         [&] { store.addElement(textField(), detail()); },
         {u"document"_s, u"selection"_s}},
        {"the same selection again",
         [&] { store.setSelectedElementIDs(store.selectedElementIDs()); },
         {}},
        {"an edit that changes nothing", [&] { store.updateElement(a.id, [](auto &) {}); }, {}},
        {"a height that is already set", [&] { store.setHeight(40, detail()); }, {}},
        {"the active band again", [&] { store.setActiveBandTarget(detail()); }, {}},
        {"a move outside the list", [&] { store.moveField(0, 1); }, {}},
        {"an edit of one element",
         [&] { store.updateElement(a.id, [](auto &e) { e.x = 9; }); },
         {u"document"_s}},
        {"a selection of two",
         [&] {
             store.setSelectedElementIDs({a.id, b.id});
         },
         {u"selection"_s}},
        {"align two",
         [&] { store.alignSelected(DocumentStore::AlignEdge::left); },
         {u"document"_s}},
        {"another band",
         [&] { store.setActiveBandTarget(BandTarget::standard(BandType::title)); },
         {u"activeBand"_s}},
        {"a field", [&] { store.selectField(newId()); }, {u"selection"_s, u"dataItem"_s}},
        {"the report root",
         [&] { store.setIsReportRootSelected(true); },
         {u"root"_s, u"dataItem"_s}},
        {"undo", [&] { store.undo(); }, {u"document"_s, u"undoStacks"_s}},
        {"redo", [&] { store.redo(); }, {u"document"_s, u"undoStacks"_s}},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        SignalLog log(store);
        step.run();
        EXPECT_EQ(log.fired, step.fired);
    }
}
