#include "DataCardsFixture.h"
#include "datapanel/GenerateColumnsSheetVisibility.h"
#include "widgets/SymbolIcons.h"

#include <QPushButton>

using namespace storetest;

namespace {

using FieldsCard = DataCardsTest;

const QString fields = u"datapanel.fields"_s;

ReportField field(const QString &name)
{
    ReportField f;
    f.name = name;
    f.className = u"java.math.BigDecimal"_s;
    return f;
}

const QString *textFieldExpression(const ReportElement &element)
{
    const auto *text = element.kind.as<ElementKind::TextField>();
    return text ? &text->expression : nullptr;
}

} // namespace

TEST_F(FieldsCard, GenerateColumnsIsDisabledUntilTheReportHasFields)
{
    EXPECT_TRUE(rows(DataPanelCard::fields).isEmpty());
    auto *add = find<QPushButton>(fields + u".add"_s);
    auto *generate = find<QPushButton>(fields + u".generateColumns"_s);
    ASSERT_TRUE(add);
    ASSERT_TRUE(generate);
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(generate->isEnabled());
    EXPECT_EQ(generate->text(), u"Generate Columns..."_s);
    EXPECT_EQ(generate->property(SymbolIcons::symbolProperty).toString(), u"tablecells"_s);
    EXPECT_EQ(
        generate->toolTip(),
        u"Auto-build a Column Header + Detail row layout from a chosen subset of these fields"_s);
    // Both stand on one line under the rows.
    EXPECT_EQ(add->y(), generate->y());

    click(fields + u".add"_s);
    EXPECT_TRUE(generate->isEnabled());
    GenerateColumnsSheetVisibility *sheet = GenerateColumnsSheetVisibility::of(view.get());
    EXPECT_FALSE(sheet->isVisible());
    click(fields + u".generateColumns"_s);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(GenerateColumnsSheetVisibility::of(view.get()), sheet) << "one flag per panel";

    remove(fields, 0);
    EXPECT_FALSE(generate->isEnabled());
}

TEST_F(FieldsCard, AddingAfterTwoMakesAFreeNameAndTypingKeepsFocusWithoutAStep)
{
    editDocument(store, [](ReportDocument &d) { d.fields = {field(u"a"_s), field(u"b"_s)}; });
    click(fields + u".add"_s);
    ASSERT_EQ(store.document().fields.size(), 3);
    EXPECT_EQ(store.document().fields[2].name, u"field1"_s);
    EXPECT_EQ(store.document().fields[2].className, u"java.lang.String"_s);
    EXPECT_FALSE(store.document().fields[2].fieldDescription);
    EXPECT_EQ(store.undoStack().size(), 1);

    store.setIsDirty(false);
    typeKeepingFocus(row(fields, 2, u"name"_s), u"_x"_s);
    typeKeepingFocus(row(fields, 2, u"className"_s), u"!"_s);
    EXPECT_EQ(store.document().fields[2].name, u"field1_x"_s);
    EXPECT_EQ(store.document().fields[2].className, u"java.lang.String!"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), 1);
}

TEST_F(FieldsCard, AnEmptiedDescriptionIsNoValueAndARenameRewritesNoExpression)
{
    editDocument(store, [](ReportDocument &d) { d.fields = {field(u"amount"_s)}; });
    place({element(ElementKind::TextField{u"$F{amount}"_s})});
    type(row(fields, 0, u"description"_s), u"net amount"_s);
    EXPECT_EQ(store.document().fields[0].fieldDescription, u"net amount"_s);
    clear(row(fields, 0, u"description"_s));
    EXPECT_EQ(store.document().fields[0].fieldDescription, std::nullopt);

    type(row(fields, 0, u"name"_s), u"total"_s);
    EXPECT_EQ(store.document().fields[0].name, u"total"_s);
    const ReportElement &placed = store.document().detailBands[0].elements.at(0);
    ASSERT_TRUE(textFieldExpression(placed));
    EXPECT_EQ(*textFieldExpression(placed), u"$F{amount}"_s);
    const QString text = saved();
    EXPECT_FALSE(text.contains(u"fieldDescription"_s)) << text.toStdString();
}

