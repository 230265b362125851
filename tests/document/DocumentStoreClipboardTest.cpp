#include "StoreTestSupport.h"
#include "document/ReportReferences.h"
#include "model/JrxmlCodec.h"

using namespace storetest;

using DocumentStoreClipboard = StoreTest;

TEST_F(DocumentStoreClipboard, PastesIntoAnotherStoreThroughTheSharedClipboard)
{
    ElementClipboard shared;
    DocumentStore other;
    store.setClipboard(&shared);
    other.setClipboard(&shared);

    const ReportElement copied = textField(10, 20);
    placeSelected({copied});
    store.copySelectedElements();
    EXPECT_TRUE(store.undoStack().isEmpty());
    // A copy that finds nothing keeps what the clipboard held; later edits do not reach it.
    store.setSelectedElementIDs({newId()});
    store.copySelectedElements();
    store.updateElement(copied.id, [](ReportElement &e) { e.width = 1; });

    other.pasteClipboard();
    other.pasteClipboard();
    const QList<ReportElement> pasted = other.elements(other.activeBandTarget());
    ASSERT_EQ(pasted.size(), 2);
    EXPECT_EQ((QSet<QUuid>{copied.id, pasted[0].id, pasted[1].id}).size(), 3) << "fresh ids";
    EXPECT_EQ(other.selectedElementIDs(), QSet<QUuid>{pasted[1].id});
    EXPECT_EQ(shared.elements(), QList<ReportElement>{copied}) << "pasting leaves the clipboard";

    // Without the shared clipboard the store is back on its own, empty one.
    store.setClipboard(nullptr);
    EXPECT_TRUE(store.clipboard()->elements().isEmpty());
}

// Pasting and smart insertion share the rule.
TEST_F(DocumentStoreClipboard, InsertsIntoTheOneSelectedContainerOrElseTheActiveBand)
{
    const std::function<void(DocumentStore &)> inserts[] = {
        [](DocumentStore &s) {
            s.clipboard()->setElements({textField(1, 2)});
            s.pasteClipboard();
        },
        [](DocumentStore &s) { s.addElementSmart(textField(1, 2)); },
    };
    for (const auto &insert : inserts) {
        DocumentStore s;
        const ReportElement container = frame({textField()}), field = textField();
        s.performAddElement(container, s.activeBandTarget());
        s.performAddElement(field, s.activeBandTarget());

        s.setSelectedElementIDs({container.id});
        insert(s);
        const QList<ReportElement> children = *s.element(container.id)->kind.children();
        ASSERT_EQ(children.size(), 2);
        EXPECT_EQ(s.selectedElementIDs(), QSet<QUuid>{children[1].id});

        for (const QSet<QUuid> &selection :
             {QSet<QUuid>{field.id}, QSet<QUuid>{container.id, field.id}}) {
            s.setSelectedElementIDs(selection);
            insert(s);
            EXPECT_EQ(s.selectedElementIDs(),
                      QSet<QUuid>{s.elements(s.activeBandTarget()).last().id});
        }
        EXPECT_EQ(s.elements(s.activeBandTarget()).size(), 4);
        EXPECT_EQ(s.undoStack().size(), 3);

        // An active band that no longer exists hands the element to the first detail band.
        s.setSelectedElementIDs({});
        s.setActiveBandTarget(BandTarget::detailBand(newId()));
        insert(s);
        const ReportBand &first = s.document().detailBands.first();
        ASSERT_EQ(first.elements.size(), 5);
        EXPECT_EQ(s.selectedElementIDs(), QSet<QUuid>{first.elements.last().id});
        EXPECT_EQ(s.undoStack().size(), 4);
    }
}

TEST_F(DocumentStoreClipboard, PasteAndDuplicateRenewEveryIdentifier)
{
    // A frame holding a subreport, a list and a table, each with a parameter; the list has a
    // child, the table a column whose header and detail cells hold elements.
    const auto parameter = [] { return QList<SubreportParameter>{{newId(), u"P"_s, u"$P{P}"_s}}; };
    const ReportTableColumn column{.id = newId(),
                                   .columnHeaderElement = textField(),
                                   .detailCellElement = frame({textField()})};
    const ReportElement original =
        frame({element(ElementKind::Subreport{.parameters = parameter()}),
               element(ElementKind::List{.parameters = parameter(), .children = {textField()}}),
               element(ElementKind::Table{.parameters = parameter(), .columns = {column}})},
              10, 20);
    const auto allIDs = [](const ReportElement &f) {
        const QList<ReportElement> &kids = *f.kind.children();
        const auto *s = kids[0].kind.as<ElementKind::Subreport>();
        const auto *l = kids[1].kind.as<ElementKind::List>();
        const auto *t = kids[2].kind.as<ElementKind::Table>();
        const ReportTableColumn &c = t->columns[0];
        return QSet<QUuid>() << f.id << kids[0].id << kids[1].id << kids[2].id
                             << s->parameters[0].id << l->parameters[0].id << l->children[0].id
                             << t->parameters[0].id << c.id << c.columnHeaderElement->id
                             << c.detailCellElement->id
                             << c.detailCellElement->kind.children()->first().id;
    };
    placeSelected({original});
    store.copySelectedElements();
    store.setSelectedElementIDs({});
    store.pasteClipboard();
    store.setSelectedElementIDs({original.id});
    store.duplicateSelectedElement();

    const QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 3);
    EXPECT_EQ(QPointF(band[1].x, band[1].y), QPointF(20, 30)) << "the duplicate";
    EXPECT_EQ(QPointF(band[2].x, band[2].y), QPointF(25, 35)) << "the pasted copy";
    QSet<QUuid> seen = allIDs(original);
    ASSERT_EQ(seen.size(), 12);
    for (const ReportElement &copy : {band[1], band[2]}) {
        const QSet<QUuid> fresh = allIDs(copy);
        EXPECT_EQ(fresh.size(), 12);
        EXPECT_FALSE(fresh.intersects(seen));
        seen.unite(fresh);
    }
}

