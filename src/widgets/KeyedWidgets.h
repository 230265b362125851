#pragma once

#include <QBoxLayout>
#include <QHash>
#include <QList>
#include <QUuid>
#include <functional>

// Widgets of a list keyed by their item's id, kept in list order in one layout: an update makes
// widgets for new ids, drops those whose id left and reorders the rest, so a widget (and what the
// user is typing in it) stays with its item while others come, go and move.
template <typename W> class KeyedWidgets {
public:
    explicit KeyedWidgets(QBoxLayout *layout) : layout_(layout) {}

    // Brings the widgets in line with `ids`; `make` builds the widget of a new id.
    void update(const QList<QUuid> &ids, const std::function<W *(const QUuid &)> &make)
    {
        // Widgets of items that left leave the tree at once (so nothing finds them by name) and
        // are deleted later: the click that removed their item may still be running in one of
        // their buttons.
        for (auto it = byID_.begin(); it != byID_.end();) {
            if (ids.contains(it.key())) {
                ++it;
                continue;
            }
            layout_->removeWidget(it.value());
            it.value()->hide();
            it.value()->setParent(nullptr);
            it.value()->deleteLater();
            it = byID_.erase(it);
        }
        QList<W *> ordered;
        ordered.reserve(ids.size());
        for (const QUuid &id : ids) {
            W *widget = byID_.value(id);
            if (!widget)
                widget = byID_[id] = make(id);
            else if (ordered.contains(widget))
                continue; // a second item of one id has no widget of its own
            ordered.append(widget);
        }
        if (ordered == widgets_)
            return;
        for (W *widget : std::as_const(ordered))
            layout_->removeWidget(widget);
        for (W *widget : std::as_const(ordered)) {
            layout_->addWidget(widget);
            widget->show();
        }
        widgets_ = ordered;
    }

    const QList<W *> &widgets() const { return widgets_; }

private:
    QBoxLayout *layout_;
    QHash<QUuid, W *> byID_;
    QList<W *> widgets_;
};
