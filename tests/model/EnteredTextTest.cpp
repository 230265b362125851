// Text as it enters a report: the line breaks of other programs are line feeds, and nothing the
// file cannot carry is left for the writer to drop.
#include "model/EnteredText.h"
#include "model/JrxmlText.h"

#include "TestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(EnteredTextTest, ForeignLineBreaksBecomeLineFeedsAndUncarriableCharactersStayOut)
{
    const struct {
        QString entered;
        QString kept;
    } cases[] = {
        {u"plain\ttext"_s, u"plain\ttext"_s},
        {u"one\r\ntwo\rthree\nfour"_s, u"one\ntwo\nthree\nfour"_s},
        {u"a\r\r\nb"_s, u"a\n\nb"_s},
        {u"a\u2028b\u2029c"_s, u"a\nb\nc"_s},
        {u"a\u000Bb\u000Cc"_s, u"a\nb\nc"_s},
        {u"\u0000a\u0001\u0008\u001B\u001Fb\u007F"_s, u"ab\u007F"_s},
        {u"pair 😀 kept"_s, u"pair 😀 kept"_s},
        {u"lone "_s + QChar(0xD83D) + u" and "_s + QChar(0xDE00) + u"."_s, u"lone  and ."_s},
        {u"\uFFFE\uFFFFend\uFFFD"_s, u"end\uFFFD"_s},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EnteredText::cleaned(c.entered), c.kept) << c.entered.toStdString();
        EXPECT_EQ(EnteredText::needsCleaning(c.entered), c.entered != c.kept);
    }
    const QString unchanged = u"nothing to clean "_s + QString::number(42);
    EXPECT_TRUE(EnteredText::cleaned(unchanged).isSharedWith(unchanged)) << "not copied";
}

// Whatever enters, the writer keeps every character of it.
TEST(EnteredTextTest, TheWriterKeepsEveryCharacterThatEntered)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(0, 40);
        for (int i = 0; i < length; ++i) {
            const int kind = random.bounded(5);
            text.append(QChar(char16_t(kind == 0   ? random.bounded(0, 0x20)
                                       : kind == 1 ? random.bounded(0xD800, 0xE000)
                                       : kind == 2 ? random.bounded(0xFFF0, 0x10000)
                                       : kind == 3 ? random.bounded(0x2020, 0x2030)
                                                   : random.bounded(0x20, 0x80))));
        }
        const QString cleaned = EnteredText::cleaned(text);
        qsizetype removed = 0;
        EXPECT_EQ(JrxmlText::withXmlCharactersOnly(cleaned, &removed), cleaned);
        EXPECT_EQ(removed, 0) << "round " << round;
        EXPECT_FALSE(cleaned.contains(u'\r') || cleaned.contains(QChar(0x2028)) ||
                     cleaned.contains(QChar(0x2029)))
            << "round " << round;
    }
}

} // namespace
