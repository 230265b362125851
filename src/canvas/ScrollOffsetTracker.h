#pragma once

#include <QObject>
#include <QPointF>

// Where the scaled page's top-left corner lies in the visible scroll area, in view points:
// (24, 24) with nothing scrolled. The rulers and the guides overlay follow it.
class ScrollOffsetTracker : public QObject {
    Q_OBJECT
public:
    explicit ScrollOffsetTracker(QObject *parent = nullptr) : QObject(parent) {}

    QPointF offset() const { return offset_; }
    void setOffset(QPointF offset)
    {
        if (offset_ == offset)
            return;
        offset_ = offset;
        emit offsetChanged();
    }

signals:
    void offsetChanged();

private:
    QPointF offset_{0, 0};
};