TEST_F(DocumentStoreClipboard, DuplicatesRightAfterTheOriginal)
{
    const ReportElement child = textField(5, 5);
    const ReportElement container = frame({child, textField()});
    const ReportElement first = textField(10, 20);
    place({first, container, textField()});

    store.setSelectedElementIDs({child.id});
    store.duplicateSelectedElement();
    const QList<ReportElement> children = *store.element(container.id)->kind.children();
    ASSERT_EQ(children.size(), 3);
    EXPECT_EQ(QPointF(children[1].x, children[1].y), QPointF(15, 15));
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{children[1].id});

    store.setSelectedElementIDs({first.id, container.id});
    store.copySelectedElements();
    store.duplicateSelectedElement();
    const QList<ReportElement> band = store.elements(detail());
    ASSERT_EQ(band.size(), 5);
    EXPECT_EQ(ids(band).indexOf(first.id), 0);
    EXPECT_EQ(ids(band).indexOf(container.id), 2);
    EXPECT_EQ(store.selectedElementIDs(), (QSet<QUuid>{band[1].id, band[3].id}));
    store.pasteClipboard();
    EXPECT_EQ(store.elements(detail()).size(), 7);

    // Copies that would reach past the band's right edge move left together, keeping their
    // arrangement: the one that reaches past it takes the other along.
    const double width = store.width(detail());
    const ReportElement atEdge = textField(width - 100, 60), beside = textField(width - 300, 80);
    placeSelected({atEdge, beside});
    store.duplicateSelectedElement();
    const QList<ReportElement> shifted = store.elements(detail()).mid(7);
    ASSERT_EQ(shifted.size(), 4);
    EXPECT_EQ(QPointF(shifted[1].x, shifted[1].y), QPointF(width - 100, 70));
    EXPECT_EQ(QPointF(shifted[3].x, shifted[3].y), QPointF(width - 300, 90));

    // Nothing to duplicate or paste: no undo step.
    const qsizetype steps = store.undoStack().size();
    store.setSelectedElementIDs({});
    store.duplicateSelectedElement();
    store.clipboard()->setElements({});
    store.pasteClipboard();
    EXPECT_EQ(store.undoStack().size(), steps);
}

// A pasted copy of an element read from a file keeps what the model does not hold, but not the
// file's identifier, which stays unique.
TEST_F(DocumentStoreClipboard, PastedElementKeepsItsPropertiesButNotItsFileIdentifier)
{
    const ReportElement read =
        JrxmlCodec::parse("<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                          "jasperreports\"><title><band height=\"40\"><staticText><reportElement "
                          "x=\"1\" y=\"2\" width=\"30\" height=\"10\" uuid=\"u-1\"><property "
                          "name=\"p\" value=\"v\"/></reportElement></staticText></band></title>"
                          "</jasperReport>")
            .bands[1]
            .elements[0];
    placeSelected({read});
    store.copySelectedElements();
    store.pasteClipboard();
    const QList<ReportElement> band = store.elements(store.activeBandTarget());
    ASSERT_EQ(band.size(), 2);
    EXPECT_NE(band[1].id, read.id);
    const KeptXml &position = band[1].kept.part(u"reportElement");
    EXPECT_EQ(position.attribute(u"uuid"), nullptr);
    ASSERT_EQ(position.children.size(), 1);
    EXPECT_TRUE(position.children[0].xml.contains(u"name=\"p\""))
        << position.children[0].xml.toStdString();
    const QByteArray saved = JrxmlCodec::serialize(store.document());
    EXPECT_EQ(saved.count("uuid=\"u-1\""), 1);
    EXPECT_EQ(saved.count("<property name=\"p\" value=\"v\"/>"), 2);
}

