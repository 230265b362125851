#include "DataCardsFixture.h"
#include "model/JrxmlCodec.h"

#include <QRegularExpression>
#include <QStandardItemModel>

using namespace storetest;

namespace {

using VariablesCard = DataCardsTest;

const QString variables = u"datapanel.variables"_s;
const QString groups = u"datapanel.groups"_s;

ReportGroup group(const QString &name)
{
    ReportGroup g;
    g.name = name;
    return g;
}

QStringList entries(QComboBox *picker)
{
    QStringList out;
    for (int i = 0; i < picker->count(); ++i)
        out.append(picker->itemText(i));
    return out;
}

} // namespace

TEST_F(VariablesCard, TwoAddedVariablesAndAGroupAreSavedWithTheirDefaults)
{
    EXPECT_TRUE(rows(DataPanelCard::variables).isEmpty());
    click(variables + u".add"_s);
    click(variables + u".add"_s);
    click(groups + u".add"_s);
    EXPECT_EQ(find<QLineEdit>(row(variables, 1, u"name"_s))->text(), u"var2"_s);
    EXPECT_EQ(find<QComboBox>(row(variables, 1, u"calculation"_s))->currentText(), u"Nothing"_s);
    EXPECT_EQ(find<QComboBox>(row(variables, 1, u"resetType"_s))->currentText(), u"Report"_s);
    EXPECT_EQ(find<QComboBox>(row(variables, 1, u"incrementType"_s))->currentText(),
              u"(default)"_s);

    const QString text = saved();
    const ReportDocument read = JrxmlCodec::parse(text.toUtf8());
    ASSERT_EQ(read.variables.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(read.variables[i].name, u"var"_s + QString::number(i + 1));
        EXPECT_EQ(read.variables[i].className, u"java.lang.String"_s);
        EXPECT_EQ(read.variables[i].calculation, u"Nothing"_s);
        EXPECT_EQ(read.variables[i].resetType, u"Report"_s);
        EXPECT_FALSE(read.variables[i].incrementType);
        EXPECT_FALSE(read.variables[i].initialValueExpression);
    }
    ASSERT_EQ(read.groups.size(), 1);
    EXPECT_EQ(read.groups[0].name, u"Group1"_s);
    EXPECT_EQ(read.groups[0].headerHeight, 20);
    EXPECT_EQ(read.groups[0].footerHeight, 20);
    EXPECT_TRUE(text.contains(u"<variable name=\"var1\" class=\"java.lang.String\""_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"<group name=\"Group1\""_s)) << text.toStdString();
    for (const QString &band : {u"groupHeader"_s, u"groupFooter"_s})
        EXPECT_TRUE(
            text.contains(QRegularExpression(u"<"_s + band + u">\\s*<band height=\"20\""_s)))
            << band.toStdString();

    // Names take the first free number: after removing var1 the next add is var1 again.
    remove(variables, 0);
    click(variables + u".add"_s);
    ASSERT_EQ(store.document().variables.size(), 2);
    EXPECT_EQ(store.document().variables[0].name, u"var2"_s);
    EXPECT_EQ(store.document().variables[1].name, u"var1"_s);
}

