#pragma once

#include "model/ReportDocument.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace testsupport {

// Values of a report by place and name ("title/2" TAB "fontSize"), as the engine's `read-values`
// prints them and the designer's model gives them (modelvalues).
using ReportValues = QMap<QString, QString>;

// What the engine reads from the report file: the compiled report's values, styles resolved as
// it fills. No value when Java or the engine's jar is missing (the caller skips); a failed run
// fails the current test and gives an empty list.
std::optional<ReportValues> engineValues(const QString &jrxmlPath);

// What the designer shows for the report's values.
ReportValues designerValues(const ReportDocument &report);

// Where the two differ in a value of one of `names`, one line each: "place name: engine X,
// designer Y" ("(none)" where a side lacks it). A justified text, which the model shows left
// aligned, is no difference.
QStringList differences(const ReportValues &engine, const ReportValues &designer,
                        const QStringList &names);

// The names of the values a style gives a text (font, size, bold, italic, underline, alignment,
// colours) and whether a style is the default.
const QStringList &styledValueNames();

} // namespace testsupport
