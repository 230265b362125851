#pragma once

#include "canvas/ElementMenuItems.h"
#include "navigators/OutlineRows.h"

#include <QList>
#include <QString>
#include <optional>

class Dialogs;
class DocumentStore;

// What the outline's parameter and field rows carry when dragged onto a band: the text the
// band reads, and the icon and text of the drag image.
struct OutlineDrag {
    QString payload;
    QString icon;
    QString text;

    bool operator==(const OutlineDrag &) const = default;
};

// One entry of a band row's context menu.
struct OutlineBandMenuItem {
    enum class Action { separator, showBand, hideBand, paste };

    Action action = Action::separator;
    QString title;
    QString icon;

    bool operator==(const OutlineBandMenuItem &) const = default;
};

// What clicks, drags and menus on the outline's rows do to the store, apart from any widget.
namespace OutlineActions {

// A click on `row`; `onChevron` when it lands on the row's disclosure chevron. An element on a
// hidden band is selected without making that band the one new elements go to.
void click(DocumentStore &store, const OutlineRow &row, Qt::KeyboardModifiers modifiers,
           bool onChevron);
// Collapses the node when open, opens it when collapsed: view state, no undo step, not dirty.
void toggle(DocumentStore &store, const HashableKey &key);

// The drag of a parameter or field row; none for every other row.
std::optional<OutlineDrag> drag(const ReportDocument &document, const QSet<QUuid> &selectedFieldIDs,
                                const OutlineRow &row);

// The band menu of `target` as the report and clipboard are now; empty when it offers nothing.
QList<OutlineBandMenuItem> bandMenu(const ReportDocument &document, const BandTarget &target,
                                    bool clipboardHasElements);
QList<OutlineBandMenuItem> bandMenu(const DocumentStore &store, const BandTarget &target);
// "Hide Band" asks through `dialogs` first when the band holds elements (BandHiding).
void performBandMenuItem(DocumentStore &store, const BandTarget &target,
                         OutlineBandMenuItem::Action action, Dialogs *dialogs);

// The element menu: Cut, Copy, Duplicate, the four order moves and Delete. Its buttons act on
// the selection when it holds the element, else on the element alone
// (ElementMenuItems::targetSet and ElementMenuItems::perform).
QList<ElementMenuItem> elementMenu();

} // namespace OutlineActions
