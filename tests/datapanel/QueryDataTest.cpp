#include "StoreTestSupport.h"
#include "datapanel/FieldUses.h"
#include "datapanel/QueryTestState.h"
#include "datapanel/ReadFields.h"
#include "datapanel/SimpleCSV.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using storetest::element;

namespace {

QList<QStringList> rows(std::initializer_list<QStringList> list)
{
    return QList<QStringList>(list);
}

} // namespace

TEST(SimpleCSV, QuotesLineEndsAndBlankLines)
{
    EXPECT_EQ(SimpleCSV::parse(u"a,b\n1,2"_s), rows({{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}}));
    EXPECT_EQ(SimpleCSV::parse(u"a,b\r\n1,2\r\n"_s), rows({{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}}))
        << "CRLF is one line end, and a final one adds no row";
    EXPECT_EQ(SimpleCSV::parse(u"a\rb\n\rc"_s), rows({{u"a"_s}, {u"b"_s}, {u"c"_s}}))
        << "CR alone ends a line; LF then CR are two line ends";
    EXPECT_EQ(SimpleCSV::parse(u"\"x,y\"\"z\""_s), rows({{u"x,y\"z"_s}}));
    EXPECT_EQ(SimpleCSV::parse(u"ab\"c,d\"e"_s), rows({{u"abc,de"_s}}))
        << "a quote inside an unquoted field starts a quoted stretch";
    EXPECT_EQ(SimpleCSV::parse(u"\"line\nbreak\",x\r\ny"_s),
              rows({{u"line\nbreak"_s, u"x"_s}, {u"y"_s}}));
    EXPECT_EQ(SimpleCSV::parse(u"\"a\r\nb\""_s), rows({{u"a\r\nb"_s}}));
    EXPECT_EQ(SimpleCSV::parse(u"a,\"open\nto the end"_s), rows({{u"a"_s, u"open\nto the end"_s}}))
        << "an unterminated quote runs to the end";
    EXPECT_EQ(SimpleCSV::parse(u"\n\na\n\n\"\"\n,\n\r\n b \n"_s),
              rows({{u"a"_s}, {u""_s, u""_s}, {u" b "_s}}))
        << "blank lines and empty quoted lines go; a lone comma and spaces stay";
    EXPECT_EQ(SimpleCSV::parse(u"a,b,c\n1\n1,2,3,4"_s),
              rows({{u"a"_s, u"b"_s, u"c"_s}, {u"1"_s}, {u"1"_s, u"2"_s, u"3"_s, u"4"_s}}));
    EXPECT_EQ(SimpleCSV::parse(u""_s), rows({}));
    EXPECT_EQ(SimpleCSV::parse(u"\r\n\n"_s), rows({}));
    EXPECT_EQ(SimpleCSV::parse(u"x,"_s), rows({{u"x"_s, u""_s}}));
}

class QueryTestStateTest : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    QueryTestState state;
};

TEST_F(QueryTestStateTest, LoadsAHeaderAndAtMostTenRows)
{
    QByteArray bytes = "id,name\r\n";
    for (int i = 1; i <= 25; ++i)
        bytes += QByteArray::number(i) + ",n" + QByteArray::number(i) + "\r\n";
    int changes = 0;
    QObject::connect(&state, &QueryTestState::changed, [&] { ++changes; });
    const QString path = write(u"big.csv"_s, bytes);
    state.load(path);
    EXPECT_EQ(state.filePath(), path);
    EXPECT_EQ(state.headerRow(), (QStringList{u"id"_s, u"name"_s}));
    ASSERT_EQ(state.previewRows().size(), 10);
    EXPECT_EQ(state.previewRows().front(), (QStringList{u"1"_s, u"n1"_s}));
    EXPECT_EQ(state.previewRows().back(), (QStringList{u"10"_s, u"n10"_s}));
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    EXPECT_EQ(changes, 1);

    state.load(write(u"header.csv"_s, "only,header"));
    EXPECT_EQ(state.headerRow(), (QStringList{u"only"_s, u"header"_s}));
    EXPECT_TRUE(state.previewRows().isEmpty());

    state.clear();
    EXPECT_EQ(state.filePath(), std::nullopt);
    EXPECT_TRUE(state.headerRow().isEmpty());
    EXPECT_EQ(state.errorMessage(), std::nullopt);
}

TEST_F(QueryTestStateTest, AByteOrderMarkIsNotPartOfTheFirstHeader)
{
    state.load(write(u"bom.csv"_s, "\xEF\xBB\xBFid,r\xC3\xA9sum\xC3\xA9\n1,x"));
    EXPECT_EQ(state.headerRow(), (QStringList{u"id"_s, u"résumé"_s}));
}

