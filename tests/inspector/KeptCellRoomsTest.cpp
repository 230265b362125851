#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "PaddedTables.h"
#include "TestSupport.h"
#include "canvas/PaletteActions.h"
#include "document/ElementWalk.h"
#include "model/JrxmlCodec.h"
#include "model/KeptLayout.h"

#include <QLabel>
#include <QRegularExpression>
#include <cmath>

using namespace storetest;
using Kind = PaletteActions::Kind;

// What the inspector's fields change around content the file keeps as written (a table's group
// cells, a crosstab's no-data cell) and around a frame's padding: the engine compiles the report
// saved after each gesture, and a length cut to fit a container is shown as kept, with why.

namespace {

class KeptCellRoomsTest : public InspectorViewTest {
protected:
    void load(const QString &sample)
    {
        store.setDocument(JrxmlCodec::parse(
            testsupport::readFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + sample)));
    }

    // The engine's complaints about the report as saved now, one line each; none when it
    // compiles it, or when there is no engine.
    QStringList complaints()
    {
        const std::optional<QString> error = judge.compileError(store.document());
        if (!error)
            return {};
        static const QRegularExpression numbered(uR"(^\s*\d+\.\s*(.*)$)"_s);
        QStringList lines;
        for (const QString &line : error->split(u'\n')) {
            if (const QRegularExpressionMatch match = numbered.match(line); match.hasMatch())
                lines.append(match.captured(1).trimmed());
        }
        return lines.isEmpty() ? QStringList{*error} : lines;
    }

    // The first element anywhere in the report (table cells included) that `take` takes.
    std::optional<ReportElement> first(const std::function<bool(const ReportElement &)> &take)
    {
        std::optional<ReportElement> found;
        ElementWalk::visitDocument(store.document(), [&](const ReportElement &e, ElementScope) {
            if (!found && take(e))
                found = e;
        });
        return found;
    }

    // Types a length or text and commits it with Return.
    static void commit(QLineEdit *edit, const QString &keys)
    {
        type(edit, keys);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }

    testsupport::JudgeWhereAtHand judge;
};

bool runs(const ReportElement &e, const QString &dataset)
{
    const auto *table = e.kind.as<ElementKind::Table>();
    return table && table->datasetName == dataset;
}

// The places and sizes of what the kept cells of the table's columns hold, with each cell's
// column width.
QList<std::pair<double, KeptLayout::Box>> keptCellElements(const ElementKind::Table &table)
{
    QList<std::pair<double, KeptLayout::Box>> found;
    for (const ReportTableColumn &column : table.columns) {
        for (const KeptXml::Child &child : column.kept.part({}).children) {
            for (const KeptLayout::Cell &cell : KeptLayout::cells(child.xml, {u"cell", {}})) {
                for (const KeptLayout::Box &box : cell.elements)
                    found.append({column.width, box});
            }
        }
    }
    return found;
}

// The places across of what each cell of the column holds, by the cell's tag, left to right
// as the file lists them: "x+width".
QMap<QString, QStringList> cellPlaces(const ReportTableColumn &column)
{
    QMap<QString, QStringList> places;
    const auto add = [&](const QString &tag, double x, double width) {
        places[tag].append(QString::number(x) + u'+' + QString::number(width));
    };
    using Cell = ReportTableColumn::Cell;
    const std::pair<Cell, QString> own[] = {{Cell::header, u"columnHeader"_s},
                                            {Cell::detail, u"detailCell"_s},
                                            {Cell::footer, u"columnFooter"_s}};
    for (const auto &[cell, tag] : own) {
        if (const SharedOptional<ReportElement> &element = column.element(cell))
            add(tag, element->x, element->width);
        for (const KeptXml::Child &child : column.formatting(cell).kept.part({}).children) {
            for (const KeptLayout::Box &box : KeptLayout::elements(child.xml))
                add(tag, box.x, box.width);
        }
    }
    for (const KeptXml::Child &child : column.kept.part({}).children) {
        for (const KeptLayout::Cell &cell : KeptLayout::columnCells(child.xml)) {
            for (const KeptLayout::Box &box : cell.elements)
                add(cell.tag, box.x, box.width);
        }
    }
    return places;
}

} // namespace

