#pragma once

#include "canvas/ElementMenuItems.h"

#include <QUuid>

class DocumentStore;
class QMenu;
class QWidget;

// The context menu of an element on the canvas, built afresh each time it opens from the
// store's state then: it acts on the clicked element, or on the whole selection when the
// element is part of it.
namespace ElementContextMenu {

// A menu owned by `parent`; each button acts through the store (the store must outlive it).
QMenu *build(DocumentStore &store, const QUuid &elementID, QWidget *parent);

// Adds the entries to `menu`; each button acts on `target` through the store while it lives.
void addItems(QMenu *menu, const QList<ElementMenuItem> &items, DocumentStore &store,
              const QSet<QUuid> &target);

} // namespace ElementContextMenu
