#include "document/DocumentStore.h"

void DocumentStore::selectField(const QUuid &field)
{
    const QUuid fieldID = field;
    setSelectedElementIDs({});
    setIsReportRootSelected(false);
    setSelectedFieldIDs({fieldID});
    setSelectedDataItem(InspectorDataSelection::field(fieldID));
}

void DocumentStore::toggleFieldSelection(const QUuid &field)
{
    const QUuid fieldID = field;
    QSet<QUuid> fields = selectedFieldIDs_;
    setSelectedElementIDs({});
    setIsReportRootSelected(false);
    if (!fields.remove(fieldID))
        fields.insert(fieldID);
    setSelectedFieldIDs(fields);
    setSelectedDataItem(fields.size() == 1
                            ? std::optional(InspectorDataSelection::field(*fields.cbegin()))
                            : std::nullopt);
}

void DocumentStore::selectParameter(const QUuid &parameter)
{
    const QUuid parameterID = parameter;
    setSelectedElementIDs({});
    setIsReportRootSelected(false);
    setSelectedFieldIDs({});
    setSelectedDataItem(InspectorDataSelection::parameter(parameterID));
}

void DocumentStore::toggleSelection(const QUuid &element, const BandTarget &band)
{
    const QUuid elementID = element;
    const BandTarget target = band;
    if (activeBandTarget_ != target) {
        setActiveBandTarget(target);
        setSelectedElementIDs({elementID});
        return;
    }
    QSet<QUuid> ids = selectedElementIDs_;
    if (!ids.remove(elementID))
        ids.insert(elementID);
    setSelectedElementIDs(ids);
}

namespace {

// Whether two rectangles share at least one point, edges included. Unlike QRectF::intersects it
// holds for a rectangle without width or height, so a horizontal line inside the band is met.
bool meets(const QRectF &a, const QRectF &b)
{
    const QRectF p = a.normalized();
    const QRectF q = b.normalized();
    return p.left() <= q.right() && q.left() <= p.right() && p.top() <= q.bottom() &&
           q.top() <= p.bottom();
}

} // namespace

void DocumentStore::selectElements(const QRectF &rect, const BandTarget &target, bool additive)
{
    const BandTarget band = target;
    QSet<QUuid> ids = additive ? selectedElementIDs_ : QSet<QUuid>();
    for (const ReportElement &element : elements(band)) {
        if (meets(QRectF(element.x, element.y, element.width, element.height), rect))
            ids.insert(element.id);
    }
    setSelectedElementIDs(ids);
    setActiveBandTarget(band);
}

void DocumentStore::selectAllInActiveBand()
{
    QSet<QUuid> ids;
    for (const ReportElement &element : elements(activeBandTarget_))
        ids.insert(element.id);
    if (!ids.isEmpty())
        setSelectedElementIDs(ids);
}

bool DocumentStore::handleKeyDown(const KeyDown &key)
{
    if (key.textFieldHasFocus || selectedElementIDs_.isEmpty())
        return false;
    // Modifiers do not matter: Shift-Delete deletes too.
    switch (key.key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        deleteSelectedElement();
        return true;
    case Qt::Key_Escape:
        setSelectedElementIDs({});
        return true;
    default:
        return false;
    }
}
