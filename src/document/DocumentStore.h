#pragma once

#include "document/DocumentStoreTypes.h"
#include "document/ElementClipboard.h"
#include "document/TableCellRooms.h"
#include "model/ReportDocument.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

struct ReportFile;

// The editing state of one open report tab: the report, the selection, the active band, the
// file, view state, the per-report memory kept in the settings, and snapshot undo and redo.
// Views observe its change signals and change the report only through its operations.
// Main thread only.
class DocumentStore : public QObject {
    Q_OBJECT

public:
    using ElementMutation = std::function<void(ReportElement &)>;
    // Milliseconds on a clock that never goes backwards.
    using Clock = std::function<qint64()>;

    static constexpr qsizetype undoLimit = 50;
    static constexpr qint64 coalescingWindowMs = 1200;

    explicit DocumentStore(QObject *parent = nullptr);

    // The default report: 595 by 842 points unless given, margins 30/30/20/20, nine standard
    // bands of height 20 and one detail band of height 40.
    static ReportDocument defaultDocument(double pageWidth = 595, double pageHeight = 842);

    // --- State -------------------------------------------------------------------------------

    QUuid id() const { return id_; }

    const ReportDocument &document() const { return document_; }
    // Replaces the report: no undo step, no dirty flag. For a store's first report (a new tab);
    // every edit of a report goes through the operations below, which record undo steps.
    void setDocument(const ReportDocument &document);

    const QSet<QUuid> &selectedElementIDs() const { return selectedElementIDs_; }
    // Every assignment, also of the same set, ends a pending continuous edit and clears the
    // data-item and field selections; a non-empty set also clears the report-root selection.
    void setSelectedElementIDs(const QSet<QUuid> &ids);
    // The one selected element, or no value when none or several are selected.
    std::optional<QUuid> selectedElementID() const;
    void setSelectedElementID(const std::optional<QUuid> &id);

    const std::optional<InspectorDataSelection> &selectedDataItem() const
    {
        return selectedDataItem_;
    }
    void setSelectedDataItem(const std::optional<InspectorDataSelection> &item);

    const QSet<QUuid> &selectedFieldIDs() const { return selectedFieldIDs_; }
    void setSelectedFieldIDs(const QSet<QUuid> &ids);

    bool isReportRootSelected() const { return isReportRootSelected_; }
    // True clears the data-item and field selections.
    void setIsReportRootSelected(bool selected);

    // The band that new and pasted elements go to: always one whose elements a save writes
    // (takesElements()). An edit, undo or redo that hides or takes away the active band moves it
    // to the band the report rests on (the first detail band), the selection staying as it is.
    const BandTarget &activeBandTarget() const { return activeBandTarget_; }
    // Clears the report-root, data-item and field selections. A band that takes no elements is
    // never made active: the band the report rests on is, in its place.
    void setActiveBandTarget(const BandTarget &target);

    const std::optional<QUrl> &fileURL() const { return fileURL_; }

    bool isDirty() const { return isDirty_; }
    void setIsDirty(bool dirty);

    double zoomLevel() const { return zoomLevel_; }
    void setZoomLevel(double level);

    const QSet<QUuid> &creatingSubreportElementIDs() const { return creatingSubreportElementIDs_; }
    void setCreatingSubreportElementIDs(const QSet<QUuid> &ids);

    const QList<double> &verticalGuides() const { return verticalGuides_; }
    void setVerticalGuides(const QList<double> &guides);
    const QList<double> &horizontalGuides() const { return horizontalGuides_; }
    void setHorizontalGuides(const QList<double> &guides);

    const QMap<QString, QString> &parameterValues() const { return parameterValues_; }
    // Remembered for the report file on every assignment while the store has a file.
    void setParameterValues(const QMap<QString, QString> &values);

    const QSet<HashableKey> &collapsedOutlineNodes() const { return collapsedOutlineNodes_; }
    void setCollapsedOutlineNodes(const QSet<HashableKey> &nodes);

    const std::optional<QUuid> &activeConnectionID() const { return activeConnectionID_; }
    // Remembered for the report file on every assignment while the store has a file.
    void setActiveConnectionID(const std::optional<QUuid> &id);

    // What the reader could not keep of the file last loaded, one line each; empty otherwise.
    const QStringList &readerWarnings() const { return readerWarnings_; }

    // Base name of the file (or the report's name) and " — Edited" while dirty.
    QString windowTitle() const;

    // The clock that times continuous edits; tests give one of their own.
    void setClock(Clock clock);
    // Asked by promptSaveIfNeeded() for a location.
    void setSavePanel(SavePanel panel);

    // --- Files -------------------------------------------------------------------------------

