#include "RandomEditRuns.h"
#include "RandomEdits.h"
#include "ReferenceCheck.h"
#include "SavedBands.h"
#include "SavedComments.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "canvas/LackMarks.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Random edits through the panels' and the canvas's paths, on a few reports, for many seeds:
// - an undo takes back exactly the last edit and a redo brings it back, also after edits made
//   after an undo (which end what could be redone);
// - undo back to the start gives the report as loaded, and redo to the end the last one;
// - no reference names a group, sub-dataset or style the report does not declare (beyond what
//   the loaded report named that way already: styles of a style template);
// - the edits find no lapse of placing, nor a style applied whose conditions the element sets
//   over, nor a style edit that changes the file outside the styles or leaves the designer
//   holding what a fresh read of the saved file does not (RandomEdits::lapses());
// - what the report would save holds every element of the bands a save writes, and nothing was
//   put into a band a save leaves out (SavedBands), and every comment of the file where it stood,
//   but those inside what the edits removed (SavedComments).
// The seeds, their reports and the number of edits are RandomEditRuns'.

namespace {

// What the undo and redo stacks should hold, kept apart from the store: every edit that changed
// the report is one step, at most 50 are kept, and an edit ends what could be redone.
struct History {
    QList<ReportDocument> undo;
    QList<ReportDocument> redo;
    // Steps the limit dropped from the bottom: the history no longer reaches the loaded report.
    int dropped = 0;

    void edited(const ReportDocument &before, const ReportDocument &after)
    {
        if (before == after)
            return;
        if (undo.size() >= DocumentStore::undoLimit) {
            undo.removeFirst();
            ++dropped;
        }
        undo.append(before);
        redo.clear();
    }
    // The report an undo (or redo) should leave, from the one it starts at.
    ReportDocument step(QList<ReportDocument> &from, QList<ReportDocument> &to,
                        const ReportDocument &current)
    {
        if (from.isEmpty())
            return current;
        to.append(current);
        return from.takeLast();
    }
};

// The fixture's own store is not used: each seed edits a store of its own.
class RandomEditsProperty : public storetest::StoreTest {
protected:
    // Names the loaded report leaves unknown already (styles of its templates) are no fault.
    // False when there are others.
    static bool expectNoNewUnknownNames(const QSet<QString> &found, const QSet<QString> &loaded,
                                        const char *where)
    {
        const QSet<QString> fresh = QSet<QString>(found).subtract(loaded);
        EXPECT_TRUE(fresh.isEmpty())
            << where << " names what the report does not declare: "
            << QStringList(fresh.cbegin(), fresh.cend()).join(u", "_s).toStdString();
        return fresh.isEmpty();
    }

    // Undoes as far as the history goes, checking each step; how many steps that was.
    static qsizetype undoAll(DocumentStore &store, History &history)
    {
        const qsizetype depth = history.undo.size();
        for (qsizetype i = 0; i < depth; ++i) {
            const ReportDocument expected =
                history.step(history.undo, history.redo, store.document());
            store.undo();
            EXPECT_EQ(store.document(), expected) << "undo " << i + 1 << " of " << depth;
        }
        EXPECT_FALSE(store.canUndo()) << "the store has steps the history does not";
        return depth;
    }
    static void redoSteps(DocumentStore &store, History &history, qsizetype steps)
    {
        for (qsizetype i = 0; i < steps; ++i) {
            const ReportDocument expected =
                history.step(history.redo, history.undo, store.document());
            store.redo();
            EXPECT_EQ(store.document(), expected) << "redo " << i + 1 << " of " << steps;
        }
    }

