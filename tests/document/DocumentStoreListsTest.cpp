#include "StoreTestSupport.h"

using namespace storetest;

using DocumentStoreLists = StoreTest;
using DocumentStoreStyles = StoreTest;

TEST_F(DocumentStoreLists, NamesCountTheListAndRemovesAlwaysRecord)
{
    store.addParameter();
    store.addParameter();
    store.addParameter();
    store.removeParameter(store.document().parameters[0].id);
    store.addParameter();
    EXPECT_EQ(store.document().parameters[1].name, u"param3"_s);
    EXPECT_EQ(store.document().parameters[2].name, u"param1"_s) << "the first free number";
    store.addStyle();
    store.addStyle();
    EXPECT_EQ(store.document().styles[1].name, u"Style2"_s);

    store.addGroup();
    store.addGroup();
    const QUuid first = store.document().groups[0].id;
    const QUuid second = store.document().groups[1].id;
    EXPECT_EQ(store.undoStack().size(), 9) << "each add and remove is a step";
    store.setIsDirty(false);
    store.removeVariable(newId());
    EXPECT_EQ(store.undoStack().size(), 10);
    EXPECT_TRUE(store.isDirty());
    store.setActiveBandTarget(BandTarget::groupFooter(second));
    store.removeGroup(first);
    EXPECT_EQ(store.activeBandTarget(), BandTarget::groupFooter(second));
    store.removeGroup(second);
    EXPECT_EQ(store.activeBandTarget(), detail());
}

TEST_F(DocumentStoreLists, FieldsByNameAndMoves)
{
    const auto fieldNames = [this] {
        QStringList names;
        for (const ReportField &f : store.document().fields)
            names << f.name;
        return names;
    };
    EXPECT_EQ(store.addFieldsIfMissing({u"a"_s, u"b"_s, u"a"_s}), 2);
    EXPECT_EQ(store.addFieldsIfMissing({u"b"_s}), 0);
    EXPECT_EQ(store.addFieldsIfMissing({u"B"_s}), 1) << "names compare exactly";
    EXPECT_EQ(store.undoStack().size(), 2);
    store.setIsDirty(false);
    for (auto [index, offset] : {std::pair{0, -1}, {2, 1}, {-1, 1}, {0, 3}})
        store.moveField(index, offset);
    EXPECT_EQ(fieldNames(), (QStringList{u"a"_s, u"b"_s, u"B"_s})) << "places outside are ignored";
    EXPECT_EQ(store.undoStack().size(), 2);
    EXPECT_FALSE(store.isDirty());
    store.moveField(0, 2);
    EXPECT_EQ(fieldNames(), (QStringList{u"B"_s, u"b"_s, u"a"_s}));
    store.moveField(1, 0);
    EXPECT_EQ(store.undoStack().size(), 4) << "an offset of 0 still records";

    // Two fields of one name, as a binding may leave them, go together.
    editDocument(store, [](ReportDocument &d) { d.fields[1].name = u"a"_s; });
    EXPECT_EQ(store.removeFields({u"nothing"_s}), 0);
    EXPECT_EQ(store.removeFields({u"a"_s, u"y"_s}), 2);
    EXPECT_EQ(fieldNames(), QStringList{u"B"_s});
    EXPECT_EQ(store.undoStack().size(), 5);
}

TEST_F(DocumentStoreStyles, ApplyingCopiesColoursOnlyWhenTheStyleHasThem)
{
    const ElementColor red{u"#FF0000"_s}, blue{u"#0000FF"_s};
    ReportElement e = textField();
    e.foreColor = red;
    place({e});

    const ReportStyle plain{.name = u"Plain"_s, .isBold = true};
    store.applyStyle(plain, e.id);
    EXPECT_EQ(store.element(e.id)->styleName, u"Plain"_s);
    EXPECT_EQ(store.element(e.id)->foreColor, red);
    EXPECT_TRUE(store.element(e.id)->isBold);

    store.applyStyle({.name = u"Blue"_s, .foreColor = blue}, e.id);
    EXPECT_EQ(store.element(e.id)->foreColor, blue);
    EXPECT_FALSE(store.element(e.id)->isBold);

    store.applyStyle(plain, e.id);
    store.clearStyle(e.id);
    EXPECT_EQ(store.element(e.id)->styleName, std::nullopt);
    EXPECT_TRUE(store.element(e.id)->isBold) << "clearing keeps the copied properties";
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1) << "edits of one element within the window merge";
}

