#include "datapanel/GroupFooterPositions.h"
#include "model/JrxmlCodec.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray reportWithGroup(const QByteArray &attributes)
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
           "name=\"r\"><group name=\"g\"" +
           attributes +
           "><groupExpression><![CDATA[$F{a}]]></groupExpression></group>"
           "</jasperReport>";
}

} // namespace

TEST(GroupFooterPositions, ThePickerOffersTheModelsThreePositions)
{
    const QList<GroupFooterPositions::Entry> &entries = GroupFooterPositions::entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].label, u"Normal"_s);
    EXPECT_EQ(entries[0].value, GroupFooterPosition::normal);
    EXPECT_EQ(entries[1].label, u"Stack At Bottom"_s);
    EXPECT_EQ(entries[1].value, GroupFooterPosition::stackAtBottom);
    EXPECT_EQ(entries[2].label, u"Force At Bottom"_s);
    EXPECT_EQ(entries[2].value, GroupFooterPosition::forceAtBottom);
}

TEST(GroupFooterPositions, APositionThePickerDoesNotOfferShowsNoneAndStaysUntilChosen)
{
    ReportDocument document =
        JrxmlCodec::parse(reportWithGroup(" footerPosition=\"CollateAtBottom\""));
    EXPECT_EQ(GroupFooterPositions::shown(document.groups[0]), std::nullopt);
    EXPECT_TRUE(JrxmlCodec::serialize(document).contains(" footerPosition=\"CollateAtBottom\""));

    // Choosing Normal, the model's value already, still replaces the file's position.
    ReportDocument normal = document;
    GroupFooterPositions::choose(normal.groups[0], GroupFooterPosition::normal);
    EXPECT_NE(normal.groups[0], document.groups[0]);
    EXPECT_EQ(GroupFooterPositions::shown(normal.groups[0]), GroupFooterPosition::normal);
    EXPECT_FALSE(JrxmlCodec::serialize(normal).contains("footerPosition"));

    GroupFooterPositions::choose(document.groups[0], GroupFooterPosition::forceAtBottom);
    EXPECT_EQ(GroupFooterPositions::shown(document.groups[0]), GroupFooterPosition::forceAtBottom);
    const QByteArray written = JrxmlCodec::serialize(document);
    EXPECT_TRUE(written.contains(" footerPosition=\"ForceAtBottom\"")) << written.toStdString();
    EXPECT_EQ(written.count("footerPosition"), 1);
}

TEST(GroupFooterPositions, KnownPositionsShowAsReadAndKeepTheirSpelling)
{
    for (const auto &[attribute, position] :
         {std::pair{QByteArray(), GroupFooterPosition::normal},
          {" footerPosition=\"Normal\"", GroupFooterPosition::normal},
          {" footerPosition=\"StackAtBottom\"", GroupFooterPosition::stackAtBottom}}) {
        ReportDocument document = JrxmlCodec::parse(reportWithGroup(attribute));
        EXPECT_EQ(GroupFooterPositions::shown(document.groups[0]), position);
    }
    // Choosing the position a file spelled out leaves its spelling alone.
    ReportDocument spelled = JrxmlCodec::parse(reportWithGroup(" footerPosition=\"Normal\""));
    const ReportGroup before = spelled.groups[0];
    GroupFooterPositions::choose(spelled.groups[0], GroupFooterPosition::normal);
    EXPECT_EQ(spelled.groups[0], before);
}