// The functions sample's summary table runs ExamplesDataset, whose group Category its group
// header and footer cells name. Switched to FunctionsDataset, which has no group, it drops those
// cells in the same undo step; what the engine still refuses are the detail cells' fields,
// which name fields of the dataset they came from.
TEST_F(KeptCellRoomsTest, ATableSwitchedToAnotherDatasetDropsTheGroupCellsItLacks)
{
    QUILLMARK_REQUIRE_CORPUS();
    load(u"functions/FunctionsReport.jrxml"_s);
    EXPECT_EQ(complaints(), QStringList()) << "the sample compiles as read";
    const std::optional<ReportElement> table =
        first([](const ReportElement &e) { return runs(e, u"ExamplesDataset"_s); });
    ASSERT_TRUE(table);
    ASSERT_FALSE(keptCellElements(*table->kind.as<ElementKind::Table>()).isEmpty());
    store.setSelectedElementID(table->id);
    const qsizetype steps = store.undoStack().size();
    QStringList said;
    QObject::connect(&store, &DocumentStore::namesLacked, &store,
                     [&](const QString &words) { said.append(words); });
    commit(find<QLineEdit>(u"inspector.table.dataset"_s), u"FunctionsDataset"_s);

    const ElementKind::Table switched = *store.element(table->id)->kind.as<ElementKind::Table>();
    EXPECT_EQ(switched.datasetName, u"FunctionsDataset"_s);
    EXPECT_TRUE(keptCellElements(switched).isEmpty()) << "no group cell is left";
    for (const ReportTableColumn &column : switched.columns) {
        EXPECT_TRUE(column.detailCellElement) << "the detail cells stay";
        for (const KeptXml::Child &child : column.kept.part({}).children)
            EXPECT_FALSE(child.xml.contains(u"groupName"_s)) << child.xml.toStdString();
    }
    EXPECT_EQ(complaints(),
              (QStringList{u"Field not found : Description"_s, u"Field not found : Expression"_s,
                           u"Field not found : Result"_s}));
    // The cells keep their expressions, and what the dataset lacks of them is said, once.
    EXPECT_EQ(said, QStringList{u"The table's cells name $F{Description}, $F{Expression} and "
                                u"$F{Result}, which the dataset \"FunctionsDataset\" does not "
                                u"declare. Declare them there or change the expressions: until "
                                u"then the report does not compile."_s});
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    store.undo();
    EXPECT_EQ(*store.element(table->id), *table);
}

// The same table's first column narrowed from 530 to 200 in the Columns card: the group header
// cells it keeps narrow their elements with it, as its detail cell does.
TEST_F(KeptCellRoomsTest, ANarrowedColumnFitsItsKeptGroupCells)
{
    QUILLMARK_REQUIRE_CORPUS();
    load(u"functions/FunctionsReport.jrxml"_s);
    const std::optional<ReportElement> table =
        first([](const ReportElement &e) { return runs(e, u"ExamplesDataset"_s); });
    ASSERT_TRUE(table);
    store.setSelectedElementID(table->id);
    commit(find<QLineEdit>(u"inspector.columns.column0.width"_s), u"200"_s);

    const ElementKind::Table narrowed = *store.element(table->id)->kind.as<ElementKind::Table>();
    ASSERT_EQ(narrowed.columns.first().width, 200);
    int fitted = 0;
    for (const auto &[width, box] : keptCellElements(narrowed)) {
        EXPECT_LE(box.x + box.width, width);
        fitted += width == 200 ? 1 : 0;
    }
    EXPECT_EQ(fitted, 2) << "the Category and ColumnHeaders cells of the first column";
    EXPECT_EQ(complaints(), QStringList());
}

