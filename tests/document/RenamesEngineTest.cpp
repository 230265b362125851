#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "document/ElementWalk.h"
#include "engine/SidecarClient.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Corpus reports that name their groups, sub-datasets and styles in many places.
// AccessibleReport names most of them in the later bands of a group header.
const QStringList reports = {
    u"jasper/FirstJasper.jrxml"_s,     u"table/TableReport.jrxml"_s,
    u"list/ListReport.jrxml"_s,        u"charts/SubDatasetChartReport.jrxml"_s,
    u"crosstabs/OrdersReport.jrxml"_s, u"accessible/AccessibleReport.jrxml"_s};

class NamesEngine : public testsupport::RealEngineTest {
protected:
    // The engine's answer to compiling the store's report: empty when it compiled.
    QString compileError(DocumentStore &store, const QString &name)
    {
        const QString jrxml = dir.filePath(name + u".jrxml"_s);
        store.save(QUrl::fromLocalFile(jrxml));
        return compileFile(jrxml);
    }

    // The engine's complaints, one line each, but those about a group's count variable
    // ($V{Name_COUNT}) of a group in `groups`: expressions keep naming what they named, so that
    // a renamed or deleted group's count is missing where an expression uses it.
    static QStringList complaints(const QString &error, const QStringList &groups)
    {
        QStringList lines;
        static const QRegularExpression numbered(uR"(^\s*\d+\.\s*(.*)$)"_s);
        for (const QString &line : error.split(u'\n')) {
            const QRegularExpressionMatch match = numbered.match(line);
            if (!match.hasMatch())
                continue;
            const QString text = match.captured(1).trimmed();
            const bool count = std::any_of(groups.cbegin(), groups.cend(), [&](const QString &g) {
                return text == u"Variable not found : "_s + g + u"_COUNT"_s;
            });
            if (!count)
                lines.append(text);
        }
        if (lines.isEmpty() && !error.isEmpty() && !error.contains(u"_COUNT"_s))
            lines.append(error);
        return lines;
    }

    // The corpus report, or no value when the engine does not take it as it is (it needs the
    // classes of its sample's program).
    std::optional<ReportDocument> compilable(const QString &path)
    {
        DocumentStore store;
        store.setDocument(JrxmlCodec::parse(testsupport::readFile(
            QDir(testsupport::corpusDir()).filePath(u"jrxml-samples/"_s + path))));
        if (!compileError(store, u"AsRead"_s).isEmpty())
            return std::nullopt;
        return store.document();
    }

    // Runs `edit` on a store holding each corpus report the engine takes as it is, then has the
    // engine compile the result. `edit` says which group names it changed.
    void
    forEachReport(const QString &name,
                  const std::function<QStringList(DocumentStore &, const ReportDocument &)> &edit)
    {
        for (const QString &path : reports) {
            SCOPED_TRACE(path.toStdString());
            const std::optional<ReportDocument> report = compilable(path);
            if (!report)
                continue;
            DocumentStore store;
            store.setDocument(*report);
            const QStringList groups = edit(store, *report);
            EXPECT_EQ(complaints(compileError(store, name), groups), QStringList());
        }
    }
};

} // namespace

// Every group, sub-dataset and style renamed through the store: the engine compiles the report
// (but for the groups' count variables that expressions name), and every element that named a
// style names it by its new name.
TEST_F(NamesEngine, RenamedGroupsSubDatasetsAndStylesCompile)
{
    QUILLMARK_REQUIRE_CORPUS();
    forEachReport(u"Renamed"_s, [](DocumentStore &store, const ReportDocument &report) {
        QStringList groups;
        for (const ReportGroup &group : report.groups) {
            groups.append(group.name);
            store.editGroup(group.id, [](ReportGroup &g) { g.name += u"Renamed"_s; });
        }
        for (const ReportSubDataset &dataset : report.subDatasets)
            store.editSubDataset(dataset.id, [](ReportSubDataset &d) { d.name += u"Renamed"_s; });
        for (const ReportStyle &style : report.styles)
            store.editStyle(style.id, [](ReportStyle &s) { s.name += u"Renamed"_s; });
        EXPECT_EQ(JrxmlCodec::serialize(store.document()).count("style=\""),
                  JrxmlCodec::serialize(report).count("style=\""))
            << "no style reference is dropped";
        return groups;
    });
}

