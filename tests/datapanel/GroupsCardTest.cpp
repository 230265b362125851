#include "DataCardsFixture.h"
#include "model/PageLayout.h"

#include <QLabel>

using namespace storetest;

namespace {

using GroupsCard = DataCardsTest;

const QString groups = u"datapanel.groups"_s;

} // namespace

TEST_F(GroupsCard, ANewGroupNamedByTypingGoesAndComesBackAStepAtATime)
{
    EXPECT_TRUE(rows(DataPanelCard::groups).isEmpty());
    click(groups + u".add"_s);
    ASSERT_EQ(store.document().groups.size(), 1);
    EXPECT_EQ(find<QLineEdit>(row(groups, 0, u"name"_s))->text(), u"Group1"_s);
    EXPECT_EQ(find<QComboBox>(row(groups, 0, u"footerPosition"_s))->currentText(), u"Normal"_s);
    EXPECT_FALSE(find<QToolButton>(row(groups, 0, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(groups, 0, u"down"_s))->isEnabled());

    store.setIsDirty(false);
    typeKeepingFocus(row(groups, 0, u"name"_s), u"X"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.document().groups[0].name, u"Group1X"_s);
    EXPECT_EQ(store.undoStack().size(), 1);

    store.undo();
    ASSERT_EQ(store.document().groups.size(), 1);
    EXPECT_EQ(find<QLineEdit>(row(groups, 0, u"name"_s))->text(), u"Group1"_s);
    store.undo();
    EXPECT_TRUE(store.document().groups.isEmpty());
    EXPECT_TRUE(rows(DataPanelCard::groups).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the row leaves
    store.redo();
    store.redo();
    ASSERT_EQ(store.document().groups.size(), 1);
    EXPECT_EQ(store.document().groups[0].name, u"Group1X"_s);
    EXPECT_EQ(store.document().groups[0].headerHeight, 20);
    EXPECT_EQ(find<QLineEdit>(row(groups, 0, u"name"_s))->text(), u"Group1X"_s);
}

TEST_F(GroupsCard, FlagsExpressionAndFooterPositionAreWrittenAndSaved)
{
    click(groups + u".add"_s);
    type(row(groups, 0, u"expression"_s), u"$F{category}"_s);
    for (const char *flag :
         {"startNewPage", "resetPageNumber", "startNewColumn", "reprintHeader", "keepTogether"}) {
        auto *box = find<QCheckBox>(row(groups, 0, QString::fromLatin1(flag)));
        ASSERT_TRUE(box) << flag;
        EXPECT_FALSE(box->isChecked());
        box->click();
    }
    choose(row(groups, 0, u"footerPosition"_s), u"Stack At Bottom"_s);
    const ReportGroup &g = store.document().groups[0];
    EXPECT_EQ(g.expression, u"$F{category}"_s);
    EXPECT_TRUE(g.isStartNewPage && g.isResetPageNumber && g.isStartNewColumn &&
                g.isReprintHeaderOnEachPage && g.isKeepTogether);
    EXPECT_EQ(g.footerPosition, GroupFooterPosition::stackAtBottom);
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(find<QCheckBox>(row(groups, 0, u"keepTogether"_s))->text(), u"Keep Together"_s);
    const QString text = saved();
    EXPECT_TRUE(text.contains(u"footerPosition=\"StackAtBottom\""_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"keepTogether=\"true\""_s)) << text.toStdString();
}

TEST_F(GroupsCard, ACollateAtBottomGroupShowsNoPositionAndKeepsItUntilOneIsChosen)
{
    openReport("<group name=\"Region\" footerPosition=\"CollateAtBottom\">"
               "<groupExpression><![CDATA[$F{region}]]></groupExpression></group>");

    auto *footer = find<QComboBox>(row(groups, 0, u"footerPosition"_s));
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->currentIndex(), -1);
    type(row(groups, 0, u"name"_s), u"Area"_s);
    EXPECT_EQ(footer->currentIndex(), -1);
    EXPECT_TRUE(saved().contains(u"<group name=\"Area\" footerPosition=\"CollateAtBottom\">"_s));

    // Normal, the model's value already, is a choice too: the file's position goes.
    choose(row(groups, 0, u"footerPosition"_s), u"Normal"_s);
    EXPECT_EQ(footer->currentText(), u"Normal"_s);
    EXPECT_FALSE(saved().contains(u"footerPosition"_s));
}

TEST_F(GroupsCard, RemovingTheGroupOfTheActiveBandMakesTheFirstDetailBandActive)
{
    click(groups + u".add"_s);
    click(groups + u".add"_s);
    const QUuid first = store.document().groups[0].id;
    const QUuid second = store.document().groups[1].id;
    EXPECT_TRUE(find<QToolButton>(row(groups, 0, u"down"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(row(groups, 1, u"down"_s))->isEnabled());

    store.setActiveBandTarget(BandTarget::groupFooter(second));
    remove(groups, 0);
    EXPECT_EQ(store.activeBandTarget(), BandTarget::groupFooter(second)) << "another group went";
    EXPECT_EQ(store.document().groups[0].id, second);
    remove(groups, 0);
    EXPECT_TRUE(store.document().groups.isEmpty());
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_NE(first, second);
}

// A page its bands already overflow holds no new group's bands: the add adds nothing, and says
// why under the button in the Band Height field's words until the report changes.
TEST_F(GroupsCard, AnAddThePageCannotHoldSaysWhyUnderTheButton)
{
    // A page 5 points lower than a group's band 0 high needs.
    editDocument(store, [](ReportDocument &d) {
        ReportDocument grouped = d;
        grouped.groups.append(ReportGroup{});
        d.pageHeight -= PageLayout::largestBandHeight(
                            grouped, BandTarget::groupHeader(grouped.groups.first().id)) +
                        5;
    });
    const ReportDocument before = store.document();
    auto *refusal = find<QLabel>(groups + u".addRefusal"_s);
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->isHidden());
    click(groups + u".add"_s);
    EXPECT_EQ(store.document(), before);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_FALSE(refusal->isHidden());
    EXPECT_TRUE(refusal->text().startsWith(u"The page holds this band at most "_s))
        << refusal->text().toStdString();

    editDocument(store, [](ReportDocument &d) { d.pageHeight += 100; });
    EXPECT_TRUE(refusal->isHidden()) << "said of the report as it was";
    click(groups + u".add"_s);
    EXPECT_EQ(store.document().groups.size(), 1);
    EXPECT_TRUE(refusal->isHidden());
}
