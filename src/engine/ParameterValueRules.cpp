#include "engine/ParameterValueRules.h"

#include <charconv>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace ParameterValueRules {

namespace {

bool isWholeNumberClass(const QString &className)
{
    return className == "java.lang.Integer"_L1 || className == "java.lang.Long"_L1 ||
           className == "java.lang.Short"_L1;
}

bool isDecimalClass(const QString &className)
{
    return className == "java.lang.Double"_L1 || className == "java.lang.Float"_L1 ||
           className == "java.math.BigDecimal"_L1 || className == "java.math.BigInteger"_L1;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSign(char c)
{
    return c == '+' || c == '-';
}

// Digits only after at most one sign, and a value within 64 bits.
bool readsAsWholeNumber(const QString &value)
{
    const qsizetype start = value.startsWith(u'+') || value.startsWith(u'-') ? 1 : 0;
    if (start == value.size())
        return false;
    for (qsizetype i = start; i < value.size(); ++i)
        if (!isAsciiDigit(value.at(i)))
            return false;
    const QByteArray text = value.toLatin1();
    const char *begin = text.constData() + (text.startsWith('+') ? 1 : 0);
    const char *end = text.constData() + text.size();
    std::int64_t number = 0;
    const auto [ptr, error] = std::from_chars(begin, end, number);
    return error == std::errc() && ptr == end;
}

// The whole text reads as a double. A number beyond the range still reads (as infinity, as the C
// conversion gives it); blanks, grouping marks and any other trailing text do not.
bool readsAsDouble(const QString &value)
{
    const QByteArray text = value.toUtf8();
    const char *begin = text.constData();
    const char *end = begin + text.size();
    if (begin != end && *begin == '+' && end - begin > 1 && !isSign(begin[1]))
        ++begin;
    double number = 0;
    const auto [ptr, error] = std::from_chars(begin, end, number, std::chars_format::general);
    return ptr == end && (error == std::errc() || error == std::errc::result_out_of_range);
}

} // namespace

Control controlFor(const QString &className)
{
    if (className == "java.lang.Boolean"_L1)
        return Control::toggle;
    if (className == "java.util.Date"_L1 || className == "java.sql.Date"_L1)
        return Control::date;
    if (className == "java.sql.Timestamp"_L1)
        return Control::dateAndTime;
    return Control::text;
}

std::optional<QString> validationWarning(const QString &className, const QString &value)
{
    if (value.isEmpty())
        return std::nullopt;
    if (isWholeNumberClass(className) && !readsAsWholeNumber(value))
        return u"Not a whole number."_s;
    if (isDecimalClass(className) && !readsAsDouble(value))
        return u"Not a number."_s;
    return std::nullopt;
}

} // namespace ParameterValueRules