    void newDocument(double pageWidth, double pageHeight);
    // Reads and parses the file. Throws DocumentFileError or JrxmlCodecError; on failure
    // nothing of the store has changed.
    void load(const QUrl &url);
    // Takes the report of the file at `url` as `file` read it.
    void load(const QUrl &url, const ReportFile &file);
    // Writes the report atomically. Throws DocumentFileError; on failure the file on disk and
    // the store are as they were.
    QUrl save(const QUrl &url);
    // The save made before a compile: quiet, and never over a file another program changed.
    void saveIfNeededBeforeCompile();
    // The report's file was moved or renamed to `url` by the program, or went to the trash (no
    // value): the store saves to where it is now; without a file it is marked changed, so that
    // Save asks where to save it and closing asks about it.
    void followFile(const std::optional<QUrl> &url);
    // True when the report's file no longer holds what this store loaded from it or last saved
    // to it: another program changed it since. The size and a hash of the bytes decide; a new
    // modification time over the same bytes is no change. False without a file, for a file
    // that is gone, and for one the store never read or wrote. Callers ask before a save.
    bool hasFileChangedOnDisk() const;
    // True when the report has a file afterwards; asks the save panel when it has none. A save
    // that fails answers false and is announced with promptedSaveFailed().
    bool promptSaveIfNeeded();
    // Takes a document from the source editor as one undo step, and marks the report dirty; one
    // whose text is the report's own changes nothing.
    void applyParsedSource(const ReportDocument &document);

    // Remembers the chosen connection for a report path ("com.quillmark.activeConnectionIDByPath");
    // no value removes the entry.
    static void persistActiveConnectionID(const std::optional<QUuid> &id, const QString &path);

    // --- Undo --------------------------------------------------------------------------------

    // The snapshots, oldest first; read for whether undo and redo are possible.
    const QList<ReportDocument> &undoStack() const { return undoStack_; }
    const QList<ReportDocument> &redoStack() const { return redoStack_; }

    // Whether Undo and Redo act now. A continuous edit that is still pending counts as a step
    // to undo (Undo ends it first); Redo waits until such a run has ended.
    bool canUndo() const;
    bool canRedo() const;

    void pushUndo(const ReportDocument &snapshot);
    void flushPendingUndoSnapshot();
    // Call after changing the document and setting the dirty flag, with the document as it was.
    void recordCoalescedEdit(const HashableKey &key, const ReportDocument &before);
    // While a key is held, its edits join one run however long the pauses between them (a colour
    // dialog the user drags through); no value lets go. Other keys coalesce as ever.
    void holdContinuousEdit(const std::optional<HashableKey> &key) { heldKey_ = key; }
    const std::optional<HashableKey> &heldContinuousEdit() const { return heldKey_; }
    void undo();
    void redo();

    // --- Edits of values that no other operation changes ------------------------------------
    // The declarations, list rows, page setup and report name the panels edit. Each records an
    // undo step, so that an undo never takes them along with another edit, and clears redo.

    // One discrete edit: `change` edits a copy of the report; when the copy differs it becomes
    // the report, as one undo step, and the report is marked dirty. True when it changed.
    bool editDocument(const std::function<void(ReportDocument &)> &change);
    // The same as a continuous edit under `key` (typing into one field): edits under one key
    // that follow each other within the coalescing window are one undo step.
    bool editDocument(const HashableKey &key, const std::function<void(ReportDocument &)> &change);
    // A continuous edit of the group, sub-dataset or style of that id, keyed by the item. A new
    // name takes what names the item along (ReportReferences), in the same step, and only
    // that: while another item has the name too, the references of each stay apart
    // (NameTies), also when a name typed letter by letter passes through another's.
    bool editGroup(const QUuid &id, const std::function<void(ReportGroup &)> &change);
    bool editSubDataset(const QUuid &id, const std::function<void(ReportSubDataset &)> &change);
    bool editStyle(const QUuid &id, const std::function<void(ReportStyle &)> &change);

    // --- Elements ----------------------------------------------------------------------------

    std::optional<ReportElement> element(const QUuid &id) const;
    // The elements of those ids found anywhere in the document, in one walk over it.
    QHash<QUuid, ReportElement> findElements(const QSet<QUuid> &ids) const;
    // The selected ids whose elements the document holds: an undo or redo keeps the selection,
    // which may then name elements that are gone.
    QSet<QUuid> heldSelection() const;
    // Visits every element of the document at any depth (not inside table cells), in the order
    // element(id:) searches.
    void forEveryElementInDocument(const std::function<void(const ReportElement &)> &visit) const;
    std::optional<BandTarget> homeBandTarget(const QUuid &id) const;
    // The band of each of those ids that stands in a band's own list, found in one walk.
    QHash<QUuid, BandTarget> homeBandTargets(const QSet<QUuid> &ids) const;
    bool isTopLevelElement(const QUuid &id) const;
    // The frame or list that holds the element; no value for an element of a band's list, or
    // one the document lacks.
    std::optional<ReportElement> containerOf(const QUuid &id) const;
    // The paddings the report's styles give table cells that say nothing of theirs.
    const TableCellRooms::Styles &cellStyles() const;

    void performAddElement(const ReportElement &element, const BandTarget &target);
    void addElement(const ReportElement &element, const BandTarget &target);
    bool performAddChildElement(const ReportElement &element, const QUuid &frameID);
    void addChildElement(const ReportElement &element, const QUuid &frameID);

    void deleteSelectedElement();
    std::optional<ReportElement> performRemoveTopLevel(const QUuid &id);

    // True when the element was found and the mutation changed it.
    bool performUpdateElement(const QUuid &id, const ElementMutation &mutation);
    void updateElement(const QUuid &id, const ElementMutation &mutation);
    // With fewer than two selected, updateElement() of the one; with more, one undo step for
    // all of them, and none when the mutation changes none of them.
    void updateSelectedElements(const ElementMutation &mutation);

    void moveSelectedElementsToNewBand(const BandTarget &target, double dx, double dy);

    void bringForward();
    void sendBackward();
    void bringToFront();
    void sendToBack();