// A copy, and an element placed in another band or container, leaves its element groups, so
// that no group of the file is written around unrelated elements; a copied frame's children keep
// theirs.
TEST_F(DocumentStoreClipboard, CopiesAndMovedElementsLeaveTheirElementGroups)
{
    store.setDocument(JrxmlCodec::parse(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\"><title><band "
        "height=\"40\"/></title><detail><band height=\"90\"><elementGroup><line/><ellipse/>"
        "<rectangle/><frame><elementGroup><line/></elementGroup></frame></elementGroup></band>"
        "</detail></jasperReport>"));
    const QList<QUuid> read = ids(store.elements(detail()));
    const auto groupsOf = [&](const QUuid &id) { return store.element(id)->elementGroups.size(); };
    const auto selectedAfter = [&](const QUuid &id, const std::function<void()> &action) {
        store.setActiveBandTarget(detail());
        store.setSelectedElementIDs({id});
        action();
        return *store.selectedElementIDs().cbegin();
    };
    const QUuid lineCopy = selectedAfter(read[0], [&] { store.duplicateSelectedElement(); });
    const QUuid frameCopy = selectedAfter(read[3], [&] {
        store.copySelectedElements();
        store.pasteClipboard();
    });
    selectedAfter(read[1], [&] {
        store.moveSelectedElementsToNewBand(BandTarget::standard(BandType::title), 0, 0);
    });
    selectedAfter(read[2], [&] { store.encloseSelectedInFrame(); });

    for (const QUuid &id : {lineCopy, frameCopy, read[1], read[2]})
        EXPECT_EQ(groupsOf(id), 0);
    EXPECT_EQ(groupsOf(read[0]), 1);
    EXPECT_EQ(store.element(frameCopy)->kind.children()->first().elementGroups.size(), 1);
    // The group split around the line's copy, and one in each of the two frames with a line.
    const QByteArray saved = JrxmlCodec::serialize(store.document());
    EXPECT_EQ(saved.count("<elementGroup>"), 4) << saved.toStdString();
}

// An element copied from another report, or before what it names was deleted, names a style, a
// group or a sub-dataset the report may lack, which the engine refuses: pasting it or inserting
// it as a snippet drops the style and the group, as deleting them would, and declares the
// sub-dataset the list or chart runs, with the parameters the run passes it, in the one undo step
// of the insert.
TEST_F(DocumentStoreClipboard, WhatAnInsertedCopyNamesThatTheReportLacksIsDroppedOrDeclared)
{
    ReportElement named = textField(1, 2);
    named.styleName = u"Gone"_s;
    named.evaluationTime = u"Group"_s;
    named.evaluationGroup = u"GoneGroup"_s;
    ReportElement kept = textField(3, 4);
    kept.styleName = u"Kept"_s;
    ReportElement runs = list({});
    runs.kind.as<ElementKind::List>()->datasetName = u"Lines"_s;
    runs.kind.as<ElementKind::List>()->parameters = {
        {.name = u"City"_s, .expression = u"$F{City}"_s},
        {.name = u"REPORT_LOCALE"_s, .expression = u"$P{REPORT_LOCALE}"_s}};
    // A chart runs its sub-dataset as the file wrote it.
    ReportElement chart = textField(5, 6);
    chart.kind = ElementKind::Chart{
        .tag = u"barChart"_s,
        .siblingXML =
            u"<categoryDataset><dataset><datasetRun subDataset=\"Sales\">"
            u"<datasetParameter name=\"Region\"><datasetParameterExpression><![CDATA[$F{City}]]>"
            u"</datasetParameterExpression></datasetParameter><datasetParameter "
            u"name=\"REPORT_LOCALE\"><datasetParameterExpression><![CDATA[$P{REPORT_LOCALE}]]>"
            u"</datasetParameterExpression></datasetParameter></datasetRun></dataset>"
            u"</categoryDataset>"_s};

    const std::function<void(DocumentStore &, const ReportElement &)> inserts[] = {
        [](DocumentStore &s, const ReportElement &e) {
            s.clipboard()->setElements({e});
            s.pasteClipboard();
        },
        [](DocumentStore &s, const ReportElement &e) { s.addElementSmart(e); },
    };
    for (const auto &insert : inserts) {
        DocumentStore s;
        editDocument(s, [](ReportDocument &d) { d.styles.append(ReportStyle{.name = u"Kept"_s}); });
        for (const ReportElement &e : {named, kept, runs, chart}) {
            s.setSelectedElementIDs({}); // into the band, not the list pasted before
            insert(s, e);
        }
        EXPECT_EQ(s.undoStack().size(), 4) << "one step each";
        const QList<ReportElement> added = s.elements(s.activeBandTarget());
        ASSERT_EQ(added.size(), 4);
        EXPECT_EQ(added[0].styleName, std::nullopt);
        EXPECT_EQ(added[0].evaluationTime, u"Report"_s);
        EXPECT_EQ(added[0].evaluationGroup, std::nullopt);
        EXPECT_EQ(added[1].styleName, u"Kept"_s) << "a declared style stays";
        ASSERT_EQ(s.document().subDatasets.size(), 2);
        for (const auto &[dataset, parameter] :
             {std::pair(u"Lines"_s, u"City"_s), std::pair(u"Sales"_s, u"Region"_s)}) {
            const auto declared =
                std::find_if(s.document().subDatasets.cbegin(), s.document().subDatasets.cend(),
                             [&](const ReportSubDataset &d) { return d.name == dataset; });
            ASSERT_NE(declared, s.document().subDatasets.cend()) << dataset.toStdString();
            const QList<ReportParameter> &passed = declared->parameters;
            ASSERT_EQ(passed.size(), 1) << "the engine gives every dataset its locale";
            EXPECT_EQ(passed.first().name, parameter);
        }
        s.undo();
        ASSERT_EQ(s.document().subDatasets.size(), 1) << "undone with the chart";
        s.undo();
        EXPECT_TRUE(s.document().subDatasets.isEmpty()) << "undone with the list";
    }
}

