#pragma once

#include <QObject>
#include <QSizeF>
#include <QUuid>
#include <optional>

// How far a dragged multi-selection has moved, in points: the dragged element writes it, the
// other selected elements draw themselves shifted by it. Empty outside a drag.
class MultiDragState : public QObject {
    Q_OBJECT
public:
    explicit MultiDragState(QObject *parent = nullptr) : QObject(parent) {}

    QSizeF translation() const { return translation_; }
    const std::optional<QUuid> &originID() const { return originID_; }

    void set(QSizeF translation, const std::optional<QUuid> &originID)
    {
        if (translation_ == translation && originID_ == originID)
            return;
        translation_ = translation;
        originID_ = originID;
        emit changed();
    }
    void reset() { set(QSizeF(0, 0), std::nullopt); }

signals:
    void changed();

private:
    QSizeF translation_{0, 0};
    std::optional<QUuid> originID_;
};