    // --- Bands -------------------------------------------------------------------------------

    double height(const BandTarget &target) const;
    // The width the engine lays the band out at: the page less its margins for the page-wide
    // bands (background, title, page header and footers, summary, no data), the column for the
    // column header and footer, detail and group bands.
    double width(const BandTarget &target) const;
    // The least height that holds every top-level element of the band, as the file writes their
    // places and sizes; 0 for a band without elements.
    double heightToHoldElements(const BandTarget &target) const;
    // The highest the band may grow: what the page holds with its margins and the bands printed
    // with it, or the band's own height where a file made a band that prints higher.
    double tallestHeight(const BandTarget &target) const;
    // The height of the first of the elements that, standing at the top of the band of `target`,
    // is still taller than the band may grow; no value when every one fits.
    std::optional<double> tallerThanBand(const QList<ReportElement> &elements,
                                         const BandTarget &target) const;
    // The same, announced with insertRefused() when one is too tall: the caller then adds or
    // moves none of them. Answers whether one is.
    bool refusesTallerThanBand(const QList<ReportElement> &elements, const BandTarget &target);
    // Elements placed anew in the band of `target` (an insert, a drop, a paste, a duplicate)
    // move left together as far as they reach past the band's width, the leftmost no further
    // than 0; one that still reaches past then moves left on its own, to 0 at most. None is
    // narrowed: one wider than the band stands at 0. Answers whether any moved. The store's
    // inserts place what they add so; a caller that adds several in steps of their own places
    // them together first.
    static bool keepWithinWidth(const ReportDocument &document, QList<ReportElement> &elements,
                                const BandTarget &target);
    // The same for the places and printed widths of elements alone: the places move.
    struct Extent {
        double x = 0;
        double width = 0;
    };
    static bool keepWithinWidth(const ReportDocument &document, QList<Extent> &extents,
                                const BandTarget &target);
    // Whether the frame or list `container` leaves an element no room to print in
    // (ContainerRoom::leavesRoom), announced with containerHasNoRoom(): the caller then adds
    // nothing to it. Answers whether it refuses.
    bool refusesNoRoom(const QUuid &container);
    bool refusesNoRoom(const ReportElement &container);
    // Const, so that iterating the result reads the shared values instead of copying them.
    const ElementList elements(const BandTarget &target) const;
    // Whether a save writes what the band of `target` holds: a shown standard band, a detail
    // band, a group's header or footer. A hidden standard band, or one the report lacks, is left
    // out of the file with everything in it, so it takes no new elements: inserts bound for it go
    // to the band the report rests on, and a duplicate of what it holds is refused.
    bool takesElements(const BandTarget &target) const;
    static bool takesElements(const ReportDocument &document, const BandTarget &target);
    // Whether the selection holds an element of a band that takes none (a hidden band, left out
    // of the file with everything in it): then bandTakesNoElements() is announced for that band,
    // in the words that refuse a duplicate of it, and the caller changes nothing. A gesture on
    // the whole selection asks (a drag, arrange, align, distribute, enclose in a frame, a move
    // to another band, delete), so that such an element never rides along into a printed band,
    // nor is changed where the user cannot see it.
    bool refusesHiddenSelection();
    QString label(const BandTarget &target) const;
    // The same for a report that no store holds.
    static double height(const ReportDocument &document, const BandTarget &target);
    static double width(const ReportDocument &document, const BandTarget &target);
    static const ElementList elements(const ReportDocument &document, const BandTarget &target);
    static QString label(const ReportDocument &document, const BandTarget &target);
    void setHeight(double height, const BandTarget &target);
    // A hidden band, or a shown one 0 high, is shown as high as it was (20 for 0) where the page
    // holds it that high with its margins and the bands printed with it; else as high as the page
    // holds it, and bandLimitReached() tells so. Where the page does not hold even its elements,
    // it stays hidden: nothing changes but the announcement.
    void setBandPresent(BandType type, bool isPresent);
    void fitBandToContent(const BandTarget &target);
    void addDetailBand();
    void removeDetailBand(const QUuid &id);

    // --- Selection and keys -------------------------------------------------------------------

    void selectField(const QUuid &fieldID);
    void toggleFieldSelection(const QUuid &fieldID);
    void selectParameter(const QUuid &parameterID);
    // A modifier-click: toggles within the active band; in another band selects only the element.
    void toggleSelection(const QUuid &elementID, const BandTarget &target);
    // A rubber band in band coordinates: the band's top-level elements it meets.
    void selectElements(const QRectF &rect, const BandTarget &target, bool additive);
    void selectAllInActiveBand();
    // Delete and Backspace delete the selection, Escape clears it. True when the key was used;
    // a key for a focused text editor is never used.
    bool handleKeyDown(const KeyDown &key);

    // --- Data-definition lists ---------------------------------------------------------------
    // Add appends an item with default values; move exchanges the item at `index` with the one
    // at `index + offset` and ignores places outside the list; remove takes its undo step before
    // it looks for the item.

