#include "engine/PDFSizeLimit.h"
#include "TestSupport.h"
#include "model/ReportDocument.h"

#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The informative text for a size as the alert prints it.
QString expectedText(const QString &size)
{
    return u"This report's page size ("_s + size +
           u"pt) exceeds the PDF engine's maximum of 14400×14400pt. Content beyond that will be "
           u"silently cut off in the exported PDF.";
}

} // namespace

TEST(PDFSizeLimit, AsksOnlyBeyondTheLimitAndGoesOnOnlyWithTheFirstButton)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double width, height;
        const char16_t *printed; // nullptr: no question
    };
    const Case cases[] = {
        {14400, 14400, nullptr},
        {595, 842, nullptr},
        {-inf, 842, u"?×842"},
        {14400.7, 100, u"14400×100"},
        {100, 20000.99, u"100×20000"},
        {inf, 100, u"?×100"},
        {100, nan, u"100×?"},
        {1e19, 842, u"?×842"}, // beyond 64 bits
        {9e18, 842, u"9000000000000000000×842"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ReportDocument document;
        document.pageWidth = c.width;
        document.pageHeight = c.height;
        for (const int answer : {0, 1, -1}) {
            QStringList asked;
            const bool goesOn = PDFSizeLimit::confirmIfExceeded(
                document, [&](const QString &message, const QString &text, const QStringList &b) {
                    asked = QStringList{message, text} + b;
                    return answer;
                });
            if (!c.printed) {
                EXPECT_TRUE(goesOn);
                EXPECT_TRUE(asked.isEmpty());
                continue;
            }
            EXPECT_EQ(goesOn, answer == 0);
            EXPECT_EQ(asked, (QStringList{u"Page Size Exceeds PDF Limit"_s,
                                          expectedText(QString::fromUtf16(c.printed)),
                                          u"Continue Anyway"_s, u"Cancel"_s}));
        }
    }
}
