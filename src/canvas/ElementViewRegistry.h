#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <optional>

class CrossBandDragState;
class ElementView;

// The element views of one canvas by element id, at any depth, with the ghost rule applied to
// them: while the cross-band state shows ghosts, the views they stand in for are transparent. A
// change of the state touches only the views whose visibility changes, and a view that is added
// takes the state at once.
class ElementViewRegistry {
public:
    void add(ElementView *view);
    // Forgets the view, unless a newer view of the same element has taken its place.
    void remove(ElementView *view);
    const QHash<QUuid, ElementView *> &views() const { return views_; }
    // The view of the element, or null.
    ElementView *view(const QUuid &id) const { return views_.value(id); }

    // A view that left the canvas inside its own mouse handler and goes once that is done: the
    // canvas deletes it with itself if it goes first, while what the view uses is still there.
    void keepLeaving(ElementView *view);
    void deleteLeaving();

    // The canvas's state, followed from now on; the caller keeps it alive.
    void setState(const CrossBandDragState *state);
    // Called on each change of the state.
    void follow();

private:
    const CrossBandDragState *state_ = nullptr;
    QHash<QUuid, ElementView *> views_;
    std::optional<QUuid> shownElementID_;
    QList<QUuid> shownGroup_;
    QSet<QUuid> hidden_;
    QList<QPointer<ElementView>> leaving_;
};
