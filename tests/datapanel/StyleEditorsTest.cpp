#include "datapanel/ConditionalStylesEditor.h"
#include "document/DatasetLacks.h"
#include "widgets/ColorWell.h"
#include "widgets/DataRowButtons.h"
#include "widgets/StyleCoreEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The editors bound to a style held outside any document, as a sheet that prepares styles holds
// them; every write is counted.
class StyleEditors : public ::testing::Test {
protected:
    StyleBinding binding()
    {
        return {[this] { return std::optional(style); },
                [this](const ReportStyle &changed) {
                    style = changed;
                    ++writes;
                }};
    }

    void typeInto(QLineEdit *edit, const QString &keys)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }

    static QStringList options(QComboBox *picker)
    {
        QStringList out;
        for (int i = 0; i < picker->count(); ++i)
            out.append(picker->itemText(i));
        return out;
    }

    // Picks a colour in the well's dialog as the user does.
    static void pick(ColorWell *well, const QColor &color)
    {
        well->click();
        ASSERT_TRUE(well->dialog());
        well->dialog()->setCurrentColor(color);
        well->dialog()->close();
    }

    ReportStyle style{.name = u"Body"_s};
    int writes = 0;
};

TEST_F(StyleEditors, FontPickerOffersTheEightNamesAndAnUnknownCurrentName)
{
    style.fontName = u"Georgia"_s;
    StyleCoreEditor editor(binding());
    editor.show();
    ASSERT_EQ(editor.fontPicker()->count(), 9);
    EXPECT_EQ(editor.fontPicker()->itemText(8), u"Georgia"_s);
    EXPECT_EQ(editor.fontPicker()->currentText(), u"Georgia"_s);

    editor.fontPicker()->setFocus();
    QTest::keyClick(editor.fontPicker(), Qt::Key_Home); // "Arial", the first option
    EXPECT_EQ(style.fontName, u"Arial"_s);
    editor.refresh();
    EXPECT_EQ(options(editor.fontPicker()),
              (QStringList{u"Arial"_s, u"Calibri"_s, u"Times New Roman"_s, u"Helvetica"_s,
                           u"Verdana"_s, u"DejaVu Sans"_s, u"Courier New"_s, u"SansSerif"_s}));
    EXPECT_EQ(editor.fontPicker()->currentText(), u"Arial"_s);

    style.fontName.clear();
    editor.refresh();
    ASSERT_EQ(editor.fontPicker()->count(), 9);
    EXPECT_EQ(editor.fontPicker()->currentIndex(), 8) << "an empty name is the ninth option";
}

TEST_F(StyleEditors, SizeFieldStoresNumbersAsTypedAndIgnoresOtherText)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    StyleCoreEditor editor(binding());
    editor.show();
    EXPECT_EQ(editor.sizeField()->text(), u"10"_s);
    EXPECT_EQ(editor.sizeField()->placeholderText(), u"size"_s);

    typeInto(editor.sizeField(), u"abc"_s);
    EXPECT_EQ(style.fontSize, 10) << "letters leave the size";
    EXPECT_EQ(writes, 0);
    typeInto(editor.sizeField(), u"0"_s);
    EXPECT_EQ(style.fontSize, 0);
    typeInto(editor.sizeField(), u"-3"_s);
    EXPECT_EQ(style.fontSize, -3) << "no bounds, no clamping";
    typeInto(editor.sizeField(), u"12.5"_s);
    EXPECT_EQ(style.fontSize, 12.5);

    // A refresh while the user types keeps a text that stands for the stored size.
    typeInto(editor.sizeField(), u"14.0"_s);
    editor.refresh();
    EXPECT_EQ(editor.sizeField()->text(), u"14.0"_s);
    EXPECT_EQ(style.fontSize, 14);
    QLocale::setDefault(QLocale::c());
}