// A copied table or list runs its own sub-dataset, whose groups its group cells and content name.
// Inserted into a report that lacks the sub-dataset, the copy declares it with those groups;
// into one whose sub-dataset lacks some of them, what names those goes as on a switch to it:
// either way the groups named are the sub-dataset's, as the engine requires.
TEST_F(DocumentStoreClipboard, AnInsertedCopyNamesOnlyGroupsOfTheDatasetItRuns)
{
    const ReportDocument source = JrxmlCodec::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Copied" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<subDataset name="Addresses">
		<field name="City" class="java.lang.String"/>
		<group name="CityGroup"><groupExpression><![CDATA[$F{City}]]></groupExpression></group>
		<group name="StreetGroup"><groupExpression><![CDATA[$F{City}]]></groupExpression></group>
	</subDataset>
	<subDataset name="Orders">
		<field name="City" class="java.lang.String"/>
		<group name="OrderGroup"><groupExpression><![CDATA[$F{City}]]></groupExpression></group>
	</subDataset>
	<detail><band height="200">
		<componentElement><reportElement x="0" y="0" width="200" height="60"/>
			<jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Addresses"/>
				<jr:column width="100">
					<jr:groupHeader groupName="CityGroup">
						<jr:cell height="20"><staticText><reportElement x="0" y="0" width="100" height="20"/><text><![CDATA[City]]></text></staticText></jr:cell>
					</jr:groupHeader>
					<jr:detailCell height="20">
						<textField evaluationTime="Group" evaluationGroup="StreetGroup"><reportElement x="0" y="0" width="100" height="20"/><textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
					</jr:detailCell>
				</jr:column>
			</jr:table>
		</componentElement>
		<componentElement><reportElement x="0" y="100" width="200" height="40"/>
			<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Orders"/>
				<jr:listContents height="40">
					<textField evaluationTime="Group" evaluationGroup="OrderGroup"><reportElement x="0" y="0" width="100" height="20"/><textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
				</jr:listContents>
			</jr:list>
		</componentElement>
	</band></detail>
</jasperReport>
)");
    ASSERT_EQ(source.detailBands.size(), 1);
    const ElementList copied = source.detailBands.first().elements;
    ASSERT_EQ(copied.size(), 2);
    const auto groupCells = [](const ReportElement &table) {
        return JrxmlCodec::serializeElement(table, {}).count(u"groupName=\"CityGroup\""_s);
    };
    ASSERT_EQ(groupCells(copied[0]), 1);
    // What the detail cell and the list's content are evaluated on.
    const auto evaluated = [](const ReportElement &element) {
        if (const auto *table = element.kind.as<ElementKind::Table>())
            return table->columns.first().detailCellElement->evaluationGroup;
        return element.kind.as<ElementKind::List>()->children.first().evaluationGroup;
    };
    ASSERT_EQ(evaluated(copied[0]), u"StreetGroup"_s);
    ASSERT_EQ(evaluated(copied[1]), u"OrderGroup"_s);

    // The groups the report, once saved and read again, declares in the sub-dataset.
    const auto groupsAfterSave = [](const DocumentStore &s, const QString &dataset) {
        return ReportReferences::groupsOfDataset(
            JrxmlCodec::parse(JrxmlCodec::serialize(s.document())), dataset);
    };
    const std::function<void(DocumentStore &)> inserts[] = {
        [&](DocumentStore &s) {
            s.clipboard()->setElements(copied);
            s.pasteClipboard();
        },
        [&](DocumentStore &s) {
            for (const ReportElement &e : copied)
                s.addElementSmart(e);
        },
    };
    for (const auto &insert : inserts) {
        DocumentStore lacking;
        insert(lacking);
        QList<ReportElement> added = lacking.elements(lacking.activeBandTarget());
        ASSERT_EQ(added.size(), 2);
        EXPECT_EQ(groupCells(added[0]), 1) << "the group cell stays with its group";
        EXPECT_EQ(evaluated(added[0]), u"StreetGroup"_s);
        EXPECT_EQ(evaluated(added[1]), u"OrderGroup"_s);
        EXPECT_EQ(groupsAfterSave(lacking, u"Addresses"_s),
                  QStringList({u"CityGroup"_s, u"StreetGroup"_s}));
        EXPECT_EQ(groupsAfterSave(lacking, u"Orders"_s), QStringList({u"OrderGroup"_s}));

        DocumentStore declaring;
        editDocument(declaring, [&](ReportDocument &d) {
            d.subDatasets = source.subDatasets;
            d.subDatasets[0].kept = {};
            JrxmlCodec::declareGroups(d.subDatasets[0], {u"StreetGroup"_s});
            d.subDatasets[1].kept = {};
        });
        insert(declaring);
        added = declaring.elements(declaring.activeBandTarget());
        ASSERT_EQ(added.size(), 2);
        EXPECT_EQ(groupCells(added[0]), 0) << "the cell of a group the dataset lacks goes";
        EXPECT_EQ(evaluated(added[0]), u"StreetGroup"_s) << "a group it declares stays";
        EXPECT_EQ(evaluated(added[1]), std::nullopt);
        EXPECT_EQ(added[1].kind.as<ElementKind::List>()->children.first().evaluationTime, u"Now"_s);
        EXPECT_EQ(groupsAfterSave(declaring, u"Addresses"_s), QStringList({u"StreetGroup"_s}))
            << "the report's own sub-datasets stay as they are";
        EXPECT_EQ(declaring.document().subDatasets.size(), 2);
    }
}