    void addParameter();
    void moveParameter(int index, int offset);
    void removeParameter(const QUuid &id);
    void addField();
    void moveField(int index, int offset);
    void removeField(const QUuid &id);
    void addSortField();
    void moveSortField(int index, int offset);
    void removeSortField(const QUuid &id);
    void addScriptlet();
    void moveScriptlet(int index, int offset);
    void removeScriptlet(const QUuid &id);
    void addReportTemplate();
    void moveReportTemplate(int index, int offset);
    void removeReportTemplate(const QUuid &id);
    void addVariable();
    void moveVariable(int index, int offset);
    void removeVariable(const QUuid &id);
    // The new group's header and footer are 20 high, or as high as the page holds each with its
    // margins and the bands printed with it where that is less. Where the page does not hold
    // them at all, no group is added and bandLimitReached() tells why. A report of parts takes
    // no band: its new group has neither.
    void addGroup();
    void moveGroup(int index, int offset);
    void removeGroup(const QUuid &id);
    void addSubDataset();
    // A sub-dataset as Add makes it: named after those `document` holds, its query SQL.
    static ReportSubDataset newSubDataset(const ReportDocument &document);
    void moveSubDataset(int index, int offset);
    void removeSubDataset(const QUuid &id);
    // Appends a field for each name not declared yet (exact comparison); the number added. Each
    // new field takes the class name at its name's position in `classNames`, java.lang.String
    // where there is none.
    int addFieldsIfMissing(const QStringList &names, const QStringList &classNames = {});
    // Removes every field of one of the names; the number removed.
    int removeFields(const QStringList &names);

    // --- Styles ------------------------------------------------------------------------------

    void addStyle();
    void moveStyle(int index, int offset);
    void removeStyle(const QUuid &id);
    // Names the style on the element and copies its properties into the element's own fields.
    void applyStyle(const ReportStyle &style, const QUuid &elementID);
    void clearStyle(const QUuid &elementID);
    // Copies the style's properties again into every element that names it.
    void reapplyStyle(const ReportStyle &style);
    int elementCountReferencingStyle(const QString &styleName) const;
    // Elements one of whose own expressions holds the text (ExpressionUses::elementHolds).
    int elementCountReferencing(const QString &text) const;

    // --- Zoom and guides (view state: never saved, undone or dirty) --------------------------

    void zoomIn();
    void zoomOut();
    void toggleHorizontalGuide(double position);
    void toggleVerticalGuide(double position);

    // --- Align, distribute and enclose in frame ----------------------------------------------

    enum class AlignEdge { left, right, top, bottom, horizontalCenter, verticalCenter };
    enum class DistributeAxis { horizontal, vertical };

    // Lines the selected elements up on an edge or centre of their common bounding box.
    void alignSelected(AlignEdge edge);
    // Places each selected element against an edge or the centre of the active band's area.
    void alignSelectedToContainer(AlignEdge edge);
    // Equal gaps between the selected elements; the two outermost stay where they are.
    void distributeSelected(DistributeAxis axis);
    // Wraps the selected top-level elements in a new frame in the active band.
    void encloseSelectedInFrame();

    // --- Copy, paste and duplicate -----------------------------------------------------------

    // The clipboard copies go to and pastes come from: the store's own until the workspace
    // gives its shared one; no value returns to the store's own.
    ElementClipboard *clipboard() const;
    void setClipboard(ElementClipboard *clipboard);
    void copySelectedElements();
    // Into the one selected frame or list, else into the active band; fresh ids, offset 15. What
    // the copies name that the report lacks is treated as addElementSmart() treats it.
    void pasteClipboard();
    // Each copy right after its original in the same list; fresh ids, offset 10.
    void duplicateSelectedElement();

    // --- Generated content -------------------------------------------------------------------

    // The one selected element when it is a frame or list in a band that takes elements (a frame
    // of a hidden band takes none), else no value.
    std::optional<QUuid> selectedContainerID() const;
    void insertComposite(CompositeElement composite, const BandTarget &target);
    // A bold label per field in the column header and a text field per field in `detailTarget`,
    // side by side within the column width, below what the two bands already hold; a column
    // header the report lacks or hides is added and shown (as setBandPresent() shows it). One
    // undo step. The bands grow only as far as the page holds them, what is added moving up
    // where they can grow no further; where a band cannot hold the labels or values at all,
    // nothing is added and bandLimitReached() tells why.
    void generateColumnarLayout(const QList<ReportField> &fields, const BandTarget &detailTarget,
                                bool isBlankWhenNull, const std::optional<ReportStyle> &style);
    // Whether the report is made of parts, where no band may take the elements meant for the
    // band of `target`: then announces bandTakesNoElements() for it. Every insert asks; a caller
    // with work of its own to do before the insert (a subreport's new file) asks first.
    bool refusesBandsOfParts(const BandTarget &target);
    // Into the one selected frame or list, else into the active band. An element from elsewhere
    // (a snippet) drops what it names of styles the report lacks and of groups the dataset it
    // goes to lacks, and the sub-datasets it runs that the report lacks are declared, empty, in
    // the same undo step.
    void addElementSmart(const ReportElement &element);
    // Whether addElementSmart() would refuse the element where it would go, announced as the
    // insert announces it: a frame or list that leaves no room, a report of parts, a band the
    // element is taller than may grow. A caller with work of its own to do before the insert (a
    // subreport's new file) asks first.
    bool refusesInsert(const ReportElement &element);
    // The same, with the sub-dataset the element iterates appended in the same undo step.
    void addElementSmart(const ReportElement &element, const ReportSubDataset &dataset);
    // The same, with `field` declared in the same undo step in the dataset of that name (the
    // report's own for an empty name).
    void addElementSmart(const ReportElement &element, const ReportField &field,
                         const QString &dataset);
    // Says (namesLacked()) what the elements of `ids`, with what they hold, name that the
    // datasets they run in lack: `subject` names them as the edit placed them ("The pasted
    // element"), `plural` whether they are several. Nothing when they lack nothing.
    void tellLackedNames(const QSet<QUuid> &ids, const QString &subject, bool plural);
    // The same for the contents of the list or table `container`, switched to another dataset.
    void tellLackedNamesInside(const QUuid &container);
    // addElementSmart() of an element copied from a report whose expressions are written in
    // `language` (a snippet): where that is not the report's language and the element holds
    // expressions, the element is noted so and the bar says so (namesLacked()). An empty
    // language (not known) notes nothing.
    void addElementWrittenIn(const ReportElement &element, const QString &language);
    // The language the expressions of the element of that id are written in while it is not the
    // report's: an element noted so (noteWrittenIn()) whose expressions are still those it came
    // with. No value otherwise.
    std::optional<QString> writtenInOtherLanguage(const QUuid &id) const;
    // The elements noted so, whatever the report's language is now.
    QList<QUuid> writtenElsewhere() const { return writtenIn_.keys(); }
    // The dataset an element put into the container runs in: that of the innermost list around
    // it, the container itself included; empty for the report's own, and for no container.
    QString datasetInside(const std::optional<QUuid> &container) const;