// Every group, sub-dataset and style deleted through the store: what named it names nothing
// (what ran a sub-dataset went with it), and the engine compiles the report.
TEST_F(NamesEngine, DeletedGroupsSubDatasetsAndStylesLeaveAReportThatCompiles)
{
    QUILLMARK_REQUIRE_CORPUS();
    forEachReport(u"Deleted"_s, [](DocumentStore &store, const ReportDocument &report) {
        QStringList groups;
        for (const ReportGroup &group : report.groups) {
            groups.append(group.name);
            store.removeGroup(group.id);
        }
        for (const ReportSubDataset &dataset : report.subDatasets)
            store.removeSubDataset(dataset.id);
        for (const ReportStyle &style : report.styles)
            store.removeStyle(style.id);
        return groups;
    });
}

// A style's name typed over a key at a time, as the Styles card writes each keystroke, passing
// through the name of another style: what named the style names it by its new name, what named
// the other keeps naming that (a crosstab names both), and the engine compiles the report.
TEST_F(NamesEngine, StyleNameTypedThroughAnotherStylesNameTakesItsOwnReferences)
{
    QUILLMARK_REQUIRE_CORPUS();
    const std::optional<ReportDocument> report = compilable(u"pdfa/TaggedPdfA1Report.jrxml"_s);
    ASSERT_TRUE(report);
    const auto styleNamed = [&](const QString &name) {
        const auto it = std::find_if(report->styles.cbegin(), report->styles.cend(),
                                     [&](const ReportStyle &s) { return s.name == name; });
        EXPECT_NE(it, report->styles.cend()) << name.toStdString();
        return it == report->styles.cend() ? QUuid() : it->id;
    };
    const QString from = u"Crosstab_TotalColumnHeader"_s;
    const QString through = u"Table_TH"_s;
    const QString to = u"Table_TH_Tex"_s;
    const QUuid id = styleNamed(from);
    ASSERT_FALSE(styleNamed(through).isNull());
    const QString written = QString::fromUtf8(JrxmlCodec::serialize(*report));
    const auto uses = [](const QString &xml, const QString &name) {
        return xml.count(u"style=\""_s + name + u'"');
    };
    ASSERT_GT(uses(written, from), 0);
    ASSERT_GT(uses(written, through), 0);

    DocumentStore store;
    store.setDocument(*report);
    QString typed = from;
    const auto write = [&] { store.editStyle(id, [&](ReportStyle &s) { s.name = typed; }); };
    while (!typed.isEmpty()) {
        typed.chop(1);
        write();
    }
    for (const QChar key : to) {
        typed += key;
        write();
    }

    const QString saved = QString::fromUtf8(JrxmlCodec::serialize(store.document()));
    EXPECT_EQ(uses(saved, from), 0);
    EXPECT_EQ(uses(saved, to), uses(written, from));
    EXPECT_EQ(uses(saved, through), uses(written, through));
    EXPECT_EQ(compileError(store, u"Typed"_s), QString());
}

namespace {

// The lists and tables of the report, by the dataset they run.
QMultiHash<QString, ReportElement> runsOf(const DocumentStore &store)
{
    QMultiHash<QString, ReportElement> runs;
    ElementWalk::visitDocument(store.document(), [&](const ReportElement &element, ElementScope) {
        if (const auto *list = element.kind.as<ElementKind::List>())
            runs.insert(list->datasetName, element);
        else if (const auto *table = element.kind.as<ElementKind::Table>())
            runs.insert(table->datasetName, element);
    });
    return runs;
}

} // namespace

// A sub-dataset renamed letter by letter through the name of another, which a table runs and which
// comes after it: while the two share the name, which one the table means is not known and it
// keeps its group cells; typed on to a name of its own, the table runs its own dataset again,
// whole, and the engine compiles the report.
TEST_F(NamesEngine, ASubDatasetRenamedThroughAnothersNameLeavesItsTableWhole)
{
    QUILLMARK_REQUIRE_CORPUS();
    const std::optional<ReportDocument> report = compilable(u"functions/FunctionsReport.jrxml"_s);
    ASSERT_TRUE(report) << "the engine takes the report as it is";
    DocumentStore store;
    store.setDocument(*report);
    ASSERT_EQ(report->subDatasets.size(), 3);
    const ReportSubDataset parameters = report->subDatasets.at(1);
    const ReportSubDataset examples = report->subDatasets.at(2);
    ASSERT_EQ(parameters.name, u"ParametersDataset"_s);
    ASSERT_EQ(examples.name, u"ExamplesDataset"_s);
    ASSERT_EQ(runsOf(store).count(examples.name), 1);
    const QByteArray asRead = JrxmlCodec::serialize(store.document());
    ASSERT_TRUE(asRead.contains("groupName=\"Category\""));

    const QString typed = examples.name + u"2"_s;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        store.editSubDataset(parameters.id,
                             [&](ReportSubDataset &d) { d.name = typed.left(length); });
        if (length == examples.name.size()) {
            EXPECT_TRUE(JrxmlCodec::serialize(store.document()).contains("groupName=\"Category\""))
                << "the table keeps its cells while two datasets share its name";
        }
    }
    ASSERT_EQ(store.document().subDatasets.at(1).name, typed);
    EXPECT_EQ(runsOf(store).count(examples.name), 1);
    EXPECT_EQ(JrxmlCodec::serialize(store.document()).count("groupName=\"Category\""),
              asRead.count("groupName=\"Category\""));
    EXPECT_EQ(complaints(compileError(store, u"RenamedThroughAnother"_s), {}), QStringList());
}

