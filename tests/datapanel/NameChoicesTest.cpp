// What the cards make of names: every form in which the engine reads a parameter or variable
// counts before a removal, and a choice that needs a name (a reset or increment on a group, a
// sort on a variable) takes one the report declares.

#include "CorpusCardsFixture.h"

#include <QStandardItemModel>

using namespace storetest;

namespace {

using NameChoices = CorpusCardsTest;

const QString parametersCard = u"datapanel.params"_s;
const QString variablesCard = u"datapanel.variables"_s;
const QString sortFieldsCard = u"datapanel.sortFields"_s;

bool isOffered(QComboBox *picker, const QString &entry)
{
    auto *model = qobject_cast<QStandardItemModel *>(picker->model());
    const int index = picker->findText(entry);
    return model && index >= 0 && model->item(index)->isEnabled();
}

} // namespace

// TextReport puts FilterClause into its query's text ($P!{…}); QueryReport excludes cities by a
// $X{NOTIN, …} clause on ExcludedCities. Cancelled, the report compiles; removed, the engine
// names what is missing: at once for the text, and for the clause only when it fills the report.
TEST_F(NameChoices, AParameterTheQueryTakesAsTextOrInAClauseIsAskedAbout)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    const QList<std::tuple<QString, QString, bool>> cases = {
        {u"text/TextReport.jrxml"_s, u"FilterClause"_s, true},
        {u"query/QueryReport.jrxml"_s, u"ExcludedCities"_s, false}};
    for (const auto &[path, parameter, refusedOnCompile] : cases) {
        SCOPED_TRACE(path.toStdString());
        openSample(path);
        const ReportDocument before = store.document();
        const QString remove =
            row(parametersCard, indexOf(before.parameters, parameter), u"remove"_s);
        expectAskedAndKept(remove, u"$P{"_s + parameter + u"} is used in 1 expression."_s);

        dialogs.answerAlert(0);
        click(remove);
        EXPECT_EQ(store.document().parameters.size(), before.parameters.size() - 1);
        const std::optional<QString> complaint = compileError();
        if (refusedOnCompile)
            EXPECT_TRUE(complaint.value_or(QString()).contains(parameter));
        else
            EXPECT_EQ(complaint, std::nullopt);
    }
}

// MasterReport's CityAddressCount and ProductTotalPrice are set by its subreports' return values.
TEST_F(NameChoices, AVariableASubreportReturnsIntoCountsTheReturnValue)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"subreport/MasterReport.jrxml"_s);
    for (const QString &variable : {u"CityAddressCount"_s, u"ProductTotalPrice"_s}) {
        click(row(variablesCard, indexOf(store.document().variables, variable), u"remove"_s));
        EXPECT_EQ(dialogs.alerts().last().message,
                  u"$V{"_s + variable + u"} is used in 1 expression and 1 return value."_s);
    }
    EXPECT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(compileError(), std::nullopt) << "both cancelled";
}

// FirstJasper's first variable resets on nothing and its column total increments by default:
// choosing Group takes the report's first group, and the report compiles after each choice.
TEST_F(NameChoices, ResetAndIncrementOnGroupTakeTheFirstGroup)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"jasper/FirstJasper.jrxml"_s);
    const QString firstGroup = store.document().groups.at(0).name;
    const int first = indexOf(store.document().variables, u"FirstLetter"_s);
    choose(row(variablesCard, first, u"resetType"_s), u"Group"_s);
    EXPECT_EQ(store.document().variables[first].resetType, u"Group"_s);
    EXPECT_EQ(store.document().variables[first].resetGroup, firstGroup);
    EXPECT_EQ(find<QComboBox>(row(variablesCard, first, u"resetGroup"_s))->currentText(),
              firstGroup);
    EXPECT_EQ(compileError(), std::nullopt);

    const int column = indexOf(store.document().variables, u"FreightSumColumn"_s);
    choose(row(variablesCard, column, u"incrementType"_s), u"Group"_s);
    EXPECT_EQ(store.document().variables[column].incrementType, u"Group"_s);
    EXPECT_EQ(store.document().variables[column].incrementGroup, firstGroup);
    EXPECT_EQ(compileError(), std::nullopt);

    // A group the variable already names stays.
    const int country = indexOf(store.document().variables, u"FreightSumCountryGroup"_s);
    choose(row(variablesCard, country, u"resetType"_s), u"Page"_s);
    choose(row(variablesCard, country, u"resetType"_s), u"Group"_s);
    EXPECT_EQ(store.document().variables[country].resetGroup, u"CountryGroup"_s);
    EXPECT_EQ(compileError(), std::nullopt);
}

TEST_F(NameChoices, GroupIsOfferedOnlyWhereTheReportHasAGroup)
{
    openReport(R"(<variable name="Total" class="java.lang.Integer" calculation="Count">
      <variableExpression><![CDATA[1]]></variableExpression></variable>)");
    auto *reset = find<QComboBox>(row(variablesCard, 0, u"resetType"_s));
    auto *increment = find<QComboBox>(row(variablesCard, 0, u"incrementType"_s));
    ASSERT_TRUE(reset && increment);
    EXPECT_FALSE(isOffered(reset, u"Group"_s));
    EXPECT_FALSE(isOffered(increment, u"Group"_s));
    EXPECT_TRUE(isOffered(reset, u"Page"_s));

    click(u"datapanel.groups.add"_s);
    EXPECT_TRUE(isOffered(reset, u"Group"_s));
    EXPECT_TRUE(isOffered(increment, u"Group"_s));
    choose(row(variablesCard, 0, u"resetType"_s), u"Group"_s);
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Group1"_s);
}

// A sort field switched from a field to a variable sorts on the report's first variable no
// other sort field sorts on; with none, the choice is refused with a word.
TEST_F(NameChoices, ASortFieldSwitchedToVariableNamesAVariable)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"jasper/FirstJasper.jrxml"_s);
    click(sortFieldsCard + u".add"_s);
    ASSERT_EQ(store.document().sortFields.size(), 1);
    EXPECT_EQ(store.document().sortFields[0].name, store.document().fields.at(0).name);
    choose(row(sortFieldsCard, 0, u"type"_s), u"Variable"_s);
    EXPECT_EQ(store.document().sortFields[0].type, SortFieldType::variable);
    EXPECT_EQ(store.document().sortFields[0].name, store.document().variables.at(0).name);
    EXPECT_EQ(compileError(), std::nullopt);
    choose(row(sortFieldsCard, 0, u"type"_s), u"Field"_s);
    EXPECT_EQ(store.document().sortFields[0].name, store.document().fields.at(0).name);
    EXPECT_EQ(compileError(), std::nullopt);
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    openReport(R"(<field name="Amount" class="java.lang.Double"/><sortField name="Amount"/>)");
    const ReportDocument before = store.document();
    auto *type = find<QComboBox>(row(sortFieldsCard, 0, u"type"_s));
    ASSERT_TRUE(type);
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down); // from Field to Variable, as choose() does
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().last().message, u"Nothing to sort on"_s);
    EXPECT_EQ(dialogs.alerts().last().informativeText,
              u"The report declares no variable to sort on."_s);
    EXPECT_EQ(store.document(), before);
    EXPECT_EQ(type->currentText(), u"Field"_s);
    EXPECT_EQ(compileError(), std::nullopt);
}