TEST_F(QueryTestStateTest, AFailedLoadKeepsThePreviousFileAndSaysWhy)
{
    const QString good = write(u"good.csv"_s, "a,b\n1,2\n");
    state.load(good);

    state.load(write(u"empty.csv"_s, ""));
    EXPECT_EQ(state.errorMessage(), u"File is empty."_s);
    state.load(write(u"blank.csv"_s, "\n\r\n\n"));
    EXPECT_EQ(state.errorMessage(), u"File is empty."_s);
    EXPECT_EQ(state.filePath(), good);
    EXPECT_EQ(state.headerRow(), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(state.previewRows(), rows({{u"1"_s, u"2"_s}}));

    // Invalid UTF-8 anywhere: a stray continuation byte, a Latin-1 letter, a cut-off sequence at
    // the very end, an overlong encoding.
    for (const QByteArray &bytes : {QByteArray("a,\x80\n"), QByteArray("caf\xE9,b\n1,2"),
                                    QByteArray("a,b\n1,\xE2\x82"), QByteArray("\xC0\xAF,b")}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        state.load(write(u"bad.csv"_s, bytes));
        EXPECT_EQ(state.errorMessage(), u"\"bad.csv\" isn't valid UTF-8 text."_s);
        EXPECT_EQ(state.filePath(), good);
        EXPECT_EQ(state.headerRow(), (QStringList{u"a"_s, u"b"_s}));
    }

    state.load(dir.filePath(u"missing.csv"_s));
    ASSERT_TRUE(state.errorMessage().has_value());
    EXPECT_FALSE(state.errorMessage()->isEmpty());
    EXPECT_EQ(state.filePath(), good);

    state.load(good);
    EXPECT_EQ(state.errorMessage(), std::nullopt) << "a good load clears the error";
}

namespace {

ReportField field(const QString &name)
{
    ReportField f;
    f.name = name;
    f.className = u"java.lang.String"_s;
    return f;
}

ElementKind::Subreport subreportPassing(const QString &expression)
{
    ElementKind::Subreport subreport;
    subreport.expression = u"\"sub.jasper\""_s;
    subreport.parameters.append({newId(), u"P"_s, expression, {}});
    return subreport;
}

ElementKind::Table tableShowing(const QString &expression)
{
    ElementKind::Table table;
    ReportTableColumn column;
    column.id = newId();
    column.width = 50;
    column.detailCellHeight = 20;
    column.detailCellElement = element(ElementKind::TextField{expression});
    table.columns.append(column);
    return table;
}

} // namespace

TEST(FieldUses, FindsAFieldInEveryKindOfExpressionAndInSortFields)
{
    ReportDocument report;
    ReportVariable total;
    total.name = u"total"_s;
    total.className = u"java.lang.Integer"_s;
    total.calculation = u"Sum"_s;
    total.resetType = u"Report"_s;
    total.expression = u"$F{inVariable}"_s;
    report.variables.append(total);
    ReportGroup group;
    group.name = u"g"_s;
    group.expression = u"$F{inGroup}.substring(0, 1)"_s;
    report.groups.append(group);
    ReportParameter parameter;
    parameter.name = u"p"_s;
    parameter.className = u"java.lang.String"_s;
    parameter.defaultValueExpression = u"\"a\" + $F{inDefault}"_s;
    report.parameters.append(parameter);
    ReportSortField sortedOn;
    sortedOn.name = u"sorted"_s;
    report.sortFields.append(sortedOn);
    ReportSortField sortedVariable;
    sortedVariable.name = u"variableNamedLikeAField"_s;
    sortedVariable.type = SortFieldType::variable;
    report.sortFields.append(sortedVariable);
    ReportElement linked = element(ElementKind::TextField{u"\"more\""_s});
    linked.hyperlinkExpression = u"$F{inLink}"_s;
    ElementKind::List list;
    list.datasetName = u"ds"_s;
    list.parameters.append({newId(), u"Q"_s, u"$F{inListParameter}"_s, {}});
    report.detailBands[0].elements = {
        element(subreportPassing(u"$F{inSubreportParameter}"_s)),
        element(tableShowing(u"$F{inTableCell} + \"<&>\""_s)),
        element(ElementKind::Image{u"$F{inImage}"_s}),
        linked,
        element(ElementKind::Frame{{element(ElementKind::List{list})}}),
        element(ElementKind::TextField{u"$F{a&b}"_s}),
    };

    const QStringList names{u"inVariable"_s,
                            u"inGroup"_s,
                            u"inDefault"_s,
                            u"sorted"_s,
                            u"variableNamedLikeAField"_s,
                            u"inImage"_s,
                            u"inLink"_s,
                            u"inListParameter"_s,
                            u"inSubreportParameter"_s,
                            u"inTableCell"_s,
                            u"a&b"_s,
                            u"unused"_s,
                            u"inTable"_s,
                            u"a"_s};
    EXPECT_EQ(FieldUses::used(report, names),
              (QStringList{u"inVariable"_s, u"inGroup"_s, u"inDefault"_s, u"sorted"_s, u"inImage"_s,
                           u"inLink"_s, u"inListParameter"_s, u"inSubreportParameter"_s,
                           u"inTableCell"_s, u"a&b"_s}));
    EXPECT_EQ(FieldUses::used(report, {}), QStringList{});
}

namespace {

class ReadFieldsTest : public storetest::StoreTest {
protected:
    void declare(const QStringList &names, const QString &query)
    {
        storetest::editDocument(store, [&](ReportDocument &d) {
            d.fields.clear();
            for (const QString &name : names)
                d.fields.append(field(name));
            d.queryString = query;
        });
    }
    QStringList declared() const
    {
        QStringList names;
        for (const ReportField &f : store.document().fields)
            names.append(f.name);
        return names;
    }

    ReadFieldsResultState state;
};

} // namespace

TEST_F(ReadFieldsTest, StaticReadAddsGuessedFieldsWithTheGuessersNote)
{
    ReadFields::read(&store, nullptr, nullptr, &state);
    EXPECT_EQ(state.message(),
              u"No new fields - either already declared, or nothing recognizable in the query. "
              u"Couldn't find a SELECT ... FROM clause to parse."_s);

    declare({u"ID"_s}, u"SELECT a, b"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"b"_s})) << "ID is not id: removed as unused";
    EXPECT_EQ(state.message(),
              u"Added 2 new fields. No FROM clause found - parsed the whole query as the column "
              u"list. Auto-removed 1 unused field no longer in the query."_s);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());
    EXPECT_TRUE(store.isDirty());

    declare({u"a"_s, u"b"_s}, u"SELECT a, b, c FROM t"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(state.message(), u"Added 1 new field."_s);

    // No name guessed: nothing is removed or listed, whatever is declared.
    declare({u"a"_s, u"b"_s}, u"SELECT * FROM t"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_TRUE(state.message()->startsWith(u"No new fields - "_s));
}

// The engine finds a field's column without regard to case, so a query that writes the declared
// fields' names in capitals adds nothing and removes nothing; a new unquoted name is declared as
// PostgreSQL folds it, as a live read would.
TEST_F(ReadFieldsTest, UnquotedNamesMatchDeclaredFieldsWithoutRegardToCase)
{
    declare({u"id"_s, u"city"_s}, u"SELECT ID, CITY, Name FROM CUSTOMERS"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"id"_s, u"city"_s, u"name"_s}));
    EXPECT_EQ(state.message(), u"Added 1 new field."_s);
    EXPECT_EQ(store.undoStack().size(), 1);

    declare({u"id"_s, u"city"_s}, u"SELECT Id FROM customers"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"id"_s})) << "only city is gone from the query";
}

