#include "inspector/PassedParameters.h"
#include "inspector/SubreportDataSource.h"
#include "inspector/SubreportListTableTexts.h"
#include "inspector/TableCells.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Kind = SubreportConnectionKind;
using Text = std::optional<QString>;

const QString sameConnection = u"$P{REPORT_CONNECTION}"_s;
const QString emptyDataSource = u"new net.sf.jasperreports.engine.JREmptyDataSource()"_s;

TEST(SubreportDataSource, TheKindIsWorkedOutFromTheTwoExpressions)
{
    struct Case {
        Text connection;
        Text dataSource;
        Kind kind;
        bool connectionField;
        bool dataSourceField;
    };
    const Case cases[] = {
        // Neither expression.
        {std::nullopt, std::nullopt, Kind::sameConnection, false, false},
        // The default connection, and one that only contains its name.
        {sameConnection, std::nullopt, Kind::sameConnection, false, false},
        {u"$P{MY_REPORT_CONNECTION}"_s, std::nullopt, Kind::sameConnection, true, false},
        {u"$P{DB}"_s, std::nullopt, Kind::customConnection, true, false},
        // An empty connection counts as absent but shows its field.
        {u""_s, std::nullopt, Kind::sameConnection, true, false},
        // Data sources: the empty one anywhere in the text, or any other.
        {std::nullopt, emptyDataSource, Kind::emptyDataSource, false, false},
        {std::nullopt, u"new JREmptyDataSource(3)"_s, Kind::emptyDataSource, false, false},
        {std::nullopt, u"$P{DS}"_s, Kind::customDataSource, false, true},
        {std::nullopt, u""_s, Kind::sameConnection, false, true},
        // Both, as a file can hold them: the data source decides.
        {u"$P{DB}"_s, u"$P{DS}"_s, Kind::customDataSource, true, true},
        {sameConnection, emptyDataSource, Kind::emptyDataSource, false, false},
        {u"$P{DB}"_s, u""_s, Kind::customConnection, true, true},
    };
    for (const Case &c : cases) {
        const QString label =
            c.connection.value_or(u"(none)"_s) + u" / "_s + c.dataSource.value_or(u"(none)"_s);
        EXPECT_EQ(SubreportDataSource::inferKind(c.connection, c.dataSource), c.kind)
            << label.toStdString();
        EXPECT_EQ(SubreportDataSource::showsConnectionField(c.connection), c.connectionField)
            << label.toStdString();
        EXPECT_EQ(SubreportDataSource::showsDataSourceField(c.dataSource), c.dataSourceField)
            << label.toStdString();
    }
    EXPECT_EQ(SubreportDataSource::sameConnectionExpression().size(), 21);
    EXPECT_EQ(SubreportDataSource::emptyDataSourceExpression().size(), 51);
}

TEST(SubreportDataSource, ChoosingAKindRewritesBothExpressions)
{
    struct Case {
        Text connection;
        Text dataSource;
        Kind chosen;
        Text newConnection;
        Text newDataSource;
        Kind shownAfter;
    };
    const Case cases[] = {
        {u"$P{DB}"_s, std::nullopt, Kind::sameConnection, sameConnection, std::nullopt,
         Kind::sameConnection},
        {sameConnection, std::nullopt, Kind::emptyDataSource, std::nullopt, emptyDataSource,
         Kind::emptyDataSource},
        // The custom kinds keep what is there, or start from the empty text.
        {u"$P{DB}"_s, u"$P{DS}"_s, Kind::customConnection, u"$P{DB}"_s, std::nullopt,
         Kind::customConnection},
        {std::nullopt, u"$P{DS}"_s, Kind::customConnection, u""_s, std::nullopt,
         Kind::sameConnection},
        {u"$P{DB}"_s, u"$P{DS}"_s, Kind::customDataSource, std::nullopt, u"$P{DS}"_s,
         Kind::customDataSource},
        {std::nullopt, std::nullopt, Kind::customDataSource, std::nullopt, u""_s,
         Kind::sameConnection},
        // Custom over the default text writes the same text back: the kind shown stays.
        {sameConnection, std::nullopt, Kind::customConnection, sameConnection, std::nullopt,
         Kind::sameConnection},
        {std::nullopt, emptyDataSource, Kind::customDataSource, std::nullopt, emptyDataSource,
         Kind::emptyDataSource},
    };
    for (const Case &c : cases) {
        ElementKind::Subreport subreport{.expression = u"x.jasper"_s,
                                         .connectionExpression = c.connection,
                                         .dataSourceExpression = c.dataSource,
                                         .parameters = {}};
        SubreportDataSource::choose(subreport, c.chosen);
        const std::string label = rawValue(c.chosen).toStdString();
        EXPECT_EQ(subreport.connectionExpression, c.newConnection) << label;
        EXPECT_EQ(subreport.dataSourceExpression, c.newDataSource) << label;
        EXPECT_EQ(SubreportDataSource::inferKind(subreport.connectionExpression,
                                                 subreport.dataSourceExpression),
                  c.shownAfter)
            << label;
        EXPECT_EQ(subreport.expression, u"x.jasper"_s);
    }

    // Typing into either field keeps the text as typed, empty included, and drops the other.
    ElementKind::Subreport subreport{.connectionExpression = std::nullopt,
                                     .dataSourceExpression = u"$P{DS}"_s};
    SubreportDataSource::setConnectionExpression(subreport, u""_s);
    EXPECT_EQ(subreport.connectionExpression, u""_s);
    EXPECT_EQ(subreport.dataSourceExpression, std::nullopt);
    SubreportDataSource::setDataSourceExpression(subreport, u" "_s);
    EXPECT_EQ(subreport.connectionExpression, std::nullopt);
    EXPECT_EQ(subreport.dataSourceExpression, u" "_s);
}

