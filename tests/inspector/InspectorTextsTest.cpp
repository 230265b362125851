#include "inspector/InspectorTexts.h"
#include "inspector/ElementCardPlan.h"

#include "TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList titles(const QList<PlannedSection> &plan)
{
    QStringList out;
    for (const PlannedSection &part : plan)
        out << (part.isCard() ? part.title : u"(note)"_s);
    return out;
}

TEST(InspectorTexts, CountsTakeAnSUnlessExactlyOne)
{
    EXPECT_EQ(InspectorTexts::reportSummary(0, 1, 2), u"0 parameters, 1 field, 2 groups."_s);
    EXPECT_EQ(InspectorTexts::reportSummary(1, 1, 1), u"1 parameter, 1 field, 1 group."_s);
    EXPECT_EQ(InspectorTexts::reportSummary(0, 0, 0), u"0 parameters, 0 fields, 0 groups."_s);
    EXPECT_EQ(InspectorTexts::reportSummary(12, 11, 21), u"12 parameters, 11 fields, 21 groups."_s);
    for (const auto &[count, start] : {std::pair{0, u"0 elements inside - "_s},
                                       {1, u"1 element inside - "_s},
                                       {3, u"3 elements inside - "_s}})
        EXPECT_TRUE(InspectorTexts::frameNote(count).startsWith(start)) << count;
    EXPECT_TRUE(InspectorTexts::frameNote(1).endsWith(
        u"or drag existing elements onto it on the canvas."_s));
    // The heading of a multi-selection keeps its plural whatever the count.
    EXPECT_EQ(InspectorTexts::multiSelectionTitle(3), u"3 Elements Selected"_s);
    EXPECT_EQ(InspectorTexts::multiSelectionTitle(2), u"2 Elements Selected"_s);
}

TEST(InspectorTexts, HeadersNameTheReportAndTheBand)
{
    EXPECT_EQ(InspectorTexts::reportHeader(u"Invoices"_s), u"Report: Invoices"_s);
    EXPECT_EQ(InspectorTexts::reportHeader({}), u"Report: Untitled"_s);
    EXPECT_EQ(InspectorTexts::reportHeader(u" "_s), u"Report:  "_s) << "blanks are a name";
    EXPECT_EQ(InspectorTexts::bandHeader(u"Detail 2"_s), u"Band: Detail 2"_s);
}

TEST(InspectorTexts, PickerLabelsFollowTheCasesInOrder)
{
    QStringList positions;
    for (PositionType type : allCases<PositionType>())
        positions << InspectorTexts::positionLabel(type);
    EXPECT_EQ(positions,
              (QStringList{u"Float"_s, u"Fix Relative To Top"_s, u"Fix Relative To Bottom"_s}));
    QStringList stretches;
    for (StretchType type : allCases<StretchType>())
        stretches << InspectorTexts::stretchLabel(type);
    EXPECT_EQ(stretches, (QStringList{u"No Stretch"_s, u"Relative To Band Height (deprecated)"_s,
                                      u"Relative To Tallest Object (deprecated)"_s,
                                      u"Element Group Bottom"_s, u"Element Group Height"_s,
                                      u"Container Height"_s, u"Container Bottom"_s}));
}

TEST(InspectorTexts, RawXmlKindsExplainThemselvesWithTheirTag)
{
    const auto notice = [](const ElementKind &kind) {
        return InspectorTexts::rawKindNotice(kind).value_or(u"(none)"_s);
    };
    EXPECT_TRUE(
        notice(ElementKind::Chart{.tag = u"pieChart"_s}).startsWith(u"A <pieChart> chart - "_s));
    EXPECT_TRUE(notice(ElementKind::ComponentPlaceholder{.tag = u"QRCode"_s})
                    .startsWith(u"A QRCode barcode component - preserved exactly"_s));
    // Only a barcode is called one.
    EXPECT_TRUE(notice(ElementKind::ComponentPlaceholder{.tag = u"map"_s})
                    .startsWith(u"A map component - preserved exactly"_s));
    EXPECT_TRUE(notice(ElementKind::Crosstab{}).startsWith(u"A crosstab - preserved exactly"_s));
    EXPECT_TRUE(notice(ElementKind::GenericElement{})
                    .startsWith(u"A custom-rendering generic element - "_s));
    for (const ElementKind &kind :
         {ElementKind(ElementKind::StaticText{}), ElementKind(ElementKind::Frame{}),
          ElementKind(ElementKind::Line{})})
        EXPECT_FALSE(InspectorTexts::rawKindNotice(kind)) << kind.displayName().toStdString();
}

