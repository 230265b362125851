#pragma once

#include "model/ReportDocument.h"

#include <QMarginsF>
#include <QRectF>
#include <QUrl>
#include <optional>

class ElementImageLoader;
class QPainter;

// What a face needs beyond the element: the report's file, the store's subreport state and the
// loader of pictures.
struct ElementFaceContext {
    // The saved report, against which relative picture names resolve; none while unsaved.
    std::optional<QUrl> reportURL;
    // The element's subreport file is still being created.
    bool isCreatingSubreport = false;
    // The static text is being edited in place: its label gives way to the editor.
    bool isEditingInline = false;
    // Without a loader, pictures show their placeholder.
    ElementImageLoader *images = nullptr;
    // The report's styles, from which pictures take their scale mode and alignment and an
    // element without a mode of its own takes its mode; none: the element's own and the
    // engine's defaults.
    const QList<ReportStyle> *styles = nullptr;
};

// Draws the face of one element, by kind, in its own points: (0, 0) is its top-left corner and
// one scene unit is one point, so a 10-point font is 10 units high on the page. The face lies in
// the element's drawn frame (its size raised to 4 points each way) and is clipped to it, but for
// pens, which print centred on the frame's edges (see penReach). What prints (shapes, texts,
// pictures, a frame's fill and border) keeps the element's own size inside that frame, however
// thin; the placeholders of what only the engine makes fill the frame.
// A picture is drawn as the engine prints it: scaled, placed and bordered as it says; a
// background is filled only where the engine fills it (ElementFill). Of the other kinds, styles,
// side pens, paddings and print-time attributes are not drawn.
namespace ElementPainter {

// Everything under the element's children (the whole face of a kind without children), in
// `frame`: the element's drawn frame. During a resize the element is given with its live size.
void paintContent(QPainter *painter, const ReportElement &element, const QRectF &frame,
                  const ElementFaceContext &context);
// What frames and lists draw over their children: a frame's border, and a list's outline and
// corner label.
void paintOverlay(QPainter *painter, const ReportElement &element, const QRectF &frame);
// How far the element's printed pens reach out of its frame: half the widest pen of a line, a
// rectangle, an ellipse, or a frame's or picture's border. The face draws that far outside.
double penReach(const ReportElement &element);
// How far the ink of `elements`, placed from `origin`, reaches out of `box` on each side (all in
// the points of what holds them): the pens of those that stand within the box on that side,
// which print whole, half of them outside it. What an element holds carries its pens along.
// Whatever else stands out of the box is cut off at its edge, so it opens nothing.
QMarginsF overflow(const ElementList &elements, const QRectF &box, QPointF origin = {});
// The element with its children at any depth, each clipped to its container but for the pens
// that print past its edges (overflow), and placed inside a frame's padding: for pictures of whole
// reports drawn without a canvas.
void paintTree(QPainter *painter, const ReportElement &element, const ElementFaceContext &context);

} // namespace ElementPainter
