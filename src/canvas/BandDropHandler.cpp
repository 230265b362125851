#include "canvas/BandDropHandler.h"

#include "canvas/BandGeometry.h"
#include "document/DocumentStore.h"
#include "model/ReportParts.h"
#include "model/StyleChain.h"
#include "setup/ImageImportService.h"
#include "workspace/BandSettings.h"

#include <QPointer>
#include <algorithm>

namespace {

// A new element of a drop: its frame and font, pen width 1, evaluated "Now", the rest at a new
// element's values.
ReportElement droppedElement(ElementKind kind, QRectF frame, const QString &fontName,
                             double fontSize)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);
    e.x = frame.x();
    e.y = frame.y();
    e.width = frame.width();
    e.height = frame.height();
    e.fontName = fontName;
    e.fontSize = fontSize;
    e.penWidth = 1;
    e.evaluationTime = QStringLiteral("Now");
    return e;
}

ReportElement newTextField(const BandSettings &settings, const QString &expression, QPointF at)
{
    ReportElement e =
        droppedElement(ElementKind::TextField{expression}, QRectF(at, QSizeF(150, 20)),
                       settings.defaultFontName(), settings.defaultFontSize());
    e.isBlankWhenNull = settings.defaultBlankWhenNull();
    return e;
}

QPointF dropOrigin(const DocumentStore &store, const BandSettings &settings,
                   const BandTarget &target, QPointF point, double back = 40, double up = 10)
{
    return bandgeometry::dropOrigin(
        point, back, up, [&](double v, double axis) { return settings.snapped(v, axis); },
        store.width(target), store.height(target));
}

// The report's fields of those names, in the order of the names; names without a field are
// skipped.
QList<ReportField> namedFields(const ReportDocument &doc, const QStringList &names)
{
    QList<ReportField> fields;
    for (const QString &name : names) {
        const auto found = std::find_if(doc.fields.cbegin(), doc.fields.cend(),
                                        [&](const ReportField &f) { return f.name == name; });
        if (found != doc.fields.cend())
            fields.append(*found);
    }
    return fields;
}

void dropFields(DocumentStore &store, const BandSettings &settings, const BandTarget &target,
                const QStringList &names, QPointF point)
{
    const ReportDocument &doc = store.document();
    const QList<ReportField> fields = namedFields(doc, names);
    if (fields.isEmpty())
        return;
    store.setActiveBandTarget(target);
    if (target.kind() == BandTarget::Case::detailBand) {
        // The report's default style, as the engine takes it.
        const ReportStyle *style = StyleChain::defaultStyle(doc.styles);
        store.generateColumnarLayout(fields, target, settings.defaultBlankWhenNull(),
                                     style ? std::optional<ReportStyle>(*style) : std::nullopt);
        return;
    }
    const QPointF origin = dropOrigin(store, settings, target, point);
    QList<ReportElement> row;
    for (qsizetype i = 0; i < fields.size(); ++i)
        row.append(newTextField(settings,
                                QStringLiteral("$F{") + fields.at(i).name + QLatin1Char('}'),
                                origin + QPointF(160.0 * double(i), 0)));
    // The row ends within the band's width where it fits, its fields side by side.
    DocumentStore::keepWithinWidth(store.document(), row, target);
    for (const ReportElement &e : std::as_const(row)) {
        // Where the band cannot grow to hold a text field, none is added, as a paste adds none.
        if (store.refusesTallerThanBand({e}, target))
            return;
        // One undo step per text field.
        store.addElement(e, target);
    }
}

} // namespace

bool bandTakesElements(const DocumentStore &store, const BandTarget &target)
{
    return !ReportParts::isPartReport(store.document()) && store.takesElements(target);
}

bool bandUsesDrop(const DocumentStore &store, const BandTarget &target, const BandDrop &drop)
{
    if (!bandTakesElements(store, target))
        return false;
    switch (drop.kind) {
    case BandDrop::Kind::none:
        return false;
    case BandDrop::Kind::fields:
        return !namedFields(store.document(), drop.names).isEmpty();
    case BandDrop::Kind::field:
    case BandDrop::Kind::parameter:
        return true;
    }
    return false;
}

void applyBandDrop(DocumentStore &store, const BandSettings &settings, const BandTarget &target,
                   const BandDrop &drop, QPointF point)
{
    // An undo step or dirty flag for a drop that adds nothing would record nothing.
    if (!bandUsesDrop(store, target, drop))
        return;
    switch (drop.kind) {
    case BandDrop::Kind::none:
        return;
    case BandDrop::Kind::fields:
        dropFields(store, settings, target, drop.names, point);
        return;
    case BandDrop::Kind::field:
    case BandDrop::Kind::parameter: {
        const QPointF origin = dropOrigin(store, settings, target, point);
        store.setActiveBandTarget(target);
        store.addElement(newTextField(settings, drop.expression, origin), target);
        return;
    }
    }
}

QPointF imageDropOrigin(const DocumentStore &store, const BandSettings &settings,
                        const BandTarget &target, QPointF point)
{
    return dropOrigin(store, settings, target, point, 60, 40);
}

std::function<void(const QString &)>
droppedImageCompletion(DocumentStore *store, const BandTarget &target, QPointF origin)
{
    return [store = QPointer<DocumentStore>(store), target, origin](const QString &expression) {
        // A band hidden or taken away meanwhile (an undo while the sheet asked) hands the picture
        // on to the band the report rests on, as every insert does.
        if (!store)
            return;
        // The picture's proportions, within the size a dropped picture is given.
        const QSizeF box =
            ImageImportService::boxForPicture(QSizeF(120, 90), expression, store->fileURL());
        const ReportElement e = droppedElement(ElementKind::Image{expression}, QRectF(origin, box),
                                               QStringLiteral("SansSerif"), 10);
        store->setActiveBandTarget(target);
        store->addElement(e, target);
    };
}
