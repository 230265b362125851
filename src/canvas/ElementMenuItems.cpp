#include "canvas/ElementMenuItems.h"

using namespace Qt::StringLiterals;

namespace {

using Item = ElementMenuItem;
using Action = ElementMenuItem::Action;
using Edge = DocumentStore::AlignEdge;

Item button(const QString &title, Action action)
{
    return Item{Item::Kind::button, title, action, std::nullopt, false, {}};
}

Item separator()
{
    return Item{Item::Kind::separator, {}, Action::none, std::nullopt, false, {}};
}

Item submenu(const QString &title, QList<Item> children)
{
    return Item{Item::Kind::submenu, title, Action::none, std::nullopt, false, std::move(children)};
}

QList<Item> alignButtons(Action action)
{
    const std::pair<QString, Edge> edges[] = {
        {u"Left"_s, Edge::left},
        {u"Center Horizontally"_s, Edge::horizontalCenter},
        {u"Right"_s, Edge::right},
        {u"Top"_s, Edge::top},
        {u"Center Vertically"_s, Edge::verticalCenter},
        {u"Bottom"_s, Edge::bottom},
    };
    QList<Item> buttons;
    for (const auto &[title, edge] : edges) {
        Item item = button(title, action);
        item.edge = edge;
        buttons.append(item);
    }
    return buttons;
}

} // namespace

namespace ElementMenuItems {

QSet<QUuid> targetSet(const QSet<QUuid> &selection, const QUuid &clickedID)
{
    return selection.contains(clickedID) ? selection : QSet<QUuid>{clickedID};
}

QList<ElementMenuItem> items(qsizetype targetCount, bool clipboardHasElements)
{
    QList<Item> menu{button(u"Cut"_s, Action::cut), button(u"Copy"_s, Action::copy)};
    if (clipboardHasElements)
        menu.append(button(u"Paste"_s, Action::paste));
    menu.append(button(u"Duplicate"_s, Action::duplicate));
    menu.append(separator());
    menu.append(submenu(u"Order"_s, {button(u"Bring to Front"_s, Action::bringToFront),
                                     button(u"Bring Forward"_s, Action::bringForward),
                                     button(u"Send Backward"_s, Action::sendBackward),
                                     button(u"Send to Back"_s, Action::sendToBack)}));
    menu.append(submenu(u"Align in Container"_s, alignButtons(Action::alignInContainer)));
    if (targetCount >= 2)
        menu.append(submenu(u"Align to Each Other"_s, alignButtons(Action::alignToEachOther)));
    menu.append(button(u"Enclose in Frame"_s, Action::encloseInFrame));
    menu.append(separator());
    Item remove = button(u"Delete"_s, Action::deleteElements);
    remove.isDestructive = true;
    menu.append(remove);
    return menu;
}

QList<ElementMenuItem> items(const DocumentStore &store, const QUuid &clickedID)
{
    const ElementClipboard *clipboard = store.clipboard();
    return items(targetSet(store.selectedElementIDs(), clickedID).size(),
                 clipboard && !clipboard->elements().isEmpty());
}

void perform(DocumentStore &store, const ElementMenuItem &item, const QSet<QUuid> &target)
{
    if (item.kind != Item::Kind::button || item.action == Action::none)
        return;
    if (item.action == Action::paste) {
        store.pasteClipboard();
        return;
    }
    store.setSelectedElementIDs(target);
    switch (item.action) {
    case Action::cut:
        store.copySelectedElements();
        store.deleteSelectedElement();
        break;
    case Action::copy:
        store.copySelectedElements();
        break;
    case Action::duplicate:
        store.duplicateSelectedElement();
        break;
    case Action::bringToFront:
        store.bringToFront();
        break;
    case Action::bringForward:
        store.bringForward();
        break;
    case Action::sendBackward:
        store.sendBackward();
        break;
    case Action::sendToBack:
        store.sendToBack();
        break;
    case Action::alignInContainer:
        if (item.edge)
            store.alignSelectedToContainer(*item.edge);
        break;
    case Action::alignToEachOther:
        if (item.edge)
            store.alignSelected(*item.edge);
        break;
    case Action::encloseInFrame:
        store.encloseSelectedInFrame();
        break;
    case Action::deleteElements:
        store.deleteSelectedElement();
        break;
    case Action::none:
    case Action::paste:
        break;
    }
}

} // namespace ElementMenuItems