TEST(SubreportDataSource, KindsAreTheirLabelsInPickerOrder)
{
    const QList<Kind> kinds = allCases<Kind>();
    QStringList labels;
    for (Kind kind : kinds)
        labels << rawValue(kind);
    EXPECT_EQ(labels,
              (QStringList{u"Same Connection"_s, u"Empty Datasource"_s,
                           u"Custom Connection Expression"_s, u"Custom Datasource Expression"_s}));
    EXPECT_EQ(enumFromRaw<Kind>(u"Empty Datasource"_s), Kind::emptyDataSource);
    EXPECT_EQ(enumFromRaw<Kind>(u"empty datasource"_s), std::nullopt);
}

QList<SubreportParameter> rows(const QStringList &names)
{
    QList<SubreportParameter> out;
    for (const QString &name : names)
        out.append({.id = QUuid::createUuid(), .name = name, .expression = u"$F{x}"_s});
    return out;
}

QList<ReportParameter> declared(const QStringList &names)
{
    QList<ReportParameter> out;
    for (const QString &name : names)
        out.append({.name = name, .className = u"java.lang.String"_s});
    return out;
}

QStringList names(const QList<SubreportParameter> &parameters)
{
    QStringList out;
    for (const SubreportParameter &p : parameters)
        out << p.name;
    return out;
}

TEST(PassedParameters, NewRowsAreNamedByTheirCountAndEditedById)
{
    QList<SubreportParameter> list;
    EXPECT_EQ(PassedParameters::nextName(list), u"param1"_s);
    PassedParameters::add(list);
    PassedParameters::add(list);
    EXPECT_EQ(names(list), (QStringList{u"param1"_s, u"param2"_s}));
    EXPECT_EQ(list.at(1).expression, QString());
    EXPECT_NE(list.at(0).id, list.at(1).id);
    EXPECT_FALSE(list.at(0).id.isNull());

    // After removing param1 the next row takes the first free number, param1.
    EXPECT_TRUE(PassedParameters::remove(list, list.at(0).id));
    PassedParameters::add(list);
    EXPECT_EQ(names(list), (QStringList{u"param2"_s, u"param1"_s}));

    const QUuid second = list.at(1).id;
    EXPECT_TRUE(PassedParameters::setName(list, second, u""_s));
    EXPECT_TRUE(PassedParameters::setExpression(list, second, u"$F{City}"_s));
    EXPECT_EQ(list.at(1).name, u""_s);
    EXPECT_EQ(list.at(1).expression, u"$F{City}"_s);
    EXPECT_EQ(list.at(0).expression, QString());

    // A row that is gone: nothing changes.
    const QList<SubreportParameter> before = list;
    const QUuid gone = QUuid::createUuid();
    EXPECT_FALSE(PassedParameters::setName(list, gone, u"x"_s));
    EXPECT_FALSE(PassedParameters::setExpression(list, gone, u"x"_s));
    EXPECT_FALSE(PassedParameters::remove(list, gone));
    EXPECT_EQ(list, before);
}