TEST_F(DocumentStoreStyles, ReapplyAndCountsReachFramesAndListsButNotTableCells)
{
    const QString amount = u"$F{amount}"_s;
    const auto styled = [](ReportElement e, const QString &styleName = u"Heading"_s) {
        e.styleName = styleName;
        return e;
    };
    const ReportElement top = styled(textField());
    const ReportElement inFrame = styled(element(ElementKind::StaticText{amount}));
    ReportElement inList = styled(element(ElementKind::TextField{u"1 + "_s + amount}));
    inList.printWhenExpression = amount;
    ReportElement lower = styled(element(ElementKind::StaticText{amount}), u"heading"_s);
    lower.printWhenExpression = amount + u" != null"_s;
    const ElementKind::Table table{
        .columns = {{.detailCellElement = styled(element(ElementKind::TextField{amount}))}}};
    place({top, lower, element(table), list({frame({inFrame}), inList})});
    const BandTarget summary = BandTarget::standard(BandType::summary);
    store.performAddElement(styled(textField()), summary);

    // Text fields whose expression holds the text, or elements whose print-when expression does.
    EXPECT_EQ(store.elementCountReferencing(amount), 2);
    EXPECT_EQ(store.elementCountReferencingStyle(u"Heading"_s), 4);

    store.reapplyStyle({.name = u"Heading"_s, .fontSize = 14});
    for (const ReportElement &e : {top, inFrame, inList})
        EXPECT_EQ(store.element(e.id)->fontSize, 14);
    EXPECT_EQ(store.element(lower.id)->fontSize, 10);
    EXPECT_EQ(store.elements(summary).first().fontSize, 14);
    const ReportElement tableNow = store.elements(detail())[2];
    EXPECT_EQ(tableNow.kind.as<ElementKind::Table>()->columns[0].detailCellElement->fontSize, 10);
    EXPECT_EQ(store.undoStack().size(), 1);

    store.reapplyStyle({.name = u"Unused"_s});
    EXPECT_EQ(store.undoStack().size(), 2) << "recorded even when nothing uses the style";
}

TEST_F(DocumentStoreLists, DefaultsOfANewReportAndOfEveryAdd)
{
    // The default report, ids taken over from the store's.
    ReportDocument expected;
    expected.name = u"report"_s;
    expected.pageWidth = 595;
    expected.pageHeight = 842;
    expected.columnWidth = 535;
    expected.leftMargin = expected.rightMargin = 30;
    expected.topMargin = expected.bottomMargin = 20;
    expected.queryLanguage = u"sql"_s;
    expected.language = u"java"_s;
    expected.pdfTagLanguage = u"en-US"_s;
    expected.whenNoDataType = WhenNoDataType::noPages;
    expected.columnCount = 1;
    expected.printOrder = PrintOrder::vertical;
    for (BandType type : {BandType::background, BandType::title, BandType::pageHeader,
                          BandType::columnHeader, BandType::columnFooter, BandType::pageFooter,
                          BandType::lastPageFooter, BandType::summary, BandType::noData})
        expected.bands.append(
            ReportBand{.type = type, .height = 20, .isPresent = type != BandType::lastPageFooter});
    expected.detailBands = {ReportBand{.type = BandType::detail, .height = 40}};
    const ReportDocument &actual = store.document();
    ASSERT_EQ(actual.bands.size(), expected.bands.size());
    for (qsizetype i = 0; i < expected.bands.size(); ++i)
        expected.bands[i].id = actual.bands.at(i).id;
    expected.detailBands[0].id = actual.detailBands.at(0).id;
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(store.activeBandTarget(), detail());

    const auto withId = [](auto item, const auto &list) {
        item.id = list.last().id;
        return item;
    };
    const QString string = u"java.lang.String"_s;
    store.addParameter();
    store.addField();
    store.addSortField();
    store.addScriptlet();
    store.addReportTemplate();
    store.addVariable();
    store.addGroup();
    store.addSubDataset();
    const ReportDocument &d = store.document();
    EXPECT_EQ(
        d.parameters.last(),
        withId(ReportParameter{.name = u"param1"_s, .className = string, .isForPrompting = true},
               d.parameters));
    EXPECT_EQ(d.fields.last(),
              withId(ReportField{.name = u"field1"_s, .className = string}, d.fields));
    EXPECT_EQ(d.sortFields.last(), withId(ReportSortField{.name = u"field1"_s,
                                                          .order = SortFieldOrder::ascending,
                                                          .type = SortFieldType::field},
                                          d.sortFields));
    EXPECT_EQ(d.scriptlets.last(), withId(ReportScriptlet{}, d.scriptlets));
    EXPECT_EQ(d.reportTemplates.last(),
              withId(ReportTemplate{.className = string}, d.reportTemplates));
    EXPECT_EQ(d.variables.last(), withId(ReportVariable{.name = u"var1"_s,
                                                        .className = string,
                                                        .calculation = u"Nothing"_s,
                                                        .resetType = u"Report"_s},
                                         d.variables));
    EXPECT_EQ(d.groups.last(), withId(ReportGroup{.name = u"Group1"_s,
                                                  .footerPosition = GroupFooterPosition::normal,
                                                  .headerHeight = 20,
                                                  .footerHeight = 20},
                                      d.groups));
    EXPECT_EQ(
        d.subDatasets.last(),
        withId(ReportSubDataset{.name = u"Dataset1"_s, .queryLanguage = u"sql"_s}, d.subDatasets));
}
