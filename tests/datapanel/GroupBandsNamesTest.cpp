// A group header or footer with several bands: what its later bands (kept as the file wrote them)
// name counts, follows renames and goes with removals as what its first band names does.

#include "CorpusCardsFixture.h"

#include <QLabel>

using namespace storetest;

namespace {

using GroupBandsNames = CorpusCardsTest;

const QString groupsCard = u"datapanel.groups"_s;
const QString stylesCard = u"datapanel.styles"_s;
const QString subDatasetsCard = u"datapanel.subDatasets"_s;
const QString parametersCard = u"datapanel.params"_s;

// AccessibleReport's Group1 header holds 26 bands; its crosstabs run CrosstabDataset, and most
// of its elements use the report's styles, all in bands after the first.
const QString accessible = u"accessible/AccessibleReport.jrxml"_s;

// Two groups; the inner one's footer has two bands, the second showing a total evaluated when
// the outer group ends.
const QByteArray twoGroups = R"(
  <field name="Country" class="java.lang.String"/>
  <field name="City" class="java.lang.String"/>
  <variable name="Cities" class="java.lang.Integer" calculation="Count">
    <variableExpression><![CDATA[$F{City}]]></variableExpression>
  </variable>
  <group name="Country">
    <groupExpression><![CDATA[$F{Country}]]></groupExpression>
  </group>
  <group name="City">
    <groupExpression><![CDATA[$F{City}]]></groupExpression>
    <groupFooter>
      <band height="20"/>
      <band height="20">
        <textField evaluationTime="Group" evaluationGroup="Country">
          <reportElement x="0" y="0" width="100" height="20"/>
          <textFieldExpression><![CDATA[$V{Cities}]]></textFieldExpression>
        </textField>
      </band>
    </groupFooter>
  </group>)";

} // namespace

TEST_F(GroupBandsNames, ASubDatasetRunInLaterBandsIsAskedAboutAndGoesWithWhatRunsIt)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    const QString file = openSample(accessible);
    const int runs = int(file.count(u"subDataset=\"CrosstabDataset\""_s));
    ASSERT_EQ(runs, 2);
    const ReportDocument before = store.document();
    const QString remove =
        row(subDatasetsCard, indexOf(before.subDatasets, u"CrosstabDataset"_s), u"remove"_s);

    expectAskedAndKept(remove, u"CrosstabDataset is used by 2 components."_s);

    dialogs.answerAlert(0);
    click(remove);
    EXPECT_EQ(store.document().subDatasets.size(), before.subDatasets.size() - 1);
    const QString text = saved();
    EXPECT_FALSE(text.contains(u"CrosstabDataset"_s));
    EXPECT_EQ(text.count(u"<crosstab>"_s) + text.count(u"<crosstab "_s),
              file.count(u"<crosstab>"_s) + file.count(u"<crosstab "_s) - runs)
        << "the crosstabs that ran it went with it";
    EXPECT_EQ(compileError(), std::nullopt);
    store.undo();
    EXPECT_EQ(store.document(), before);
}

TEST_F(GroupBandsNames, ASubDatasetRenamedIsRenamedWhereLaterBandsRunIt)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    const QString file = openSample(accessible);
    const int index = indexOf(store.document().subDatasets, u"CrosstabDataset"_s);
    typeKeepingFocus(row(subDatasetsCard, index, u"name"_s), u"2"_s);
    EXPECT_EQ(store.document().subDatasets[index].name, u"CrosstabDataset2"_s);
    const QString text = saved();
    EXPECT_FALSE(text.contains(u"\"CrosstabDataset\""_s));
    EXPECT_EQ(text.count(u"subDataset=\"CrosstabDataset2\""_s),
              file.count(u"subDataset=\"CrosstabDataset\""_s));
    EXPECT_EQ(compileError(), std::nullopt);
}

