#pragma once

#include "RandomEditsParts.h"
#include "model/ReportDocument.h"

#include <QMetaObject>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class AppSettings;
class DocumentStore;
class QSettings;
class QTemporaryDir;
class SnippetLibrary;

// Seeded random sequences of edits made the way the panels and the canvas make them: the
// store's list operations, the data panel's row writes (names typed a keystroke at a time),
// the styles card's values (a size, colours, an alignment, a font, the Default box), each checked
// to change only the styles (FollowedStyles), undone and redone now and then, the inspector's
// declaration and element writes, the page setup's edits, band heights and
// visibility, element moves and resizes, the source sheet's Apply; the canvas's copy, paste and
// duplicate into and out of frames and lists, its align and enclose, the palette's inserts and
// snippets into the selected container, detail bands added and removed, Generate Columns, a
// table's columns, evaluation times and groups, conditional styles; the canvas's drags and
// resizes, through its gesture code, with the pointer travelling within the band, onto other
// bands and past the page; the padding, frame and band height fields, the variables card's reset
// and increment pickers, the sort fields card's type, fields and parameters dropped on bands;
// inserts into frames all padding and into bands the page holds no higher, drops, duplicates and
// pastes near a band's right edge, drags along one axis; column widths typed (narrowed past the
// padding of their cells, too), the Fields card's insert into a container, removals of what the
// report names, removals and renames of a sub-dataset's parameters, fields and variables;
// duplicates, moves and deletes of many selected elements, each checked against the same edit
// element by element; now and then an undo or a redo, and now and then a band shown or hidden
// with a click into it, undone and perhaps redone, before an insert, paste, snippet, composite
// field, picture or duplicate goes where the active band is.
// The same seed on the same report gives the same sequence, so a failing seed replays.
//
// Each edit is one user gesture, and the driver's clock moves on by more than the coalescing
// window between gestures: an edit that changes the report is exactly one undo step. A removal
// of something in use is asked about first, as the data panel does; the driver answers either
// way.
class RandomEdits {
public:
    struct Event {
        enum class Kind { edit, undo, redo };
        Kind kind = Kind::edit;
        // The number of the edit this event belongs to (an undo or redo, the edit before it).
        int step = 0;
        // What was done, as a failure message shows it.
        QString description;
        // The report before the event.
        ReportDocument before;
    };
    // Called after every event; a check may read the store, save it, compile it. False stops
    // the run (a check failed, and what follows would only repeat it).
    using Hook = std::function<bool(const Event &)>;

    // Takes over the store's clock.
    RandomEdits(DocumentStore &store, quint32 seed);
    ~RandomEdits();

    // Makes `edits` edits, each sometimes followed by undos and redos, calling `hook` after each
    // event. Stops early when the hook says so; true when every edit was made.
    bool run(int edits, const Hook &hook);

    // Makes one edit; its description.
    QString edit();
    // What the next gesture starts from: the clock moved on past the coalescing window, no
    // selection. Counts the edit.
    void startGesture();

    // What the edits found the designer do that a saved report cannot show, one line each: an
    // element placed past its band's right edge where it fits, a child given no room to print,
    // an insert that added nothing without a word, a straight drag that moved the other axis, a
    // style applied to an element that still sets what a condition of the style sets, a style
    // edit that changed more than the styles (FollowedStyles).
    const QStringList &lapses() const { return lapses_; }

    // The text fields the Fields card's insert button put into the report so far.
    const QSet<QUuid> &fieldsCardInserts() const { return fieldsCardInserts_; }

    // What the store said so far of names an edit put where the dataset lacks them
    // (DocumentStore::namesLacked), as the window's bar shows it, and what a style's condition
    // card warned of a typed condition (DatasetLacks::conditionNotes).
    const QStringList &lacksSaid() const { return lacksSaid_; }

private:
    int pick(int count);
    // A whole number of points from 0 to `length` (to 0 for a length of 0 or less), as far as a
    // band of any size a file carries reaches.
    double pickWithin(double length);
    bool chance(double probability);
    QString randomName();
    // A new name for an item: random, or one that passes through, extends or takes another
    // item's name, which is where renames go wrong.
    QString nameBeside(const QStringList &others);
    // Types the name as a name field does: backspaces to the common prefix, then the rest.
    void typeName(const QString &from, const QString &to,
                  const std::function<void(const QString &)> &write);

