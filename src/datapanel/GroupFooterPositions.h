#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QString>
#include <optional>

// The footer position of a group row. A file may give a position the picker does not offer
// ("CollateAtBottom", which the engine accepts): the reader keeps it as written, the row then
// shows no entry chosen, and it stays in the file until the user chooses a position.
namespace GroupFooterPositions {

struct Entry {
    QString label;
    GroupFooterPosition value;
};

// "Normal", "Stack At Bottom", "Force At Bottom".
const QList<Entry> &entries();
// The position to show; none while the file's own position is one the picker does not offer.
std::optional<GroupFooterPosition> shown(const ReportGroup &group);
// The user's choice: the position, in place of any position kept from the file that differs.
void choose(ReportGroup &group, GroupFooterPosition position);

} // namespace GroupFooterPositions
