#include "editors/IncrementalHighlighter.h"
#include "editors/JavaExpressionSyntaxHighlighter.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include "TestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The coloured runs as "colour:text", with "*" after the colour of a bold run.
QStringList describe(const QString &text, const QList<HighlightSpan> &spans)
{
    static const char *names[] = {"label",  "purple", "red",   "blue",
                                  "orange", "teal",   "green", "gray"};
    QStringList out;
    for (const HighlightSpan &span : spans)
        out.append(QString::fromLatin1(names[int(span.color)]) + (span.bold ? u"*"_s : u""_s) +
                   u':' + text.mid(span.start, span.length));
    return out;
}

struct SpanCase {
    const CodeSyntaxHighlighting &(*scheme)();
    QString text;
    QStringList expected;
};

class SpanTest : public testing::TestWithParam<SpanCase> {};

TEST_P(SpanTest, ColoursTheWholeText)
{
    const SpanCase &c = GetParam();
    EXPECT_EQ(describe(c.text, c.scheme().highlight(c.text)), c.expected);
}

const auto java = &JavaExpressionSyntaxHighlighter::scheme;
const auto sql = &SQLSyntaxHighlighter::scheme;
const auto xml = &XMLSyntaxHighlighter::scheme;

QString schemeName(const SpanCase &c)
{
    return c.scheme == java ? u"java"_s : c.scheme == sql ? u"sql"_s : u"xml"_s;
}

void PrintTo(const SpanCase &c, std::ostream *os)
{
    *os << schemeName(c).toStdString() << ' ';
    ::PrintTo(c.text, os);
}

// "java_1_quote_a_123_F_lbrace_Name_rbrace_quote": the scheme, the case and its text.
std::string spanCaseName(const testing::TestParamInfo<SpanCase> &info)
{
    return schemeName(info.param).toStdString() + '_' +
           testsupport::caseName(info.index, info.param.text);
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, SpanTest,
    testing::Values(
        // A keyword inside a string turns blue and bold over the red; numbers inside strings end
        // orange, references end red.
        SpanCase{java, u"\"null\""_s, {u"red:\""_s, u"blue*:null"_s, u"red:\""_s}},
        SpanCase{
            java, u"\"a 123 $F{Name}\""_s, {u"red:\"a "_s, u"orange:123"_s, u"red: $F{Name}\""_s}},
        SpanCase{java, u"$P!{Clause} + $V{X}"_s, {u"purple:$P!{Clause}"_s, u"purple:$V{X}"_s}},
        SpanCase{java, u"a.b java.util.Date Java.util.Date"_s, {u"teal:java.util.Date"_s}},
        SpanCase{java, u"\"a\\\"b\" 1.5 newer"_s, {u"red:\"a\\\"b\""_s, u"orange:1.5"_s}},
        SpanCase{java, u""_s, {}},
        // SQL keywords in any case; a keyword inside quotes stays bold; comments win.
        SpanCase{sql, u"select * from t"_s, {u"blue*:select"_s, u"blue*:from"_s}},
        SpanCase{sql, u"x = 'ORDER'"_s, {u"red:'"_s, u"red*:ORDER"_s, u"red:'"_s}},
        SpanCase{
            sql, u"x -- a 'b'\nWhere 1"_s, {u"green:-- a 'b'"_s, u"blue*:Where"_s, u"orange:1"_s}},
        SpanCase{sql,
                 u"$X{IN, col, param}"_s,
                 {u"purple:$X{"_s, u"purple*:IN"_s, u"purple:, col, param}"_s}},
        // XML: multi-line comments and CDATA, tags after them, attributes, values.
        SpanCase{xml,
                 u"<a k=\"v\">\n<!-- x\n<b> -->"_s,
                 {u"blue*:<a"_s, u"teal:k"_s, u"red:\"v\""_s, u"blue*:>"_s, u"green:<!-- x\n"_s,
                  u"blue*:<b>"_s, u"green: --"_s, u"blue*:>"_s}},
        SpanCase{xml,
                 u"<![CDATA[a\n\"b\"]]>"_s,
                 {u"gray:<![CDATA[a\n"_s, u"red:\"b\""_s, u"gray:]]"_s, u"blue*:>"_s}},
        // Unterminated CDATA gets no grey; element text with "=" makes the word teal.
        SpanCase{xml, u"<![CDATA[x = 1"_s, {u"teal:x"_s}},
        SpanCase{xml,
                 u"<?xml version=\"1.0\"?>"_s,
                 {u"blue*:<?xml"_s, u"teal:version"_s, u"red:\"1.0\""_s, u"blue*:?>"_s}},
        SpanCase{xml, u"x"_s, {}}),
    spanCaseName);