TEST(InspectorTexts, TextChoicesStoreNoValueForTheirDefaults)
{
    EXPECT_EQ(InspectorTexts::evaluationTimes(),
              (QStringList{u"Now"_s, u"Report"_s, u"Page"_s, u"Column"_s, u"Band"_s, u"Group"_s,
                           u"Auto"_s}));
    EXPECT_EQ(InspectorTexts::storedOverflow(TextAdjust::stretchHeight), TextAdjust::stretchHeight);
    EXPECT_EQ(InspectorTexts::storedOverflow(TextAdjust::cutText), TextAdjust::cutText);
    EXPECT_EQ(InspectorTexts::storedOverflow(TextAdjust::scaleFont), TextAdjust::scaleFont);
    EXPECT_EQ(InspectorTexts::overflowLabel(TextAdjust::scaleFont), u"Shrink Font to Fit"_s);

    QStringList labels;
    for (const InspectorTexts::MarkupChoice &choice : InspectorTexts::markupChoices())
        labels << choice.label + u'=' + choice.stored.value_or(u"(none)"_s);
    EXPECT_EQ(labels, (QStringList{u"None=(none)"_s, u"HTML=html"_s, u"RTF=rtf"_s,
                                   u"Styled Text=styled"_s}));
    EXPECT_EQ(InspectorTexts::markupIndex(std::nullopt), 0);
    EXPECT_EQ(InspectorTexts::markupIndex(u"none"_s), 0);
    EXPECT_EQ(InspectorTexts::markupIndex(u"styled"_s), 3);
    EXPECT_EQ(InspectorTexts::markupIndex(u"HTML"_s), -1) << "stored texts are compared exactly";
}

TEST(InspectorTexts, HelpTextsAreWhole)
{
    EXPECT_EQ(InspectorTexts::overflowHelp().size(), 170);
    EXPECT_TRUE(InspectorTexts::overflowHelp().startsWith(u"\"Shrink Font to Fit\" scales"_s));
    EXPECT_EQ(InspectorTexts::evaluationTimeHelp().size(), 157);
    EXPECT_EQ(InspectorTexts::markupHelp().size(), 134);
    EXPECT_TRUE(InspectorTexts::hyperlinkPlaceholder().startsWith(u"e.g. \""_s));
    EXPECT_TRUE(InspectorTexts::hyperlinkPlaceholder().endsWith(u"\" + $F{id}"_s));
    EXPECT_EQ(InspectorTexts::breakExplanation(BreakType::column),
              u"Forces a column break wherever this falls in the flow - real files usually keep "
              u"it 1pt tall."_s);
}

TEST(ElementCardPlan, EveryKindHasItsCardsInOrder)
{
    const QList<std::pair<ElementKind, QStringList>> table = {
        {ElementKind::StaticText{}, {u"Text"_s, u"Text"_s, u"Padding"_s, u"Borders"_s}},
        {ElementKind::TextField{},
         {u"Expression"_s, u"Text"_s, u"Format"_s, u"Padding"_s, u"Borders"_s}},
        {ElementKind::Image{},
         {u"Image Expression"_s, u"Evaluation"_s, u"Padding"_s, u"Borders"_s}},
        {ElementKind::Subreport{},
         {u"Subreport File"_s, u"Data Source"_s, u"Parameters"_s, u"Evaluation"_s, u"Borders"_s}},
        {ElementKind::Frame{}, {u"Fill"_s, u"Borders"_s, u"(note)"_s}},
        {ElementKind::List{}, {u"List"_s, u"Dataset Parameters"_s, u"(note)"_s}},
        {ElementKind::Table{}, {u"Table"_s, u"Columns"_s, u"No Data"_s}},
        {ElementKind::ReportBreak{.type = BreakType::column}, {u"Break"_s}},
        {ElementKind::Chart{.tag = u"barChart"_s}, {u"Chart"_s}},
        {ElementKind::Crosstab{}, {u"Crosstab"_s}},
        {ElementKind::ComponentPlaceholder{.tag = u"map"_s}, {u"Barcode"_s}},
        {ElementKind::GenericElement{}, {u"Generic Element"_s}},
        {ElementKind::Rectangle{}, {u"Style"_s}},
        {ElementKind::Ellipse{}, {u"Style"_s}},
        {ElementKind::Line{}, {u"Style"_s}},
    };
    ASSERT_EQ(table.size(), qsizetype(std::variant_size_v<ElementKind::Payload>))
        << "every kind is in the table";
    QSet<QString> names;
    for (const auto &[kind, expected] : table) {
        const QList<PlannedSection> plan = elementCardPlan(kind);
        EXPECT_EQ(titles(plan), expected) << kind.displayName().toStdString();
        for (const PlannedSection &part : plan)
            names.insert(sectionName(part.section));
    }
    EXPECT_FALSE(names.contains(QString())) << "every part has a name";
    EXPECT_EQ(names.size(), 22) << "and no two parts share one";
}

TEST(ElementCardPlan, OnlyTheKindsCaseDecides)
{
    ElementKind small = ElementKind::Frame{};
    ElementKind big = ElementKind::Frame{};
    big.children()->append(ReportElement{});
    EXPECT_EQ(elementCardPlan(small), elementCardPlan(big));
    EXPECT_EQ(elementCardPlan(ElementKind::ReportBreak{.type = BreakType::page}),
              elementCardPlan(ElementKind::ReportBreak{.type = BreakType::column}));
    const auto padded = [](const ElementKind &kind) {
        const QList<PlannedSection> plan = elementCardPlan(kind);
        return std::any_of(plan.cbegin(), plan.cend(), [](const PlannedSection &p) {
            return p.section == ElementSection::padding;
        });
    };
    EXPECT_TRUE(padded(ElementKind::Image{}));
    EXPECT_FALSE(padded(ElementKind::Subreport{}));
}

} // namespace
