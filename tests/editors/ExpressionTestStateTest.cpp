#include "editors/ExpressionTestState.h"
#include "DeclarationBuilders.h"
#include "FakeExpressionEngine.h"
#include "model/ReportDocument.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ReportDocument report()
{
    using namespace testsupport;
    ReportDocument document;
    document.language = u"groovy"_s;
    document.fields = {field(u"ID"_s, u"java.lang.Integer"_s),
                       field(u"Name"_s, u"java.lang.String"_s)};
    document.parameters = {parameter(u"ID"_s, u"java.lang.Long"_s),
                           parameter(u"Title"_s, u"java.lang.String"_s)};
    return document;
}

TEST(ExpressionTestStateTest, RunSendsEveryDeclarationWithFilledValuesOnly)
{
    FakeExpressionEngine engine;
    ExpressionTestState state;
    state.setSampleValue(u"ID"_s, u" 7"_s);
    state.setSampleValue(u"Name"_s, QString()); // emptied box: sent without a value
    state.setSampleValue(u"Gone"_s, u"x"_s);    // no declaration of that name: not sent
    state.run(u"$F{ID} "_s, report(), engine);
    EXPECT_TRUE(state.isRunning());
    EXPECT_EQ(engine.starts, 1);
    ASSERT_EQ(engine.requests.size(), 1);
    const auto &request = engine.requests.first();
    EXPECT_EQ(request.expression, u"$F{ID} "_s);
    EXPECT_EQ(request.language, u"groovy"_s);
    EXPECT_EQ(request.fields,
              (QList<ExpressionSample>{{u"ID"_s, u"java.lang.Integer"_s, u" 7"_s},
                                       {u"Name"_s, u"java.lang.String"_s, std::nullopt}}));
    EXPECT_EQ(request.parameters,
              (QList<ExpressionSample>{{u"ID"_s, u"java.lang.Long"_s, u" 7"_s},
                                       {u"Title"_s, u"java.lang.String"_s, std::nullopt}}));
}

// The engine evaluates with sample fields and parameters; a variable has a value only while the
// report fills, so a test of an expression that reads one says so instead of "not declared".
TEST(ExpressionTestStateTest, AnExpressionReadingVariablesIsNotSentAndSaysWhy)
{
    FakeExpressionEngine engine;
    ExpressionTestState state;
    ReportDocument document = report();
    document.variables = {testsupport::variable(u"RegionTotal"_s)};
    state.run(u"$V{RegionTotal} + $F{ID}"_s, document, engine);
    EXPECT_TRUE(engine.requests.isEmpty());
    EXPECT_FALSE(state.isRunning());
    EXPECT_EQ(state.resultValue(), std::nullopt);
    EXPECT_EQ(state.errorMessage(),
              u"Variables can't be test-evaluated: $V{RegionTotal} gets its value only while the "
              u"report fills. Preview the report to see it."_s);
    state.run(u"$V{PAGE_NUMBER} + $V{RegionTotal}"_s, document, engine);
    EXPECT_EQ(state.errorMessage(),
              u"Variables can't be test-evaluated: $V{PAGE_NUMBER}, $V{RegionTotal} get their "
              u"values only while the report fills. Preview the report to see them."_s);
    state.run(u"$F{ID}"_s, document, engine);
    EXPECT_EQ(engine.requests.size(), 1) << "fields and parameters still go to the engine";
    EXPECT_EQ(state.errorMessage(), std::nullopt);
}

TEST(ExpressionTestStateTest, OutcomesAndRerunsReplaceEachOther)
{
    FakeExpressionEngine engine;
    ExpressionTestState state;
    state.run(u"null"_s, report(), engine);
    engine.answer({std::nullopt, std::nullopt});
    EXPECT_FALSE(state.isRunning());
    EXPECT_EQ(state.resultValue(), u"(null)"_s);
    state.run(u"x"_s, report(), engine);
    EXPECT_EQ(state.resultValue(), std::nullopt); // cleared at once, before the answer
    engine.answer({std::nullopt, u"boom"_s});
    EXPECT_EQ(state.errorMessage(), u"boom"_s);
    EXPECT_EQ(state.resultValue(), std::nullopt);
    state.run(u"1"_s, report(), engine);
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    engine.answer({u"1"_s, std::nullopt});
    EXPECT_EQ(state.resultValue(), u"1"_s);
}

TEST(ExpressionTestStateTest, AnswerAfterTheStateIsGoneIsDropped)
{
    FakeExpressionEngine engine;
    auto *state = new ExpressionTestState;
    state->run(u"1"_s, report(), engine);
    // Keep the completion reachable even though its context goes away.
    auto completion = engine.requests.first().completion;
    delete state;
    completion({u"1"_s, std::nullopt}); // must not touch the deleted state (sanitizer build)
    engine.answer({u"1"_s, std::nullopt});
    EXPECT_TRUE(engine.requests.isEmpty());
}

} // namespace
