#include "setup/ImageExpression.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

const QUrl savedReport = QUrl::fromLocalFile(u"/tmp/r/report.jrxml"_s);

struct ResolveCase {
    const char *expression;
    bool saved;
    const char *expected; // a file path, a web address, or "" for no location
};

TEST(ImageExpressionTest, ResolvesTheTwoSimpleFormsOnly)
{
    const ResolveCase cases[] = {
        {R"("logo.png")", true, "/tmp/r/logo.png"},
        {R"($P{SUBREPORT_DIR} + "logo.png")", true, "/tmp/r/logo.png"},
        {R"($P{SUBREPORT_DIR} + "img/logo.png")", true, "/tmp/r/img/logo.png"},
        {R"($P{SUBREPORT_DIR} +"logo.png")", true, "/tmp/r/logo.png"},
        {R"($P{SUBREPORT_DIR}+ "logo.png")", true, ""},
        {R"($P{SUBREPORT_DIR}  + "logo.png")", true, ""},
        {R"($P{IMAGE_DIR} + "logo.png")", true, ""},
        {R"("a" + "b.png")", true, ""},
        {R"("a"+"b.png")", true, ""},
        {R"($F{picture})", true, ""},
        {R"("C:\\pics\\logo.png")", true, "/tmp/r/C:\\pics\\logo.png"},
        {R"("HTTPS://example.com/a.png")", true, "https://example.com/a.png"},
        {R"("http://example.com/a.png")", false, "http://example.com/a.png"},
        {R"("/var/pics/a.png")", false, "/var/pics/a.png"},
        {R"("logo.png")", false, ""},
        {R"("")", true, "/tmp/r"},
        {" \n \"logo.png\"\n ", true, "/tmp/r/logo.png"},
        {"$P{SUBREPORT_DIR} +   \"logo.png\"  \n", true, "/tmp/r/logo.png"},
        {R"(")", true, ""},
        {R"(logo.png)", true, ""},
    };
    for (const ResolveCase &c : cases) {
        SCOPED_TRACE(c.expression);
        const std::optional<QUrl> url = ImageExpression::resolve(
            QString::fromUtf8(c.expression), c.saved ? std::optional(savedReport) : std::nullopt);
        const QString expected = QString::fromUtf8(c.expected);
        if (expected.isEmpty()) {
            EXPECT_FALSE(url.has_value()) << url->toString().toStdString();
            continue;
        }
        ASSERT_TRUE(url.has_value());
        if (url->isLocalFile())
            EXPECT_EQ(url->toLocalFile(), expected);
        else
            EXPECT_EQ(url->toString(), expected);
    }
}

TEST(ImageExpressionTest, LiteralUnescapesQuotesAndBackslashesOnly)
{
    EXPECT_EQ(ImageExpression::stringLiteral(uR"("say \"hi\".png")"_s), uR"(say "hi".png)"_s);
    EXPECT_EQ(ImageExpression::stringLiteral(uR"("a\\b\n.png")"_s), uR"(a\b\n.png)"_s);
    EXPECT_EQ(ImageExpression::stringLiteral(uR"("")"_s), QString());
    // A quote that is not escaped ends the literal early; "\" +" inside still counts as joining.
    EXPECT_FALSE(ImageExpression::stringLiteral(uR"("a"b")"_s));
    EXPECT_FALSE(ImageExpression::stringLiteral(uR"("a\" + b")"_s));
    EXPECT_FALSE(ImageExpression::subreportDirLiteral(uR"($p{SUBREPORT_DIR} + "a")"_s));
}

} // namespace
