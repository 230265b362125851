#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

// The corner handle of an element being dragged; the opposite corner stays where it was.
enum class ResizeHandleKind { topLeft, topRight, bottomLeft, bottomRight };

// The four handles in the order an element creates them.
inline QList<ResizeHandleKind> allResizeHandleKinds()
{
    return {ResizeHandleKind::topLeft, ResizeHandleKind::topRight, ResizeHandleKind::bottomLeft,
            ResizeHandleKind::bottomRight};
}

// Whether dragging the handle moves the element's left (top) edge rather than its right
// (bottom) one.
inline bool movesLeftEdge(ResizeHandleKind kind)
{
    return kind == ResizeHandleKind::topLeft || kind == ResizeHandleKind::bottomLeft;
}
inline bool movesTopEdge(ResizeHandleKind kind)
{
    return kind == ResizeHandleKind::topLeft || kind == ResizeHandleKind::topRight;
}

// The frame while the handle is dragged by `delta` points from `start`: never below 4 by 4,
// with the opposite corner fixed.
QRectF liveResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta);