// What lists hold runs over the list's dataset: a copy pasted into a list is evaluated on that
// dataset's groups, and one that named a group of the report's goes back as if it were deleted.
TEST_F(DocumentStoreClipboard, ACopyPastedIntoAListKeepsOnlyTheGroupsOfItsDataset)
{
    editDocument(store, [](ReportDocument &d) {
        d.groups.append(ReportGroup{.name = u"Country"_s});
        d.subDatasets.append(ReportSubDataset{.name = u"Lines"_s});
    });
    ReportElement field = textField();
    field.evaluationTime = u"Group"_s;
    field.evaluationGroup = u"Country"_s;
    ReportElement runs = list({});
    runs.kind.as<ElementKind::List>()->datasetName = u"Lines"_s;
    runs.kind.as<ElementKind::List>()->parameters = {
        {.name = u"City"_s, .expression = u"$F{City}"_s},
        {.name = u"REPORT_LOCALE"_s, .expression = u"$P{REPORT_LOCALE}"_s}};
    placeSelected({field, runs});
    store.setSelectedElementIDs({field.id});
    store.copySelectedElements();

    store.setSelectedElementIDs({});
    store.pasteClipboard();
    const ReportElement inBand = *store.element(*store.selectedElementID());
    EXPECT_EQ(inBand.evaluationGroup, u"Country"_s) << "the band runs over the report's groups";

    store.setSelectedElementIDs({runs.id});
    store.pasteClipboard();
    const ReportElement inList = *store.element(*store.selectedElementID());
    EXPECT_EQ(store.containerOf(inList.id)->id, runs.id);
    EXPECT_EQ(inList.evaluationTime, u"Report"_s);
    EXPECT_EQ(inList.evaluationGroup, std::nullopt);
}

namespace {

ReportElement namingField(const QString &expression)
{
    ReportElement field = textField();
    field.kind = ElementKind::TextField{expression};
    return field;
}

// The element with a return value from `from` into `to`: a subreport's own, a list's or table's
// on its run.
ReportElement returning(ReportElement element, const QString &from, const QString &to)
{
    const bool isSubreport = element.kind.is<ElementKind::Subreport>();
    const QString xml = u"<returnValue "_s +
                        (isSubreport ? u"subreportVariable"_s : u"fromVariable"_s) + u"=\""_s +
                        from + u"\" toVariable=\""_s + to + u"\"/>"_s;
    KeptParts *kept = &element.kept;
    if (auto *table = element.kind.as<ElementKind::Table>())
        kept = &table->kept;
    else if (auto *list = element.kind.as<ElementKind::List>())
        kept = &list->kept;
    kept->setPart(isSubreport ? QString() : u"datasetRun"_s, KeptXml{.children = {{0, xml}}});
    return element;
}

ReportElement tableOf(const QString &dataset)
{
    ReportElement table = textField();
    ElementKind::Table payload;
    payload.datasetName = dataset;
    payload.columns = {ReportTableColumn::blank()};
    table.kind = ElementKind{payload};
    return table;
}

struct LackCase {
    const char *what;
    // Places elements into the store, as the user would, with the list (running Orders) and the
    // band's field naming $F{Name} already there.
    std::function<void(DocumentStore &, const ReportElement &list, const ReportElement &field)>
        edit;
    // What the store says; empty for nothing.
    QString words;
};

} // namespace

