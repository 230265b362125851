#include "setup/PageSetupEdits.h"

#include "edits/LengthLimits.h"
#include "model/PageLayout.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The undo key of a length field: commits to one field in quick succession are one step.
QString lengthKey(double ReportDocument::*field)
{
    static const std::pair<double ReportDocument::*, const char16_t *> names[] = {
        {&ReportDocument::pageWidth, u"pageWidth"},
        {&ReportDocument::pageHeight, u"pageHeight"},
        {&ReportDocument::leftMargin, u"leftMargin"},
        {&ReportDocument::rightMargin, u"rightMargin"},
        {&ReportDocument::topMargin, u"topMargin"},
        {&ReportDocument::bottomMargin, u"bottomMargin"},
        {&ReportDocument::columnWidth, u"columnWidth"},
        {&ReportDocument::columnSpacing, u"columnSpacing"}};
    for (const auto &[member, name] : names) {
        if (member == field)
            return u"pageSetup."_s + QString::fromUtf16(name);
    }
    return u"pageSetup.length"_s;
}

} // namespace

void PageSetupEdits::setLength(DocumentStore &store, double ReportDocument::*field, double points)
{
    // A commit of the value the report holds changes nothing, yet marks the report changed.
    if (!store.editDocument(HashableKey(lengthKey(field)),
                            [&](ReportDocument &document) { document.*field = points; }))
        store.setIsDirty(true);
}

void PageSetupEdits::setColumnCount(DocumentStore &store, qint64 count)
{
    const qint64 previous = store.document().columnCount;
    if (count == previous)
        return;
    store.editDocument(HashableKey(u"pageSetup.columnCount"_s), [&](ReportDocument &document) {
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
    if (!store.editDocument(
            [](ReportDocument &document) { document.columnWidth = fittedColumnWidth(document); }))
        store.setIsDirty(true);
}

QString PageSetupEdits::setOrientation(DocumentStore &store, bool portrait, MeasurementUnit unit)
{
    const ReportDocument &current = store.document();
    const double w = current.pageWidth;
    const double h = current.pageHeight;
    const bool swap = portrait ? h < w : w < h;
    if (swap) {
        // The turned page as the two fields would take it: its new width, then its new height.
        const LengthVerdict width =
            LengthLimits::pageLength(current, &ReportDocument::pageWidth, h, unit);
        if (!width.points)
            return width.message;
        ReportDocument wider = current;
        wider.pageWidth = h;
        const LengthVerdict height =
            LengthLimits::pageLength(wider, &ReportDocument::pageHeight, w, unit);
        if (!height.points)
            return height.message;
    }
    const bool changed = store.editDocument([&](ReportDocument &document) {
        if (swap) {
            document.pageWidth = h;
            document.pageHeight = w;
        }
        document.columnWidth = fittedColumnWidth(document);
    });
    if (!changed)
        store.setIsDirty(true);
    return {};
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
