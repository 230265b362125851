#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QUuid>
#include <optional>

// An element dragged out of its own band: which one, where the pointer is (canvas view
// coordinates), the selected elements carried along and whether it would stick out of its band.
// A ghost is shown exactly while the element and the location are both set.
class CrossBandDragState : public QObject {
    Q_OBJECT
public:
    struct Value {
        std::optional<QUuid> elementID;
        std::optional<QPointF> globalLocation;
        QList<QUuid> groupElementIDs;
        bool isOutOfBounds = false;
        bool operator==(const Value &) const = default;

        // The same state with no ghost; the carried-along group is left as it is.
        Value withoutGhost() const
        {
            Value next = *this;
            next.elementID.reset();
            next.globalLocation.reset();
            next.isOutOfBounds = false;
            return next;
        }
    };

    explicit CrossBandDragState(QObject *parent = nullptr) : QObject(parent) {}

    const Value &value() const { return value_; }
    const std::optional<QUuid> &elementID() const { return value_.elementID; }
    const std::optional<QPointF> &globalLocation() const { return value_.globalLocation; }
    const QList<QUuid> &groupElementIDs() const { return value_.groupElementIDs; }
    bool isOutOfBounds() const { return value_.isOutOfBounds; }
    bool isShowingGhost() const { return value_.elementID && value_.globalLocation; }

    // An element drawn in place of by a ghost: the dragged one and the ones carried along.
    bool isHidden(const QUuid &id) const
    {
        return value_.elementID == id || value_.groupElementIDs.contains(id);
    }

    void set(const Value &value)
    {
        if (value_ == value)
            return;
        value_ = value;
        emit changed();
    }
    // The end of every drag.
    void reset() { set(Value{}); }

signals:
    void changed();

private:
    Value value_;
};