TEST(PassedParameters, PassAllAppendsTheMissingReportParametersInDeclarationOrder)
{
    QList<SubreportParameter> list = rows({u"A"_s, u"B"_s});
    const QList<ReportParameter> report = declared({u"B"_s, u"C"_s, u"A"_s, u"D"_s});
    EXPECT_EQ(PassedParameters::missingReportParameters(list, report),
              (QStringList{u"C"_s, u"D"_s}));
    EXPECT_TRUE(PassedParameters::passAll(list, report));
    EXPECT_EQ(names(list), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
    EXPECT_EQ(list.at(2).expression, u"$P{C}"_s);
    EXPECT_EQ(list.at(3).expression, u"$P{D}"_s);
    EXPECT_EQ(list.at(0).expression, u"$F{x}"_s);
    EXPECT_TRUE(PassedParameters::missingReportParameters(list, report).isEmpty());
    const QList<SubreportParameter> after = list;
    EXPECT_FALSE(PassedParameters::passAll(list, report));
    EXPECT_EQ(list, after);

    // Names compare exactly; a report without parameters has nothing to pass.
    QList<SubreportParameter> lower = rows({u"city"_s});
    EXPECT_EQ(PassedParameters::missingReportParameters(lower, declared({u"City"_s})),
              QStringList{u"City"_s});
    EXPECT_TRUE(PassedParameters::missingReportParameters(lower, {}).isEmpty());
    // A name declared twice is passed once.
    QList<SubreportParameter> none;
    EXPECT_TRUE(PassedParameters::passAll(none, declared({u"X"_s, u"X"_s})));
    EXPECT_EQ(names(none), QStringList{u"X"_s});
}

// A switch to another dataset keeps the rows it declares, those the engine gives every dataset
// and those not named yet; a name no sub-dataset has keeps them all, as does either of two
// sub-datasets sharing a name.
TEST(PassedParameters, KeepDeclaredByDropsOnlyWhatTheNamedDatasetLacks)
{
    ReportDocument report;
    report.subDatasets = {ReportSubDataset{.name = u"Addresses"_s},
                          ReportSubDataset{.name = u"Twice"_s},
                          ReportSubDataset{.name = u"Twice"_s}};
    report.subDatasets[0].parameters = declared({u"City"_s});
    report.subDatasets[1].parameters = declared({u"A"_s});
    report.subDatasets[2].parameters = declared({u"B"_s});
    const QList<SubreportParameter> passed =
        rows({u"City"_s, u"Zip"_s, u""_s, u"REPORT_LOCALE"_s, u"REPORT_MAX_COUNT"_s,
              u"IS_IGNORE_PAGINATION"_s, u"A"_s});

    QList<SubreportParameter> list = passed;
    EXPECT_TRUE(PassedParameters::keepDeclaredBy(list, report, u"Addresses"_s));
    EXPECT_EQ(names(list), (QStringList{u"City"_s, u""_s, u"REPORT_LOCALE"_s, u"REPORT_MAX_COUNT"_s,
                                        u"IS_IGNORE_PAGINATION"_s}));
    EXPECT_FALSE(PassedParameters::keepDeclaredBy(list, report, u"Addresses"_s));

    list = passed;
    EXPECT_FALSE(PassedParameters::keepDeclaredBy(list, report, u"Nowhere"_s));
    EXPECT_EQ(list, passed);
    EXPECT_TRUE(PassedParameters::keepDeclaredBy(list, report, u"Twice"_s));
    EXPECT_EQ(names(list), (QStringList{u""_s, u"REPORT_LOCALE"_s, u"REPORT_MAX_COUNT"_s,
                                        u"IS_IGNORE_PAGINATION"_s, u"A"_s}));
}

TEST(PassedParameters, OnlySubreportsAndListsHaveRows)
{
    ElementKind subreport = ElementKind::Subreport{.parameters = rows({u"A"_s})};
    ElementKind list = ElementKind::List{.parameters = rows({u"B"_s})};
    ElementKind table = ElementKind::Table{.parameters = rows({u"C"_s})};
    ASSERT_TRUE(PassedParameters::of(subreport));
    ASSERT_TRUE(PassedParameters::of(list));
    EXPECT_EQ(names(*PassedParameters::of(subreport)), QStringList{u"A"_s});
    EXPECT_EQ(names(*PassedParameters::of(list)), QStringList{u"B"_s});
    EXPECT_EQ(PassedParameters::of(table), nullptr);
    EXPECT_EQ(PassedParameters::of(ElementKind(ElementKind::Rectangle{})), nullptr);
}

TEST(TableCells, NewCellElementsOfEachKind)
{
    EXPECT_EQ(TableCells::newElement(TableCellKind::none, true), std::nullopt);
    for (bool preference : {true, false}) {
        const std::optional<ReportElement> text =
            TableCells::newElement(TableCellKind::staticText, preference);
        const std::optional<ReportElement> field =
            TableCells::newElement(TableCellKind::textField, preference);
        ASSERT_TRUE(text && field);
        ASSERT_TRUE(text->kind.is<ElementKind::StaticText>());
        ASSERT_TRUE(field->kind.is<ElementKind::TextField>());
        EXPECT_EQ(text->kind.as<ElementKind::StaticText>()->text, u"Label"_s);
        EXPECT_EQ(field->kind.as<ElementKind::TextField>()->expression, u"$F{field}"_s);
        // Only a text field follows the preference.
        EXPECT_FALSE(text->isBlankWhenNull);
        EXPECT_EQ(field->isBlankWhenNull, preference);
        for (const ReportElement &e : {*text, *field}) {
            ReportElement expected;
            expected.id = e.id;
            expected.kind = e.kind;
            expected.width = 80;
            expected.isBlankWhenNull = e.isBlankWhenNull;
            // Every other value is the one a new element has.
            EXPECT_EQ(e, expected);
            EXPECT_FALSE(e.id.isNull());
            EXPECT_EQ(e.x, 0);
            EXPECT_EQ(e.y, 0);
            EXPECT_EQ(e.height, 20);
            EXPECT_EQ(e.fontName, u"SansSerif"_s);
            EXPECT_EQ(e.fontSize, 10);
            EXPECT_EQ(e.evaluationTime, u"Now"_s);
            EXPECT_EQ(e.positionType, PositionType::fixRelativeToTop);
            EXPECT_EQ(e.stretchType, StretchType::noStretch);
            EXPECT_TRUE(e.isUsingCache);
            EXPECT_TRUE(e.runToBottom);
            EXPECT_EQ(e.tableWhenNoDataType, std::nullopt);
        }
    }
    // Two new cells never share an id.
    EXPECT_NE(TableCells::newElement(TableCellKind::staticText, false)->id,
              TableCells::newElement(TableCellKind::staticText, false)->id);
}

TEST(TableCells, AnElementTheKindPickerDoesNotOfferShowsNoneAndKeepsItsContent)
{
    ReportElement image;
    image.kind = ElementKind::Image{u"\"logo.png\""_s};
    const SharedOptional<ReportElement> cell(image);
    EXPECT_EQ(TableCells::kindOf(cell), TableCellKind::none);
    EXPECT_EQ(TableCells::kindOf({}), TableCellKind::none);
    EXPECT_EQ(TableCells::content(image), QString());
    ReportElement typed = image;
    TableCells::setContent(typed, u"$F{x}"_s);
    EXPECT_EQ(typed, image);

    ReportElement text;
    text.kind = ElementKind::StaticText{u"Name"_s};
    EXPECT_EQ(TableCells::kindOf(SharedOptional<ReportElement>(text)), TableCellKind::staticText);
    EXPECT_EQ(TableCells::content(text), u"Name"_s);
    TableCells::setContent(text, u"City"_s);
    EXPECT_EQ(text.kind.as<ElementKind::StaticText>()->text, u"City"_s);
    ReportElement field;
    field.kind = ElementKind::TextField{u"$F{a}"_s};
    EXPECT_EQ(TableCells::kindOf(SharedOptional<ReportElement>(field)), TableCellKind::textField);
    TableCells::setContent(field, u""_s);
    EXPECT_EQ(field.kind.as<ElementKind::TextField>()->expression, QString());
}

TEST(TableCells, ANewColumnIsAHundredWideWithThreeEmptyCells)
{
    const ReportTableColumn column = ReportTableColumn::blank();
    ReportTableColumn expected;
    expected.id = column.id;
    expected.width = 100;
    expected.columnHeaderHeight = 20;
    expected.detailCellHeight = 20;
    expected.columnFooterHeight = 20;
    EXPECT_EQ(column, expected);
    EXPECT_FALSE(column.id.isNull());
    EXPECT_FALSE(column.detailCellElement);
    EXPECT_EQ(column.detailCellFormatting, TableCellFormatting{});
    EXPECT_NE(ReportTableColumn::blank().id, column.id);
}

// A column added to a table takes the heights of the rows the table has; a row no column has
// a cell or formatting in, and a table without columns, start at 20 points.
TEST(TableCells, AnAddedColumnTakesTheHeightsOfTheRowsTheTableHas)
{
    const ReportTableColumn alone = ReportTableColumn::blankFor({});
    EXPECT_EQ(alone.columnHeaderHeight, 20);
    EXPECT_EQ(alone.detailCellHeight, 20);
    EXPECT_EQ(alone.columnFooterHeight, 20);

    ReportTableColumn headless = ReportTableColumn::blank();
    headless.columnHeaderHeight = 40; // no cell in the row: the row is not written
    headless.detailCellHeight = 30;
    headless.columnFooterHeight = 15;
    ReportTableColumn withFooter = headless;
    withFooter.columnFooterHeight = 25;
    ReportElement cell;
    cell.kind = ElementKind::StaticText{u"Total"_s};
    withFooter.columnFooterElement = cell;
    const ReportTableColumn added = ReportTableColumn::blankFor({headless, withFooter});
    EXPECT_EQ(added.columnHeaderHeight, 20);
    EXPECT_EQ(added.detailCellHeight, 30);
    EXPECT_EQ(added.columnFooterHeight, 25) << "the first column with a cell in the row";
    EXPECT_NE(added.id, headless.id);
    EXPECT_EQ(added.width, 100);
}

TEST(TableCells, WidthsShowAndReadInTheLocalesNumberFormat)
{
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(TableCells::widthText(100, c), u"100"_s);
    EXPECT_EQ(TableCells::widthText(72.5, c), u"72.5"_s);
    EXPECT_EQ(TableCells::widthText(72.5, german), u"72,5"_s);
    EXPECT_EQ(TableCells::widthText(1234.5678, german), u"1.234,568"_s);
    EXPECT_EQ(TableCells::parseWidth(u"72,5"_s, german), 72.5);
    EXPECT_EQ(TableCells::parseWidth(u"72.5"_s, c), 72.5);
    EXPECT_EQ(TableCells::parseWidth(u" 0 "_s, c), 0.0);
    // No bounds: a negative width is a width.
    EXPECT_EQ(TableCells::parseWidth(u"-5"_s, c), -5.0);
    for (const QString &text : {u""_s, u"abc"_s, u"1e400"_s, u"inf"_s, u"nan"_s})
        EXPECT_EQ(TableCells::parseWidth(text, c), std::nullopt) << text.toStdString();
    // A width too large to round still shows.
    EXPECT_FALSE(TableCells::widthText(1e300, c).contains(u"inf"_s));
}

TEST(SubreportListTableTexts, ListNoteCountsTheRowTemplate)
{
    EXPECT_EQ(SubreportListTableTexts::listNote(1),
              u"1 element in the row template - add more from the palette while this list is "
              u"selected."_s);
    EXPECT_TRUE(SubreportListTableTexts::listNote(0).startsWith(u"0 elements in the row"_s));
    EXPECT_TRUE(SubreportListTableTexts::listNote(3).startsWith(u"3 elements in the row"_s));
    QStringList labels;
    for (WhenNoDataType type : allCases<WhenNoDataType>())
        labels << SubreportListTableTexts::whenNoDataLabel(type);
    EXPECT_EQ(labels, (QStringList{u"No Pages"_s, u"Blank Page"_s, u"All Sections, No Detail"_s,
                                   u"No Data Section"_s}));
    // Sub-datasets are defined in the sheet the Data button opens, titled "Report Data".
    EXPECT_EQ(SubreportListTableTexts::datasetNote(),
              u"Define subDatasets (their own Fields/Parameters/Query) in the Report Data sheet "
              u"(the Data button)."_s);
}

} // namespace
