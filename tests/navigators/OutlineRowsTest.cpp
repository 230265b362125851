#include "navigators/OutlineRows.h"

#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "navigators/OutlineModel.h"

#include "StoreTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;
using namespace storetest;

namespace {

ReportParameter parameter(const QString &name)
{
    ReportParameter p;
    p.name = name;
    p.className = u"java.lang.String"_s;
    return p;
}

ReportField field(const QString &name)
{
    ReportField f;
    f.name = name;
    f.className = u"java.lang.String"_s;
    return f;
}

ReportGroup group(const QString &name)
{
    ReportGroup g;
    g.name = name;
    g.headerHeight = 25;
    g.footerHeight = 15;
    return g;
}

QStringList labels(const QList<OutlineRow> &rows)
{
    QStringList out;
    for (const OutlineRow &row : rows)
        out.append(row.label);
    return out;
}

QList<int> depths(const QList<OutlineRow> &rows)
{
    QList<int> out;
    for (const OutlineRow &row : rows)
        out.append(row.depth);
    return out;
}

const OutlineRow *find(const QList<OutlineRow> &rows, const QString &key)
{
    for (const OutlineRow &row : rows) {
        if (row.key == key)
            return &row;
    }
    return nullptr;
}

struct OutlineRowsTest : ::testing::Test {
    OutlineRowsTest()
    {
        document = DocumentStore::defaultDocument();
        document.name = u"Invoice"_s;
    }

    QList<OutlineRow> rows(const QSet<HashableKey> &collapsed = {},
                           const OutlineSelection &selection = {}) const
    {
        return OutlineRows::build(document, collapsed, selection);
    }

    ReportDocument document;
};

} // namespace

TEST_F(OutlineRowsTest, ListsTheReportThenDataThenBandsWithGroupsBeforeTheDetailBands)
{
    document.parameters = {parameter(u"Title"_s)};
    document.fields = {field(u"id"_s), field(u"name"_s)};
    document.groups = {group(u"Country"_s), group(u"City"_s)};
    document.detailBands.append(ReportBand::defaultDetailBand());
    // A new report leaves its last page footer out: the outline offers it, hidden.

    const QList<OutlineRow> all = rows();
    EXPECT_EQ(labels(all), (QStringList{u"Invoice"_s,
                                        u"Parameters \u00B7 1"_s,
                                        u"$P{Title}"_s,
                                        u"Fields \u00B7 2"_s,
                                        u"$F{id}"_s,
                                        u"$F{name}"_s,
                                        u"Background"_s,
                                        u"Title"_s,
                                        u"Page Header"_s,
                                        u"Column Header"_s,
                                        u"Group: Country"_s,
                                        u"Country Header"_s,
                                        u"Country Footer"_s,
                                        u"Group: City"_s,
                                        u"City Header"_s,
                                        u"City Footer"_s,
                                        u"Detail 1"_s,
                                        u"Detail 2"_s,
                                        u"Column Footer"_s,
                                        u"Page Footer"_s,
                                        u"Last Page Footer (hidden)"_s,
                                        u"Summary"_s,
                                        u"No Data"_s}));
    EXPECT_EQ(depths(all),
              (QList<int>{0, 1, 2, 1, 2, 2, 1, 1, 1, 1, 1, 2, 2, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1}));
    const OutlineRow *header = find(all, u"band.groupHeader."_s + idText(document.groups[0].id));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->detail, u"25"_s);
    EXPECT_EQ(header->target, BandTarget::groupHeader(document.groups[0].id));
    EXPECT_EQ(all[10].collapseKey, HashableKey(u"group-"_s + idText(document.groups[0].id)));
    EXPECT_EQ(all[10].icon, u"rectangle.stack"_s);
    EXPECT_EQ(all[10].iconTint, OutlineTint::purple);
}

TEST_F(OutlineRowsTest, EmptySectionsAreLeftOutAndAnEmptyNameReadsReport)
{
    document.name.clear();
    const QList<OutlineRow> all = rows();
    ASSERT_EQ(all.size(), 11);
    EXPECT_EQ(all[0].label, u"Report"_s);
    EXPECT_EQ(all[0].kind, OutlineRow::Kind::root);
    EXPECT_EQ(all[1].kind, OutlineRow::Kind::band);
    EXPECT_EQ(all[1].label, u"Background"_s);
}

