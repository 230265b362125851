#pragma once

#include "model/ReportElement.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// The boxes shown for what only the report engine can fill in, and the small drawing helpers
// that texts share with them. All sizes are in points of the element.
namespace ElementPlaceholders {

// A font of `size` points drawn `size` scene units high on the painter's device.
QFont sceneFont(const QPainter *painter, const QString &family, double size);
// The system font at `size` points, for captions.
QFont captionFont(const QPainter *painter, double size);

// The purple box of subreports, charts, crosstabs, components and generic elements: a symbol
// over a caption of at most `maxLines` lines. While `isBusy` an activity indicator and the
// dimmed caption replace the symbol.
void paintBox(QPainter *painter, const QRectF &frame, const QString &symbol, const QString &caption,
              int captionLines, bool isBusy = false);
// The grey box of an image without a picture: "photo", or the warning sign when `failed`, over
// the expression and, when there are any, the words why the picture failed.
void paintImagePlaceholder(QPainter *painter, const QRectF &frame, const QString &expression,
                           bool failed, const QString &failure = {});
// The table's fill, its column boxes scaled to the width, and its corner label.
void paintTable(QPainter *painter, const QRectF &frame, const ElementKind::Table &table);
// A list's dashed outline and corner label, drawn over its children.
void paintListOverlay(QPainter *painter, const QRectF &frame, const QString &datasetName);
// The page or column break: orange bars either side of the caption, centred vertically.
void paintBreak(QPainter *painter, const QRectF &frame, BreakType type);

} // namespace ElementPlaceholders
