#include "model/SubreportNaming.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SubreportNaming, CandidateBaseNameOfTheLastQuotedLiteral)
{
    const struct {
        const char *expression;
        std::optional<QString> expected;
    } cases[] = {
        {R"($P{SUBREPORT_DIR} + "Orders_Sub.jasper")", QStringLiteral("orders_sub")},
        {R"("a/First.jasper" + "b/Second.jasper")", QStringLiteral("second")},
        {R"("archive.v2.jasper")", QStringLiteral("archive.v2")},
        {R"("NoExtension")", QStringLiteral("noextension")},
        {R"(".hidden")", QStringLiteral(".hidden")},
        {R"("folder/")", std::nullopt},
        {R"("")", std::nullopt},
        {R"($P{SUBREPORT_DIR} + $P{NAME})", std::nullopt},
        {R"("unclosed)", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(candidateSubreportBaseName(QString::fromUtf8(c.expression)), c.expected);
    }
}

TEST(SubreportNaming, BaseNameKeepsTheExpressionsSpelling)
{
    EXPECT_EQ(subreportBaseName(QStringLiteral(R"($P{SUBREPORT_DIR} + "Sub/Orders_Sub.jasper")")),
              QStringLiteral("Orders_Sub"));
    EXPECT_EQ(subreportBaseName(QStringLiteral("$P{X}")), std::nullopt);
}

TEST(SubreportNaming, FileNameComponentNeverLeadsOutOfItsFolder)
{
    const struct {
        QString name;
        QString expected;
    } cases[] = {
        {u"Invoice"_s, u"Invoice"_s},
        {u"Sales Q1 (draft).v2"_s, u"Sales Q1 (draft).v2"_s},
        {u"Überblick – 2024"_s, u"Überblick – 2024"_s},
        {u"...x"_s, u"...x"_s},
        {u"Sales/Q1"_s, u"Sales_Q1"_s},
        {u"../x"_s, u".._x"_s},
        {u"/etc/passwd"_s, u"_etc_passwd"_s},
        {u"a\\b"_s, u"a_b"_s},
        {QString(u"a"_s) + QChar(0) + u"b"_s, u"a_b"_s},
        {QString(), u"report"_s},
        {u"."_s, u"report"_s},
        {u".."_s, u"report"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(fileNameComponent(c.name), c.expected);
    }
    EXPECT_EQ(fileNameComponent(QString(), u"Report"_s), u"Report"_s);

    // A long name is cut at 200 bytes of UTF-8, never inside a character.
    EXPECT_EQ(fileNameComponent(QString(300, u'a')), QString(200, u'a'));
    const QString umlauts(150, u'ü'); // two bytes each
    EXPECT_EQ(fileNameComponent(umlauts), QString(100, u'ü'));
    QString emoji;
    for (int i = 0; i < 60; ++i)
        emoji += QString::fromUcs4(U"\U0001F600", 1); // four bytes, a surrogate pair
    EXPECT_EQ(fileNameComponent(emoji).toUtf8().size(), 200);
    EXPECT_FALSE(fileNameComponent(u"x"_s + emoji).back().isHighSurrogate());
}
