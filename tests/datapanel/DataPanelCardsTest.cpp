#include "datapanel/DataPanelCards.h"
#include "datapanel/DataPanelSplitState.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(DataPanelCards, TenCardsInTheirOrderWithDistinctTitlesAndNames)
{
    QStringList titles;
    QSet<QString> names;
    for (DataPanelCard card : DataPanelCards::order) {
        titles << DataPanelCards::title(card);
        names.insert(DataPanelCards::objectName(card));
        EXPECT_FALSE(DataPanelCards::subtitle(card).isEmpty());
        EXPECT_TRUE(DataPanelCards::objectName(card).startsWith(u"datapanel."_s));
    }
    EXPECT_EQ(titles,
              (QStringList{u"Database Connections"_s, u"Subdatasets"_s, u"Parameters"_s,
                           u"Fields"_s, u"Sort Fields"_s, u"Scriptlets"_s, u"Report Templates"_s,
                           u"Variables"_s, u"Groups"_s, u"Styles"_s}));
    EXPECT_EQ(names.size(), 10);
    // The enumeration's values index the order, which the panel relies on to find a card.
    for (std::size_t i = 0; i < DataPanelCards::order.size(); ++i)
        EXPECT_EQ(std::size_t(DataPanelCards::order[i]), i);
    EXPECT_EQ(DataPanelCards::subtitle(DataPanelCard::reportTemplates),
              u"A .jrtx style-template reference, e.g. \"templates/base.jrtx\" or "
              u"$P{SUBREPORT_DIR} + \"base.jrtx\"."_s);
    EXPECT_TRUE(DataPanelCards::subtitle(DataPanelCard::styles).contains(u"\"Reapply\""_s));
    // Without a connection the engine gets one empty record: the sample CSV is the query test's.
    EXPECT_EQ(DataPanelCards::subtitle(DataPanelCard::connections),
              u"Optional live connections for Read Fields / Compile & Preview / Export. Without "
              u"one selected, Read Fields reads the field names from the query's text, and "
              u"previews and exports run on one empty record (the sample CSV serves the query "
              u"test only)."_s);
}

TEST(DataPanelSplitState, FollowsTheDragWithinItsLimitsAndCommitsOnRelease)
{
    DataPanelSplitState split;
    EXPECT_EQ(split.effectiveWidth(), 367);

    split.drag(1000);
    EXPECT_EQ(split.effectiveWidth(), 900) << "the pane follows the pointer up to 900";
    EXPECT_EQ(split.leftWidth(), 367) << "nothing is committed during the drag";
    split.endDrag(1000);
    EXPECT_EQ(split.leftWidth(), 900);
    EXPECT_EQ(split.dragDelta(), 0);
    EXPECT_EQ(split.effectiveWidth(), 900) << "release keeps the width shown";

    split.drag(-2000);
    EXPECT_EQ(split.effectiveWidth(), 240);
    split.endDrag(-2000);
    EXPECT_EQ(split.leftWidth(), 240);

    split.drag(30.5);
    EXPECT_EQ(split.effectiveWidth(), 270.5);
    split.endDrag(30.5);
    EXPECT_EQ(split.leftWidth(), 270.5);
}