TEST_F(OutlineRowsTest, CollapseKeysHideWhatLiesBelowTheirNode)
{
    document.parameters = {parameter(u"P"_s)};
    document.fields = {field(u"F"_s)};
    document.groups = {group(u"G"_s)};
    const BandTarget detail = BandTarget::detailBand(document.detailBands[0].id);
    document.detailBands[0].elements.append(textField());
    const qsizetype everything = rows().size();
    ASSERT_EQ(everything, 1 + 2 + 2 + 9 + 3 + 1 + 1);

    const QSet<HashableKey> someClosed{HashableKey(u"fields"_s), HashableKey(detail)};
    const QList<OutlineRow> closed = rows(someClosed);
    EXPECT_EQ(closed.size(), everything - 2);
    EXPECT_FALSE(find(closed, u"fields"_s)->isExpanded);
    EXPECT_TRUE(find(closed, u"parameters"_s)->isExpanded);

    QSet<HashableKey> rootClosed = someClosed;
    rootClosed.insert(u"root"_s);
    const QList<OutlineRow> onlyRoot = rows(rootClosed);
    ASSERT_EQ(onlyRoot.size(), 1);
    EXPECT_FALSE(onlyRoot[0].isExpanded);
    rootClosed.remove(u"root"_s);
    EXPECT_EQ(rows(rootClosed), closed) << "the other nodes keep their own state";

    const QList<OutlineRow> groupClosed =
        rows({HashableKey(OutlineRows::groupKey(document.groups[0].id))});
    EXPECT_EQ(groupClosed.size(), everything - 2);
    // A key of another kind never matches: the band is addressed by its target, not its text.
    EXPECT_EQ(rows({HashableKey(detail.id())}).size(), everything);
}

TEST_F(OutlineRowsTest, HiddenAndMissingStandardBands)
{
    for (ReportBand &band : document.bands) {
        if (band.type == BandType::pageHeader)
            band.isPresent = false;
    }
    document.bands.removeIf([](const ReportBand &b) { return b.type == BandType::summary; });
    const QList<OutlineRow> all = rows();
    const OutlineRow *pageHeader = find(all, u"band.standard.pageHeader"_s);
    ASSERT_TRUE(pageHeader);
    EXPECT_TRUE(pageHeader->isHidden);
    EXPECT_EQ(pageHeader->label, u"Page Header (hidden)"_s);
    EXPECT_TRUE(pageHeader->detail.isEmpty());

    const OutlineRow *summary = find(all, u"band.standard.summary"_s);
    ASSERT_TRUE(summary) << "a band type the report lacks still has its row";
    EXPECT_FALSE(summary->isHidden);
    EXPECT_EQ(summary->label, u"Summary"_s);
}

TEST(OutlineHeightText, TruncatesAndShowsNothingForHeightsNoIntegerHolds)
{
    EXPECT_EQ(OutlineRows::heightText(30.7), u"30"_s);
    EXPECT_EQ(OutlineRows::heightText(0), u"0"_s);
    EXPECT_EQ(OutlineRows::heightText(-0.9), u"0"_s);
    EXPECT_EQ(OutlineRows::heightText(-3.5), u"-3"_s);
    EXPECT_EQ(OutlineRows::heightText(2147483647.9), u"2147483647"_s);
    for (double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 2147483648.0, 1e300, -1e12})
        EXPECT_TRUE(OutlineRows::heightText(bad).isEmpty()) << bad;
}

TEST_F(OutlineRowsTest, ElementRowsNestContainersAndCarryTheirBand)
{
    ReportElement grandchild = element(ElementKind::StaticText{});
    ReportElement inner = frame({grandchild});
    ReportElement outer = frame({inner, textField()});
    ElementKind::Table tablePayload;
    tablePayload.datasetName = u"Items"_s;
    tablePayload.columns.resize(3);
    tablePayload.columns[0].detailCellElement = element(ElementKind::TextField{u"$F{x}"_s});
    ReportElement tableElement = element(tablePayload);
    document.groups = {group(u"G"_s)};
    document.groups[0].footerElements.append(outer);
    document.groups[0].footerElements.append(tableElement);
    const BandTarget footer = BandTarget::groupFooter(document.groups[0].id);

    const QList<OutlineRow> all = rows();
    const OutlineRow *band = find(all, u"band."_s + footer.id());
    ASSERT_TRUE(band);
    const qsizetype at = all.indexOf(*band);
    ASSERT_GE(all.size(), at + 6);
    EXPECT_EQ(labels(all.mid(at + 1, 5)),
              (QStringList{u"Frame (2)"_s, u"Frame (1)"_s, u"Static Text"_s, u"$F{name}"_s,
                           u"Table: Items (3 col)"_s}));
    EXPECT_EQ(depths(all.mid(at, 6)), (QList<int>{2, 3, 4, 5, 4, 3}));
    for (const OutlineRow &row : all.mid(at + 1, 5)) {
        EXPECT_EQ(row.kind, OutlineRow::Kind::element);
        EXPECT_EQ(row.target, footer) << row.label.toStdString();
    }
    EXPECT_EQ(all[at + 3].id, grandchild.id);
    EXPECT_EQ(all[at + 3].key, u"element."_s + idText(grandchild.id));
    EXPECT_EQ(all[at + 6].kind, OutlineRow::Kind::band) << "a table's cells are not listed";
}

