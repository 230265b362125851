#include "engine/ParameterValuesSheet.h"

#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "engine/ParameterValueRow.h"
#include "workspace/WorkspaceModel.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Values = WorkspaceModel::ParameterValues;

namespace {

ReportParameter parameter(const QString &name, const QString &className,
                          std::optional<QString> defaultValue = std::nullopt,
                          std::optional<QString> description = std::nullopt)
{
    ReportParameter p;
    p.name = name;
    p.className = className;
    p.isForPrompting = true;
    p.defaultValueExpression = defaultValue;
    p.parameterDescription = description;
    return p;
}

class ParameterValuesSheetTest : public ::testing::Test {
protected:
    // Starts a prompt for the parameters with the remembered values; the runs are collected.
    void prompt(const QList<ReportParameter> &parameters, const Values &remembered = {})
    {
        DocumentStore *store = workspace.activeStore();
        ReportDocument document = store->document();
        document.parameters = parameters;
        store->setDocument(document);
        store->setParameterValues(remembered);
        workspace.promptForParameterValues(store, [this](const Values &v) { runs.append(v); });
    }

    ParameterValueRow *row(int index) const { return sheet.rows().at(index); }
    template <typename T> T *control(int index) const
    {
        auto *widget = qobject_cast<T *>(row(index)->control());
        EXPECT_NE(widget, nullptr) << "row " << index;
        return widget;
    }
    Values values() const { return workspace.pendingParameterValues(); }