    // --- Subreport creation ------------------------------------------------------------------

    // What the palette needs to build a new subreport element and to compile its report.
    struct AutoSubreport {
        QString expression;
        QList<SubreportParameter> parameters;
        // None when no file was written; then neither is the compiled path.
        std::optional<QString> jrxmlPath;
        std::optional<QString> jasperPath;
        // Why the new file could not be written (its name, its folder, what the system said);
        // then the report is left as it was and no element may name the file.
        std::optional<QString> failure;
    };

    // Declares SUBREPORT_DIR when the report lacks it; records no undo step.
    void ensureSubreportDirParameter();
    // Writes a new, empty report beside the saved one under a name no subreport of this report
    // uses yet, and declares SUBREPORT_DIR. An existing file is never overwritten; one that
    // cannot be written changes nothing and says why (subreportFileFailed). Throws nothing.
    AutoSubreport createAutoSubreport(double defaultPageWidth, double defaultPageHeight);

    // A copy with fresh ids for the element and everything it holds: children, table columns
    // and their cell elements, and subreport, list and table parameters. The file's own
    // identifier of a copied element is dropped, so it never appears twice in a report.
    static ReportElement regenerateIDs(const ReportElement &element);

signals:
    void documentChanged();
    // A paste, drop, duplicate or move into another band added nothing: an element of `height`
    // points is taller than the band of `target` may grow (the Band Height field's limit), and
    // cutting it would lose it.
    void insertRefused(const BandTarget &target, double height);
    // A band was to print higher than the page holds it with its margins and the bands printed
    // with it: `largest` points (below 0 where the page holds not even an empty band), the Band
    // Height field's limit. The edit added nothing (a group, columns, a band shown), or stopped
    // the band there (a band shown lower than it was).
    void bandLimitReached(const BandTarget &target, double largest);
    // An insert into the band of `target` added nothing: the report is made of parts and takes
    // no band (ReportParts), or the band is hidden (takesElements()) and a save would leave out
    // what was added to it.
    void bandTakesNoElements(const BandTarget &target);
    // An insert, paste or duplicate into the frame or list `container` added nothing: it leaves
    // no room for an element to print in (ContainerRoom::leavesRoom).
    void containerHasNoRoom(const QUuid &container);
    // promptSaveIfNeeded() could not write the report where the user chose: `message` says why.
    void promptedSaveFailed(const QString &message);
    // A subreport from the palette added nothing: its new file could not be written, and
    // `message` says which, where and why.
    void subreportFileFailed(const QString &message);
    // An edit kept expressions as they were where the dataset they now run in lacks what they
    // name: the words say what, and what to do (DatasetLacks::words). Announced after the
    // change itself.
    void namesLacked(const QString &words);
    // An edit also moved or narrowed what frames, lists or tables it did not touch hold, which
    // reached past their rooms where the engine refuses a report: the words say so. Announced
    // after the change itself.
    void untouchedFitted(const QString &words);
    void selectedElementIDsChanged();
    void selectedDataItemChanged();
    void selectedFieldIDsChanged();
    void isReportRootSelectedChanged();
    void activeBandTargetChanged();
    void fileURLChanged();
    void isDirtyChanged();
    void zoomLevelChanged();
    void creatingSubreportElementIDsChanged();
    void verticalGuidesChanged();
    void horizontalGuidesChanged();
    void parameterValuesChanged();
    void collapsedOutlineNodesChanged();
    void activeConnectionIDChanged();
    // Whether Undo or Redo can act (canUndo(), canRedo()) may have changed.
    void undoStacksChanged();
    void clipboardChanged();

private:
    // What a walk over element lists reports: not found, found and left alone, found and changed.
    enum class Found { no, unchanged, changed };
    // Acts on the list that holds the element, at the element's index.
    using ListAction = std::function<Found(ElementList &list, qsizetype index)>;
    enum class Reorder { forward, backward, toFront, toBack };