// A copy keeps its expressions as they are where it goes, and a snippet is inserted as saved:
// what they then name that the dataset they run in lacks is said, once, after the change, in
// words that name each reference and the dataset; the one undo step of the edit stays, and what
// the dataset declares (a field, a group's count, what the engine gives every dataset) is not
// named.
TEST_F(DocumentStoreClipboard, WhatACopyNamesThatItsNewDatasetLacksIsSaid)
{
    const QString lacksName =
        u"The pasted element names $F{Name}, which the dataset \"Orders\" does not declare. "
        u"Declare it there or change the expression: until then the report does not compile."_s;
    const LackCase cases[] = {
        {"a field of the report's pasted into the list",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &field) {
             s.setSelectedElementIDs({field.id});
             s.copySelectedElements();
             s.setSelectedElementIDs({list.id});
             s.pasteClipboard();
         },
         lacksName},
        {"a field of the list's pasted into the band",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.setSelectedElementIDs({list.kind.children()->first().id});
             s.copySelectedElements();
             s.setSelectedElementIDs({});
             s.pasteClipboard();
         },
         u"The pasted element names $F{OrderId}, which the report's main dataset does not "
         u"declare. Declare it there or change the expression: until then the report does not "
         u"compile."_s},
        {"a field of the list's pasted into the list again",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.setSelectedElementIDs({list.kind.children()->first().id});
             s.copySelectedElements();
             s.setSelectedElementIDs({list.id});
             s.pasteClipboard();
         },
         {}},
        {"two elements, one in a frame, pasted into the list",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.clipboard()->setElements(
                 {frame({namingField(u"$F{Name} + $P{Title} + $F{ Name }"_s)}),
                  namingField(
                      u"$V{Orders_COUNT} + $V{Total} + $P{REPORT_LOCALE} + $V{PAGE_NUMBER}"_s)});
             s.setSelectedElementIDs({list.id});
             s.pasteClipboard();
         },
         u"The pasted elements name $F{Name}, $P{Title} and $V{Total}, which the dataset "
         u"\"Orders\" does not declare. Declare them there or change the expressions: until then "
         u"the report does not compile."_s},
        {"a snippet naming a field of another dataset inserted into the list",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.setSelectedElementIDs({list.id});
             s.addElementSmart(namingField(u"$F{Street}"_s));
         },
         u"The inserted element names $F{Street}, which the dataset \"Orders\" does not declare. "
         u"Declare it there or change the expression: until then the report does not compile."_s},
        {"a duplicate of an element naming what its dataset lacks",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.setSelectedElementIDs({list.id});
             s.addElementSmart(namingField(u"$F{Name}"_s));
             s.duplicateSelectedElement();
         },
         u"The inserted element names $F{Name}, which the dataset \"Orders\" does not declare. "
         u"Declare it there or change the expression: until then the report does not compile. / "
         u"The duplicated element names $F{Name}, which the dataset \"Orders\" does not declare. "
         u"Declare it there or change the expression: until then the report does not compile."_s},
        {"a map whose markers run the list's dataset pasted into the band",
         [](DocumentStore &s, const ReportElement &, const ReportElement &) {
             ReportElement map = textField();
             map.kind = ElementKind::ComponentPlaceholder{
                 u"map"_s,
                 u"<c:map xmlns:c=\"http://jasperreports.sourceforge.net/jasperreports/"
                 u"components\"><c:latitudeExpression><![CDATA[$P{Zoom} + $F{Name}]]>"
                 u"</c:latitudeExpression><c:markerData><dataset><datasetRun subDataset=\"Orders\">"
                 u"<connectionExpression><![CDATA[$F{Name}]]></connectionExpression></datasetRun>"
                 u"</dataset><c:item><c:itemProperty name=\"title\"><valueExpression><![CDATA["
                 u"$F{OrderId} + $F{Name} + $V{Orders_COUNT}]]></valueExpression></c:itemProperty>"
                 u"</c:item></c:markerData></c:map>"_s};
             s.clipboard()->setElements({map});
             s.setSelectedElementIDs({});
             s.pasteClipboard();
         },
         u"The pasted element names $P{Zoom}, which the report's main dataset does not declare "
         u"and $F{Name}, which the dataset \"Orders\" does not declare. Declare them there or "
         u"change the expressions: until then the report does not compile."_s},
        {"fourteen fields pasted into the list: a dozen named, the rest counted",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             QList<ReportElement> copies;
             for (int n = 1; n <= 14; ++n)
                 copies.append(namingField(u"$F{F"_s + QString::number(n) + u'}'));
             s.clipboard()->setElements(copies);
             s.setSelectedElementIDs({list.id});
             s.pasteClipboard();
         },
         u"The pasted elements name $F{F1}, $F{F2}, $F{F3}, $F{F4}, $F{F5}, $F{F6}, $F{F7}, "
         u"$F{F8}, $F{F9}, $F{F10}, $F{F11}, $F{F12} and 2 more, which the dataset \"Orders\" "
         u"does not declare. Declare them there or change the expressions: until then the report "
         u"does not compile."_s},
        {"a subreport returning into a variable of the report's pasted into the list",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             ReportElement subreport = textField();
             subreport.kind = ElementKind::Subreport{u"\"Products.jasper\""_s};
             s.clipboard()->setElements({returning(subreport, u"PriceSum"_s, u"Total"_s)});
             s.setSelectedElementIDs({list.id});
             s.pasteClipboard();
             // Into the band, where it is declared: nothing to say.
             s.setSelectedElementIDs({});
             s.pasteClipboard();
         },
         u"The pasted element returns into $V{Total}, which the dataset \"Orders\" does not "
         u"declare. Declare it there or change the return value: until then the report does not "
         u"compile."_s},
        {"a table returning into a variable of the list's dataset copied out of the list",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.setSelectedElementIDs({list.kind.children()->last().id});
             s.copySelectedElements();
             s.setSelectedElementIDs({});
             s.pasteClipboard();
         },
         u"The pasted element returns into $V{OrderSum}, which the report's main dataset does not "
         u"declare. Declare it there or change the return value: until then the report does not "
         u"compile."_s},
        {"a list returning into a variable of the report's, passing a field of it, pasted into "
         "the list",
         [](DocumentStore &s, const ReportElement &outer, const ReportElement &) {
             ReportElement inner =
                 returning(list({namingField(u"$F{OrderId}"_s)}), u"REPORT_COUNT"_s, u"Total"_s);
             inner.kind.as<ElementKind::List>()->datasetName = u"Orders"_s;
             inner.kind.as<ElementKind::List>()->connectionExpression = u"$P{REPORT_CONNECTION}"_s;
             inner.kind.as<ElementKind::List>()->parameters = {{newId(), u"City"_s, u"$F{Name}"_s}};
             s.clipboard()->setElements({inner});
             s.setSelectedElementIDs({outer.id});
             s.pasteClipboard();
         },
         u"The pasted element names $F{Name}, which the dataset \"Orders\" does not declare and "
         u"returns into $V{Total}, which the dataset \"Orders\" does not declare. Declare them "
         u"there or change the expressions and return values: until then the report does not "
         u"compile."_s},
        {"the list switched to a dataset that lacks what its contents name and return into",
         [](DocumentStore &s, const ReportElement &list, const ReportElement &) {
             s.addSubDataset();
             const QString added = s.document().subDatasets.last().name;
             s.updateElement(list.id, [&](ReportElement &e) {
                 e.kind.as<ElementKind::List>()->datasetName = added;
             });
             s.tellLackedNamesInside(list.id);
         },
         u"The list's elements name $F{OrderId}, which the dataset \"Dataset1\" does not "
         u"declare and return into $V{OrderSum}, which the dataset \"Dataset1\" does not "
         u"declare. Declare them there or change the expressions and return values: until then "
         u"the report does not compile."_s},
    };
    for (const LackCase &c : cases) {
        SCOPED_TRACE(c.what);
        DocumentStore s;
        editDocument(s, [](ReportDocument &d) {
            d.fields.append(ReportField{.name = u"Name"_s});
            d.variables.append(ReportVariable{.name = u"Total"_s});
            ReportSubDataset orders{.name = u"Orders"_s};
            orders.fields.append(ReportField{.name = u"OrderId"_s});
            orders.variables.append(ReportVariable{.name = u"OrderSum"_s});
            orders.kept.setPart({}, KeptXml{.children = {{0, u"<group name=\"Orders\"/>"_s}}});
            d.subDatasets.append(orders);
        });
        // What the list holds: a field of its dataset, a table returning into a variable of it.
        ReportElement runs =
            list({namingField(u"$F{OrderId}"_s),
                  returning(tableOf(u"Orders"_s), u"REPORT_COUNT"_s, u"OrderSum"_s)});
        runs.kind.as<ElementKind::List>()->datasetName = u"Orders"_s;
        const ReportElement field = namingField(u"$F{Name}"_s);
        s.performAddElement(runs, s.activeBandTarget());
        s.performAddElement(field, s.activeBandTarget());
        QStringList said;
        QObject::connect(&s, &DocumentStore::namesLacked, &s, [&](const QString &words) {
            // Said after the change: the document holds the copies then.
            EXPECT_TRUE(s.canUndo());
            said.append(words);
        });
        c.edit(s, runs, field);
        EXPECT_EQ(said.join(u" / "_s), c.words);
        // Every expression stays as it was written.
        QSet<QString> written = {
            u"$F{Name}"_s, u"$F{OrderId}"_s, u"$F{Street}"_s,
            u"$F{Name} + $P{Title} + $F{ Name }"_s,
            u"$V{Orders_COUNT} + $V{Total} + $P{REPORT_LOCALE} + $V{PAGE_NUMBER}"_s};
        for (int n = 1; n <= 14; ++n)
            written.insert(u"$F{F"_s + QString::number(n) + u'}');
        s.forEveryElementInDocument([&](const ReportElement &e) {
            if (const auto *copy = e.kind.as<ElementKind::TextField>()) {
                EXPECT_TRUE(written.contains(copy->expression)) << copy->expression.toStdString();
            }
        });
    }
}

