#pragma once

#include "document/DocumentStore.h"
#include "model/ReportDocument.h"

#include <QString>

// The edits of the page setup sheet. Each writes straight into the store's report, records no
// undo step and marks the report changed; nothing here clears the dirty flag.
namespace PageSetupEdits {

inline constexpr qint64 minimumColumnCount = 1;
inline constexpr qint64 maximumColumnCount = 20;

// A length field's commit: stored as given, no comparison with the old value.
void setLength(DocumentStore &store, double ReportDocument::*field, double points);

// The write of a picker, checkbox or text field: nothing happens when the report already holds
// the value.
template <typename T>
void setGuarded(DocumentStore &store, T ReportDocument::*field, const T &value)
{
    if (store.document().*field == value)
        return;
    ReportDocument document = store.document();
    document.*field = value;
    store.setDocument(document);
    store.setIsDirty(true);
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
// refits the column width. The margins stay where they are.
void setOrientation(DocumentStore &store, bool portrait);

// The Content card's caption below the column width, which depends on the column count.
QString contentCaption(qint64 columnCount);
// The Columns card's caption, shown from 2 columns on.
QString columnsCaption(qint64 columnCount);
// The warning under Fit Column Width to Margins while the columns do not fit the page.
QString columnsDoNotFitWarning();

} // namespace PageSetupEdits
