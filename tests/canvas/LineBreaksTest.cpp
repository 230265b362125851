// The canvas wraps text where the engine's Java runtime may break a line.

#include "canvas/LineBreaks.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// The pieces LineBreaks cuts `text` into.
QStringList pieces(const QString &text)
{
    QStringList cut;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = LineBreaks::next(text, at);
        cut.append(text.sliced(at, end - at));
        at = end;
    }
    return cut;
}

// Where the pieces end, apart, as the Java program prints them.
QString ends(const QString &text)
{
    QStringList cut;
    for (qsizetype at = 0; at < text.size();) {
        at = LineBreaks::next(text, at);
        cut.append(QString::number(at));
    }
    return cut.join(u' ');
}

} // namespace

// Words keep the spaces and closing punctuation after them; slashes, digits and letters do not
// break a word, a number keeps its sign, point and commas, opening brackets and quotes stick to
// what follows, a dash ends a word, no-break spaces, "$" and "'" join words, a tab or a line feed
// ends a piece, and each ideograph is a piece of its own.
TEST(LineBreaksTest, PiecesEndWhereTheEnginesLinesMayBreak)
{
    const std::pair<QString, QStringList> cases[] = {
        {u"See reports/monthly/summary/2024/final.pdf now"_s,
         {u"See "_s, u"reports/monthly/summary/2024/final."_s, u"pdf "_s, u"now"_s}},
        {u"Count : "_s, {u"Count "_s, u": "_s}},
        {u"Total: -1,234.50 (net) x"_s, {u"Total: "_s, u"-1,234.50 "_s, u"(net) "_s, u"x"_s}},
        {u"12.5x 125x"_s, {u"12.5"_s, u"x "_s, u"125x"_s}},
        {u"well-known  --dash"_s, {u"well-"_s, u"known  "_s, u"--"_s, u"dash"_s}},
        {u"it's $5\u00a0each"_s, {u"it's "_s, u"$5\u00a0each"_s}},
        {u"Col1\tCol2\nx"_s, {u"Col1\t"_s, u"Col2\n"_s, u"x"_s}},
        {u"\u4e00\u4e8c\u3002"_s, {u"\u4e00"_s, u"\u4e8c\u3002"_s}},
        {u"a()b \"q\"r"_s, {u"a()"_s, u"b "_s, u"\"q\""_s, u"r"_s}},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(pieces(text), expected) << text.toStdString();
}

// Random texts of letters, digits, spaces, punctuation of every kind, marks, ideographs and
// control characters break where Java's line breaking, run by the engine's Java, breaks them.
TEST(LineBreaksTest, RandomTextsBreakWhereTheEnginesJavaBreaksThem)
{
    const QString java = qEnvironmentVariable("QUILLMARK_JAVA", u"/usr/bin/java"_s);
    if (!QFileInfo(java).isExecutable())
        GTEST_SKIP() << "Java is missing; skipping the comparison with Java's line breaking";
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    static const char16_t alphabet[] = {
        u'a',   u'Z',   0x00E9, u'x',   u'0',   u'5',   0x00B2, u'.',   u',',   u'(',   u')',
        u'[',   u']',   u'{',   u'"',   u'\'',  u'$',   0x20AC, 0x00A2, u'%',   u'!',   u'?',
        u':',   u';',   u'/',   u'#',   u'&',   u'+',   u'-',   0x2013, 0x2014, 0x00AD, u' ',
        u' ',   u'\t',  u'\n',  u'\r',  u'\f',  0x0003, 0x0001, 0x00A0, 0x2007, 0x202F, 0x2011,
        0x200B, 0x0301, 0x20DD, 0x4E00, 0x3042, 0x3041, 0x3099, 0x30FC, 0x3001, 0x2028, 0x0964,
        0x00AB, 0x00BB, 0x201C, 0x201D, 0x2018, 0x2019, 0x00B0, 0x2030, 0x3000, 0xAC00, 0x0660};
    QStringList texts;
    QByteArray input;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int length = std::uniform_int_distribution<int>(1, 30)(random);
        for (int i = 0; i < length; ++i) {
            if (std::uniform_int_distribution<int>(0, 40)(random) == 0) {
                text += u"\U0001F600"_s; // a character outside the first plane
                continue;
            }
            text += QChar(alphabet[std::uniform_int_distribution<size_t>(0, std::size(alphabet) -
                                                                                1)(random)]);
        }
        texts.append(text);
        for (const QChar c : text)
            input += QByteArray::number(c.unicode(), 16) + ' ';
        input += '\n';
    }
    QProcess process;
    process.start(java, {testsupport::sourceDir() + u"/tests/canvas/data/LineBreaks.java"_s});
    ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
    process.write(input);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList javaEnds =
        QString::fromLatin1(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(javaEnds.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QString shown;
        for (const QChar c : texts[i])
            shown += u"%1 "_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
        ASSERT_EQ(ends(texts[i]), javaEnds[i]) << "text " << i << ": " << shown.toStdString();
    }
}