// A copy from a report in another expression language keeps its expressions: the bar says so as
// it is pasted or inserted from a snippet, and the store follows it as written elsewhere (the
// canvas marks it) until its expressions change or the report takes its language. A copy of the
// report's own language, and one that holds no expression, are as the report's own elements.
TEST_F(DocumentStoreClipboard, ACopyFromAReportInAnotherLanguageIsSaidAndFollowed)
{
    DocumentStore javascript;
    editDocument(javascript, [](ReportDocument &d) { d.language = u"javascript"_s; });
    DocumentStore java;
    java.setClipboard(javascript.clipboard());
    const ReportElement joined = namingField(u"[\"Cyrillic:\", \"\u0431\"].join(\" \")"_s);
    ReportElement label = textField();
    label.kind = ElementKind::StaticText{u"Cyrillic"_s};
    javascript.performAddElement(joined, javascript.activeBandTarget());
    javascript.performAddElement(label, javascript.activeBandTarget());
    QStringList said;
    for (DocumentStore *store : {&java, &javascript})
        QObject::connect(store, &DocumentStore::namesLacked, store,
                         [&](const QString &words) { said.append(words); });
    const auto pasteInto = [&](DocumentStore &into, const ReportElement &copied) {
        javascript.setSelectedElementIDs({copied.id});
        javascript.copySelectedElements();
        into.setSelectedElementIDs({});
        into.pasteClipboard();
        return *into.selectedElementID();
    };
    const QUuid copy = pasteInto(java, joined);
    EXPECT_EQ(said, QStringList{u"The pasted element's expressions are written in JavaScript, this "
                                u"report's in Java: rewrite them in Java where the two languages "
                                u"differ, or change the report's language; until then the report "
                                u"does not compile."_s});
    EXPECT_EQ(java.writtenInOtherLanguage(copy), u"javascript"_s);
    // Its duplicate is written in JavaScript too.
    java.setSelectedElementIDs({copy});
    java.duplicateSelectedElement();
    ASSERT_NE(java.selectedElementID(), copy);
    EXPECT_EQ(java.writtenInOtherLanguage(*java.selectedElementID()), u"javascript"_s);
    said.clear();
    EXPECT_EQ(java.writtenInOtherLanguage(pasteInto(java, label)), std::nullopt);
    EXPECT_EQ(javascript.writtenInOtherLanguage(pasteInto(javascript, joined)), std::nullopt);
    EXPECT_TRUE(said.isEmpty()) << said.join(u" / "_s).toStdString();

    // A snippet saved in the JavaScript report, naming what this report lacks: said at once.
    ReportElement snippet = namingField(u"[$F{Name}].join()"_s);
    java.addElementWrittenIn(snippet, u"javascript"_s);
    EXPECT_EQ(said, QStringList{u"The inserted element names $F{Name}, which the report's main "
                                u"dataset does not declare. Declare it there or change the "
                                u"expression: until then the report does not compile. The "
                                u"inserted element's expressions are written in JavaScript, "
                                u"this report's in Java: rewrite them in Java where the two "
                                u"languages differ, or change the report's language; until then "
                                u"the report does not compile."_s});
    EXPECT_EQ(java.writtenInOtherLanguage(snippet.id), u"javascript"_s);

    // Rewritten, the copy is as the report's own; an undo brings it back as it came.
    java.updateElement(
        copy, [](ReportElement &e) { e.kind = ElementKind::TextField{u"\"Cyrillic: \u0431\""_s}; });
    EXPECT_EQ(java.writtenInOtherLanguage(copy), std::nullopt);
    java.undo();
    EXPECT_EQ(java.writtenInOtherLanguage(copy), u"javascript"_s);
    // Moved, it is as it came.
    java.updateElement(copy, [](ReportElement &e) { e.x += 40; });
    EXPECT_EQ(java.writtenInOtherLanguage(copy), u"javascript"_s);
    editDocument(java, [](ReportDocument &d) { d.language = u"javascript"_s; });
    EXPECT_EQ(java.writtenInOtherLanguage(copy), std::nullopt);
    EXPECT_EQ(java.writtenInOtherLanguage(snippet.id), std::nullopt);
}
