#include "editors/ExpressionScope.h"
#include "document/DatasetLacks.h"
#include "editors/ExpressionValidation.h"

#include "DeclarationBuilders.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expressions::scopeOfElement;
using expressions::validateExpression;

namespace {

ReportElement element(ElementKind kind)
{
    ReportElement e;
    e.id = QUuid::createUuid();
    e.kind = std::move(kind);
    return e;
}

ReportElement listOver(const QString &dataset, QList<ReportElement> children)
{
    ElementKind::List list;
    list.datasetName = dataset;
    list.children = std::move(children);
    return element(std::move(list));
}

ReportSubDataset dataset(const QString &name, const QString &field, const QString &variable)
{
    ReportSubDataset sub;
    sub.name = name;
    sub.fields = {testsupport::field(field)};
    sub.variables = {testsupport::variable(variable)};
    sub.parameters = {testsupport::parameter(name + u"Since"_s)};
    return sub;
}

// A report of amounts grouped by region, with lists over its orders and their lines.
class ExpressionScopeTest : public testing::Test {
protected:
    void SetUp() override
    {
        report.fields = {testsupport::field(u"amount"_s)};
        report.variables = {testsupport::variable(u"total"_s)};
        ReportGroup region;
        region.name = u"Region"_s;
        report.groups = {region};
        report.subDatasets = {dataset(u"Orders"_s, u"orderNo"_s, u"orderCount"_s),
                              dataset(u"Lines"_s, u"sku"_s, u"lineCount"_s)};

        inLines = element(ElementKind::TextField{});
        inFrame = element(ElementKind::TextField{});
        inMissing = element(ElementKind::TextField{});
        onBand = element(ElementKind::TextField{});
        ElementKind::Frame frame;
        frame.children = {inFrame, listOver(u"Lines"_s, {inLines})};
        orders = listOver(u"Orders"_s, {element(std::move(frame))});
        report.detailBands.first().elements = {onBand, orders};
        report.groups.first().footerElements = {listOver(u"Nowhere"_s, {inMissing})};
    }

    QStringList warnings(const QString &expression, const ReportElement &of) const
    {
        return validateExpression(expression, scopeOfElement(report, of.id));
    }

