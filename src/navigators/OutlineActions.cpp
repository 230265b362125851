#include "navigators/OutlineActions.h"

#include "document/DocumentStore.h"
#include "widgets/BandHiding.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isModifierClick(Qt::KeyboardModifiers modifiers)
{
    // Control is the Command key where the platform has one.
    return modifiers.testAnyFlags(Qt::ShiftModifier | Qt::ControlModifier);
}

ElementMenuItem menuButton(const QString &title, ElementMenuItem::Action action)
{
    return ElementMenuItem{ElementMenuItem::Kind::button, title, action, std::nullopt, false, {}};
}

void collectIDs(const ElementList &elements, QSet<QUuid> &ids)
{
    for (const ReportElement &element : elements) {
        ids.insert(element.id);
        if (const ElementList *children = element.kind.children())
            collectIDs(*children, ids);
    }
}

// A click on an element of a band that does not print: the element is selected, but the active
// band stays, so nothing new is put where it would never show. A modifier click adds or takes
// the element while the selection lies on that band alone.
void selectOnHiddenBand(DocumentStore &store, const QUuid &id, const BandTarget &target,
                        bool toggles)
{
    QSet<QUuid> band;
    collectIDs(DocumentStore::elements(store.document(), target), band);
    QSet<QUuid> selection = store.selectedElementIDs();
    const bool staysOnBand =
        std::all_of(selection.cbegin(), selection.cend(),
                    [&band](const QUuid &other) { return band.contains(other); });
    if (toggles && staysOnBand) {
        if (!selection.remove(id))
            selection.insert(id);
    } else {
        selection = {id};
    }
    store.setSelectedElementIDs(selection);
}

ElementMenuItem menuSeparator()
{
    ElementMenuItem item;
    item.kind = ElementMenuItem::Kind::separator;
    return item;
}

} // namespace