// The functions sample's Detail table: the header cell of its fourth column, 760 wide, holds five
// static texts, of which the card edits the first. Narrowed to 300, every one of them stays
// within it, and the four side by side under the first keep their order. A width below 0 or past
// what the engine reads is refused with why, and nothing changes.
TEST_F(KeptCellRoomsTest, ANarrowedColumnFitsEveryElementOfItsCellsAndAWidthTheEngineCannotRead)
{
    QUILLMARK_REQUIRE_CORPUS();
    load(u"functions/FunctionsReport.jrxml"_s);
    const std::optional<ReportElement> table =
        first([](const ReportElement &e) { return runs(e, u"FunctionsDataset"_s); });
    ASSERT_TRUE(table);
    const auto header = [&] {
        const ReportTableColumn column =
            store.element(table->id)->kind.as<ElementKind::Table>()->columns.at(3);
        QList<KeptLayout::Box> boxes;
        for (const KeptXml::Child &child : column.columnHeaderFormatting.kept.part({}).children)
            boxes.append(KeptLayout::elements(child.xml));
        const ReportElement &own = *column.columnHeaderElement;
        boxes.prepend({own.x, own.y, own.width, own.height});
        return std::pair(column.width, boxes);
    };
    ASSERT_EQ(header().first, 760);
    ASSERT_EQ(header().second.size(), 5);
    store.setSelectedElementID(table->id);
    QLineEdit *width = find<QLineEdit>(u"inspector.columns.column3.width"_s);
    commit(width, u"300"_s);
    const auto [narrowed, boxes] = header();
    EXPECT_EQ(narrowed, 300);
    for (const KeptLayout::Box &box : boxes) {
        EXPECT_GE(box.x, 0);
        EXPECT_LE(box.x + box.width, 300);
    }
    // The four texts under the title keep their order from left to right, none overlapping
    // another, and together fill the room.
    EXPECT_EQ(cellPlaces(store.element(table->id)->kind.as<ElementKind::Table>()->columns.at(3))
                  .value(u"columnHeader"_s),
              (QStringList{u"0+300"_s, u"0+67"_s, u"67+150"_s, u"217+55"_s, u"272+28"_s}));
    EXPECT_EQ(complaints(), QStringList());

    const ReportDocument fitted = store.document();
    auto *message = find<QLabel>(u"inspector.columns.column3.width.message"_s);
    ASSERT_TRUE(message);
    const std::pair<QString, QString> refused[] = {
        {u"-5"_s, u"A width is 0 or more."_s},
        {u"5000000000"_s, u"No report holds a length this large: at most 2147483647 px."_s}};
    for (const auto &[typed, words] : refused) {
        commit(width, typed);
        EXPECT_EQ(store.document(), fitted) << typed.toStdString();
        EXPECT_TRUE(message->isVisibleTo(view.get()));
        EXPECT_EQ(message->text(), words);
        EXPECT_EQ(width->text(), u"300"_s);
    }
    commit(width, u"280"_s);
    EXPECT_FALSE(message->isVisibleTo(view.get()));
    EXPECT_EQ(header().first, 280);
    EXPECT_EQ(complaints(), QStringList());
}

// The products sample's crosstab prints a 250 by 25 "No data" text when it has no data: made 70
// mm wide, then 3 mm high, in the Frame card, and then held in a list pasted into a narrower
// frame, the text stays within it.
TEST_F(KeptCellRoomsTest, ACrosstabsNoDataCellFitsTheCrosstab)
{
    QUILLMARK_REQUIRE_CORPUS();
    load(u"crosstabs/ProductsReport.jrxml"_s);
    EXPECT_EQ(complaints(), QStringList());
    const auto isCrosstab = [](const ReportElement &e) {
        return e.kind.is<ElementKind::Crosstab>();
    };
    const QUuid crosstab = first(isCrosstab)->id;
    const auto noData = [&](const ReportElement &e) {
        const QList<KeptLayout::Cell> cells = KeptLayout::cells(
            e.kind.as<ElementKind::Crosstab>()->bodyXML, {u"cellContents", u"whenNoDataCell"});
        return cells.size() == 1 && cells.first().elements.size() == 1
                   ? cells.first().elements.first()
                   : KeptLayout::Box{};
    };
    ASSERT_EQ(noData(*store.element(crosstab)).width, 250);
    store.setSelectedElementID(crosstab);
    commit(length(u"inspector.frame.width"_s), u"70"_s);
    EXPECT_EQ(std::round(store.element(crosstab)->width), 198);
    EXPECT_EQ(noData(*store.element(crosstab)).width, 198);
    EXPECT_EQ(complaints(), QStringList());
    commit(length(u"inspector.frame.height"_s), u"3"_s);
    EXPECT_EQ(noData(*store.element(crosstab)).height, std::round(store.element(crosstab)->height));
    EXPECT_EQ(complaints(), QStringList());

    // A list running the crosstab's dataset (given the City field the crosstab passes on) holds
    // a copy; the list is copied into a frame 150 wide.
    store.editDocument([](ReportDocument &d) {
        d.subDatasets.first().fields.append(
            {.name = u"City"_s, .className = u"java.lang.String"_s, .fieldDescription = {}});
    });
    store.updateElement(crosstab, [](ReportElement &e) {
        e.width = 300;
        e.height = 50;
    });
    const BandTarget detail = BandTarget::detailBand(store.document().detailBands.first().id);
    store.setActiveBandTarget(detail);
    store.setSelectedElementID(crosstab);
    store.copySelectedElements();
    store.setSelectedElementIDs({});
    PaletteActions::insert(Kind::list, store, *settings);
    store.pasteClipboard();
    const std::optional<ReportElement> list = store.containerOf(*store.selectedElementID());
    ASSERT_TRUE(list && list->kind.is<ElementKind::List>());
    EXPECT_EQ(complaints(), QStringList());
    store.setSelectedElementID(list->id);
    store.copySelectedElements();
    store.setSelectedElementIDs({});
    PaletteActions::insert(Kind::frame, store, *settings);
    const QUuid frame = *store.selectedElementID();
    store.updateElement(frame, [](ReportElement &e) { e.width = 150; });
    store.pasteClipboard();
    const ReportElement pastedList = *store.element(*store.selectedElementID());
    ASSERT_TRUE(pastedList.kind.is<ElementKind::List>());
    EXPECT_LE(pastedList.width, 150);
    const ReportElement held = pastedList.kind.children()->first();
    EXPECT_LE(noData(held).x + noData(held).width, std::round(held.width));
    EXPECT_EQ(complaints(), QStringList());
}

