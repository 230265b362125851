#pragma once

#include "model/ReportDocument.h"

// Declarations of a report for the expression tests: a name and a Java class each.
namespace testsupport {

inline ReportField field(const QString &name, const QString &className = QString())
{
    ReportField field;
    field.name = name;
    field.className = className;
    return field;
}

inline ReportParameter parameter(const QString &name, const QString &className = QString())
{
    ReportParameter parameter;
    parameter.name = name;
    parameter.className = className;
    return parameter;
}

inline ReportVariable variable(const QString &name)
{
    ReportVariable variable;
    variable.name = name;
    return variable;
}

} // namespace testsupport
