#pragma once

#include "model/LengthVerdict.h"
#include "model/RawEnum.h"
#include "model/ReportDocument.h"

#include <QLocale>
#include <optional>

class ElementWriter;

// What a table cell holds, as its kind picker offers it. Never stored: a cell's kind is read
// from its element.
enum class TableCellKind { none, staticText, textField };
QUILLMARK_ENUM_TEXTS(TableCellKind, {TableCellKind::none, "None"},
                     {TableCellKind::staticText, "Static Text"},
                     {TableCellKind::textField, "Text Field"});

// The decisions of the table inspector's "Columns" card.
namespace TableCells {

// The kind a cell shows: "None" for an empty cell and for an element of any kind the picker
// does not offer (an image, a frame…).
TableCellKind kindOf(const SharedOptional<ReportElement> &cell);

// The field a new text field cell names where the table's dataset declares none, "field" (a
// text), declared with it.
ReportField placeholderField();

// The field a new text field cell of a table running the dataset `dataset` names: the dataset's
// first field, or the placeholder field, which `declare` then says the dataset needs. A dataset
// the report does not declare gets the placeholder, and nothing can be declared in it.
QString cellField(const ReportDocument &document, const QString &dataset, bool *declare = nullptr);

// The element a cell gets when its kind is chosen: a static text "Label" or a text field naming
// `field`, new, 80 by 20 points whatever the column and cell size; none for "None". A new text
// field is blank when null as the preference says; a static text never is.
std::optional<ReportElement> newElement(TableCellKind kind, bool blankWhenNull,
                                        const QString &field = placeholderField().name);

// The text the content field shows: a static text's text, a text field's expression, empty for
// every other kind.
QString content(const ReportElement &element);
// Sets a static text's text or a text field's expression; any other element is left as it is.
void setContent(ReportElement &element, const QString &text);

// The column's width as its field shows it, in the locale's decimal number format.
QString widthText(double width, const QLocale &locale);
// The width a typed text gives, read in the locale's format; none when it is not a number.
std::optional<double> parseWidth(const QString &text, const QLocale &locale);
// The Columns card's width field committed for the column of that id of the table `writer`
// writes: the width the typed text gives, a length the engine reads (LengthLimits::columnWidth)
// that leaves what the column's cells hold room inside their padding, written when taken. The
// verdict, whose message the field shows: refused without words for text that is no number,
// and where the column is gone.
LengthVerdict commitWidth(const ElementWriter &writer, const QUuid &column, const QString &text,
                          const QLocale &locale);

// The Columns card's remove button: removes the column of that id, unless it is the table's only
// column, which the engine refuses to do without. True when it removed it.
bool removeColumn(QList<ReportTableColumn> &columns, const QUuid &id);

// One of the three cells of a column.
using Cell = ReportTableColumn::Cell;
SharedOptional<ReportElement> &element(ReportTableColumn &column, Cell cell);
const SharedOptional<ReportElement> &element(const ReportTableColumn &column, Cell cell);

// A kind picked for the cell of the column of that id: the cell gets a new element of the kind
// (none for "None"); a cell the file did not hold yet takes the height and row span of its row.
// Re-picking the kind shown changes nothing: "None" over an image keeps the image.
void pick(QList<ReportTableColumn> &columns, const QUuid &id, Cell cell, TableCellKind kind,
          bool blankWhenNull, const QString &field = placeholderField().name);

// The Columns card's pick for the table `writer` writes: a text field names a field of the
// table's dataset; one without fields gets the placeholder field declared in the same run of
// the table's edits.
void pick(const ElementWriter &writer, const QUuid &id, Cell cell, TableCellKind kind,
          bool blankWhenNull);

} // namespace TableCells