// A column the guesser cannot name may be any declared field, so a static read then removes
// nothing and says which columns it could not name; its new fields are texts.
TEST_F(ReadFieldsTest, AColumnWithoutANameKeepsEveryDeclaredField)
{
    declare({u"a"_s, u"total"_s, u"old"_s}, u"SELECT a, b, price * qty FROM t"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"total"_s, u"old"_s, u"b"_s}));
    EXPECT_EQ(store.document().fields.back().className, u"java.lang.String"_s);
    EXPECT_EQ(state.message(),
              u"Added 1 new field. Skipped 1 column with no clear name (a complex expression "
              u"with no \"AS alias\") - add those by hand: \"price * qty\". No field was removed, "
              u"as not every column could be named."_s);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());

    // once every column has a name, the missing ones go
    declare({u"a"_s, u"total"_s, u"old"_s}, u"SELECT a, price * qty AS total FROM t"_s);
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"total"_s}));
}

TEST_F(ReadFieldsTest, FieldsStillUsedAnywhereAreListedNotRemoved)
{
    declare({u"a"_s, u"b"_s, u"c"_s, u"v"_s, u"t"_s, u"s"_s}, u"SELECT a FROM x"_s);
    storetest::editDocument(store, [](ReportDocument &d) {
        ReportVariable variable;
        variable.name = u"sum"_s;
        variable.expression = u"$F{v}"_s;
        d.variables.append(variable);
        d.detailBands[0].elements = {element(ElementKind::TextField{u"$F{b}"_s}),
                                     element(tableShowing(u"$F{t}"_s)),
                                     element(subreportPassing(u"$F{s} + 1"_s))};
    });
    ReadFields::readStatic(store, &state);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"b"_s, u"v"_s, u"t"_s, u"s"_s}));
    EXPECT_EQ(state.message(),
              u"No new fields - either already declared, or nothing recognizable in the query. "
              u"Auto-removed 1 unused field no longer in the query."_s);
    EXPECT_EQ(state.staleFieldNames(), (QStringList{u"b"_s, u"v"_s, u"t"_s, u"s"_s}));
    const qsizetype undoSteps = store.undoStack().size();

    ReadFields::removeStale(store, state);
    EXPECT_EQ(declared(), QStringList{u"a"_s});
    EXPECT_EQ(state.message(), u"Removed 4 unused fields."_s);
    EXPECT_TRUE(state.staleFieldNames().isEmpty());
    EXPECT_EQ(store.undoStack().size(), undoSteps + 1);
    ASSERT_EQ(store.document().variables.size(), 1);
    EXPECT_EQ(store.document().variables[0].expression, u"$F{v}"_s) << "references stay";
}