    void setFileURL(const std::optional<QUrl> &url);
    // Whether an edit under `key` made at `now` joins the pending continuous run.
    bool continuesRun(const HashableKey &key, qint64 now) const;
    void recordCoalescedEdit(const HashableKey &key, const ReportDocument &before, qint64 now);
    // Replaces the report with `next` as a continuous edit under `key`, made at `now`.
    bool replaceInRun(const HashableKey &key, ReportDocument next, qint64 now);
    // editGroup(), editSubDataset() and editStyle().
    template <typename T>
    bool editNamedItem(QList<T> ReportDocument::*list, const QUuid &id,
                       const std::function<void(T &)> &change);
    // What Undo and Redo can do now, and the announcement when that differs from `before`.
    std::pair<bool, bool> undoState() const { return {canUndo(), canRedo()}; }
    void announceUndoStateSince(std::pair<bool, bool> before);
    // pushUndo() without the announcement, for callers that make one of their own.
    void appendUndo(const ReportDocument &snapshot);
    // Undo and redo: the same step with the two stacks in opposite roles.
    void stepThroughHistory(QList<ReportDocument> &from, QList<ReportDocument> &to);
    // Ends a pending run and pushes the unchanged document: the step before a discrete edit.
    void takeSnapshot();
    // Applies an in-place change to the document and announces it; records nothing.
    void changeDocument(const std::function<void(ReportDocument &)> &change);
    // Emits documentChanged, or holds it back while a batch is open.
    void announceDocumentChange();
    // Runs `changes` with documentChanged held back, then emits it once when anything changed:
    // listeners see a multi-element operation only when it is complete.
    void batchDocumentChanges(const std::function<void()> &changes);
    // Ends a pending run; it becomes an undo step when its before-state differs from `current`.
    void flushPendingUndoSnapshot(const ReportDocument &current);
    // Runs a walk over the top-level lists on the document and announces a change.
    Found editTree(const std::function<Found(ElementList &)> &visit, bool untilFound = true);
    // Fits what the elements of a band's list hold into their rooms after an edit of the list
    // (ContainerRoom::fitContents). An element the edit left as it stood in `before` whose
    // contents the fit changed is counted, to be told once the change is announced.
    void fitListContents(ElementList &list, const ElementList &before);
    // Emits documentChanged, then says what the change fitted that the edit did not touch.
    void emitDocumentChanged();
    // The selected elements that the document holds, in the selection's order.
    QList<ReportElement> selectedElementsFound() const;
    // A band never ends above the bottom of an element it holds directly, or the engine refuses
    // the report: raises the band that holds the element, if one does, as far as it may grow
    // (keepWithinPage). `before` is the element before the edit that placed it, when there was
    // one. Records nothing.
    void growBandHolding(const QUuid &id, const std::optional<ReportElement> &before = {});
    // An element about to stand in the band of `target` moves up so that the band, grown to
    // hold it, stays within what the page holds with its margins and the bands printed with it,
    // as the Band Height field allows; one taller than that is cut to it (a paste, drop or
    // duplicate refuses such an element first: refusesTallerThanBand). An element whose height
    // an edit raised with its top kept (`before`: the element before the edit) is cut instead:
    // a resize stops at the band's limit. Answers whether it changed the element.
    bool keepWithinPage(ReportElement &element, const BandTarget &target,
                        const ReportElement *before = nullptr) const;
    // The same questions and placing for a report that no store holds.
    static double tallestHeight(const ReportDocument &document, const BandTarget &target);
    // Whether the band of `target` has a height of its own on the page: a standard band that is
    // shown, or any other band the report has.
    static bool prints(const ReportDocument &document, const BandTarget &target);
    static double heightToHoldElements(const ReportDocument &document, const BandTarget &target);
    static bool keepWithinPage(const ReportDocument &document, ReportElement &element,
                               const BandTarget &target, const ReportElement *before = nullptr);
    static std::optional<double> tallerThanBand(const ReportDocument &document,
                                                const QList<ReportElement> &elements,
                                                const BandTarget &target);
    // performAddElement() on `document`.
    static void placeElement(ReportDocument &document, const ReportElement &element,
                             const BandTarget &target);
    // How high the band of `target`, about to print, may be: `wanted` where the page holds it
    // that high with its margins and the bands printed with it, else the most the page holds it
    // at, never below its elements; no value where the page does not hold even those.
    static std::optional<double> heightOnPage(const ReportDocument &document,
                                              const BandTarget &target, double wanted);
    // The first standard band of `type` (not detail) in `document`; where the report lacks one,
    // a hidden band 0 high is added in its place among the standard bands.
    static ReportBand &standardBand(ReportDocument &document, BandType type);
    // addElementSmart() with the declarations `declare` makes in the same undo step.
    void insertSmart(const ReportElement &element,
                     const std::function<void(ReportDocument &)> &declare);
    // ReportReferences::adopt() and DatasetRuns::keepGroupsOfRuns() on elements about to enter
    // the report in the container (none: a band): the sub-datasets to declare with them, each
    // declaring the parameters the elements' lists and tables pass to it and the groups they
    // name of it.
    QList<ReportSubDataset> adoptNames(ElementList &elements,
                                       const std::optional<QUuid> &container) const;
    // The width of each of `count` generated columns and the gap between them: whole points that
    // fit the report's column width.
    struct ColumnLayout {
        double width = 0;
        double gap = 0;
    };
    ColumnLayout columnLayout(qsizetype count) const;

