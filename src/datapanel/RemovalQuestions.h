#pragma once

#include "document/ReportReferences.h"
#include "widgets/Dialogs.h"

#include <QUuid>

class DocumentStore;

// The questions the data panel asks before a removal that would leave the report naming what
// is gone. Each answers whether the removal goes ahead: it does at once when nothing uses the
// item (or another item of its list has its name, so that what names it still finds one), and
// when there are no dialogs to ask with; otherwise only when the user chooses the destructive
// button (Cancel is the default).
namespace RemovalQuestions {

// "Totals is used by 3 variables and 2 elements." with "Delete" and "Cancel", for a group,
// sub-dataset or style of the report.
bool mayDelete(Dialogs *dialogs, const DocumentStore &store, ReportReferences::Kind kind,
               const QUuid &id);

// What names a field, parameter or variable: its reference in expressions.
enum class Declaration { field, parameter, variable };

// "$F{Amount} is used in 3 expressions." with "Remove" and "Cancel", for a field, parameter or
// variable of the report.
bool mayRemove(Dialogs *dialogs, const DocumentStore &store, Declaration declaration,
               const QUuid &id);

// The alerts themselves, for the panel and for tests.
AlertRequest deleteQuestion(const QString &message, ReportReferences::Kind kind);
AlertRequest removeQuestion(const QString &message);

} // namespace RemovalQuestions