TEST(OutlineElementRows, IconTintAndLabelByKind)
{
    ElementKind::List list;
    list.datasetName = u"Lines"_s;
    ElementKind::Chart chart;
    chart.tag = u"barChart"_s;
    ElementKind::ComponentPlaceholder component;
    component.tag = u"Code128"_s;
    const struct {
        ElementKind kind;
        const char *icon;
        OutlineTint tint;
        QString label;
    } cases[] = {
        {ElementKind::StaticText{u"Total"_s}, "textformat", OutlineTint::secondary, u"Total"_s},
        {ElementKind::StaticText{}, "textformat", OutlineTint::secondary, u"Static Text"_s},
        {ElementKind::TextField{}, "curlybraces", OutlineTint::blue, u"Text Field"_s},
        {ElementKind::Image{}, "photo", OutlineTint::green, u"Image: "_s},
        {ElementKind::Subreport{u"\"a.jasper\""_s}, "doc.on.doc", OutlineTint::orange,
         u"Subreport: \"a.jasper\""_s},
        {ElementKind::Frame{}, "square.dashed", OutlineTint::purple, u"Frame (0)"_s},
        {list, "list.bullet.rectangle", OutlineTint::indigo, u"List: Lines"_s},
        {ElementKind::ReportBreak{BreakType::page}, "arrow.turn.down.left", OutlineTint::red,
         u"Page Break"_s},
        {ElementKind::ReportBreak{BreakType::column}, "arrow.turn.down.left", OutlineTint::red,
         u"Column Break"_s},
        {chart, "chart.bar.xaxis", OutlineTint::pink, u"Chart: barChart"_s},
        {ElementKind::Crosstab{}, "tablecells.badge.ellipsis", OutlineTint::pink, u"Crosstab"_s},
        {component, "barcode", OutlineTint::brown, u"Barcode: Code128"_s},
        {ElementKind::GenericElement{}, "puzzlepiece", OutlineTint::secondary,
         u"Generic Element"_s},
        {ElementKind::Rectangle{}, "rectangle", OutlineTint::grey, u"Rectangle"_s},
        {ElementKind::Ellipse{}, "oval", OutlineTint::grey, u"Ellipse"_s},
        {ElementKind::Line{}, "line.diagonal", OutlineTint::grey, u"Line"_s},
    };
    for (const auto &c : cases) {
        const ReportElement e = element(c.kind);
        EXPECT_EQ(OutlineRows::icon(e.kind), QString::fromLatin1(c.icon)) << c.icon;
        EXPECT_EQ(OutlineRows::iconTint(e.kind), c.tint) << c.icon;
        EXPECT_EQ(OutlineRows::label(e), c.label) << c.icon;
    }
}

// A table or list a file writes under another prefix of the components namespace is named as
// the table or list it is, not as a barcode.
TEST(OutlineElementRows, ComponentsUnderAnotherPrefixAreNamedByTheirKind)
{
    const ReportDocument d = JrxmlCodec::parse(
        "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
        "xmlns:c=\"http://jasperreports.sourceforge.net/jasperreports/components\"><title><band "
        "height=\"90\"><componentElement><reportElement x=\"0\" y=\"0\" width=\"90\" "
        "height=\"30\"/><c:table><datasetRun subDataset=\"Rows\"/><c:column width=\"90\">"
        "<c:detailCell height=\"30\"/></c:column></c:table></componentElement><componentElement>"
        "<reportElement x=\"0\" y=\"40\" width=\"90\" height=\"30\"/><c:list><datasetRun "
        "subDataset=\"Lines\"/><c:listContents height=\"30\"/></c:list></componentElement>"
        "</band></title></jasperReport>");
    const ElementList elements = d.band(BandType::title)->elements;
    ASSERT_EQ(elements.size(), 2);
    EXPECT_EQ(OutlineRows::label(elements.at(0)), u"Table: Rows (1 col)"_s);
    EXPECT_EQ(OutlineRows::label(elements.at(1)), u"List: Lines"_s);
}

// A text or an expression of millions of characters names its row by a row's worth of it: the
// outline keeps, compares and draws no more than that.
TEST(OutlineElementRows, AHugeValueNamesItsRowByItsBeginning)
{
    const QString huge = QString(3'000'000, u'x');
    const ReportElement text = element(ElementKind::StaticText{huge});
    const ReportElement image = element(ElementKind::Image{u"\""_s + huge + u"\""_s});
    for (const ReportElement &e : {text, image}) {
        const QString label = OutlineRows::label(e);
        EXPECT_GT(label.size(), 1000);
        EXPECT_LE(label.size(), 4096);
    }
    EXPECT_TRUE(huge.startsWith(OutlineRows::label(text)));
    EXPECT_TRUE(OutlineRows::label(image).startsWith(u"Image: \"xxx"_s));
}