    // One operation of each kind for all data-definition lists.
    template <typename T> void addListItem(QList<T> ReportDocument::*list, const T &item);
    template <typename T> void moveListItem(QList<T> ReportDocument::*list, int index, int offset);
    template <typename T> void removeListItem(QList<T> ReportDocument::*list, const QUuid &id);
    // One discrete edit: snapshot, `change` (store operations that record nothing), dirty flag.
    void applyDiscreteEdit(const std::function<void()> &change);
    // One discrete edit made only of store operations that record nothing: one undo step and
    // the dirty flag when the document changed, nothing at all when it did not.
    bool applyEditIfChanged(const std::function<void()> &change);
    // One continuous edit under `key`: `change`, dirty flag, then the coalesced record with the
    // document as it was. When `change` answers false nothing is recorded and the flag stays.
    bool applyCoalescedEdit(const HashableKey &key, const std::function<bool()> &change);
    void reorderSelected(Reorder how);
    // Makes the band the report rests on (restingTarget()) the active band, when it has one.
    void activateFirstDetailBand();
    // The document's first detail band; a report whose file has no detail band rests on the first
    // band the file has. No value for a report without a detail band.
    std::optional<BandTarget> restingTarget() const;
    // The target itself when its band takes elements, else the band the report rests on: new and
    // pasted elements never vanish into a band that a save leaves out or that undo took away.
    BandTarget insertionTarget(const BandTarget &target) const;
    // Moves the active band, when it no longer takes elements, to insertionTarget() of it, and
    // announces that; the selections stay. Run before every announcement of a changed report.
    void keepActiveBandTakingElements();
    // The band whose list holds the element, at any depth (frames and lists), searched as
    // element(id:) searches; no value when the document lacks it.
    std::optional<BandTarget> bandHolding(const QUuid &id) const;
    // Whether the band of `target` is one the report has but a save leaves out (a hidden
    // standard band), announced with bandTakesNoElements(): the caller then adds nothing there.
    bool refusesHiddenBand(const BandTarget &target);

    // The height a band needs to hold the element: its bottom, also once the file has rounded
    // the band's height and the element's place and size to whole points.
    static double bottomAsWritten(const ReportElement &element);
    // Raises the band's height to `bottom` when it is lower; records nothing.
    static void growBandToHold(ReportDocument &document, const BandTarget &target, double bottom);
    // The element list a target addresses, or null when it addresses nothing.
    static ElementList *elementList(ReportDocument &document, const BandTarget &target);
    static const ElementList *elementList(const ReportDocument &document, const BandTarget &target);
    // Visits the top-level lists in the fixed search order (standard bands, detail bands, each
    // group's header then footer) with their targets, until `visit` returns true.
    static bool
    visitElementLists(const ReportDocument &document,
                      const std::function<bool(const BandTarget &, const ElementList &)> &visit);
    // The same walk for changes: `visit` works on each list in place and the walk stops at the
    // first list that reports anything but Found::no. Lists are detached only when changed.
    // With `untilFound` false every list is visited and the result says whether any changed.
    static Found editElementLists(ReportDocument &document,
                                  const std::function<Found(ElementList &)> &visit,
                                  bool untilFound = true);
    // Depth-first, pre-order search through frames and lists; the first match.
    static const ReportElement *findElementRecursive(const QUuid &id, const ElementList &list);
    // A selected element that the document holds, and where it stands: in the band of `band`'s
    // own list, or else among the children of `container`. It points into the document, and
    // holds only until the document changes.
    struct HeldElement {
        const ReportElement *element = nullptr;
        std::optional<BandTarget> band;
        const ReportElement *container = nullptr;
        // The band it stands in, at any depth.
        std::optional<BandTarget> holder;
    };
    // The elements of those ids, each where element(id:) finds it, in the order that search
    // meets them: one walk, however many there are.
    QList<HeldElement> heldInOrder(const QSet<QUuid> &ids) const;
    // Where each of those ids stands in a band's own list: the bands in the search order, each
    // with the places of its elements in its list, in order.
    QList<std::pair<BandTarget, QList<qsizetype>>> topLevelPlaces(const QSet<QUuid> &ids) const;
    // The element after `mutation`, kept within its container's room (`container` null: a
    // band's) and holding its contents, as updateElement(id:_:) changes it; no value when that
    // leaves it as it was.
    static std::optional<ReportElement> updated(const ReportElement &element,
                                                const ElementMutation &mutation,
                                                const TableCellRooms::Styles &styles,
                                                const ReportElement *container);
    // performUpdateElement() of the element at `index` of the band's own list: no search.
    bool updateTopLevelAt(const BandTarget &target, qsizetype index,
                          const ElementMutation &mutation);
    // growBandHolding() of the element at `index` of the band's own list.
    void growBandHoldingAt(const BandTarget &target, qsizetype index,
                           const std::optional<ReportElement> &before = {});
    // performUpdateElement() of each of the ids, in the order the report holds them: one walk,
    // however many there are.
    void performUpdateElements(const QSet<QUuid> &ids, const ElementMutation &mutation);
    // updated() every element of `pending` in `list` (the children of `container`), at any
    // depth, each once: the ids are taken out of `pending` as they are met.
    static Found updateListed(ElementList &list, QSet<QUuid> &pending,
                              const ElementMutation &mutation, const TableCellRooms::Styles &styles,
                              const ReportElement *container);
    // Runs `walk` on the children of the element at `index` when it is a frame or list (as a
    // shared copy, written back only when changed); Found::no for any other element.
    static Found editChildren(ElementList &list, qsizetype index,
                              const std::function<Found(ElementList &)> &walk);
    // `container` is the frame or list that holds `list`, null for a band's list.
    // `styles` pad the table cells that say nothing of their padding (TableCellRooms).
    static Found updateElementRecursive(const QUuid &id, ElementList &list,
                                        const ElementMutation &mutation,
                                        const TableCellRooms::Styles &styles,
                                        const ReportElement *container = nullptr);
    // Finds the list that holds the element (this level first, then inside each frame or list
    // in order) and runs `action` there; containers whose children changed are written back.
    static Found editListHolding(const QUuid &id, ElementList &list, const ListAction &action);
    // Removes the listed elements at any depth (frames and lists); containers whose children
    // changed are written back.
    static Found removeListed(const QSet<QUuid> &ids, ElementList &list);
    // Runs `change` on every element at any depth (frames and lists, not table cells); writes
    // back only what changed. `change` answers whether it changed the element.
    static bool changeEveryElement(ElementList &list,
                                   const std::function<bool(ReportElement &)> &change);
    static void forEveryElement(const ElementList &list,
                                const std::function<void(const ReportElement &)> &visit);
    // The copy that duplicate places beside an element: renewed, in none of the original's
    // element groups, 10 points right of and below it.
    static ReportElement duplicateOf(const ReportElement &element);
    // Inserts duplicateOf() each element of `pending` right after it, at any depth, in one walk:
    // a container's copy is made before the copies of its children join it. The ids are taken
    // out of `pending` as they are met, and the copies' ids go into `copies`.
    static Found insertDuplicates(ElementList &list, QSet<QUuid> &pending, QSet<QUuid> &copies);
    // A new element with a fresh id: the model's defaults but for its kind, place and size.
    static ReportElement newElement(ElementKind kind, double x, double y, double width,
                                    double height);
    // The style's look copied into the element's own fields (not its name), but for what a
    // condition of the style may set: that is left to the style (one of `styles`, or added to
    // them).
    static void applyStyleProperties(ReportElement &element, const ReportStyle &style,
                                     const QList<ReportStyle> &styles);

