#include "setup/NewReportWizardState.h"
#include "setup/PageFormatPreset.h"
#include "setup/StarterHeaderStyle.h"

#include "StyleNames.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PageFormatPreset, ListsThirteenPresetsInOrderWithTheirSizesAndTexts)
{
    struct Row {
        QString text;
        std::optional<PageSize> size;
    };
    const QList<Row> expected{
        {u"A4"_s, PageSize{595, 842}},
        {u"A4 Landscape"_s, PageSize{842, 595}},
        {u"Letter"_s, PageSize{612, 792}},
        {u"Letter Landscape"_s, PageSize{792, 612}},
        {u"Legal"_s, PageSize{612, 1008}},
        {u"Legal Landscape"_s, PageSize{1008, 612}},
        {u"A3"_s, PageSize{842, 1191}},
        {u"A3 Landscape"_s, PageSize{1191, 842}},
        {u"A5"_s, PageSize{420, 595}},
        {u"A5 Landscape"_s, PageSize{595, 420}},
        {u"Tabloid (11\u00D717)"_s, PageSize{792, 1224}},
        {u"Tabloid Landscape"_s, PageSize{1224, 792}},
        {u"Custom"_s, std::nullopt},
    };
    const QList<PageFormatPreset> &all = PageFormatPresets::all();
    ASSERT_EQ(all.size(), expected.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(expected[i].text.toStdString());
        EXPECT_EQ(PageFormatPresets::displayText(all[i]), expected[i].text);
        EXPECT_EQ(PageFormatPresets::size(all[i]), expected[i].size);
        EXPECT_EQ(PageFormatPresets::fromText(expected[i].text), all[i]);
        // Every size occurs once, so each sized preset is the one its own size matches.
        if (expected[i].size) {
            EXPECT_EQ(
                PageFormatPresets::matching(expected[i].size->width, expected[i].size->height),
                all[i]);
        }
    }
    EXPECT_EQ(PageFormatPresets::fromText(u"Tabloid (11x17)"_s), std::nullopt);
    EXPECT_EQ(PageFormatPresets::fromText(u"a4"_s), std::nullopt);
    EXPECT_EQ(PageFormatPresets::fromText(QString()), std::nullopt);
}

TEST(PageFormatPreset, MatchesExactSizesOnlyAndFallsBackToCustom)
{
    EXPECT_EQ(PageFormatPresets::matching(595, 842), PageFormatPreset::a4Portrait);
    EXPECT_EQ(PageFormatPresets::matching(842, 595), PageFormatPreset::a4Landscape);
    EXPECT_EQ(PageFormatPresets::matching(600, 800), PageFormatPreset::custom);
    EXPECT_EQ(PageFormatPresets::matching(595.5, 842), PageFormatPreset::custom);
    EXPECT_EQ(PageFormatPresets::matching(0, 0), PageFormatPreset::custom);
    EXPECT_EQ(PageFormatPresets::matching(-595, -842), PageFormatPreset::custom);
}

TEST(StarterHeaderStyle, ListsFiveHeadersWithTheirColours)
{
    const QList<StarterHeaderStyle> &all = StarterHeaderStyles::all();
    const QStringList texts{u"Blank"_s, u"Corporate Blue"_s, u"Slate"_s, u"Forest"_s, u"Crimson"_s};
    const QList<std::optional<ElementColor>> colors{
        std::nullopt, ElementColor{u"#1F4E8C"_s}, ElementColor{u"#3C4650"_s},
        ElementColor{u"#2E5D3A"_s}, ElementColor{u"#7A2331"_s}};
    ASSERT_EQ(all.size(), 5);
    for (qsizetype i = 0; i < all.size(); ++i) {
        EXPECT_EQ(StarterHeaderStyles::displayText(all[i]), texts[i]);
        EXPECT_EQ(StarterHeaderStyles::headerColor(all[i]), colors[i]);
        EXPECT_EQ(StarterHeaderStyles::fromText(texts[i]), all[i]);
    }
    EXPECT_EQ(all.first(), StarterHeaderStyle::none);
    EXPECT_EQ(StarterHeaderStyles::fromText(u"None"_s), std::nullopt);
}

