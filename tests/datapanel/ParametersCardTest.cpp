#include "DataCardsFixture.h"
#include "datapanel/DataRowLines.h"
#include "datapanel/RelativeDateHelper.h"
#include "editors/ExpressionBuilderButton.h"

using namespace storetest;

namespace {

using ParametersCard = DataCardsTest;

const QString params = u"datapanel.params"_s;
const QString dateRange = u"net.sf.jasperreports.types.date.DateRange"_s;

ReportParameter parameter(const QString &name, const QString &className,
                          std::optional<QString> defaultValue = std::nullopt)
{
    ReportParameter p;
    p.name = name;
    p.className = className;
    p.defaultValueExpression = std::move(defaultValue);
    return p;
}

} // namespace

TEST_F(ParametersCard, AnEmptyReportShowsOnlyTheAddButton)
{
    EXPECT_TRUE(rows(DataPanelCard::parameters).isEmpty());
    auto *add = find<QPushButton>(params + u".add"_s);
    ASSERT_TRUE(add);
    EXPECT_EQ(add->text(), u"Add Parameter"_s);
}

TEST_F(ParametersCard, AddingAfterTwoMakesParam3ForPromptingAsOneUndoStep)
{
    editDocument(store, [](ReportDocument &d) {
        d.parameters = {parameter(u"param1"_s, u"java.lang.String"_s),
                        parameter(u"param2"_s, u"java.lang.String"_s)};
    });
    click(params + u".add"_s);
    ASSERT_EQ(store.document().parameters.size(), 3);
    const ReportParameter &added = store.document().parameters[2];
    EXPECT_EQ(added.name, u"param3"_s);
    EXPECT_EQ(added.className, u"java.lang.String"_s);
    EXPECT_FALSE(added.defaultValueExpression);
    EXPECT_TRUE(added.isForPrompting);
    EXPECT_FALSE(added.parameterDescription);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_TRUE(store.isDirty());

    // The row shows it, with the Prompt box ticked and its help.
    EXPECT_EQ(find<QLineEdit>(row(params, 2, u"name"_s))->text(), u"param3"_s);
    EXPECT_EQ(find<QLineEdit>(row(params, 2, u"className"_s))->text(), u"java.lang.String"_s);
    EXPECT_EQ(find<QLineEdit>(row(params, 2, u"default"_s))->placeholderText(),
              u"default value expression"_s);
    auto *prompt = find<QCheckBox>(row(params, 2, u"prompt"_s));
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->isChecked());
    EXPECT_EQ(prompt->toolTip(), u"Ask for this parameter's value when the report runs"_s);
    EXPECT_TRUE(find<QToolButton>(row(params, 2, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(params, 2, u"down"_s))->isEnabled());

    // Unticking writes at once and records nothing.
    prompt->click();
    EXPECT_FALSE(store.document().parameters[2].isForPrompting);
    EXPECT_EQ(store.undoStack().size(), 1);
}

TEST_F(ParametersCard, EmptiedOptionalTextsAreStoredAsNoValueAndBlanksAsTyped)
{
    click(params + u".add"_s);
    type(row(params, 0, u"default"_s), u"\"x\""_s);
    type(row(params, 0, u"description"_s), u"shown in the prompt"_s);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression, u"\"x\""_s);
    EXPECT_EQ(store.document().parameters[0].parameterDescription, u"shown in the prompt"_s);

    clear(row(params, 0, u"default"_s));
    clear(row(params, 0, u"description"_s));
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression, std::nullopt);
    EXPECT_EQ(store.document().parameters[0].parameterDescription, std::nullopt);
    const QString text = saved();
    EXPECT_FALSE(text.contains(u"defaultValueExpression"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"parameterDescription"_s)) << text.toStdString();

    type(row(params, 0, u"default"_s), u" "_s);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression, u" "_s);
}

