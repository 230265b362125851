#include "model/KeptLayout.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A group header cell of a table column as a file keeps it: a text field, an element group
// holding a static text, and a frame with padding holding a line.
const QString groupCell =
    u"<jr:groupHeader xmlns:jr=\"urn:c\" groupName=\"G\"><jr:cell height=\"30\">"
    u"<textField><reportElement x=\"0\" y=\"0\" width=\"530\" height=\"30\"/>"
    u"<textFieldExpression><![CDATA[$F{a}]]></textFieldExpression></textField>"
    u"<elementGroup><staticText><reportElement style=\"S\" x=\"10\" y=\"5\" width=\"40\" "
    u"height=\"10\"/><text><![CDATA[b]]></text></staticText></elementGroup>"
    u"<frame><reportElement x=\"100\" y=\"0\" width=\"200\" height=\"30\"/>"
    u"<box padding=\"4\" rightPadding=\"6\"/>"
    u"<line><reportElement x=\"0\" y=\"0\" width=\"190\" height=\"1\"/></line></frame>"
    u"</jr:cell></jr:groupHeader>"_s;

} // namespace

TEST(KeptLayout, ReadsTheCellsElementsAndWritesBackOnlyTheirPlaces)
{
    QList<KeptLayout::Cell> cells = KeptLayout::cells(groupCell, {u"cell", {}});
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].height, 30);
    ASSERT_EQ(cells[0].elements.size(), 3) << "the element group is looked through";
    EXPECT_EQ(cells[0].elements[0], (KeptLayout::Box{0, 0, 530, 30}));
    EXPECT_EQ(cells[0].elements[1], (KeptLayout::Box{10, 5, 40, 10}));
    const KeptLayout::Box &frame = cells[0].elements[2];
    EXPECT_TRUE(frame.isFrame);
    EXPECT_EQ(frame.paddingLeft, 4);
    EXPECT_EQ(frame.paddingRight, 6);
    ASSERT_EQ(frame.children.size(), 1);
    EXPECT_EQ(frame.children[0], (KeptLayout::Box{0, 0, 190, 1, true}));

    EXPECT_EQ(KeptLayout::withCells(groupCell, {u"cell", {}}, cells), std::nullopt)
        << "nothing changed, nothing written";
    cells[0].elements[0].width = 200;
    cells[0].elements[2].children[0].x = 3;
    QString expected = groupCell;
    expected.replace(u"width=\"530\""_s, u"width=\"200\""_s);
    expected.replace(u"<line><reportElement x=\"0\""_s, u"<line><reportElement x=\"3\""_s);
    EXPECT_EQ(KeptLayout::withCells(groupCell, {u"cell", {}}, cells), expected);

    // Cells that no longer match the fragment's are not written.
    cells[0].elements.removeLast();
    EXPECT_EQ(KeptLayout::withCells(groupCell, {u"cell", {}}, cells), std::nullopt);
    // Only the cells directly inside the element named `within` count.
    EXPECT_TRUE(KeptLayout::cells(groupCell, {u"cell", u"whenNoDataCell"}).isEmpty());
    EXPECT_TRUE(KeptLayout::cells(u"<not xml"_s, {u"cell", {}}).isEmpty());
}