TEST_F(StyleEditors, ControlsWriteTheirOwnFieldOnly)
{
    StyleCoreEditor editor(binding());
    editor.setNames(u"core"_s);
    editor.show();
    typeInto(editor.nameField(), u"Title"_s);
    EXPECT_EQ(style.name, u"Title"_s);
    EXPECT_EQ(writes, 5) << "every keystroke writes";

    ReportStyle before = style;
    editor.alignmentPicker()->setFocus();
    QTest::keyClick(editor.alignmentPicker(), Qt::Key_End);
    before.textAlignment = TextAlignment::right;
    EXPECT_EQ(style, before) << "Right, and nothing else";

    editor.findChild<QCheckBox *>(u"core.bold"_s)->click();
    editor.findChild<QCheckBox *>(u"core.default"_s)->click();
    before.isBold = true;
    before.isDefault = true;
    EXPECT_EQ(style, before);
    editor.findChild<QCheckBox *>(u"core.bold"_s)->click();
    EXPECT_FALSE(style.isBold);

    // Re-showing the stored values writes nothing.
    const int counted = writes;
    editor.refresh();
    EXPECT_EQ(writes, counted);
}

TEST_F(StyleEditors, RowActionsShowOnlyWhenGiven)
{
    StyleCoreEditor editor(binding());
    editor.show();
    EXPECT_FALSE(editor.moveButtons()->isVisible()) << "no move pair without move actions";
    EXPECT_FALSE(editor.removeButton()->isVisible());

    int ups = 0, downs = 0, removals = 0;
    editor.setActions({.onMoveDown = [&] { ++downs; }, .onRemove = [&] { ++removals; }});
    EXPECT_TRUE(editor.moveButtons()->isVisible());
    EXPECT_FALSE(editor.moveButtons()->up()->isEnabled()) << "first of several";
    EXPECT_TRUE(editor.moveButtons()->down()->isEnabled());
    editor.moveButtons()->down()->click();
    editor.removeButton()->click();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(removals, 1);

    editor.setActions({.onMoveUp = [&] { ++ups; }});
    EXPECT_TRUE(editor.moveButtons()->up()->isEnabled());
    EXPECT_FALSE(editor.moveButtons()->down()->isEnabled()) << "last of several";
    EXPECT_FALSE(editor.removeButton()->isVisible());
    editor.moveButtons()->up()->click();
    EXPECT_EQ(ups, 1);
}

TEST_F(StyleEditors, WellsStoreUpperCaseHexWithoutOpacityAndShowBadTextAsTheDefault)
{
    style.foreColor = ElementColor{u"#12345"_s};
    StyleCoreEditor editor(binding());
    editor.show();
    EXPECT_EQ(editor.textWell()->shownColor(), QColor(Qt::black)) << "five digits are no colour";
    EXPECT_EQ(editor.fillWell()->shownColor(), QColor(Qt::white)) << "no fill shows white";
    EXPECT_EQ(style.foreColor, ElementColor{u"#12345"_s}) << "kept until a colour is picked";

    pick(editor.fillWell(), QColor(0xab, 0x0c, 0xde, 128));
    EXPECT_EQ(style.backColor, ElementColor{u"#AB0CDE"_s});
    pick(editor.textWell(), QColor(0x0a, 0xff, 0x01));
    EXPECT_EQ(style.foreColor, ElementColor{u"#0AFF01"_s});
    editor.refresh();
    EXPECT_EQ(editor.textWell()->shownColor(), QColor(0x0a, 0xff, 0x01));
}

