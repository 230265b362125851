#pragma once

#include "model/ReportDocument.h"
#include "setup/StarterHeaderStyle.h"

#include <QList>
#include <QStringList>

class DocumentStore;
class NewReportWizardState;
class WorkspaceModel;

namespace NewReportCreation {

// The title band's height under a starter header, and the inset of its text.
inline constexpr double headerHeight = 56;
inline constexpr double headerTextX = 16;
inline constexpr double headerTextY = 14;
inline constexpr double headerTextHeight = 28;

// Stamps the header into a new report: the title band 56 high, a bar of the header colour over
// the column width, and "Your Company Name" above it, each an undoable step; the text is left
// selected. The text's width is the column width less 32, and the bar's the column width, never
// below 0. "Blank" leaves the report untouched.
void applyStarterStyle(StarterHeaderStyle style, DocumentStore &store);

// Opens a new active tab of the chosen page size with the prepared styles and the starter
// header. The styles are written, and the report marked changed, before the header's undo
// steps, so undoing the header keeps them. Returns the new tab's store.
DocumentStore &createReport(WorkspaceModel &workspace, const NewReportWizardState &state);

// The styles of each report in `paths`, in order; a file that cannot be read or parsed gives
// nothing.
QList<QList<ReportStyle>> readReportStyles(const QStringList &paths);

// The styles that may be copied into the wizard: each name once, the first occurrence winning
// (earlier report, then the order inside it), and never a name that `present` already holds.
QList<ReportStyle> stylesAvailableToImport(const QList<ReportStyle> &present,
                                           const QList<QList<ReportStyle>> &reportStyles);

} // namespace NewReportCreation