TEST(SchemeTest, PatternThatDoesNotCompileIsSkipped)
{
    const CodeSyntaxHighlighting scheme(12, {{u"a"_s, SyntaxColor::red, true},
                                             {u"(unclosed"_s, SyntaxColor::blue},
                                             {u"a|b"_s, SyntaxColor::green}});
    EXPECT_EQ(scheme.passes().size(), 2);
    EXPECT_EQ(describe(u"ab"_s, scheme.highlight(u"ab")),
              (QStringList{u"green*:a"_s, u"green:b"_s}));
}

// After any sequence of edits the incremental colouring equals colouring the text afresh, and
// the range it reports covers every character whose style changed.
TEST(IncrementalHighlighterTest, EditsMatchFreshColouring)
{
    QUILLMARK_REQUIRE_CORPUS();
    const QString report =
        QString::fromUtf8(testsupport::readFile(testsupport::corpusReports().at(0)));
    const QString pieces[] = {u"\""_s, u"<!--"_s, u"-->"_s, u"<"_s,   u">"_s,  u"="_s,
                              u" "_s,  u"\n"_s,   u"a"_s,   u"]]>"_s, u"x "_s, u"<![CDATA["_s,
                              u"'"_s,  u"--"_s,   u"$F{"_s, u"}"_s,   u"1"_s,  u"\\"_s};
    struct Subject {
        const CodeSyntaxHighlighting &scheme;
        QString text;
    } subjects[] = {{XMLSyntaxHighlighter::scheme(), report.left(6000)},
                    {SQLSyntaxHighlighter::scheme(),
                     u"SELECT a, 'x' -- note\nFROM t WHERE $P{P} = 12 AND $X{IN, c, L}\n"_s},
                    {JavaExpressionSyntaxHighlighter::scheme(),
                     u"\"a\" + $F{Name}.toUpperCase() + new java.util.Date() + 1.5"_s}};
    QRandomGenerator random(7);
    for (Subject &subject : subjects) {
        IncrementalHighlighter state(subject.scheme);
        state.update(subject.text);
        for (int step = 0; step < 300; ++step) {
            const std::vector<quint8> before = state.styles();
            const QString oldText = state.text();
            QString text = oldText;
            const qsizetype at = random.bounded(int(text.size() + 1));
            const qsizetype removed = std::min<qsizetype>(random.bounded(4), text.size() - at);
            text.replace(at, removed, step % 3 == 0 ? QString() : pieces[step % 18]);
            const auto [first, last] = state.update(text);

            ASSERT_EQ(state.spans(0, text.size()), subject.scheme.highlight(text))
                << "step " << step;
            // Outside the reported range, every character is unchanged text with its old style.
            qsizetype prefix = 0;
            while (prefix < std::min(text.size(), oldText.size()) &&
                   text[prefix] == oldText[prefix])
                ++prefix;
            const qsizetype delta = text.size() - oldText.size();
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (i >= first && i < last)
                    continue;
                const qsizetype old = i < prefix ? i : i - delta;
                ASSERT_TRUE(old >= 0 && old < oldText.size() && oldText[old] == text[i] &&
                            before[size_t(old)] == state.styles()[size_t(i)])
                    << "step " << step << " position " << i;
            }
        }
    }
}

} // namespace