TEST_F(StyleEditors, ConditionsAreAddedToggledColouredAndRemovedInOrder)
{
    ConditionalStylesEditor editor(binding(), nullptr);
    editor.setNames(u"cond"_s);
    editor.show();
    EXPECT_FALSE(editor.title()->isVisible()) << "no title without rules";
    EXPECT_EQ(editor.addButton()->text(), u"Add Condition"_s);

    editor.addButton()->click();
    editor.refresh();
    ASSERT_EQ(style.conditionalStyles.size(), 1);
    EXPECT_TRUE(editor.title()->isVisible());
    EXPECT_EQ(editor.title()->text(), u"Conditional Styles"_s);
    ASSERT_EQ(editor.cards().size(), 1);
    ConditionalRuleCard *card = editor.cards().first();
    EXPECT_EQ(card->conditionField()->text(), QString());
    EXPECT_FALSE(card->textClear()->isVisible());
    EXPECT_FALSE(card->fillClear()->isVisible());
    EXPECT_EQ(card->boldToggle()->state(), std::nullopt);

    // Bold cycles: on, off, unset.
    for (std::optional<bool> expected :
         {std::optional(true), std::optional(false), std::optional<bool>()}) {
        card->boldToggle()->click();
        editor.refresh();
        EXPECT_EQ(style.conditionalStyles[0].isBold, expected);
        EXPECT_EQ(card->boldToggle()->state(), expected);
    }

    pick(card->fillWell(), QColor(0x33, 0x66, 0x99, 40));
    editor.refresh();
    EXPECT_EQ(style.conditionalStyles[0].backColor, ElementColor{u"#336699"_s});
    EXPECT_TRUE(card->fillClear()->isVisible());
    card->fillClear()->click();
    editor.refresh();
    EXPECT_EQ(style.conditionalStyles[0].backColor, std::nullopt);
    EXPECT_FALSE(card->fillClear()->isVisible());
    EXPECT_EQ(card->fillWell()->shownColor(), QColor(Qt::white));

    // Three rules; removing the middle one keeps the first and the third in order.
    editor.addButton()->click();
    editor.addButton()->click();
    editor.refresh();
    ASSERT_EQ(style.conditionalStyles.size(), 3);
    const QUuid first = style.conditionalStyles[0].id;
    const QUuid third = style.conditionalStyles[2].id;
    QTest::keyClicks(editor.findChild<QLineEdit *>(u"cond.rule2.condition"_s), u"$V{N}>1"_s);
    editor.findChild<QToolButton *>(u"cond.rule1.remove"_s)->click();
    editor.refresh();
    QApplication::processEvents(); // the removed rule's card is deleted later
    ASSERT_EQ(style.conditionalStyles.size(), 2);
    EXPECT_EQ(style.conditionalStyles[0].id, first);
    EXPECT_EQ(style.conditionalStyles[1].id, third);
    EXPECT_EQ(style.conditionalStyles[1].conditionExpression, u"$V{N}>1"_s);
    ASSERT_EQ(editor.cards().size(), 2);
    EXPECT_EQ(editor.findChild<QLineEdit *>(u"cond.rule1.condition"_s)->text(), u"$V{N}>1"_s);
}

TEST_F(StyleEditors, RuleEditsLeaveFontOverridesAndShowBadColoursWithClear)
{
    ConditionalStyleRule rule;
    rule.fontName = u"Courier"_s;
    rule.fontSize = 14;
    rule.foreColor = ElementColor{u"red"_s};
    style.conditionalStyles = {rule};
    ConditionalStylesEditor editor(binding(), nullptr);
    editor.setNames(u"cond"_s);
    editor.show();
    ConditionalRuleCard *card = editor.cards().first();
    EXPECT_EQ(card->textWell()->shownColor(), QColor(Qt::black));
    EXPECT_TRUE(card->textClear()->isVisible()) << "a value is present";

    QTest::keyClicks(card->conditionField(), u"true"_s);
    card->boldToggle()->click();
    editor.refresh();

    // The default style's condition is evaluated in a crosstab's cells too, which hold no
    // fields: the card warns under the condition while it names one.
    ReportDocument document;
    document.fields = {ReportField{.name = u"Amount"_s}};
    style.isDefault = true;
    document.styles = {style};
    ReportElement crosstab{.id = QUuid::createUuid(), .kind = ElementKind::Crosstab{}};
    document.detailBands.first().elements = {crosstab};
    editor.refresh(&document);
    EXPECT_FALSE(card->lackWarning()->isVisible()) << "\"true\" names nothing";
    card->conditionField()->selectAll();
    QTest::keyClicks(card->conditionField(), u"$F{Amount} != null"_s);
    editor.refresh(&document);
    EXPECT_TRUE(card->lackWarning()->isVisible());
    EXPECT_EQ(
        card->lackWarning()->text(),
        DatasetLacks::conditionNotes(document, style.name, u"$F{Amount} != null"_s).join(u'\n'));
    EXPECT_TRUE(card->lackWarning()->text().startsWith(u"$F{Amount} isn't a declared field"_s));
    document.detailBands.first().elements.clear();
    editor.refresh(&document);
    EXPECT_FALSE(card->lackWarning()->isVisible()) << "no crosstab";
    card->conditionField()->selectAll();
    QTest::keyClicks(card->conditionField(), u"true"_s);
    editor.refresh();
    card->textClear()->click();
    const ConditionalStyleRule &edited = style.conditionalStyles[0];
    EXPECT_EQ(edited.conditionExpression, u"true"_s);
    EXPECT_EQ(edited.isBold, true);
    EXPECT_EQ(edited.foreColor, std::nullopt);
    EXPECT_EQ(edited.fontName, u"Courier"_s);
    EXPECT_EQ(edited.fontSize, 14.0);
}

} // namespace
