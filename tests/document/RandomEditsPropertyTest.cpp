#include "RandomEdits.h"
#include "ReferenceCheck.h"
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Random edits through the panels' and the canvas's paths, on a few reports, for many seeds:
// - an undo takes back exactly the last edit and a redo brings it back, also after edits made
//   after an undo (which end what could be redone);
// - undo back to the start gives the report as loaded, and redo to the end the last one;
// - no reference names a group, sub-dataset or style the report does not declare (beyond what
//   the loaded report named that way already: styles of a style template).
// QUILLMARK_SEED replays one seed; QUILLMARK_SEEDS and QUILLMARK_EDITS change how many seeds and
// edits run.

namespace {

// A report with something of everything that names a group, sub-dataset or style, for when the
// corpus is absent.
const QByteArray ownReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Mixed" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <style name="Base" isDefault="true" fontSize="9"/>
  <style name="Heading" fontSize="14" isBold="true"/>
  <style name="HeadingChild" style="Heading"/>
  <subDataset name="Lines"><field name="Item" class="java.lang.String"/></subDataset>
  <field name="Country" class="java.lang.String"/>
  <field name="Amount" class="java.lang.Double"/>
  <variable name="Total" class="java.lang.Double" resetType="Group" resetGroup="CountryGroup" calculation="Sum">
    <variableExpression><![CDATA[$F{Amount}]]></variableExpression>
  </variable>
  <group name="CountryGroup">
    <groupExpression><![CDATA[$F{Country}]]></groupExpression>
    <groupHeader><band height="20">
      <textField><reportElement style="Heading" x="0" y="0" width="200" height="20"/>
        <textFieldExpression><![CDATA[$F{Country}]]></textFieldExpression></textField>
    </band></groupHeader>
    <groupFooter><band height="20">
      <textField evaluationTime="Group" evaluationGroup="CountryGroup">
        <reportElement x="0" y="0" width="100" height="20" printWhenGroupChanges="CountryGroup"/>
        <textFieldExpression><![CDATA[$V{Total}]]></textFieldExpression></textField>
    </band></groupFooter>
  </group>
  <detail><band height="60">
    <textField><reportElement style="HeadingChild" x="0" y="0" width="100" height="20"/>
      <textFieldExpression><![CDATA[$F{Amount}]]></textFieldExpression></textField>
    <componentElement><reportElement x="0" y="20" width="200" height="20"/>
      <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Lines"/>
        <jr:listContents height="20">
          <textField><reportElement style="Heading" x="0" y="0" width="100" height="20"/>
            <textFieldExpression><![CDATA[$F{Item}]]></textFieldExpression></textField>
        </jr:listContents>
      </jr:list>
    </componentElement>
  </band></detail>
</jasperReport>
)";

struct Report {
    QString name;
    QByteArray jrxml;
};

// The reports the seeds take turns on: the one above, and corpus reports with groups, styles,
// lists, tables, charts and crosstabs.
QList<Report> reports()
{
    QList<Report> list{{u"Mixed"_s, ownReport}};
    const QString corpus = testsupport::corpusDir();
    if (corpus.isEmpty())
        return list;
    for (const QString &path :
         {u"jasper/FirstJasper.jrxml"_s, u"table/TableReport.jrxml"_s, u"list/ListReport.jrxml"_s,
          u"charts/SubDatasetChartReport.jrxml"_s, u"crosstabs/OrdersReport.jrxml"_s}) {
        const QString file = QDir(corpus).filePath(u"jrxml-samples/"_s + path);
        if (QFileInfo::exists(file))
            list.append({path, testsupport::readFile(file)});
    }
    return list;
}

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

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

    void runSeed(quint32 seed, const Report &report, int edits)
    {
        DocumentStore store;
        const ReportDocument loaded = JrxmlCodec::parse(report.jrxml);
        store.setDocument(loaded);
        const QSet<QString> unknownAtLoad =
            ReferenceCheck::unknownInModel(loaded) + ReferenceCheck::unknownInFile(report.jrxml);
        History history;
        RandomEdits driver(store, seed);
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
            if (!expectNoNewUnknownNames(ReferenceCheck::unknownInModel(store.document()),
                                         unknownAtLoad, "the report"))
                return false;
            return ++events % 10 != 0 ||
                   expectNoNewUnknownNames(
                       ReferenceCheck::unknownInFile(JrxmlCodec::serialize(store.document())),
                       unknownAtLoad, "the file");
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
        expectNoNewUnknownNames(
            ReferenceCheck::unknownInFile(JrxmlCodec::serialize(store.document())), unknownAtLoad,
            "the last file");
    }
};

} // namespace

TEST_F(RandomEditsProperty, UndoRedoAndNamesHoldThroughRandomEdits)
{
    const QList<Report> all = reports();
    const int edits = fromEnvironment("QUILLMARK_EDITS", 200);
    QList<quint32> seeds;
    if (const int one = fromEnvironment("QUILLMARK_SEED", -1); one >= 0) {
        seeds.append(quint32(one));
    } else {
        for (int s = 0; s < fromEnvironment("QUILLMARK_SEEDS", 50); ++s)
            seeds.append(quint32(s));
    }
    QStringList failed;
    for (const quint32 seed : seeds) {
        const Report &report = all.at(qsizetype(seed % quint32(all.size())));
        SCOPED_TRACE(QString(u"seed "_s + QString::number(seed) + u" on "_s + report.name +
                             u" (replay with QUILLMARK_SEED="_s + QString::number(seed) + u')')
                         .toStdString());
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        runSeed(seed, report, edits);
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() >
            failuresBefore)
            failed.append(QString::number(seed));
    }
    EXPECT_TRUE(failed.isEmpty()) << "failing seeds: " << failed.join(u", "_s).toStdString();
}
