#pragma once

#include "model/ReportDocument.h"

#include <QRectF>
#include <QSizeF>
#include <optional>

// How the engine prints an image element, for the canvas to draw it the same way: where the
// picture lands in the element and which border it gets.
namespace ImagePrintGeometry {

enum class ScaleImage { clip, fillFrame, retainShape, realHeight, realSize };

// The picture's scale mode and alignment: the element's own (`scaleImage`, `hAlign`,
// `vAlign`), else its style's and that style's parents' (`scaleImage`, `hImageAlign`,
// `vImageAlign`), else the engine's defaults (RetainShape, left, top).
struct Placement {
    ScaleImage scale = ScaleImage::retainShape;
    // Where the picture stands in the spare room: 0 at the left or top, 0.5 centred, 1 at the
    // right or bottom.
    double horizontal = 0;
    double vertical = 0;
    bool operator==(const Placement &) const = default;
};
Placement placement(const ReportElement &element, const QList<ReportStyle> &styles);

// The room the picture is drawn in: `frame` less the element's padding.
QRectF pictureArea(const ReportElement &element, const QRectF &frame);
// Where a picture of `picture` points (a pixel is a point) lands for `area`; it may stand out of
// the area, which clips it. The sizes the engine grows an element to (RealHeight, RealSize) are
// drawn within the element's stored height.
QRectF pictureRect(const QRectF &area, const QSizeF &picture, const Placement &placement);

// One printed side of the border: its width (0: none), colour (none: the element's fore colour)
// and line style.
struct Side {
    double width = 0;
    std::optional<ElementColor> color;
    PenLineStyle style = PenLineStyle::solid;
    bool operator==(const Side &) const = default;
};
struct Border {
    Side top, left, bottom, right;
    bool operator==(const Border &) const = default;
};
// The border round the picture: the box's sides (each its own pen, else the box's pen) when
// any of them has a width, else the graphic pen on all four sides. A width the file left out
// is the engine's default for images: none.
Border border(const ReportElement &element);

} // namespace ImagePrintGeometry