    ReportDocument report;
    ReportElement orders, inFrame, inLines, inMissing, onBand;
};

TEST_F(ExpressionScopeTest, AnElementInAListSeesTheListsDataset)
{
    // In a frame of the list: the dataset of the list around the frame.
    const ReportDocument scope = scopeOfElement(report, inFrame.id);
    EXPECT_EQ(scope.fields, report.subDatasets[0].fields);
    EXPECT_EQ(scope.parameters, report.subDatasets[0].parameters);
    EXPECT_EQ(scope.variables, report.subDatasets[0].variables);
    EXPECT_EQ(scope.groups, report.groups) << "all else is the report's";
    EXPECT_TRUE(warnings(u"$F{orderNo} + $V{orderCount} + $P{OrdersSince}"_s, inFrame).isEmpty());
    // The report declares "amount", the list's dataset does not: the message names the dataset.
    EXPECT_EQ(warnings(u"$F{amount}"_s, inFrame),
              QStringList{u"$F{amount} isn't a declared field of the dataset \"Orders\" this "
                          u"element runs in."_s});

    // In a list inside that list: the inner list's dataset.
    EXPECT_TRUE(warnings(u"$F{sku} + $V{lineCount}"_s, inLines).isEmpty());
    EXPECT_EQ(warnings(u"$F{orderNo}"_s, inLines),
              QStringList{u"$F{orderNo} isn't a declared field of the dataset \"Lines\" this "
                          u"element runs in."_s});
}

TEST_F(ExpressionScopeTest, EverythingElseSeesTheReport)
{
    // The list itself runs where it stands; so does an element on a band, and one whose list
    // names a dataset the report lacks.
    for (const ReportElement &e : {orders, onBand, inMissing}) {
        EXPECT_EQ(scopeOfElement(report, e.id), report);
        EXPECT_TRUE(warnings(u"$F{amount} + $V{total}"_s, e).isEmpty());
    }
    EXPECT_EQ(scopeOfElement(report, QUuid::createUuid()), report);
}

TEST_F(ExpressionScopeTest, EachGroupDeclaresTheCountOfItsRows)
{
    EXPECT_TRUE(warnings(u"$V{Region_COUNT} + $V{total}"_s, onBand).isEmpty());
    EXPECT_EQ(warnings(u"$V{Country_COUNT} + $V{Region_count}"_s, onBand),
              (QStringList{u"$V{Country_COUNT} isn't a declared variable in this report."_s,
                           u"$V{Region_count} isn't a declared variable in this report."_s}));
}

// The engine checks the default style's conditions in the cells of every crosstab, which declare
// no fields and only the crosstab's own variables, whatever styles the cells take; another
// style's conditions are checked nowhere else, and a list's dataset is not checked.
TEST_F(ExpressionScopeTest, TheDefaultStylesConditionIsCheckedInEachCrosstab)
{
    ElementKind::Crosstab crosstab;
    crosstab.bodyXML =
        uR"(<crosstabParameter name="Limit"/><rowGroup name="Country"/>)"
        uR"(<columnGroup name="Year"/><measure name="Orders" class="java.lang.Integer"/>)"
        uR"(<crosstabCell><cellContents><textField><reportElement style="Heir" x="0" y="0"/>)"
        uR"(</textField></cellContents></crosstabCell>)"_s;
    const ReportElement inCell = element(std::move(crosstab));
    ReportStyle heir{.name = u"Heir"_s};
    KeptXml parent;
    parent.attributes = {{u"style"_s, u"Base"_s}};
    heir.kept.setPart({}, parent);
    const QList<ReportStyle> styles{
        {.name = u"Old"_s, .isDefault = true}, {.name = u"Base"_s, .isDefault = true}, heir};
    const auto lacks = [](const QString &reference, const QString &kind) -> QString {
        return reference + u" isn't a declared "_s + kind +
               u" of a crosstab of this report: the engine evaluates the default style's "
               u"conditions in every crosstab's cells too."_s;
    };
    struct Case {
        QString style, condition;
        bool withCrosstab = true;
        QStringList notes;
    };
    const QList<Case> cases{
        {u"Base"_s,
         u"$F{amount} != null && $F{ amount } != \"\""_s,
         true,
         {lacks(u"$F{amount}"_s, u"field"_s)}},
        {u"Base"_s,
         u"$V{REPORT_COUNT} % 2 == 0 || $V{total} > 0"_s,
         true,
         {lacks(u"$V{REPORT_COUNT}"_s, u"variable"_s), lacks(u"$V{total}"_s, u"variable"_s)}},
        {u"Base"_s,
         u"$V{Orders} + $V{Country} + $V{Year} + $V{Orders_Country_ALL} + "
         u"$V{Orders_Country_Year_ALL} + $P{Limit} + $P{REPORT_LOCALE} + $P!{Limit}"_s,
         true,
         {}},
        {u"Base"_s,
         u"$P{OrdersSince} + $V{Orders_Country} + $V{Country_ALL}"_s,
         true,
         {lacks(u"$P{OrdersSince}"_s, u"parameter"_s),
          lacks(u"$V{Orders_Country}"_s, u"variable"_s),
          lacks(u"$V{Country_ALL}"_s, u"variable"_s)}},
        {u"Base"_s, u"Boolean.TRUE"_s, true, {}},
        // Not the default style, though a cell takes it through its parent; an earlier style
        // marked default is not the default.
        {u"Heir"_s, u"$F{amount} != null"_s, true, {}},
        {u"Old"_s, u"$F{amount} != null"_s, true, {}},
        // Without a crosstab: the report's own names, checked as any expression is; the list's
        // dataset, which lacks "amount", does not check it.
        {u"Base"_s, u"$F{amount} != null"_s, false, {}},
    };
    for (const Case &c : cases) {
        ReportDocument document = report;
        document.styles = styles;
        if (c.withCrosstab)
            document.groups.first().headerElements = {inCell};
        EXPECT_EQ(DatasetLacks::conditionNotes(document, c.style, c.condition), c.notes)
            << c.style.toStdString() << ": " << c.condition.toStdString();
    }
}

} // namespace