// Frames and element groups nested far deeper than any report are read only so deep: the rest
// keeps its place, and no nesting exhausts the stack.
TEST(KeptLayout, DeepNestingIsReadOnlySoDeep)
{
    constexpr int levels = 200000;
    QString xml = u"<whenNoDataCell><cellContents>"_s;
    for (int i = 0; i < levels; ++i)
        xml += u"<frame><reportElement x=\"0\" y=\"0\" width=\"300\" height=\"20\"/>"_s;
    for (int i = 0; i < levels; ++i)
        xml += u"</frame>"_s;
    for (int i = 0; i < levels; ++i)
        xml += u"<elementGroup>"_s;
    for (int i = 0; i < levels; ++i)
        xml += u"</elementGroup>"_s;
    xml += u"</cellContents></whenNoDataCell>"_s;
    QList<KeptLayout::Cell> cells = KeptLayout::cells(xml, {u"cellContents", u"whenNoDataCell"});
    ASSERT_EQ(cells.size(), 1);
    int depth = 0;
    for (const KeptLayout::Box *box = &cells[0].elements.first(); box;
         box = box->children.isEmpty() ? nullptr : &box->children.first())
        ++depth;
    EXPECT_GT(depth, 1);
    EXPECT_LT(depth, 1000);
    cells[0].elements.first().width = 200;
    const std::optional<QString> written =
        KeptLayout::withCells(xml, {u"cellContents", u"whenNoDataCell"}, cells);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->startsWith(
        u"<whenNoDataCell><cellContents><frame><reportElement x=\"0\" y=\"0\" width=\"200\""_s));
    EXPECT_EQ(written->count(u"width=\"300\""_s), levels - 1);
}

// The cells a table column keeps as written: a table header or footer is a cell itself, with the
// style it names and its own box's paddings (a side's own over the box's padding); a group footer
// holds its cells; the cells of a table inside a cell are that table's. Written back, only the
// places change.
TEST(KeptLayout, ReadsTheCellsOfAColumnsKeptChildWithTheirPadding)
{
    const QString footer =
        u"<jr:tableFooter xmlns:jr=\"urn:c\" height=\"20\" style=\"Pad\"><box padding=\"4\" "
        u"leftPadding=\"10\"/><staticText><reportElement x=\"0\" y=\"0\" width=\"86\" "
        u"height=\"12\"/><text><![CDATA[End]]></text></staticText></jr:tableFooter>"_s;
    QList<KeptLayout::Cell> cells = KeptLayout::columnCells(footer);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].tag, u"tableFooter"_s);
    EXPECT_EQ(cells[0].style, u"Pad"_s);
    EXPECT_EQ(cells[0].height, 20);
    EXPECT_EQ(cells[0].paddings[0], 10);
    EXPECT_EQ(cells[0].paddings[1], 4);
    EXPECT_EQ(cells[0].paddings[3], 4);
    ASSERT_EQ(cells[0].elements.size(), 1);
    cells[0].elements[0].width = 40;
    QString expected = footer;
    expected.replace(u"width=\"86\""_s, u"width=\"40\""_s);
    EXPECT_EQ(KeptLayout::withColumnCells(footer, cells), expected);

    cells = KeptLayout::columnCells(groupCell);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].tag, u"groupHeader"_s);
    EXPECT_EQ(cells[0].group, u"G"_s);
    EXPECT_EQ(cells[0].style, std::nullopt);
    EXPECT_EQ(cells[0].paddings[0], std::nullopt) << "the cell's box gives none";
    EXPECT_EQ(cells[0].elements.size(), 3);

    const QString nested =
        u"<jr:tableHeader xmlns:jr=\"urn:c\" height=\"40\"><componentElement><reportElement "
        u"x=\"0\" y=\"0\" width=\"50\" height=\"40\"/><jr:table><jr:column width=\"50\">"
        u"<jr:groupHeader groupName=\"G\"><jr:cell height=\"10\"><staticText><reportElement "
        u"x=\"0\" y=\"0\" width=\"50\" height=\"10\"/></staticText></jr:cell></jr:groupHeader>"
        u"</jr:column></jr:table></componentElement></jr:tableHeader>"_s;
    cells = KeptLayout::columnCells(nested);
    ASSERT_EQ(cells.size(), 1) << "only the header itself";
    ASSERT_EQ(cells[0].elements.size(), 1);
    EXPECT_EQ(cells[0].elements[0].width, 50);
    EXPECT_TRUE(KeptLayout::columnCells(u"<property name=\"a\" value=\"b\"/>"_s).isEmpty());
}
