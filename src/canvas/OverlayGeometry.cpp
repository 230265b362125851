#include "canvas/OverlayGeometry.h"

#include "document/DocumentStore.h"

namespace overlay {

QList<double> guideLinePositions(const QList<double> &guides, double margin, double zoomLevel,
                                 double scrollOffset, double extent)
{
    QList<double> positions;
    for (double g : guides) {
        const double p = (g + margin) * zoomLevel + scrollOffset;
        if (p >= 0 && p <= extent)
            positions.append(p);
    }
    return positions;
}

QSizeF ghostSize(double width, double height, double zoomLevel)
{
    const double w = width * zoomLevel;
    const double h = height * zoomLevel;
    return {w <= 24 ? 24 : w, h <= 16 ? 16 : h};
}

QString ghostLabel(const ReportElement &element)
{
    const ElementKind &kind = element.kind;
    if (const auto *text = kind.as<ElementKind::StaticText>())
        return text->text.isEmpty() ? QStringLiteral("Static Text") : text->text;
    if (const auto *field = kind.as<ElementKind::TextField>())
        return field->expression;
    if (kind.is<ElementKind::Image>())
        return QStringLiteral("Image");
    if (kind.is<ElementKind::Subreport>())
        return QStringLiteral("Subreport");
    if (kind.is<ElementKind::Frame>())
        return QStringLiteral("Frame");
    if (kind.is<ElementKind::Rectangle>())
        return QStringLiteral("Rectangle");
    if (kind.is<ElementKind::Ellipse>())
        return QStringLiteral("Ellipse");
    if (kind.is<ElementKind::Line>())
        return QStringLiteral("Line");
    return QStringLiteral("Element");
}

std::optional<QPointF> homeScreenOrigin(const DocumentStore &store,
                                        const BandFrameTracker::Frames &frames, const QUuid &id)
{
    const QHash<QUuid, DrawnElement> found = homeScreenOrigins(store, frames, {id});
    const auto it = found.constFind(id);
    return it == found.cend() ? std::nullopt : std::optional<QPointF>(it->origin);
}

QHash<QUuid, DrawnElement> homeScreenOrigins(const DocumentStore &store,
                                             const BandFrameTracker::Frames &frames,
                                             const QSet<QUuid> &ids)
{
    QHash<QUuid, DrawnElement> found;
    const double zoom = store.zoomLevel();
    for (auto frame = frames.cbegin(); frame != frames.cend() && found.size() < ids.size();
         ++frame) {
        for (const ReportElement &element : store.elements(frame.key())) {
            if (ids.contains(element.id)) {
                const QPointF origin(frame->left() + element.x * zoom,
                                     frame->top() + element.y * zoom);
                found.insert(element.id, {element, origin});
            }
        }
    }
    return found;
}

} // namespace overlay