    // Per-report memory in the settings.
    static QMap<QString, QString> loadPersistedParameterValues(const QString &path);
    static void persistParameterValues(const QMap<QString, QString> &values, const QString &path);
    static std::optional<QUuid> loadPersistedActiveConnectionID(const QString &path);

    const QUuid id_ = newId();
    ReportDocument document_;
    QSet<QUuid> selectedElementIDs_;
    std::optional<InspectorDataSelection> selectedDataItem_;
    QSet<QUuid> selectedFieldIDs_;
    bool isReportRootSelected_ = false;
    BandTarget activeBandTarget_ = BandTarget::standard(BandType::detail);
    std::optional<QUrl> fileURL_;
    bool isDirty_ = false;
    double zoomLevel_ = 1.0;
    QSet<QUuid> creatingSubreportElementIDs_;
    QList<double> verticalGuides_;
    QList<double> horizontalGuides_;
    QMap<QString, QString> parameterValues_;
    QSet<HashableKey> collapsedOutlineNodes_;
    std::optional<QUuid> activeConnectionID_;
    QStringList readerWarnings_;
    // What the file held when it was loaded or last saved.
    struct FileStamp {
        QString path;
        qint64 size = 0;
        QByteArray hash;
    };
    std::optional<FileStamp> fileStamp_;
    // The paddings the report's styles give table cells, kept while the styles stay.
    mutable TableCellRooms::Styles cellStyles_;

    QList<ReportDocument> undoStack_;
    QList<ReportDocument> redoStack_;
    std::optional<ReportDocument> pendingUndoSnapshot_;
    std::optional<HashableKey> pendingUndoKey_;
    std::optional<HashableKey> heldKey_;
    std::optional<qint64> pendingUndoTimestamp_;
    int documentBatchDepth_ = 0;
    bool documentChangeHeld_ = false;
    // Elements untouched by the change being made whose contents were fitted into their rooms.
    int untouchedFitted_ = 0;

    Clock clock_;
    SavePanel savePanel_;
    ElementClipboard *const ownClipboard_ = new ElementClipboard(this);
    QPointer<ElementClipboard> clipboard_ = ownClipboard_;
    // Notes the elements, about to be placed, as copied from a report whose expressions are
    // written in `language`, where that is not the report's language and they hold expressions
    // (before the change, so that the canvas marks them as they come). True when it noted any.
    bool noteWrittenIn(const QList<ReportElement> &elements, const QString &language);
    // The bar's words for elements noted so.
    void tellWrittenIn(const QString &language, const QString &subject, bool plural);
    // Announces the words (namesLacked()), or collects them while sayAtOnce() runs.
    void sayLacked(const QString &words);
    // Runs `tell`, and announces what it says (sayLacked()) as one text.
    void sayAtOnce(const std::function<void()> &tell);
    std::optional<QStringList> collectedWords_;
    // Elements copied from a report of another expression language: the language, and the
    // expressions they came with (ExpressionLanguages::expressionsWithin).
    struct WrittenIn {
        QString language;
        QStringList expressions;
    };
    QHash<QUuid, WrittenIn> writtenIn_;
};