TEST_F(OutlineRowsTest, MarksTheSelectionAndTheActiveBand)
{
    document.parameters = {parameter(u"P"_s), parameter(u"Q"_s)};
    document.fields = {field(u"A"_s), field(u"B"_s), field(u"C"_s)};
    const ReportElement picked = textField();
    const ReportElement other = textField();
    document.detailBands[0].elements = {picked, other};
    const BandTarget detail = BandTarget::detailBand(document.detailBands[0].id);

    OutlineSelection selection;
    selection.selectedDataItem = InspectorDataSelection::parameter(document.parameters[1].id);
    selection.selectedFieldIDs = {document.fields[0].id, document.fields[2].id};
    selection.selectedElementIDs = {picked.id};
    selection.activeBandTarget = detail;
    QList<OutlineRow> all = rows({}, selection);
    const auto selected = [&](const QString &key) {
        const OutlineRow *row = find(all, key);
        return row && row->isSelected;
    };
    EXPECT_FALSE(selected(u"param."_s + idText(document.parameters[0].id)));
    EXPECT_TRUE(selected(u"param."_s + idText(document.parameters[1].id)));
    EXPECT_TRUE(selected(u"field."_s + idText(document.fields[0].id)));
    EXPECT_FALSE(selected(u"field."_s + idText(document.fields[1].id)));
    EXPECT_TRUE(selected(u"field."_s + idText(document.fields[2].id)));
    EXPECT_TRUE(selected(u"element."_s + idText(picked.id)));
    EXPECT_FALSE(selected(u"element."_s + idText(other.id)));
    EXPECT_TRUE(find(all, u"band."_s + detail.id())->isActive);
    EXPECT_FALSE(find(all, u"band.standard.title"_s)->isActive);
    EXPECT_FALSE(all[0].isActive);

    selection = {};
    selection.isReportRootSelected = true;
    selection.selectedDataItem = InspectorDataSelection::field(document.fields[1].id);
    all = rows({}, selection);
    EXPECT_TRUE(all[0].isActive);
    EXPECT_TRUE(selected(u"field."_s + idText(document.fields[1].id)));
}

// Selecting every element of a band tells the view once, as a new layout, not once a row: a
// tree view finds each changed row's place by walking the rows above it, which over thousands of
// rows costs seconds. A few changed rows are told one by one.
TEST_F(OutlineRowsTest, ASelectionOfManyRowsIsAnnouncedOnce)
{
    ElementList elements;
    QSet<QUuid> ids;
    for (int i = 0; i < 300; ++i) {
        elements.append(textField());
        ids.insert(elements.last().id);
    }
    document.detailBands[0].elements = elements;
    OutlineModel model;
    model.setRows(rows(), true);
    QList<QModelIndex> changedRows;
    int layouts = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &model,
                     [&changedRows](const QModelIndex &from, const QModelIndex &to) {
                         EXPECT_EQ(from, to);
                         changedRows.append(from);
                     });
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, &model, [&layouts] { ++layouts; });
    const auto isSelected = [&model](const QUuid &id) {
        return model.row(model.indexOfKey(u"element."_s + idText(id)))->isSelected;
    };

    OutlineSelection selection;
    selection.selectedElementIDs = ids;
    model.setSelection(selection);
    EXPECT_TRUE(changedRows.isEmpty());
    EXPECT_EQ(layouts, 1);
    for (const QUuid &id : std::as_const(ids))
        EXPECT_TRUE(isSelected(id));

    // Two rows change: each is told of; an unchanged selection tells nothing.
    selection.selectedElementIDs = {elements[0].id, elements[1].id, elements[2].id};
    model.setSelection(selection);
    EXPECT_EQ(layouts, 2);
    selection.selectedElementIDs = {elements[0].id, elements[3].id};
    changedRows.clear();
    model.setSelection(selection);
    EXPECT_EQ(layouts, 2);
    const QList<QModelIndex> told = {model.indexOfKey(u"element."_s + idText(elements[1].id)),
                                     model.indexOfKey(u"element."_s + idText(elements[2].id)),
                                     model.indexOfKey(u"element."_s + idText(elements[3].id))};
    EXPECT_EQ(QSet<QModelIndex>(changedRows.cbegin(), changedRows.cend()),
              QSet<QModelIndex>(told.cbegin(), told.cend()));
    EXPECT_TRUE(isSelected(elements[3].id));
    EXPECT_FALSE(isSelected(elements[1].id));
    changedRows.clear();
    model.setSelection(selection);
    EXPECT_TRUE(changedRows.isEmpty());
    EXPECT_EQ(layouts, 2);
}