    QString editList();
    QString renameNamed();
    QString editStyleValues();
    QString editVariableGroups();
    QString editBands();
    QString editPageSetup();
    QString editElement();
    QString addOrRemoveElement();
    QString applySource();
    // RandomEditsContainers.cpp: what the canvas, the palette and the cards do with containers.
    QString editClipboard();
    QString insertFromPalette();
    QString alignOrEnclose();
    QString editDetailBands();
    QString editTableColumns();
    QString chooseEvaluation();
    QString editConditions();
    // Selects a frame or list at random, or nothing with a band made active: where an insert or
    // a paste goes. Its description.
    QString pickDestination();
    // A click on one of the elements at random: its band becomes the active one, and it the
    // selection. No value when there is none.
    std::optional<randomedits::Placed> clickOn(const QList<randomedits::Placed> &elements);
    // RandomEditsGestures.cpp: the canvas's drags and resizes with the pointer.
    QString dragElement();
    QString resizeElement();
    // Where a drag or resize that starts at `start` releases, in the canvas view's coordinates,
    // given the frames of the element's band and the other bands and the sheet; what it is is
    // `where`. No value when there is no such place.
    std::optional<QPointF> pointerTravel(const QRectF &ownBand, const QList<QRectF> &otherBands,
                                         const QRectF &sheet, QPointF start, QString &where);
    // RandomEditsCards.cpp: the cards' fields and pickers, and drops on bands.
    QString editPadding();
    QString typeElementFrame();
    QString typeBandHeight();
    QString editVariableCard();
    QString editSortFieldType();
    QString dropOnBand();
    // RandomEditsPlacing.cpp: inserts into frames whose padding fills them and into bands the
    // page holds no higher, and drops, duplicates and pastes near a band's right edge; each
    // notes a lapse (lapses()) where what it placed breaks the promise.
    QString insertIntoTightRoom();
    QString insertIntoPaddedFrame();
    QString insertIntoFullBand();
    QString placeNearRightEdge();
    // Notes a lapse for each element of `ids` standing in a band past the band's right edge
    // although it would fit there, moved left.
    void expectWithinBands(const QSet<QUuid> &ids, const QString &what);
    // RandomEditsSelections.cpp: duplicate, update, move into a band or delete of many
    // selected elements, each checked against the same edit element by element.
    QString editManySelected();
    // RandomEditsGestures.cpp: a drag along one axis only, which keeps the other.
    QString dragStraight();
    // RandomEditsPlacing.cpp: a standard band shown and clicked into, or clicked into and hidden
    // (`toggledBand_`), which the run then undoes and perhaps redoes; and what is then put where
    // the active band is: a palette insert, a paste, a snippet, a composite field, the Fields
    // card's insert, a picture whose import ends after the undo, a duplicate, with a view now and
    // then still holding the band and an element of a hidden band selected in the outline. Notes
    // a lapse where the active band is one a save leaves out, or nothing was added and nothing
    // said why.
    QString showOrHideBand();
    QString insertAfterBandsChanged();
    // RandomEditsData.cpp: where the report's data meets its elements.
    QString editDataPaths();
    QString typeColumnWidth();
    QString insertFromFieldsCard();
    QString removeNamedDeclaration();
    QString editSubDatasetLists();

    DocumentStore &store_;
    std::mt19937 random_;
    qint64 now_ = 1'000'000;
    int step_ = 0;
    // The snippets and the palette's preferences, kept apart from the user's; the snippets
    // start with one saved in a report of another expression language.
    std::unique_ptr<QTemporaryDir> settingsDir_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<SnippetLibrary> snippets_;
    std::unique_ptr<AppSettings> appSettings_;
    QStringList lapses_;
    QSet<QUuid> fieldsCardInserts_;
    BandTarget toggledBand_ = BandTarget::standard(BandType::title);
    QStringList lacksSaid_;
    QMetaObject::Connection lacksSaidConnection_;
};