TEST_F(GroupBandsNames, AStyleOfLaterBandsIsCountedAskedAboutRenamedAndDeleted)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    const QString file = openSample(accessible);
    const int uses = int(file.count(u"style=\"Description\""_s));
    ASSERT_EQ(uses, 7) << "one in the header's first band, six in its later ones";
    const ReportDocument before = store.document();
    const int index = indexOf(before.styles, u"Description"_s);
    auto *usage = find<QLabel>(row(stylesCard, index, u"usage"_s));
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->text(), u"7 elements use this style"_s);

    expectAskedAndKept(row(stylesCard, index, u"remove"_s),
                       u"Description is used by 7 elements."_s);

    typeKeepingFocus(row(stylesCard, index, u"name"_s), u"Text"_s);
    QString text = saved();
    EXPECT_EQ(text.count(u"style=\"DescriptionText\""_s), uses);
    EXPECT_FALSE(text.contains(u"style=\"Description\""_s));
    EXPECT_EQ(usage->text(), u"7 elements use this style"_s);
    EXPECT_EQ(compileError(), std::nullopt);

    dialogs.answerAlert(0);
    click(row(stylesCard, index, u"remove"_s));
    EXPECT_EQ(dialogs.alerts().last().message, u"DescriptionText is used by 7 elements."_s);
    EXPECT_EQ(store.document().styles.size(), before.styles.size() - 1);
    text = saved();
    EXPECT_FALSE(text.contains(u"\"DescriptionText\""_s));
    EXPECT_EQ(compileError(), std::nullopt);
}

TEST_F(GroupBandsNames, AGroupNamedInALaterBandIsAskedAboutRenamedAndDeleted)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openReport(twoGroups);
    expectAskedAndKept(row(groupsCard, 0, u"remove"_s), u"Country is used by 1 element."_s);

    typeKeepingFocus(row(groupsCard, 0, u"name"_s), u"Group"_s);
    EXPECT_TRUE(saved().contains(u"evaluationGroup=\"CountryGroup\""_s));
    EXPECT_EQ(compileError(), std::nullopt);

    dialogs.answerAlert(0);
    click(row(groupsCard, 0, u"remove"_s));
    ASSERT_EQ(store.document().groups.size(), 1);
    const QString text = saved();
    EXPECT_FALSE(text.contains(u"CountryGroup"_s));
    EXPECT_TRUE(text.contains(u"evaluationTime=\"Report\""_s))
        << "evaluated once for the whole report";
    EXPECT_EQ(compileError(), std::nullopt);
}

// AllChartsReport's pie charts read their data source from a parameter in a later band.
TEST_F(GroupBandsNames, AParameterOnlyLaterBandsUseIsAskedAbout)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(u"chartthemes/AllChartsReport.jrxml"_s);
    const ReportDocument before = store.document();
    const QString remove =
        row(parametersCard, indexOf(before.parameters, u"pieDatasource1"_s), u"remove"_s);
    expectAskedAndKept(remove, u"$P{pieDatasource1} is used in 1 expression."_s);

    dialogs.answerAlert(0);
    click(remove);
    EXPECT_EQ(store.document().parameters.size(), before.parameters.size() - 1);
    EXPECT_TRUE(compileError().value_or(QString()).contains(u"pieDatasource1"_s))
        << "the expression names what the report no longer declares";
}

// A new style typed onto Description's name: deleting it asks nothing and leaves the elements of
// the later bands their style; deleting Description then asks about all of them.
TEST_F(GroupBandsNames, OfTwoStylesOfOneNameEachKeepsWhatNamedIt)
{
    QUILLMARK_REQUIRE_CORPUS_AND_ENGINE();
    openSample(accessible);
    click(stylesCard + u".add"_s);
    const int added = int(store.document().styles.size()) - 1;
    type(row(stylesCard, added, u"name"_s), u"Description"_s);
    store.flushPendingUndoSnapshot();

    dialogs.answerAlert(0);
    click(row(stylesCard, added, u"remove"_s));
    EXPECT_TRUE(dialogs.alerts().isEmpty());
    EXPECT_EQ(saved().count(u"style=\"Description\""_s), 7);
    EXPECT_EQ(compileError(), std::nullopt);

    click(row(stylesCard, indexOf(store.document().styles, u"Description"_s), u"remove"_s));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().last().message, u"Description is used by 7 elements."_s);
    EXPECT_FALSE(saved().contains(u"style=\"Description\""_s));
    EXPECT_EQ(compileError(), std::nullopt);
}