namespace OutlineActions {

void toggle(DocumentStore &store, const HashableKey &key)
{
    QSet<HashableKey> nodes = store.collapsedOutlineNodes();
    if (!nodes.remove(key))
        nodes.insert(key);
    store.setCollapsedOutlineNodes(nodes);
}

void click(DocumentStore &store, const OutlineRow &row, Qt::KeyboardModifiers modifiers,
           bool onChevron)
{
    if (onChevron && row.collapseKey) {
        toggle(store, *row.collapseKey);
        return;
    }
    switch (row.kind) {
    case OutlineRow::Kind::root:
        store.setIsReportRootSelected(true);
        store.setSelectedElementIDs({});
        return;
    case OutlineRow::Kind::section:
    case OutlineRow::Kind::group:
        if (row.collapseKey)
            toggle(store, *row.collapseKey);
        return;
    case OutlineRow::Kind::parameter:
        store.selectParameter(row.id);
        return;
    case OutlineRow::Kind::field:
        if (isModifierClick(modifiers))
            store.toggleFieldSelection(row.id);
        else
            store.selectField(row.id);
        return;
    case OutlineRow::Kind::band:
        // A band that does not print takes no elements; it is shown only to be shown again.
        if (row.isHidden || !row.target)
            return;
        store.setActiveBandTarget(*row.target);
        store.setSelectedElementID(std::nullopt);
        return;
    case OutlineRow::Kind::element:
        if (!row.target)
            return;
        if (OutlineRows::isBandHidden(store.document(), *row.target)) {
            selectOnHiddenBand(store, row.id, *row.target, isModifierClick(modifiers));
            return;
        }
        if (isModifierClick(modifiers)) {
            store.toggleSelection(row.id, *row.target);
            return;
        }
        store.setActiveBandTarget(*row.target);
        store.setSelectedElementID(row.id);
        return;
    }
}

std::optional<OutlineDrag> drag(const ReportDocument &document, const QSet<QUuid> &selectedFieldIDs,
                                const OutlineRow &row)
{
    if (row.kind == OutlineRow::Kind::parameter) {
        for (const ReportParameter &parameter : document.parameters) {
            if (parameter.id == row.id)
                return OutlineDrag{u"param:"_s + parameter.name, u"at"_s,
                                   u"$P{"_s + parameter.name + u'}'};
        }
        return std::nullopt;
    }
    if (row.kind != OutlineRow::Kind::field)
        return std::nullopt;
    if (selectedFieldIDs.contains(row.id) && selectedFieldIDs.size() >= 2) {
        QStringList names;
        for (const ReportField &field : document.fields) {
            if (selectedFieldIDs.contains(field.id))
                names.append(field.name);
        }
        return OutlineDrag{u"fields:"_s + names.join(u','), u"curlybraces"_s,
                           QString::number(selectedFieldIDs.size()) + u" Fields"_s};
    }
    for (const ReportField &field : document.fields) {
        if (field.id == row.id)
            return OutlineDrag{u"field:"_s + field.name, u"curlybraces"_s,
                               u"$F{"_s + field.name + u'}'};
    }
    return std::nullopt;
}

QList<OutlineBandMenuItem> bandMenu(const ReportDocument &document, const BandTarget &target,
                                    bool clipboardHasElements)
{
    using Action = OutlineBandMenuItem::Action;
    const bool hidden = OutlineRows::isBandHidden(document, target);
    QList<OutlineBandMenuItem> items;
    if (target.kind() == BandTarget::Case::standard && target.bandType() != BandType::detail) {
        items.append(hidden
                         ? OutlineBandMenuItem{Action::showBand, u"Show Band"_s, u"eye"_s}
                         : OutlineBandMenuItem{Action::hideBand, u"Hide Band"_s, u"eye.slash"_s});
    }
    if (clipboardHasElements && !hidden) {
        if (!items.isEmpty())
            items.append(OutlineBandMenuItem{});
        items.append(OutlineBandMenuItem{Action::paste, u"Paste"_s, u"doc.on.clipboard"_s});
    }
    return items;
}

QList<OutlineBandMenuItem> bandMenu(const DocumentStore &store, const BandTarget &target)
{
    const ElementClipboard *clipboard = store.clipboard();
    return bandMenu(store.document(), target, clipboard && !clipboard->elements().isEmpty());
}

void performBandMenuItem(DocumentStore &store, const BandTarget &target,
                         OutlineBandMenuItem::Action action, Dialogs *dialogs)
{
    switch (action) {
    case OutlineBandMenuItem::Action::separator:
        return;
    case OutlineBandMenuItem::Action::showBand:
        if (target.kind() == BandTarget::Case::standard)
            store.setBandPresent(target.bandType(), true);
        return;
    case OutlineBandMenuItem::Action::hideBand:
        if (target.kind() == BandTarget::Case::standard)
            BandHiding::hide(store, target.bandType(), dialogs);
        return;
    case OutlineBandMenuItem::Action::paste:
        // Paste goes into a selected frame or list, which may lie on another band: the
        // selection is cleared first, as a click on the band does, so the copies land here.
        store.setSelectedElementID(std::nullopt);
        store.setActiveBandTarget(target);
        store.pasteClipboard();
        return;
    }
}

QList<ElementMenuItem> elementMenu()
{
    using Action = ElementMenuItem::Action;
    ElementMenuItem order{
        ElementMenuItem::Kind::submenu, u"Order"_s, Action::none, std::nullopt, false, {}};
    order.children = {menuButton(u"Bring to Front"_s, Action::bringToFront),
                      menuButton(u"Bring Forward"_s, Action::bringForward),
                      menuButton(u"Send Backward"_s, Action::sendBackward),
                      menuButton(u"Send to Back"_s, Action::sendToBack)};
    ElementMenuItem remove = menuButton(u"Delete"_s, Action::deleteElements);
    remove.isDestructive = true;
    return {menuButton(u"Cut"_s, Action::cut),
            menuButton(u"Copy"_s, Action::copy),
            menuButton(u"Duplicate"_s, Action::duplicate),
            menuSeparator(),
            order,
            menuSeparator(),
            remove};
}

} // namespace OutlineActions
