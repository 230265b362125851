#pragma once

#include "model/ReportElement.h"

#include <QString>
#include <QStringList>

// Elements copied from a report whose expressions are written in another language than those of
// the report they go to (a paste from another tab, a snippet saved in another report) keep their
// expressions as they are: the store follows them until their expressions change or the report
// takes their language (DocumentStore::writtenInOtherLanguage()), the canvas marks them and the
// bar says so as they come in.
namespace ExpressionLanguages {

// How the language is called: "Java", "Groovy", "JavaScript"; another name as it is written.
QString displayName(const QString &language);
// Whether the two names name one language ("Java" and "java" do).
bool same(const QString &one, const QString &other);

// The expressions the element holds, its own and those of what it holds (a frame's or list's
// elements, a table's cells), with what it keeps as the file wrote it; empty ones left out.
QStringList expressionsWithin(const ReportElement &element);

// The bar's words for elements written in `written` placed in a report written in `report`:
// `subject` names what the edit placed ("The pasted element"), `plural` whether it is several.
// "The pasted element's expressions are written in JavaScript, this report's in Java: rewrite
// them in Java where the two languages differ, or change the report's language; until then the
// report does not compile."
QString words(const QString &subject, bool plural, const QString &written, const QString &report);
// The canvas mark's words: "This element's expressions are written in JavaScript, this report's
// in Java."
QString note(const QString &written, const QString &report);

} // namespace ExpressionLanguages
