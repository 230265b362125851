#pragma once

#include "document/DocumentStore.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

// One entry of an element's context menu: a button, a separator or a submenu. Entries are
// present or absent; none is ever shown disabled.
struct ElementMenuItem {
    enum class Kind { button, separator, submenu };
    enum class Action {
        none,
        cut,
        copy,
        paste,
        duplicate,
        bringToFront,
        bringForward,
        sendBackward,
        sendToBack,
        alignInContainer,
        alignToEachOther,
        encloseInFrame,
        deleteElements,
    };

    Kind kind = Kind::button;
    QString title;
    Action action = Action::none;
    // The edge of the two align actions.
    std::optional<DocumentStore::AlignEdge> edge;
    bool isDestructive = false;
    QList<ElementMenuItem> children;
};

// The contents of an element's context menu and what its buttons do, apart from any widget.
namespace ElementMenuItems {

// What a menu opened on `clickedID` acts on: the whole selection when the element is part of
// it, else the element alone.
QSet<QUuid> targetSet(const QSet<QUuid> &selection, const QUuid &clickedID);

// The entries, top to bottom, for a target set of `targetCount` elements.
QList<ElementMenuItem> items(qsizetype targetCount, bool clipboardHasElements);

// The entries of a menu opened on `clickedID` in `store`, as they are now.
QList<ElementMenuItem> items(const DocumentStore &store, const QUuid &clickedID);

// Runs a button: first makes the target set the selection (except for Paste, which leaves the
// selection alone), then calls the store's operations.
void perform(DocumentStore &store, const ElementMenuItem &item, const QSet<QUuid> &target);

} // namespace ElementMenuItems