namespace {

// A frame 150 wide with 100 points of padding on either side, and a narrower frame beside it.
const QByteArray paddedFrames = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Padded" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<detail><band height="200">
		<frame>
			<reportElement x="0" y="0" width="150" height="60"/>
			<box leftPadding="100" rightPadding="100"/>
		</frame>
		<frame>
			<reportElement x="200" y="0" width="137" height="100"/>
		</frame>
	</band></detail>
</jasperReport>)";

} // namespace

// A frame's padding gives way to its width: the frame pasted into the narrower one leaves a
// report the engine compiles. A text inserted into the padded frame would print nothing: none
// is, and the store says why.
TEST_F(KeptCellRoomsTest, AFramesPaddingGivesWayToItsWidth)
{
    store.setDocument(JrxmlCodec::parse(paddedFrames));
    const ElementList band = store.document().detailBands.first().elements;
    const QUuid padded = band.at(0).id;
    const QUuid narrow = band.at(1).id;
    EXPECT_EQ(complaints(), QStringList()) << "as read, the padded frame holds nothing";
    QList<QUuid> refused;
    QObject::connect(&store, &DocumentStore::containerHasNoRoom,
                     [&](const QUuid &container) { refused.append(container); });
    store.setSelectedElementID(padded);
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(*store.element(padded), band.at(0));
    EXPECT_EQ(refused, QList<QUuid>{padded});
    EXPECT_FALSE(store.canUndo());
    EXPECT_EQ(complaints(), QStringList());

    store.setSelectedElementID(padded);
    store.copySelectedElements();
    store.setSelectedElementID(narrow);
    store.pasteClipboard();
    const ReportElement pasted = *store.element(*store.selectedElementID());
    EXPECT_LE(pasted.width, 137);
    EXPECT_LE(pasted.paddingLeft + pasted.paddingRight, pasted.width);
    EXPECT_LE(std::abs(pasted.paddingLeft - pasted.paddingRight), 1)
        << "each side gives way in proportion";
    EXPECT_EQ(complaints(), QStringList());
}

// An X or Width that would reach past the frame's room is cut to fit: the field shows the
// length kept and a line under it says why; one that fits shows no line.
TEST_F(KeptCellRoomsTest, ALengthCutToFitItsFrameIsShownAsKeptWithWhy)
{
    ReportElement child;
    child.id = newId();
    child.width = 60;
    child.height = 20;
    ReportElement frame;
    frame.id = newId();
    frame.kind = ElementKind::Frame{{child}};
    frame.width = 120;
    frame.height = 40;
    frame.paddingLeft = 10;
    frame.paddingRight = 10;
    place({frame});
    store.setSelectedElementID(child.id);
    const auto message = [&](const QString &name) {
        return find<MeasurementField>(name)->message();
    };

    // 50 mm is wider than the 100 points inside the frame: 35.28 mm is kept.
    commit(length(u"inspector.frame.width"_s), u"50"_s);
    EXPECT_EQ(store.element(child.id)->width, 100);
    EXPECT_EQ(length(u"inspector.frame.width"_s)->text(), u"35.28"_s);
    EXPECT_EQ(message(u"inspector.frame.width"_s),
              u"The element stays within its frame, 35.28 mm wide inside: the width stops at "
              u"35.28 mm."_s);
    commit(length(u"inspector.frame.width"_s), u"20"_s);
    EXPECT_EQ(message(u"inspector.frame.width"_s), QString());

    // 30 mm puts the element, 57 points wide as written, past the edge: it stops at 43 points.
    commit(length(u"inspector.frame.x"_s), u"30"_s);
    EXPECT_EQ(store.element(child.id)->x, 43);
    EXPECT_EQ(length(u"inspector.frame.x"_s)->text(), u"15.17"_s);
    EXPECT_EQ(message(u"inspector.frame.x"_s),
              u"The element stays within its frame, 35.28 mm wide inside: X stops at 15.17 mm."_s);
    EXPECT_EQ(complaints(), QStringList());
}

