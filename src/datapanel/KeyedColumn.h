#pragma once

#include <QHash>
#include <QList>
#include <QUuid>
#include <QVBoxLayout>
#include <functional>

// Brings a column of widgets keyed by item id in line with the items' ids: the widgets of items
// that left go (deleted later, since the click that removed their item may still be running in
// one of their buttons), new items get a widget from `make`, and the rest are put in the ids'
// order. A second item of one id gets no widget of its own. `shown` is the column's widgets in
// order, `byID` the same widgets by id.
template <typename W>
void syncKeyedColumn(QVBoxLayout *column, QHash<QUuid, W *> &byID, QList<W *> &shown,
                     const QList<QUuid> &ids, const std::function<W *(const QUuid &)> &make)
{
    for (auto it = byID.begin(); it != byID.end();) {
        if (ids.contains(it.key())) {
            ++it;
            continue;
        }
        W *gone = it.value();
        column->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
        it = byID.erase(it);
    }
    QList<W *> ordered;
    ordered.reserve(ids.size());
    for (const QUuid &id : ids) {
        W *widget = byID.value(id);
        if (!widget)
            widget = byID[id] = make(id);
        else if (ordered.contains(widget))
            continue;
        ordered.append(widget);
    }
    if (ordered == shown)
        return;
    for (W *widget : std::as_const(ordered))
        column->removeWidget(widget);
    for (W *widget : std::as_const(ordered)) {
        column->addWidget(widget);
        widget->show();
    }
    shown = ordered;
}