    void runSeed(const RandomEditRuns::Run &run, int edits)
    {
        const RandomEditRuns::Report &report = run.report;
        DocumentStore store;
        const ReportDocument loaded = JrxmlCodec::parse(report.jrxml);
        store.setDocument(loaded);
        const QSet<QString> unknownAtLoad =
            ReferenceCheck::unknownInModel(loaded) + ReferenceCheck::unknownInFile(report.jrxml);
        History history;
        SavedBands bands;
        bands.note(loaded);
        // Whether the report saved now keeps what the designer holds, and the comments of the
        // file where they stood but those inside what the edits removed.
        const SavedComments comments(report.jrxml);
        const auto savesWhatItHolds = [&](const QByteArray &file, const char *where) {
            const QStringList lost = bands.lapses(store.document(), file) + comments.lapses(file);
            EXPECT_TRUE(lost.isEmpty()) << where << ": " << lost.join(u"\n"_s).toStdString();
            return lost.isEmpty();
        };
        RandomEdits driver(store, run.seed);
        // The canvas's marks of what elements name that their dataset lacks, followed from edit
        // to edit, are those of the report looked at afresh.
        LackMarks marks;
        marks.follow(loaded);
        int events = 0;
        // Checks one event; false stops this seed's run at its first fault, which the rest of
        // the run would only repeat, and lets the other seeds run.
        const auto check = [&](const RandomEdits::Event &event) {
            SCOPED_TRACE(
                QString(u"edit "_s + QString::number(event.step) + u": "_s + event.description)
                    .toStdString());
            switch (event.kind) {
            case RandomEdits::Event::Kind::edit:
                history.edited(event.before, store.document());
                break;
            case RandomEdits::Event::Kind::undo:
                if (store.document() != history.step(history.undo, history.redo, event.before)) {
                    ADD_FAILURE() << "the undo after this edit left another report";
                    return false;
                }
                break;
            case RandomEdits::Event::Kind::redo:
                if (store.document() != history.step(history.redo, history.undo, event.before)) {
                    ADD_FAILURE() << "the redo after this edit left another report";
                    return false;
                }
                break;
            }
            if (!driver.lapses().isEmpty()) {
                ADD_FAILURE() << driver.lapses().join(u"\n"_s).toStdString();
                return false;
            }
            if (!expectNoNewUnknownNames(ReferenceCheck::unknownInModel(store.document()),
                                         unknownAtLoad, "the report"))
                return false;
            bands.note(store.document());
            if (marks.follow(store.document()) != LackMarks().follow(store.document())) {
                ADD_FAILURE() << "the marks followed from edit to edit differ from the report's";
                return false;
            }
            if (++events % 10 != 0)
                return true;
            const QByteArray file = JrxmlCodec::serialize(store.document());
            return expectNoNewUnknownNames(ReferenceCheck::unknownInFile(file), unknownAtLoad,
                                           "the file") &&
                   savesWhatItHolds(file, "the file");
        };

        // Early on the history still reaches back to the loaded report.
        const int early = std::min(edits, 40);
        if (!driver.run(early, check))
            return;
        store.flushPendingUndoSnapshot();
        const ReportDocument reached = store.document();
        const qsizetype depth = undoAll(store, history);
        if (history.dropped == 0) {
            EXPECT_EQ(store.document(), loaded) << "undo back to the start";
        }
        redoSteps(store, history, depth);
        EXPECT_EQ(store.document(), reached) << "redo back to where the edits had got";

        if (!driver.run(edits - early, check))
            return;
        store.flushPendingUndoSnapshot();
        const ReportDocument last = store.document();
        redoSteps(store, history, undoAll(store, history));
        EXPECT_EQ(store.document(), last) << "redo to the end";
        const QByteArray file = JrxmlCodec::serialize(store.document());
        expectNoNewUnknownNames(ReferenceCheck::unknownInFile(file), unknownAtLoad,
                                "the last file");
        savesWhatItHolds(file, "the last file");
    }
};

} // namespace

TEST_F(RandomEditsProperty, UndoRedoAndNamesHoldThroughRandomEdits)
{
    const int edits = RandomEditRuns::edits();
    QStringList failed;
    for (const RandomEditRuns::Run &run : RandomEditRuns::runs()) {
        SCOPED_TRACE(run.replay().toStdString());
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        runSeed(run, edits);
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() >
            failuresBefore)
            failed.append(QString::number(run.seed));
    }
    EXPECT_TRUE(failed.isEmpty()) << "failing seeds: " << failed.join(u", "_s).toStdString();
}