namespace {

struct Narrowing {
    const char *what;
    int column;
    QString typed;
    // The places across each cell's elements take (cellPlaces), the cells not named unchanged;
    // none when the width is refused.
    QMap<QString, QStringList> places;
    // The words under the field; empty when the width is taken as typed.
    QString words;
};

} // namespace

// Widths typed into the Columns card of the padded tables report: a width taken keeps every element
// of every cell of the column within the cell's padding (its own box's, its style's through the
// parent style), those side by side in their order from left to right
// without overlapping, in one undo step, and the engine compiles the report; a width that
// leaves a padded cell no room for what it holds is refused with words that name the cell.
TEST_F(KeptCellRoomsTest, ANarrowedColumnKeepsItsCellsElementsWithinTheirPadding)
{
    const Narrowing cases[] = {
        {"every cell of the first column",
         0,
         u"70"_s,
         {{u"tableHeader"_s, {u"0+60"_s}},
          {u"tableFooter"_s, {u"0+56"_s}},
          {u"groupHeader"_s, {u"0+60"_s}},
          {u"columnHeader"_s, {u"0+27"_s, u"27+33"_s}},
          {u"columnFooter"_s, {u"0+58"_s}},
          {u"detailCell"_s, {u"0+70"_s}}},
         {}},
        {"the group footer cell's two elements",
         1,
         u"60"_s,
         {{u"groupFooter"_s, {u"0+20"_s, u"20+20"_s}}, {u"detailCell"_s, {u"0+60"_s}}},
         {}},
        {"narrower than the table footer's padding",
         0,
         u"14"_s,
         {},
         u"The column is at least 15 px wide: its table footer cell keeps 14 px of padding at its "
         u"sides, and what it holds needs room inside it."_s},
        {"narrower than the group footer's padding",
         1,
         u"20"_s,
         {},
         u"The column is at least 21 px wide: its group footer cell of CityGroup keeps 20 px of "
         u"padding at its sides, and what it holds needs room inside it."_s},
        {"as narrow as the table footer's padding allows",
         0,
         u"15"_s,
         {{u"tableHeader"_s, {u"0+5"_s}},
          {u"tableFooter"_s, {u"0+1"_s}},
          {u"groupHeader"_s, {u"0+5"_s}},
          {u"columnHeader"_s, {u"0+2"_s, u"2+3"_s}},
          {u"columnFooter"_s, {u"0+3"_s}},
          {u"detailCell"_s, {u"0+15"_s}}},
         {}},
    };
    for (const Narrowing &c : cases) {
        SCOPED_TRACE(c.what);
        store.setDocument(JrxmlCodec::parse(testsupport::paddedTablesReport));
        EXPECT_EQ(complaints(), QStringList()) << "the report compiles as read";
        const QUuid table =
            first([](const ReportElement &e) { return runs(e, u"Addresses"_s); })->id;
        const auto column = [&] {
            return store.element(table)->kind.as<ElementKind::Table>()->columns.at(c.column);
        };
        QMap<QString, QStringList> expected = cellPlaces(column());
        for (auto it = c.places.cbegin(); it != c.places.cend(); ++it)
            expected[it.key()] = it.value();
        store.setSelectedElementID(table);
        const qsizetype steps = store.undoStack().size();
        const QString field = u"inspector.columns.column"_s + QString::number(c.column);
        commit(find<QLineEdit>(field + u".width"_s), c.typed);
        store.flushPendingUndoSnapshot();

        const bool taken = c.words.isEmpty();
        EXPECT_EQ(column().width == c.typed.toDouble(), taken);
        EXPECT_EQ(cellPlaces(column()), expected);
        EXPECT_EQ(store.undoStack().size(), steps + (taken ? 1 : 0));
        auto *message = find<QLabel>(field + u".width.message"_s);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->isVisibleTo(view.get()) ? message->text() : QString(), c.words);
        EXPECT_EQ(complaints(), QStringList());
    }
}
