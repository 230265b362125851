#include "canvas/ElementContextMenu.h"

#include "canvas/ElementMenuItems.h"

#include <QMenu>
#include <QPointer>

namespace ElementContextMenu {

void addItems(QMenu *menu, const QList<ElementMenuItem> &items, DocumentStore &store,
              const QSet<QUuid> &target)
{
    for (const ElementMenuItem &item : items) {
        switch (item.kind) {
        case ElementMenuItem::Kind::separator:
            menu->addSeparator();
            break;
        case ElementMenuItem::Kind::submenu:
            addItems(menu->addMenu(item.title), item.children, store, target);
            break;
        case ElementMenuItem::Kind::button: {
            QAction *action = menu->addAction(item.title);
            if (item.isDestructive)
                action->setProperty("destructive", true);
            QPointer<DocumentStore> guarded(&store);
            QObject::connect(action, &QAction::triggered, menu, [guarded, item, target] {
                if (guarded)
                    ElementMenuItems::perform(*guarded, item, target);
            });
            break;
        }
        }
    }
}

QMenu *build(DocumentStore &store, const QUuid &elementID, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const QSet<QUuid> target = ElementMenuItems::targetSet(store.selectedElementIDs(), elementID);
    addItems(menu, ElementMenuItems::items(store, elementID), store, target);
    return menu;
}

} // namespace ElementContextMenu