    WorkspaceModel workspace;
    QWidget window;
    ParameterValuesSheet sheet{&workspace, &window};
    QList<Values> runs;
};

TEST_F(ParameterValuesSheetTest, ShowsOneRowPerParameterWithTheControlItsClassCallsFor)
{
    EXPECT_FALSE(sheet.isVisible());
    prompt({parameter(u"Active"_s, u"java.lang.Boolean"_s),
            parameter(u"Strict"_s, u"java.lang.Boolean"_s, {}, u""_s),
            parameter(u"From"_s, u"java.util.Date"_s, {}, u"First day"_s),
            parameter(u"Until"_s, u"java.sql.Date"_s),
            parameter(u"Stamp"_s, u"java.sql.Timestamp"_s),
            parameter(u"City"_s, u"java.lang.String"_s)},
           {{u"Strict"_s, u"TRUE"_s},
            {u"Until"_s, u"31.12.2024"_s},
            {u"From"_s, u"2024-02-29"_s},
            {u"Stamp"_s, u"2024-03-05 14:30:00"_s}});
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(sheet.isModal());
    ASSERT_EQ(sheet.rows().size(), 6);
    EXPECT_EQ(row(2)->findChildren<QLabel *>().at(0)->text(), u"From"_s);
    EXPECT_TRUE(row(2)->findChildren<QLabel *>().at(1)->isVisibleTo(row(2)));
    EXPECT_FALSE(row(1)->findChildren<QLabel *>().at(1)->isVisibleTo(row(1)))
        << "an empty description is not shown";

    EXPECT_FALSE(control<QCheckBox>(0)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(1)->isChecked()) << "only exactly \"true\" is on";
    EXPECT_EQ(control<QDateTimeEdit>(2)->date(), QDate(2024, 2, 29));
    EXPECT_EQ(control<QDateTimeEdit>(3)->date(), QDate::currentDate()) << "unreadable: today";
    EXPECT_EQ(control<QDateTimeEdit>(4)->dateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    EXPECT_EQ(control<QLineEdit>(5)->placeholderText(), u"java.lang.String"_s);
    EXPECT_FALSE(values().contains(u"Active"_s)) << "nothing stored until the toggle is used";
    EXPECT_EQ(values().value(u"Until"_s), u"31.12.2024"_s);

    // Every control stores its own text form under the parameter's name.
    control<QCheckBox>(0)->click();
    control<QCheckBox>(1)->click();
    control<QDateTimeEdit>(3)->setDate(QDate(2025, 1, 7));
    control<QDateTimeEdit>(4)->setDateTime(QDateTime(QDate(2025, 6, 1), QTime(9, 5)));
    QTest::keyClicks(control<QLineEdit>(5), u" Oslo "_s);
    EXPECT_EQ(values().value(u"Active"_s), u"true"_s);
    EXPECT_EQ(values().value(u"Strict"_s), u"true"_s);
    EXPECT_EQ(values().value(u"Until"_s), u"2025-01-07"_s);
    EXPECT_EQ(values().value(u"Stamp"_s), u"2025-06-01 09:05:00"_s);
    EXPECT_EQ(values().value(u"City"_s), u" Oslo "_s) << "untrimmed";
    control<QCheckBox>(0)->click();
    EXPECT_EQ(values().value(u"Active"_s), u"false"_s);
}

TEST_F(ParameterValuesSheetTest, WarnsBelowNumbersThatCannotBeReadAndRunsWithTheValuesAsTyped)
{
    prompt({parameter(u"Count"_s, u"java.lang.Integer"_s),
            parameter(u"Rate"_s, u"java.lang.Double"_s),
            parameter(u"Name"_s, u"java.lang.String"_s)});
    struct Case {
        int row;
        QString typed, warning;
    };
    const Case cases[] = {
        {0, u"1,000"_s, u"Not a whole number."_s},
        {0, u"99999999999999999999"_s, u"Not a whole number."_s},
        {1, u"6.02e23"_s, QString()},
        {1, u"12abc"_s, u"Not a number."_s},
        {2, u"12abc"_s, QString()},
    };
    for (const Case &c : cases) {
        auto *field = control<QLineEdit>(c.row);
        field->clear();
        QTest::keyClicks(field, c.typed);
        EXPECT_EQ(row(c.row)->warningText(), c.warning) << c.typed.toStdString();
    }
    EXPECT_TRUE(sheet.runButton()->isEnabled()) << "warnings never block a run";

    QTest::keyClick(control<QLineEdit>(1), Qt::Key_Return);
    ASSERT_EQ(runs.size(), 1) << "Return runs";
    const Values expected = {
        {u"Count"_s, u"99999999999999999999"_s}, {u"Rate"_s, u"12abc"_s}, {u"Name"_s, u"12abc"_s}};
    EXPECT_EQ(runs.first(), expected);
    EXPECT_FALSE(workspace.isParameterPromptVisible());
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(ParameterValuesSheetTest, ResetStoresEachLiteralDefaultAndLeavesOtherNamesAlone)
{
    prompt({parameter(u"Year"_s, u"java.lang.Integer"_s, u"2024"_s),
            parameter(u"City"_s, u"java.lang.String"_s, u"\"Oslo\""_s),
            parameter(u"Since"_s, u"java.util.Date"_s, u"new java.util.Date()"_s),
            parameter(u"Note"_s, u"java.lang.String"_s)},
           {{u"Year"_s, u"1999"_s}, {u"Since"_s, u"2020-01-01"_s}, {u"Other"_s, u"kept"_s}});
    QTest::keyClicks(control<QLineEdit>(1), u"x"_s);
    sheet.resetButton()->click();
    const Values expected = {{u"Year"_s, u"2024"_s},
                             {u"City"_s, u"Oslo"_s},
                             {u"Since"_s, u""_s},
                             {u"Note"_s, u""_s},
                             {u"Other"_s, u"kept"_s}};
    EXPECT_EQ(values(), expected);
    EXPECT_EQ(control<QLineEdit>(0)->text(), u"2024"_s);
    EXPECT_EQ(control<QLineEdit>(1)->text(), u"Oslo"_s);
    EXPECT_FALSE(sheet.resetButton()->toolTip().isEmpty());
}

TEST_F(ParameterValuesSheetTest, CancelAndClosingKeepTheValuesAndRunNothing)
{
    const QList<ReportParameter> parameters = {parameter(u"City"_s, u"java.lang.String"_s),
                                               parameter(u"City"_s, u"java.lang.String"_s)};
    prompt(parameters);
    QTest::keyClicks(control<QLineEdit>(0), u"Bergen"_s);
    EXPECT_EQ(control<QLineEdit>(1)->text(), u"Bergen"_s) << "one value per name";

    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_TRUE(sheet.isVisible()) << "Escape is the key monitor's to decide";

    sheet.cancelButton()->click();
    EXPECT_FALSE(workspace.isParameterPromptVisible());
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(workspace.hasPendingParameterAction());
    EXPECT_EQ(values().value(u"City"_s), u"Bergen"_s);

    // A second prompt for the same parameters reuses their rows.
    const QList<ParameterValueRow *> before = sheet.rows();
    prompt(parameters);
    EXPECT_EQ(sheet.rows(), before);
    sheet.reject();
    EXPECT_FALSE(workspace.isParameterPromptVisible()) << "closing the window cancels";
    workspace.confirmParameterPrompt();
    EXPECT_TRUE(runs.isEmpty());
}

} // namespace
