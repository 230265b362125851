#include "canvas/ElementViewRegistry.h"

#include "canvas/CrossBandDragState.h"
#include "canvas/ElementDragRules.h"
#include "canvas/ElementView.h"

#include <utility>

void ElementViewRegistry::add(ElementView *view)
{
    views_.insert(view->id(), view);
    view->setOpacity(state_ ? dragrules::ghostOpacity(*state_, view->id()) : 1);
}

void ElementViewRegistry::remove(ElementView *view)
{
    const auto it = views_.constFind(view->id());
    if (it != views_.cend() && it.value() == view)
        views_.erase(it);
}

void ElementViewRegistry::keepLeaving(ElementView *view)
{
    leaving_.removeIf([](const QPointer<ElementView> &gone) { return gone.isNull(); });
    leaving_.append(view);
}

void ElementViewRegistry::deleteLeaving()
{
    for (const QPointer<ElementView> &view : std::exchange(leaving_, {}))
        delete view.data();
}

void ElementViewRegistry::setState(const CrossBandDragState *state)
{
    state_ = state;
    follow();
}

void ElementViewRegistry::follow()
{
    const std::optional<QUuid> elementID = state_ ? state_->elementID() : std::nullopt;
    const QList<QUuid> group = state_ ? state_->groupElementIDs() : QList<QUuid>();
    // The pointer moves on every step of a drag; the ids change only now and then. Lists that
    // share their data compare at once.
    if (elementID == shownElementID_ && group == shownGroup_)
        return;
    shownElementID_ = elementID;
    shownGroup_ = group;
    QSet<QUuid> hidden(group.cbegin(), group.cend());
    if (elementID)
        hidden.insert(*elementID);
    // Only the views whose visibility changes are touched; the set holds what the ghost rule
    // hides, without a search of the group for each view.
    const auto apply = [&](const QUuid &id) {
        if (ElementView *view = views_.value(id))
            view->setOpacity(hidden.contains(id) ? 0 : 1);
    };
    for (const QUuid &id : std::as_const(hidden_)) {
        if (!hidden.contains(id))
            apply(id);
    }
    for (const QUuid &id : std::as_const(hidden)) {
        if (!hidden_.contains(id))
            apply(id);
    }
    hidden_ = std::move(hidden);
}
