#include "editors/ExpressionValidation.h"
#include "editors/CodeEditing.h"
#include "editors/ExpressionSnippet.h"
#include "model/ReportDocument.h"

#include "DeclarationBuilders.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expressions::referencedTokens;
using expressions::validateExpression;

namespace {

ReportDocument reportWithAmount()
{
    ReportDocument document;
    document.fields = {testsupport::field(u"Amount"_s)};
    return document;
}

struct ValidationCase {
    QString expression;
    QStringList messages;
};

void PrintTo(const ValidationCase &c, std::ostream *os)
{
    ::PrintTo(c.expression, os);
}

class ValidationTest : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidationTest, GivesTheMessagesInOrder)
{
    EXPECT_EQ(validateExpression(GetParam().expression, reportWithAmount()), GetParam().messages);
}

const QString unmatchedParen = u"Unmatched \")\" - check your brackets/parentheses."_s;
const QString unclosedParen = u"Unclosed \"(\" - missing a closing bracket/parenthesis."_s;
const QString unclosedString = u"Unclosed string literal - missing a closing \"."_s;

INSTANTIATE_TEST_SUITE_P(
    Expressions, ValidationTest,
    testing::Values(
        ValidationCase{u""_s, {}}, ValidationCase{u"   "_s, {}},
        ValidationCase{u")"_s, {unmatchedParen}},
        ValidationCase{u"(]"_s,
                       {u"Unmatched \"]\" - check your brackets/parentheses."_s, unclosedParen}},
        ValidationCase{u"(("_s, {unclosedParen}},
        ValidationCase{u"{(["_s, {u"Unclosed \"[\" - missing a closing bracket/parenthesis."_s}},
        ValidationCase{u"\"a\\\"b\""_s, {}}, ValidationCase{u"\"abc"_s, {unclosedString}},
        ValidationCase{u"\"(\""_s, {}}, ValidationCase{u"'('"_s, {unclosedParen}},
        // A quote followed by a combining mark is one character, and not a quote.
        ValidationCase{u"\"\u0301(abc"_s, {unclosedParen}},
        ValidationCase{u"$F{Amount} + $F{ Amount }"_s, {}},
        ValidationCase{u"$F{amount}"_s, {u"$F{amount} isn't a declared field in this report."_s}},
        ValidationCase{u"$V{PAGE_NUMBER} + $P{REPORT_LOCALE} + $F{PAGE_COUNT} + $F{}"_s, {}},
        ValidationCase{u"$P!{Missing}"_s,
                       {u"$P{Missing} isn't a declared parameter in this report."_s}},
        ValidationCase{u"\"$V{x}\" + ("_s,
                       {unclosedParen, u"$V{x} isn't a declared variable in this report."_s}},
        ValidationCase{u") \"x"_s, {unmatchedParen, unclosedString}}),
    [](const testing::TestParamInfo<ValidationCase> &info) {
        return testsupport::caseName(info.index, info.param.expression);
    });

TEST(ReferencedTokensTest, ListsEachNameOnceInOrder)
{
    EXPECT_EQ(referencedTokens(u"$F{b} + $F{a} + $F{ b }"_s, u"F"_s),
              (QStringList{u"b"_s, u"a"_s}));
    EXPECT_EQ(referencedTokens(u"$P!{Clause} + $P{\tX } + $F{Y}"_s, u"P"_s), QStringList{u"X"_s});
    EXPECT_EQ(referencedTokens(u"$F{a}"_s, u"("_s), QStringList());
}

TEST(ExpressionSnippetTest, TwelveSnippetsWithTheirTemplates)
{
    const auto &snippets = expressionSnippets();
    ASSERT_EQ(snippets.size(), 12);
    EXPECT_EQ(snippets.at(0).templateText, u"+ \"\""_s);
    EXPECT_EQ(snippets.at(4).templateText, u"<expr> == null || <expr>.isEmpty()"_s);
    EXPECT_EQ(snippets.at(11).label, u"Page Number"_s);
    EXPECT_EQ(&expressionSnippets(), &snippets);
}

TEST(CodeEditingTest, TriggerLetters)
{
    using codeediting::triggerLetter;
    EXPECT_EQ(triggerLetter(u"x + $F{", 7), QChar(u'F'));
    EXPECT_EQ(triggerLetter(u"$P!{", 4), QChar(u'P'));
    EXPECT_EQ(triggerLetter(u"$P{", 3), QChar(u'P'));
    EXPECT_EQ(triggerLetter(u"$V{", 3), QChar(u'V'));
    EXPECT_EQ(triggerLetter(u"$X{", 3), std::nullopt);
    EXPECT_EQ(triggerLetter(u"$F{a", 4), std::nullopt);
    EXPECT_EQ(triggerLetter(u"", 0), std::nullopt);
}

TEST(CodeEditingTest, CompletionFilter)
{
    const QStringList names = {u"Amount"_s, u"amountDue"_s, u"Name"_s};
    EXPECT_EQ(codeediting::filterCompletions(names, u"am"_s),
              (QStringList{u"Amount"_s, u"amountDue"_s}));
    EXPECT_EQ(codeediting::filterCompletions(names, u"x"_s), names);
    EXPECT_EQ(codeediting::filterCompletions(names, u""_s), names);
}

TEST(CodeEditingTest, JoiningRule)
{
    struct Case {
        QString token;
        std::optional<QChar> before;
        QString typed;
    } cases[] = {
        {u"$F{Amount}"_s, std::nullopt, u"$F{Amount}"_s},
        {u"$F{Amount}"_s, u'l', u" + $F{Amount}"_s},
        {u"toUpperCase()"_s, u'l', u" toUpperCase()"_s},
        {u"$F{Amount}"_s, u'(', u"$F{Amount}"_s},
        {u"new java.util.Date()"_s, u'x', u" + new java.util.Date()"_s},
        {u"new java.util.Date()"_s, u'+', u"new java.util.Date()"_s},
        {u"\"\""_s, u')', u" + \"\""_s},
        {u"\"\""_s, u' ', u"\"\""_s},
        {u"$V{PAGE_NUMBER}"_s, u'\n', u" + $V{PAGE_NUMBER}"_s},
        {u"newline"_s, u'\t', u" newline"_s},
    };
    for (const Case &c : cases)
        EXPECT_EQ(codeediting::joinedInsertion(c.token, c.before), c.typed)
            << c.token.toStdString();
}

} // namespace