TEST(NewReportWizardState, StartsOnA4BlankAndResetsToTheDefaultPageSize)
{
    NewReportWizardState state;
    EXPECT_EQ(state.preset(), PageFormatPreset::a4Portrait);
    EXPECT_EQ(state.customWidth(), 595);
    EXPECT_EQ(state.customHeight(), 842);
    EXPECT_EQ(state.headerStyle(), StarterHeaderStyle::none);
    EXPECT_TRUE(state.styles().isEmpty());
    EXPECT_EQ(state.resolvedSize(), (PageSize{595, 842}));

    state.setHeaderStyle(StarterHeaderStyle::crimson);
    state.addStyle();
    state.reset(842, 595);
    EXPECT_EQ(state.preset(), PageFormatPreset::a4Landscape);
    EXPECT_EQ(state.customWidth(), 842);
    EXPECT_EQ(state.customHeight(), 595);
    EXPECT_TRUE(state.styles().isEmpty());
    EXPECT_EQ(state.headerStyle(), StarterHeaderStyle::crimson) << "the header is not reset";

    state.reset(600, 800);
    EXPECT_EQ(state.preset(), PageFormatPreset::custom);
    EXPECT_EQ(state.customWidth(), 600);
    EXPECT_EQ(state.customHeight(), 800);
    EXPECT_EQ(state.resolvedSize(), (PageSize{600, 800}));

    // Another preset hides the custom size without forgetting it; Custom uses it again.
    state.setPreset(PageFormatPreset::letterLandscape);
    EXPECT_EQ(state.resolvedSize(), (PageSize{792, 612}));
    EXPECT_EQ(state.customWidth(), 600);
    state.setPreset(PageFormatPreset::custom);
    state.setCustomWidth(0);
    state.setCustomHeight(-5);
    EXPECT_EQ(state.resolvedSize(), (PageSize{0, -5})) << "custom sizes pass unchecked";
}

TEST(NewReportWizardState, AnnouncesEachChangeOnceAndNothingWhenTheValueStays)
{
    NewReportWizardState state;
    QSignalSpy preset(&state, &NewReportWizardState::presetChanged);
    QSignalSpy width(&state, &NewReportWizardState::customWidthChanged);
    QSignalSpy styles(&state, &NewReportWizardState::stylesChanged);
    state.reset(595, 842);
    EXPECT_EQ(preset.count(), 0);
    EXPECT_EQ(width.count(), 0);
    EXPECT_EQ(styles.count(), 0);
    state.reset(612, 792);
    EXPECT_EQ(preset.count(), 1);
    EXPECT_EQ(width.count(), 1);
    state.addStyle();
    EXPECT_EQ(styles.count(), 1);
    state.moveStyle(0, 1); // outside the list: nothing
    state.removeStyle(3);
    state.replaceStyle(-1, ReportStyle{});
    EXPECT_EQ(styles.count(), 1);
}

TEST(NewReportWizardState, AddsMovesRemovesAndImportsStyles)
{
    NewReportWizardState state;
    state.addStyle();
    state.addStyle();
    ASSERT_EQ(styleNames(state.styles()), (QStringList{u"Style1"_s, u"Style2"_s}));
    const ReportStyle &added = state.styles().first();
    EXPECT_FALSE(added.isDefault);
    EXPECT_EQ(added.fontName, u"SansSerif"_s);
    EXPECT_EQ(added.fontSize, 10);
    EXPECT_EQ(added.textAlignment, TextAlignment::left);
    EXPECT_EQ(added.foreColor, std::nullopt);
    EXPECT_EQ(added.backColor, std::nullopt);
    EXPECT_EQ(added.penWidth, 1);
    EXPECT_TRUE(added.conditionalStyles.isEmpty());
    EXPECT_NE(state.styles()[0].id, state.styles()[1].id);

    // Removing the first and adding again takes the first free number, "Style1".
    state.removeStyle(0);
    state.addStyle();
    EXPECT_EQ(styleNames(state.styles()), (QStringList{u"Style2"_s, u"Style1"_s}));

    ReportStyle source;
    source.name = u"Heading"_s;
    source.isDefault = true;
    source.fontName = u"Verdana"_s;
    source.backColor = ElementColor{u"#102030"_s};
    source.conditionalStyles.append(ConditionalStyleRule{});
    source.conditionalStyles.first().conditionExpression = u"$V{REPORT_COUNT} > 1"_s;
    state.addImportedStyle(source);
    const ReportStyle copy = state.styles().last();
    EXPECT_NE(copy.id, source.id);
    EXPECT_FALSE(copy.isDefault);
    ReportStyle expected = source;
    expected.id = copy.id;
    expected.isDefault = false;
    EXPECT_EQ(copy, expected) << "everything else, conditional styles too, is kept";

    state.moveStyle(2, -2);
    EXPECT_EQ(styleNames(state.styles()), (QStringList{u"Heading"_s, u"Style1"_s, u"Style2"_s}));
    ReportStyle renamed = state.styles()[1];
    renamed.name = u"Body"_s;
    state.replaceStyle(1, renamed);
    EXPECT_EQ(styleNames(state.styles()), (QStringList{u"Heading"_s, u"Body"_s, u"Style2"_s}));
}