TEST_F(VariablesCard, GroupPickersShowOnlyForGroupAndKeepTheirValueWhileHidden)
{
    editDocument(store, [](ReportDocument &d) { d.groups = {group(u"Region"_s)}; });
    click(variables + u".add"_s);
    auto *resetGroup = find<QComboBox>(row(variables, 0, u"resetGroup"_s));
    auto *incrementGroup = find<QComboBox>(row(variables, 0, u"incrementGroup"_s));
    ASSERT_TRUE(resetGroup);
    ASSERT_TRUE(incrementGroup);
    EXPECT_FALSE(resetGroup->isVisibleTo(view.get()));
    EXPECT_FALSE(incrementGroup->isVisibleTo(view.get()));

    choose(row(variables, 0, u"resetType"_s), u"Group"_s);
    EXPECT_TRUE(resetGroup->isVisibleTo(view.get()));
    EXPECT_FALSE(incrementGroup->isVisibleTo(view.get()));
    EXPECT_EQ(entries(resetGroup), (QStringList{u"(choose)"_s, u"Region"_s}));
    EXPECT_EQ(resetGroup->currentText(), u"Region"_s);
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Region"_s)
        << "the first group, without which the engine refuses Group";
    choose(row(variables, 0, u"resetGroup"_s), u"Region"_s);
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Region"_s);

    // Leaving Group hides the picker and keeps the group.
    choose(row(variables, 0, u"resetType"_s), u"Page"_s);
    EXPECT_FALSE(resetGroup->isVisibleTo(view.get()));
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Region"_s);

    choose(row(variables, 0, u"incrementType"_s), u"Group"_s);
    EXPECT_TRUE(incrementGroup->isVisibleTo(view.get()));
    choose(row(variables, 0, u"incrementGroup"_s), u"Region"_s);
    EXPECT_EQ(store.document().variables[0].incrementType, u"Group"_s);
    EXPECT_EQ(store.document().variables[0].incrementGroup, u"Region"_s);
    // "(choose)" stands for no group, which Group cannot do with: it is not offered.
    auto *entryModel = qobject_cast<QStandardItemModel *>(incrementGroup->model());
    ASSERT_TRUE(entryModel);
    EXPECT_EQ(entryModel->item(0)->text(), u"(choose)"_s);
    EXPECT_FALSE(entryModel->item(0)->isEnabled());
    choose(row(variables, 0, u"incrementType"_s), u"(default)"_s);
    EXPECT_EQ(store.document().variables[0].incrementType, std::nullopt);
    EXPECT_FALSE(incrementGroup->isVisibleTo(view.get()));

    // The pickers follow the groups, and the variable follows its group's rename.
    choose(row(variables, 0, u"resetType"_s), u"Group"_s);
    type(row(groups, 0, u"name"_s), u"Area"_s);
    EXPECT_EQ(entries(resetGroup), (QStringList{u"(choose)"_s, u"Area"_s}));
    EXPECT_EQ(resetGroup->currentText(), u"Area"_s);
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Area"_s);
}

TEST_F(VariablesCard, AGroupNoGroupHasStaysInTheFileAsItWas)
{
    openReport("<variable name=\"sum\" class=\"java.lang.Integer\" resetType=\"Group\" "
               "resetGroup=\"Gone\" calculation=\"Sum\"><variableExpression><![CDATA[1]]>"
               "</variableExpression></variable><group name=\"Other\"><groupExpression>"
               "<![CDATA[1]]></groupExpression></group>");

    auto *resetGroup = find<QComboBox>(row(variables, 0, u"resetGroup"_s));
    ASSERT_TRUE(resetGroup);
    EXPECT_TRUE(resetGroup->isVisibleTo(view.get()));
    EXPECT_EQ(resetGroup->currentIndex(), -1) << "Gone is no entry";
    EXPECT_EQ(resetGroup->currentText(), QString());
    EXPECT_EQ(find<QComboBox>(row(variables, 0, u"calculation"_s))->currentText(), u"Sum"_s);

    // An edit elsewhere in the row writes the whole variable: the group stays.
    type(row(variables, 0, u"expression"_s), u"$F{n}"_s);
    const QString text = saved();
    EXPECT_TRUE(text.contains(u"resetGroup=\"Gone\""_s)) << text.toStdString();
    EXPECT_EQ(store.document().variables[0].resetGroup, u"Gone"_s);
}

TEST_F(VariablesCard, ExpressionsAndUnknownPickerValuesAreWrittenAsTheRulesSay)
{
    click(variables + u".add"_s);
    store.setIsDirty(false);
    typeKeepingFocus(row(variables, 0, u"expression"_s), u"$F{a}"_s);
    EXPECT_EQ(store.document().variables[0].expression, u"$F{a}"_s);
    type(row(variables, 0, u"initialValue"_s), u" "_s);
    EXPECT_EQ(store.document().variables[0].initialValueExpression, u" "_s);
    clear(row(variables, 0, u"initialValue"_s));
    EXPECT_EQ(store.document().variables[0].initialValueExpression, std::nullopt);
    choose(row(variables, 0, u"calculation"_s), u"DistinctCount"_s);
    EXPECT_EQ(store.document().variables[0].calculation, u"DistinctCount"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), 1) << "row edits record no step";

    // A calculation the picker does not offer marks no entry and is kept.
    editDocument(store, [](ReportDocument &d) { d.variables[0].calculation = u"System"_s; });
    EXPECT_EQ(find<QComboBox>(row(variables, 0, u"calculation"_s))->currentIndex(), -1);
    type(row(variables, 0, u"name"_s), u"total"_s);
    EXPECT_EQ(store.document().variables[0].calculation, u"System"_s);
}
