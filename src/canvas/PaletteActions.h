#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QString>

class AppSettings;
class DocumentStore;
class SidecarModel;
class SnippetLibrary;
struct Snippet;

// What the element palette and its snippets menu do to the active report, apart from any
// widget: each operation changes the report only through the store's operations.
namespace PaletteActions {

// The insertable kinds, in the order of the palette's buttons.
enum class Kind {
    staticText,
    textField,
    rectangle,
    ellipse,
    line,
    image,
    subreport,
    frame,
    list,
    table,
    reportBreak
};
inline constexpr Kind allKinds[] = {Kind::staticText, Kind::textField,  Kind::rectangle,
                                    Kind::ellipse,    Kind::line,       Kind::image,
                                    Kind::subreport,  Kind::frame,      Kind::list,
                                    Kind::table,      Kind::reportBreak};

// A complete new element of the kind with fresh ids, as the palette inserts it. Text kinds
// take the settings' default font (and blank-when-null); lists and tables the report's first
// sub-dataset. A subreport gets the given expression and parameters. A text field names the
// placeholder field; insert() names the first field of its dataset instead.
ReportElement newElement(Kind kind, const ReportDocument &document, const AppSettings &settings,
                         const QString &subreportExpression = {},
                         const QList<SubreportParameter> &subreportParameters = {});

// The field a new text field names where its dataset declares none, "fieldName" (a text),
// declared with it.
ReportField placeholderField();

// "Add to Frame" while one frame is selected, else "Add to " and the active band's label.
QString addTargetLabel(const DocumentStore &store);

// What the palette shows before its buttons: the target label and a colon; in a report of parts,
// which takes no elements, the band's label and that it takes parts only, with the whole reason
// as the tooltip.
struct TargetCaption {
    QString text;
    QString toolTip;
};
TargetCaption targetCaption(const DocumentStore &store);

// Builds the element and inserts it into the selected frame or list, else the active band. A
// table or list in a report without sub-datasets comes with a new one, "Dataset1", which it
// iterates: one undo step for both. A text field whose dataset declares no field comes with the
// placeholder field, declared in that dataset in the same step.
void insert(Kind kind, DocumentStore &store, const AppSettings &settings);

// Saves the report first (it may ask where), writes a new subreport file beside it, inserts the
// element and compiles the new file in the background; the element's id is in the store's
// creating set meanwhile and the explorer tick rises once when the file is written and once
// when the compile ends. Nothing happens when the save is declined. The compile's end finds the
// store only while it exists, so closing the tab first is harmless.
void insertSubreport(DocumentStore &store, AppSettings &settings, SidecarModel &sidecar);

// Saves the one selected element under the name ("Untitled Snippet" when empty); nothing when
// not exactly one element is selected.
void saveSelectionAsSnippet(DocumentStore &store, SnippetLibrary &library, const QString &name);
// Inserts a copy of the snippet as the palette's buttons do; nothing when it does not read.
void insertSnippet(DocumentStore &store, const SnippetLibrary &library, const Snippet &snippet);

} // namespace PaletteActions
