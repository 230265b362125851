#include "model/SubreportNaming.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

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
