#pragma once

#include "model/ReportDocument.h"
#include "model/ReportElement.h"

#include <QString>
#include <functional>
#include <optional>

class BandSettings;
class DocumentStore;

// What the field and parameter inspectors write and show. A declaration is found by its id
// every time, never by the place it had when the panel was drawn: a write made after the list
// changed (a row still focused while the item was removed or moved elsewhere) reaches the same
// declaration or nothing.
namespace DataItemEdits {

std::optional<qsizetype> fieldIndex(const ReportDocument &document, const QUuid &id);
std::optional<qsizetype> parameterIndex(const ReportDocument &document, const QUuid &id);

// Declaration writes into the field or parameter with that id, as the data panel's rows write
// them (DataListEdits::writeRow: an undo step per run of the item's edits, the report marked
// dirty); dropped when there is none. True when the document changed.
bool writeField(DocumentStore &store, const QUuid &id,
                const std::function<void(ReportField &)> &change);
bool writeParameter(DocumentStore &store, const QUuid &id,
                    const std::function<void(ReportParameter &)> &change);

// "$F{name}" and "$P{name}".
QString fieldToken(const QString &name);
QString parameterToken(const QString &name);
// How many elements use the token: "1 element references $F{a}", "0 elements reference $F{a}".
QString usageText(qsizetype count, const QString &token);

QString fieldTitle();
QString parameterTitle();
QString insertTextFieldTitle();
// The help of "Insert as Text Field": the field's token and the band it goes into.
QString insertTextFieldHelp(const QString &fieldName, const QString &bandLabel);
QString promptTitle();
QString promptHelp();
QString defaultValuePlaceholder();

// A new text field showing the field, at 10,10 and 150 by 20 points, with the font and the
// blank-when-null flag the preferences give new text fields.
ReportElement textFieldFor(const QString &fieldName, const BandSettings &defaults);

// Inserts that text field for the field with this id into the selected frame or list, else the
// active band, as one undo step, and selects it. Into a container whose content runs a
// sub-dataset that lacks a field of that name, the field (its name, class and description) is
// declared there in the same step: the text field names the dataset's field. Nothing when the
// field is gone.
bool insertTextField(DocumentStore &store, const QUuid &fieldID, const BandSettings &defaults);

// The sub-dataset that a text field runs over where the store puts an insert now (into the one
// selected frame or list), when the report declares it: no value for the report's own dataset.
std::optional<ReportSubDataset> insertDataset(const DocumentStore &store);
// The help of the Fields card's insert button: "Insert as a text field bound to $F{Id} in
// Detail", into a container of a sub-dataset "... in the selected list, which runs Dataset1", or
// where that dataset lacks the field "... in the selected list, declaring Id in Dataset1".
QString insertButtonHelp(const DocumentStore &store, const QString &fieldName);

} // namespace DataItemEdits
