#pragma once

#include "document/DocumentStore.h"
#include "model/MeasurementUnit.h"
#include "model/ReportDocument.h"

#include <QString>

// The edits of the page setup sheet. Each changes the store's report as an undo step of its
// own (a length or text typed into one field, and the column stepper's clicks, coalesce as
// continuous edits of that field) and marks the report changed; nothing here clears the dirty
// flag.
namespace PageSetupEdits {

inline constexpr qint64 minimumColumnCount = 1;
inline constexpr qint64 maximumColumnCount = 20;

// A length field's commit, stored as given; the report is marked changed also when it already
// held the length.
void setLength(DocumentStore &store, double ReportDocument::*field, double points);

// The write of a picker, checkbox or text field: nothing happens when the report already holds
// the value. A picker's or checkbox's choice is one undo step; a text field's typing gives a
// `key`, under which its edits coalesce.
template <typename T>
void setGuarded(DocumentStore &store, T ReportDocument::*field, const T &value,
                const QString &key = {})
{
    const auto change = [&](ReportDocument &document) { document.*field = value; };
    if (key.isEmpty())
        store.editDocument(change);
    else
        store.editDocument(HashableKey(key), change);
}

// The column stepper's write. The same count changes nothing; going from exactly 1 to 2 or more
// columns also sets the print order to Horizontal. The column width is not refitted.
void setColumnCount(DocumentStore &store, qint64 count);

// The widest column that fits the page as the file will carry it (PageLayout): the margins
// and the spacing rounded as written, the width rounded down, so that the engine takes it.
double fittedColumnWidth(const ReportDocument &document);
// Stores the fitted width; marks the report changed even when the width is the same.
void fitColumnWidthToMargins(DocumentStore &store);
// Swaps width and height when the page is the other way round (a square page never), then
// refits the column width. The margins stay where they are. A page the Width and Height fields
// would refuse (one no wider than its side margins, or too low for its bands and margins) is not
// turned: nothing changes, and the answer is the fields' words, lengths in `unit`; empty
// otherwise.
QString setOrientation(DocumentStore &store, bool portrait,
                       MeasurementUnit unit = MeasurementUnit::pixels);

// The Content card's caption below the column width, which depends on the column count.
QString contentCaption(qint64 columnCount);
// The Columns card's caption, shown from 2 columns on.
QString columnsCaption(qint64 columnCount);
// The warning under Fit Column Width to Margins while the columns do not fit the page.
QString columnsDoNotFitWarning();

} // namespace PageSetupEdits
