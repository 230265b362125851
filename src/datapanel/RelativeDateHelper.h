#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The relative date of a date-range parameter: its default value expression is a builder call
// that names one keyword ("TODAY", "WEEK", "MONTH-1", ...). The helper reads the keyword out of
// the expression and writes the whole call for a chosen keyword.
namespace RelativeDateHelper {

// The class whose parameters show the helper, compared exactly.
extern const QString dateRangeClass;

bool appliesTo(const QString &className);
// The ten keywords, in the picker's order.
const QStringList &keywords();
// The text between the first "DateRangeBuilder(\"" and the first "\").toDateRange()" when the
// second stands after the first (it may be empty or no keyword at all); "TODAY" otherwise,
// also for no expression.
QString keyword(const std::optional<QString> &expression);
// The builder call for the keyword, with nothing around it.
QString expression(const QString &keyword);

} // namespace RelativeDateHelper