// Of two sub-datasets named alike (as a file may declare them), the one a list's parameter
// belongs to is deleted: the list, which runs the other by that name now, passes only what the
// other declares, in the same undo step, and the engine compiles the report.
TEST_F(NamesEngine, DeletingOneOfTwoSubDatasetsNamedAlikeDropsTheParametersTheOtherLacks)
{
    QUILLMARK_REQUIRE_CORPUS();
    const std::optional<ReportDocument> report = compilable(u"list/ListReport.jrxml"_s);
    ASSERT_TRUE(report) << "the engine takes the report as it is";
    ReportDocument twice = *report;
    ASSERT_EQ(twice.subDatasets.size(), 1);
    ASSERT_EQ(twice.subDatasets.first().parameters.size(), 1);
    const QString city = twice.subDatasets.first().parameters.first().name;
    ReportSubDataset other = twice.subDatasets.first();
    other.id = QUuid::createUuid();
    other.parameters.clear();
    other.queryString = u"SELECT * FROM Address"_s;
    twice.subDatasets.append(other);

    DocumentStore store;
    store.setDocument(twice);
    const ReportElement running = runsOf(store).value(other.name);
    const auto *list = running.kind.as<ElementKind::List>();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->parameters.size(), 1);
    ASSERT_EQ(list->parameters.first().name, city);

    store.removeSubDataset(twice.subDatasets.first().id);
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    ASSERT_EQ(runsOf(store).count(other.name), 1) << "the list runs the other dataset of that name";
    const ReportElement left = runsOf(store).value(other.name);
    const auto *kept = left.kind.as<ElementKind::List>();
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->parameters.isEmpty());
    EXPECT_EQ(complaints(compileError(store, u"DeletedOneOfTwo"_s), {}), QStringList());

    store.undo();
    EXPECT_EQ(store.document(), twice) << "one undo step";
}

// A frame without padding of its own given a style whose box pads it: it takes the style's
// padding as the engine will, its child keeps within the room left, in one step, and the engine
// compiles the report.
TEST_F(NamesEngine, AFrameGivenAStyleThatPadsItFitsItsChildren)
{
    const QByteArray file = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Padded" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="30" bottomMargin="30">
	<style name="Padded" mode="Opaque" backcolor="#EEEEEE">
		<box leftPadding="3" rightPadding="3" topPadding="2" bottomPadding="2"/>
	</style>
	<title>
		<band height="60">
			<frame>
				<reportElement x="0" y="0" width="150" height="40"/>
				<staticText><reportElement x="0" y="0" width="150" height="40"/><text><![CDATA[Fills the frame]]></text></staticText>
			</frame>
		</band>
	</title>
</jasperReport>
)";
    DocumentStore store;
    store.setDocument(JrxmlCodec::parse(file));
    const auto framed = [&] {
        for (const ReportBand &band : store.document().bands) {
            if (band.type == BandType::title && !band.elements.isEmpty())
                return band.elements.at(0);
        }
        ADD_FAILURE() << "no title element";
        return ReportElement();
    };
    const ReportElement frame = framed();
    ASSERT_TRUE(frame.kind.is<ElementKind::Frame>());
    ASSERT_EQ(frame.paddingLeft, 0);
    ASSERT_EQ(compileError(store, u"AsRead"_s), QString());

    store.applyStyle(store.document().styles.at(0), frame.id);
    const ReportElement styled = framed();
    EXPECT_EQ(styled.paddingLeft, 3);
    EXPECT_EQ(styled.paddingRight, 3);
    EXPECT_EQ(styled.paddingTop, 2);
    const auto &children = styled.kind.as<ElementKind::Frame>()->children;
    ASSERT_EQ(children.size(), 1);
    // The padding that grew widens the frame, as a padding typed does: the child keeps its size.
    EXPECT_LE(children.at(0).x + children.at(0).width,
              styled.width - styled.paddingLeft - styled.paddingRight);
    EXPECT_EQ(compileError(store, u"Styled"_s), QString());
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "one step";
}
