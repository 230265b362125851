#pragma once

#include "canvas/ResizeHandleKind.h"

#include <QObject>
#include <QRectF>
#include <optional>

// The frame an element had when its current resize began, and the handle being dragged; both
// empty outside a resize. Each element keeps one for its life.
class ResizeAnchor : public QObject {
    Q_OBJECT
public:
    explicit ResizeAnchor(QObject *parent = nullptr) : QObject(parent) {}

    const std::optional<QRectF> &startFrame() const { return startFrame_; }
    const std::optional<ResizeHandleKind> &activeHandle() const { return activeHandle_; }

    // On every change of a handle drag: only the first one of a drag records the frame.
    void dragChanged(const QRectF &currentFrame, ResizeHandleKind handle)
    {
        if (startFrame_)
            return;
        startFrame_ = currentFrame;
        activeHandle_ = handle;
        emit changed();
    }
    void dragEnded()
    {
        if (!startFrame_ && !activeHandle_)
            return;
        startFrame_.reset();
        activeHandle_.reset();
        emit changed();
    }

signals:
    void changed();

private:
    std::optional<QRectF> startFrame_;
    std::optional<ResizeHandleKind> activeHandle_;
};
