#pragma once

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

} // namespace ElementContextMenu
