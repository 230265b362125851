#pragma once

#include "model/ReportDocument.h"

#include <QSet>
#include <QString>

// Finds the names a report's references name that the report does not declare: a group named
// by the report's variables or by what its own sections hold, a sub-dataset named by a dataset
// run, a style named by an element, a table cell or another style. It reads the model (the
// writer leaves an unknown style name out of the file, so the file alone would hide one) and the
// file the writer makes of it (what the engine reads). Written apart from the designer's own
// reference handling, so that it checks that handling instead of repeating it.
namespace ReferenceCheck {

// Each unknown name once, as "group Totals", "sub-dataset Addresses", "style Bold".
QSet<QString> unknownInModel(const ReportDocument &document);
QSet<QString> unknownInFile(const QByteArray &jrxml);

} // namespace ReferenceCheck