TEST_F(FieldsCard, InsertPutsABoundTextFieldIntoTheActiveBandWithThePreferences)
{
    settings->setDefaultFontName(u"DejaVu Serif"_s);
    settings->setDefaultFontSize(13);
    settings->setDefaultBlankWhenNull(true);
    editDocument(store, [](ReportDocument &d) { d.fields = {field(u"amount"_s)}; });
    store.setActiveBandTarget(detail());
    auto *insert = find<QToolButton>(row(fields, 0, u"insert"_s));
    ASSERT_TRUE(insert);
    EXPECT_EQ(insert->property(SymbolIcons::symbolProperty).toString(), u"text.badge.plus"_s);
    EXPECT_EQ(insert->toolTip(), u"Insert as a text field bound to $F{amount} in Detail"_s);

    click(row(fields, 0, u"insert"_s));
    click(row(fields, 0, u"insert"_s));
    const QList<ReportElement> &elements = store.document().detailBands[0].elements;
    ASSERT_EQ(elements.size(), 2) << "each click adds one";
    const ReportElement &e = elements.at(1);
    ASSERT_TRUE(textFieldExpression(e));
    EXPECT_EQ(*textFieldExpression(e), u"$F{amount}"_s);
    EXPECT_EQ(QRectF(e.x, e.y, e.width, e.height), QRectF(10, 10, 150, 20));
    EXPECT_EQ(e.fontName, u"DejaVu Serif"_s);
    EXPECT_EQ(e.fontSize, 13);
    EXPECT_TRUE(e.isBlankWhenNull);
    EXPECT_FALSE(e.styleName);
    EXPECT_FALSE(e.isBold);
    EXPECT_EQ(e.penWidth, 1.0);
    EXPECT_EQ(e.evaluationTime, u"Now"_s);
    EXPECT_TRUE(e.isUsingCache);
    EXPECT_TRUE(e.runToBottom);
    EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{e.id});
    EXPECT_EQ(store.undoStack().size(), 2);

    // The help follows the field's name and the active band.
    type(row(fields, 0, u"name"_s), u"net"_s);
    store.setActiveBandTarget(BandTarget::standard(BandType::pageHeader));
    EXPECT_EQ(insert->toolTip(), u"Insert as a text field bound to $F{net} in Page Header"_s);
}

TEST_F(FieldsCard, InsertGoesIntoTheOneSelectedFrameElseTheActiveBand)
{
    editDocument(store, [](ReportDocument &d) { d.fields = {field(u"city"_s)}; });
    store.setActiveBandTarget(detail());
    const ReportElement box = frame({});
    placeSelected({box});
    click(row(fields, 0, u"insert"_s));
    const ReportElement &placedFrame = store.document().detailBands[0].elements.at(0);
    const ElementList *children = placedFrame.kind.children();
    ASSERT_TRUE(children);
    ASSERT_EQ(children->size(), 1);
    ASSERT_TRUE(textFieldExpression(children->at(0)));
    EXPECT_EQ(*textFieldExpression(children->at(0)), u"$F{city}"_s);
    EXPECT_EQ(children->at(0).x, 10);
    EXPECT_EQ(children->at(0).y, 10);
    EXPECT_EQ(find<QToolButton>(row(fields, 0, u"insert"_s))->toolTip(),
              u"Insert as a text field bound to $F{city} in Detail"_s)
        << "the help names the active band";

    // Two elements selected: the band takes it.
    const ReportElement other = textField(300, 0);
    place({other});
    store.setSelectedElementIDs({placedFrame.id, other.id});
    click(row(fields, 0, u"insert"_s));
    ASSERT_EQ(store.document().detailBands[0].elements.size(), 3);
    EXPECT_EQ(*textFieldExpression(store.document().detailBands[0].elements.at(2)), u"$F{city}"_s);
}
