#include "engine/ParameterValueRules.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::string_view_literals;
using ParameterValueRules::Control;

TEST(ParameterValueRules, ChoosesTheControlByTheExactClassName)
{
    const std::pair<const char16_t *, Control> cases[] = {
        {u"java.lang.Boolean", Control::toggle}, {u"java.util.Date", Control::date},
        {u"java.sql.Date", Control::date},       {u"java.sql.Timestamp", Control::dateAndTime},
        {u"java.lang.String", Control::text},    {u"Boolean", Control::text},
        {u"java.lang.boolean", Control::text},   {u"", Control::text},
    };
    for (const auto &[className, control] : cases)
        EXPECT_EQ(ParameterValueRules::controlFor(QString::fromUtf16(className)), control)
            << QString::fromUtf16(className).toStdString();
}

TEST(ParameterValueRules, WarnsOnlyAboutValuesThatCannotBeTheClassesNumbers)
{
    const char16_t *whole = u"Not a whole number.";
    const char16_t *number = u"Not a number.";
    struct Case {
        const char16_t *className;
        std::u16string_view value;
        const char16_t *warning; // nullptr: none
    };
    const Case cases[] = {
        {u"java.lang.Integer", u"", nullptr},
        {u"java.lang.Integer", u"+42", nullptr},
        {u"java.lang.Long", u"-42", nullptr},
        {u"java.lang.Long", u"9223372036854775807", nullptr},
        {u"java.lang.Long", u"-9223372036854775808", nullptr},
        {u"java.lang.Short", u"007", nullptr},
        {u"java.lang.Integer", u" 42", whole},
        {u"java.lang.Integer", u"1,000", whole},
        {u"java.lang.Integer", u"12.0", whole},
        {u"java.lang.Integer", u"+-1", whole},
        {u"java.lang.Integer", u"+", whole},
        {u"java.lang.Integer", u"\u0661\u0662", whole},
        {u"java.lang.Long", u"9223372036854775808", whole},
        {u"java.lang.Long", u"-9223372036854775809", whole},
        {u"java.lang.Double", u"1.5e10", nullptr},
        {u"java.lang.Double", u"+3", nullptr},
        {u"java.lang.Float", u".5", nullptr},
        {u"java.lang.Double", u"inf", nullptr},
        {u"java.lang.Double", u"-Infinity", nullptr},
        {u"java.lang.Double", u"nan", nullptr},
        {u"java.lang.Double", u"1e999", nullptr},
        {u"java.math.BigInteger", u"1.5", nullptr},
        {u"java.lang.Double", u"abc", number},
        {u"java.lang.Double", u" 1", number},
        {u"java.lang.Double", u"1,5", number},
        {u"java.lang.Double", u"++1", number},
        {u"java.lang.Double", u"1e", number},
        {u"java.math.BigDecimal", u"12abc", number},
        {u"java.lang.Double", u"1\0002"sv, number},
        {u"java.lang.String", u"abc", nullptr},
        {u"java.lang.Number", u"abc", nullptr},
    };
    for (const Case &c : cases) {
        const QString value = QStringView(c.value).toString();
        const std::optional<QString> warning =
            ParameterValueRules::validationWarning(QString::fromUtf16(c.className), value);
        const std::optional<QString> expected =
            c.warning ? std::optional<QString>(QString::fromUtf16(c.warning)) : std::nullopt;
        EXPECT_EQ(warning, expected)
            << QString::fromUtf16(c.className).toStdString() << " " << value.toStdString();
    }
}
