#pragma once

#include "model/PageLayout.h"

#include <QString>
#include <QStringList>
#include <functional>

struct ReportDocument;

// The largest page the PDF engine renders in full, and the question asked before a run whose
// page is larger.
namespace PDFSizeLimit {

// Points (200 inches), for each page dimension separately.
inline constexpr double maximumPoints = PageLayout::largestPdfPage;

// Shows a modal alert of the warning style with a message, an informative text and buttons in
// order; returns the position of the button that ended it (0 is the first, the default one), or
// -1 when it ended any other way. The window's dialogs answer it; tests script it.
using Ask = std::function<int(const QString &message, const QString &informativeText,
                              const QStringList &buttons)>;

// True when the run may go ahead: the page fits, or the user chose "Continue Anyway". A page
// dimension that is not a number at all counts as too large.
bool confirmIfExceeded(const ReportDocument &document, const Ask &ask);

// The alert's informative text for a page of `width` by `height` points.
QString informativeText(double width, double height);

} // namespace PDFSizeLimit
