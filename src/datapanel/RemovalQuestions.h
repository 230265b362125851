#pragma once

#include "document/ExpressionUses.h"
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
// sub-dataset or style of the report; what names a group's count of records is a use too.
bool mayDelete(Dialogs *dialogs, const DocumentStore &store, ReportReferences::Kind kind,
               const QUuid &id);

// What uses the style of that id, as the question before its deletion counts it and the styles
// card's usage line shows it: what names it (elements, the cells of crosstabs and tables, other
// styles, conditions), and, of the report's default style, the elements that name no style and
// so take it.
ReportReferences::Uses styleUses(const ReportDocument &document, const QUuid &id);

// What names a field, parameter or variable: its reference in expressions.
enum class Declaration { field, parameter, variable };

// "$F{Amount} is used in 3 expressions." with "Remove" and "Cancel", for a field, parameter or
// variable of the report, or with `dataset`, of the report's sub-dataset of that id: then what
// is evaluated over that sub-dataset counts, and what runs it.
bool mayRemove(Dialogs *dialogs, const DocumentStore &store, Declaration declaration,
               const QUuid &id, const QUuid &dataset = {});

// The words under the name of the item of that id, which the user changed from `former`, while
// expressions still name it so, counted as the removal question counts them: "$F{City} is still
// used in 4 expressions: the engine refuses the report until they name $F{Town}." Renames leave
// expressions as they are. Empty when nothing names it so, or another item of the list has that
// name. `dataset`: as for mayRemove().
QString renameWarning(const ReportDocument &document, Declaration declaration, const QUuid &id,
                      const QString &former, const QUuid &dataset = {});
// The same for a group, whose count of records expressions name ("$V{CityGroup_COUNT}").
QString renameGroupWarning(const ReportDocument &document, const QUuid &id, const QString &former);

// The alerts themselves, for the panel and for tests.
AlertRequest deleteQuestion(const QString &message, ReportReferences::Kind kind);
// Before a group goes whose count of records expressions name: "Cities is used by 1 variable.
// Its count of records, $V{Cities_COUNT}, is used in 2 expressions.", or without other uses
// "Cities's count of records, $V{Cities_COUNT}, is used in 2 expressions.".
AlertRequest deleteGroupQuestion(const QString &name, const ReportReferences::Uses &uses,
                                 const ExpressionUses::Uses &counted);
AlertRequest removeQuestion(const QString &message);

} // namespace RemovalQuestions