TEST_F(ParametersCard, TypingKeepsTheFieldItsFocusAndCaretAndMarksDirtyWithoutAStep)
{
    click(params + u".add"_s);
    store.setIsDirty(false);
    DataListRow *before = rows(DataPanelCard::parameters).at(0);
    typeKeepingFocus(row(params, 0, u"name"_s), u"Title"_s);
    EXPECT_EQ(store.document().parameters[0].name, u"param1Title"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(rows(DataPanelCard::parameters).at(0), before);

    // In the middle of the text the caret stays where the user types.
    auto *name = find<QLineEdit>(row(params, 0, u"name"_s));
    name->setCursorPosition(1);
    typeKeepingFocus(row(params, 0, u"name"_s), u"XY"_s);
    EXPECT_EQ(store.document().parameters[0].name, u"pXYaram1Title"_s);

    // The description and the default value behave alike.
    typeKeepingFocus(row(params, 0, u"default"_s), u"$P{a}"_s);
    typeKeepingFocus(row(params, 0, u"description"_s), u"ab"_s);

    // An undo takes back the run of typing, a second the add; redo brings both back.
    store.undo();
    ASSERT_EQ(store.document().parameters.size(), 1);
    EXPECT_EQ(store.document().parameters[0].name, u"param1"_s);
    store.undo();
    EXPECT_TRUE(store.document().parameters.isEmpty());
    store.redo();
    store.redo();
    ASSERT_EQ(store.document().parameters.size(), 1);
    EXPECT_EQ(store.document().parameters[0].name, u"pXYaram1Title"_s);
    EXPECT_EQ(store.document().parameters[0].parameterDescription, u"ab"_s);
}

TEST_F(ParametersCard, TheRelativeDateLineShowsOnlyForTheDateRangeClass)
{
    editDocument(store, [](ReportDocument &d) {
        d.parameters = {parameter(u"when"_s, u"java.util.Date"_s)};
    });
    auto *line = find<QWidget>(row(params, 0, u"relativeDateLine"_s));
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->isHidden());

    // Typing the class shows it at once, reading TODAY for no expression.
    type(row(params, 0, u"className"_s), dateRange);
    EXPECT_FALSE(line->isHidden());
    auto *picker = find<QComboBox>(row(params, 0, u"relativeDate"_s));
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->count(), 10);
    EXPECT_EQ(picker->currentText(), u"TODAY"_s);
    EXPECT_FALSE(store.document().parameters[0].defaultValueExpression) << "reading writes nothing";

    choose(row(params, 0, u"relativeDate"_s), u"WEEK"_s);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression,
              u"new net.sf.jasperreports.types.date.DateRangeBuilder(\"WEEK\").toDateRange()"_s);
    EXPECT_EQ(find<QLineEdit>(row(params, 0, u"default"_s))->text(),
              store.document().parameters[0].defaultValueExpression.value());

    // One character off the class hides it again.
    find<QLineEdit>(row(params, 0, u"className"_s))->setFocus();
    QTest::keyClick(find<QLineEdit>(row(params, 0, u"className"_s)), Qt::Key_Backspace);
    EXPECT_TRUE(line->isHidden());
}

TEST_F(ParametersCard, TheRelativeDatePickerReadsShortAndUnknownCallsAndLeavesThemAlone)
{
    const QString shortCall = u"DateRangeBuilder(\"MONTH-1\").toDateRange()"_s;
    const QString unknown =
        u"new net.sf.jasperreports.types.date.DateRangeBuilder(\"TODAY-2d\").toDateRange()"_s;
    const QString backwards = u"\").toDateRange() + DateRangeBuilder(\"WEEK"_s;
    editDocument(store, [&](ReportDocument &d) {
        d.parameters = {parameter(u"a"_s, dateRange, shortCall),
                        parameter(u"b"_s, dateRange, unknown),
                        parameter(u"c"_s, dateRange, backwards)};
    });
    EXPECT_EQ(find<QComboBox>(row(params, 0, u"relativeDate"_s))->currentText(), u"MONTH-1"_s);
    EXPECT_EQ(find<QComboBox>(row(params, 1, u"relativeDate"_s))->currentIndex(), -1)
        << "a keyword outside the list marks no entry";
    EXPECT_EQ(find<QComboBox>(row(params, 2, u"relativeDate"_s))->currentText(), u"TODAY"_s);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression, shortCall);
    EXPECT_EQ(store.document().parameters[1].defaultValueExpression, unknown);
    EXPECT_EQ(store.document().parameters[2].defaultValueExpression, backwards);
    EXPECT_FALSE(store.isDirty());

    // Choosing replaces the whole expression by the full call.
    choose(row(params, 0, u"relativeDate"_s), u"YEAR"_s);
    EXPECT_EQ(store.document().parameters[0].defaultValueExpression,
              u"new net.sf.jasperreports.types.date.DateRangeBuilder(\"YEAR\").toDateRange()"_s);
    auto *unknownPicker = find<QComboBox>(row(params, 1, u"relativeDate"_s));
    unknownPicker->setCurrentIndex(0);
    emit unknownPicker->activated(0);
    EXPECT_EQ(store.document().parameters[1].defaultValueExpression,
              u"new net.sf.jasperreports.types.date.DateRangeBuilder(\"TODAY\").toDateRange()"_s);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(ParametersCard, RowsFollowMovesAndRemoves)
{
    editDocument(store, [](ReportDocument &d) {
        d.parameters = {parameter(u"a"_s, u"java.lang.String"_s),
                        parameter(u"b"_s, u"java.lang.Integer"_s)};
    });
    DataListRow *aRow = rows(DataPanelCard::parameters).at(0);
    click(row(params, 0, u"down"_s));
    EXPECT_EQ(store.document().parameters[1].name, u"a"_s);
    EXPECT_EQ(rows(DataPanelCard::parameters).at(1), aRow);
    EXPECT_EQ(find<QLineEdit>(row(params, 1, u"name"_s))->text(), u"a"_s);
    EXPECT_EQ(find<QLineEdit>(row(params, 0, u"className"_s))->text(), u"java.lang.Integer"_s);
    EXPECT_TRUE(find<ExpressionBuilderButton>(row(params, 0, u"builder"_s)));

    remove(params, 0);
    ASSERT_EQ(store.document().parameters.size(), 1);
    EXPECT_EQ(store.document().parameters[0].name, u"a"_s);
    EXPECT_EQ(find<QLineEdit>(row(params, 0, u"name"_s))->text(), u"a"_s);
    EXPECT_FALSE(find<QWidget>(row(params, 1, u"name"_s)));
    EXPECT_EQ(store.undoStack().size(), 2);
    EXPECT_TRUE(store.isDirty());
}
