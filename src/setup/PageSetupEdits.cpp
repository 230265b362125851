#include "setup/PageSetupEdits.h"

#include "model/PageLayout.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

void write(DocumentStore &store, const std::function<void(ReportDocument &)> &change)
{
    ReportDocument document = store.document();
    change(document);
    store.setDocument(document);
    store.setIsDirty(true);
}

} // namespace

void PageSetupEdits::setLength(DocumentStore &store, double ReportDocument::*field, double points)
{
    write(store, [&](ReportDocument &document) { document.*field = points; });
}

void PageSetupEdits::setColumnCount(DocumentStore &store, qint64 count)
{
    const qint64 previous = store.document().columnCount;
    if (count == previous)
        return;
    write(store, [&](ReportDocument &document) {
        document.columnCount = count;
        if (previous == 1 && count >= 2)
            document.printOrder = PrintOrder::horizontal;
    });
}

double PageSetupEdits::fittedColumnWidth(const ReportDocument &document)
{
    return PageLayout::fittedColumnWidth(document);
}

void PageSetupEdits::fitColumnWidthToMargins(DocumentStore &store)
{
    write(store,
          [](ReportDocument &document) { document.columnWidth = fittedColumnWidth(document); });
}

void PageSetupEdits::setOrientation(DocumentStore &store, bool portrait)
{
    const ReportDocument &current = store.document();
    const double w = current.pageWidth;
    const double h = current.pageHeight;
    const bool swap = portrait ? h < w : w < h;
    write(store, [&](ReportDocument &document) {
        if (swap) {
            document.pageWidth = h;
            document.pageHeight = w;
        }
        document.columnWidth = fittedColumnWidth(document);
    });
}

QString PageSetupEdits::contentCaption(qint64 columnCount)
{
    if (columnCount < 2)
        return u"Usually pageWidth − leftMargin − rightMargin."_s;
    return u"The width of ONE column - see Columns below. Usually (pageWidth − margins − total "
           u"spacing) ÷ column count."_s;
}

QString PageSetupEdits::columnsCaption(qint64 columnCount)
{
    return u"Real multi-column reports overwhelmingly use Horizontal - the design canvas here "
           u"always shows just one column"_s +
           u"; the engine replicates it into "_s + QString::number(columnCount) +
           u" columns at Compile & Preview time."_s;
}

QString PageSetupEdits::columnsDoNotFitWarning()
{
    return u"The columns and the side margins are wider than the page: the engine refuses the "
           u"report until they fit. Fit Column Width to Margins makes them fit."_s;
}
