#include "document/ContainerRoom.h"
#include "document/DocumentStore.h"
#include "model/PageLayout.h"
#include "model/ReportParts.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

// Where the first item with that id stands in the list; -1 when none has it. The views ask for
// every band of a report in turn, so a long list is looked up through an index of its ids: one
// for the list looked at last on the thread, made again when another list is asked, and checked
// on every answer, so that a list changed in place is indexed again.
template <typename T> qsizetype indexOfId(const QList<T> &items, const QUuid &id)
{
    constexpr qsizetype scanned = 32;
    if (items.size() <= scanned) {
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items.at(i).id == id)
                return i;
        }
        return -1;
    }
    struct Index {
        const T *data = nullptr;
        qsizetype size = -1;
        QHash<QUuid, qsizetype> positions;
    };
    thread_local Index index;
    const auto find = [&]() -> qsizetype {
        const auto found = index.positions.constFind(id);
        if (found == index.positions.cend() || *found >= items.size() || items.at(*found).id != id)
            return -1;
        return *found;
    };
    if (index.data == items.constData() && index.size == items.size()) {
        if (const qsizetype at = find(); at >= 0)
            return at;
    }
    index.positions.clear();
    index.positions.reserve(items.size());
    // Backwards, so that the first of a repeated id stands.
    for (qsizetype i = items.size() - 1; i >= 0; --i)
        index.positions.insert(items.at(i).id, i);
    index.data = items.constData();
    index.size = items.size();
    return find();
}

// The first standard band of that type; detail bands live apart and never match.
qsizetype indexOfStandardBand(const ReportDocument &document, BandType type)
{
    if (type == BandType::detail)
        return -1;
    for (qsizetype i = 0; i < document.bands.size(); ++i) {
        if (document.bands.at(i).type == type)
            return i;
    }
    return -1;
}

// Where a target's elements and height live: a band (standard or detail) or a group's header
// or footer. Works on a const document for queries and on a mutable one for changes, so that
// changes detach only the lists on the path.
template <typename Document, typename Use>
auto withTargetSlots(Document &document, const BandTarget &target, Use &&use)
{
    qsizetype index = -1;
    switch (target.kind()) {
    case BandTarget::Case::standard:
        index = indexOfStandardBand(document, target.bandType());
        if (index >= 0)
            return use(&document.bands[index].elements, &document.bands[index].height);
        break;
    case BandTarget::Case::detailBand:
        index = indexOfId(document.detailBands, target.uuid());
        if (index >= 0)
            return use(&document.detailBands[index].elements, &document.detailBands[index].height);
        break;
    case BandTarget::Case::groupHeader:
        index = indexOfId(document.groups, target.uuid());
        if (index >= 0)
            return use(&document.groups[index].headerElements,
                       &document.groups[index].headerHeight);
        break;
    case BandTarget::Case::groupFooter:
        index = indexOfId(document.groups, target.uuid());
        if (index >= 0)
            return use(&document.groups[index].footerElements,
                       &document.groups[index].footerHeight);
        break;
    }
    return use(nullptr, nullptr);
}

QString bandTitle(BandType type)
{
    switch (type) {
    case BandType::background:
        return QStringLiteral("Background");
    case BandType::title:
        return QStringLiteral("Title");
    case BandType::pageHeader:
        return QStringLiteral("Page Header");
    case BandType::columnHeader:
        return QStringLiteral("Column Header");
    case BandType::detail:
        return QStringLiteral("Detail");
    case BandType::columnFooter:
        return QStringLiteral("Column Footer");
    case BandType::pageFooter:
        return QStringLiteral("Page Footer");
    case BandType::lastPageFooter:
        return QStringLiteral("Last Page Footer");
    case BandType::summary:
        return QStringLiteral("Summary");
    case BandType::noData:
        return QStringLiteral("No Data");
    }
    return {};
}

} // namespace

ElementList *DocumentStore::elementList(ReportDocument &document, const BandTarget &target)
{
    return withTargetSlots(document, target,
                           [](ElementList *elements, double *) { return elements; });
}

const ElementList *DocumentStore::elementList(const ReportDocument &document,
                                              const BandTarget &target)
{
    return withTargetSlots(document, target,
                           [](const ElementList *elements, const double *) { return elements; });
}

double DocumentStore::height(const BandTarget &target) const
{
    return height(document_, target);
}

double DocumentStore::height(const ReportDocument &document, const BandTarget &target)
{
    return withTargetSlots(document, target,
                           [](const ElementList *, const double *h) { return h ? *h : 20.0; });
}

double DocumentStore::width(const BandTarget &target) const
{
    return width(document_, target);
}

double DocumentStore::width(const ReportDocument &d, const BandTarget &target)
{
    if (target.kind() != BandTarget::Case::standard)
        return d.columnWidth;
    switch (target.bandType()) {
    case BandType::columnHeader:
    case BandType::detail:
    case BandType::columnFooter:
        return d.columnWidth;
    case BandType::background:
    case BandType::title:
    case BandType::pageHeader:
    case BandType::pageFooter:
    case BandType::lastPageFooter:
    case BandType::summary:
    case BandType::noData:
        break;
    }
    // Never narrower than the column, also for a file whose column does not fit its page.
    return std::max(d.columnWidth, d.pageWidth - d.leftMargin - d.rightMargin);
}

double DocumentStore::bottomAsWritten(const ReportElement &element)
{
    // The file holds whole points, each value rounded on its own: 13.5 + 20.5 is written as
    // 14 + 21, and only a band that is written as 35 or more holds that. A line of no height
    // takes one point.
    const double height = element.printedHeight();
    return std::max(element.y + height, std::round(element.y) + std::round(height) - 0.5);
}

void DocumentStore::growBandToHold(ReportDocument &document, const BandTarget &target,
                                   double bottom)
{
    withTargetSlots(document, target, [bottom](ElementList *, double *height) {
        if (height && bottom > *height)
            *height = bottom;
    });
}

bool DocumentStore::refusesBandsOfParts(const BandTarget &target)
{
    if (!ReportParts::isPartReport(document_))
        return false;
    emit bandTakesNoElements(target);
    return true;
}

void DocumentStore::growBandHolding(const QUuid &id, const std::optional<ReportElement> &before)
{
    for (const auto &[home, indexes] : topLevelPlaces({id}))
        growBandHoldingAt(home, indexes.first(), before);
}

const ElementList DocumentStore::elements(const BandTarget &target) const
{
    return elements(document_, target);
}

const ElementList DocumentStore::elements(const ReportDocument &document, const BandTarget &target)
{
    const ElementList *list = elementList(document, target);
    return list ? *list : ElementList();
}

bool DocumentStore::takesElements(const BandTarget &target) const
{
    return takesElements(document_, target);
}

bool DocumentStore::takesElements(const ReportDocument &document, const BandTarget &target)
{
    if (target.kind() == BandTarget::Case::standard) {
        // The writer writes the first band of the type, and only while it is shown.
        const qsizetype index = indexOfStandardBand(document, target.bandType());
        return index >= 0 && document.bands.at(index).isPresent;
    }
    return elementList(document, target) != nullptr;
}

bool DocumentStore::refusesHiddenSelection()
{
    for (const HeldElement &held : heldInOrder(selectedElementIDs_)) {
        if (held.holder && refusesHiddenBand(*held.holder))
            return true;
    }
    return false;
}

bool DocumentStore::refusesHiddenBand(const BandTarget &target)
{
    if (takesElements(target) || !elementList(std::as_const(document_), target))
        return false;
    emit bandTakesNoElements(target);
    return true;
}

QString DocumentStore::label(const BandTarget &target) const
{
    return label(document_, target);
}

QString DocumentStore::label(const ReportDocument &document, const BandTarget &target)
{
    switch (target.kind()) {
    case BandTarget::Case::standard:
        return bandTitle(target.bandType());
    case BandTarget::Case::detailBand: {
        if (document.detailBands.size() < 2)
            return QStringLiteral("Detail");
        const qsizetype index = indexOfId(document.detailBands, target.uuid());
        return QStringLiteral("Detail ") + QString::number(index < 0 ? 1 : index + 1);
    }
    case BandTarget::Case::groupHeader:
    case BandTarget::Case::groupFooter: {
        const qsizetype index = indexOfId(document.groups, target.uuid());
        const QString name = index < 0 ? QStringLiteral("Group") : document.groups.at(index).name;
        return name + (target.kind() == BandTarget::Case::groupHeader ? QStringLiteral(" Header")
                                                                      : QStringLiteral(" Footer"));
    }
    }
    return {};
}

void DocumentStore::setHeight(double height, const BandTarget &target)
{
    // A report of parts holds no band: a height would write one.
    if (this->height(target) == height || ReportParts::isPartReport(document_))
        return;
    applyCoalescedEdit(target, [&] {
        changeDocument([&](ReportDocument &document) {
            withTargetSlots(document, target, [&](ElementList *, double *slot) {
                if (slot)
                    *slot = height;
            });
        });
        // Also a target that addresses nothing is recorded: its before-state equals the
        // document, so it never becomes an undo step.
        return true;
    });
}

void DocumentStore::setBandPresent(BandType type, bool isPresent)
{
    if (type == BandType::detail || (isPresent && ReportParts::isPartReport(document_)))
        return;
    const BandTarget target = BandTarget::standard(type);
    const qsizetype index = indexOfStandardBand(document_, type);
    // A band about to print is shown as high as the page holds it.
    std::optional<double> shownHeight;
    std::optional<double> limit;
    if (isPresent && index >= 0) {
        const ReportBand &band = document_.bands.at(index);
        if (!band.isPresent || band.height <= 0) {
            const double wanted = band.height > 0 ? band.height : 20;
            shownHeight = heightOnPage(document_, target, wanted);
            if (!shownHeight || *shownHeight < wanted)
                limit = PageLayout::largestBandHeight(document_, target);
            if (!shownHeight) {
                emit bandLimitReached(target, *limit);
                return;
            }
        }
    }
    // Hiding the active band makes the band the report rests on active, with the clearing that
    // comes with a new active band.
    const bool activeGoes = !isPresent && activeBandTarget_ == target;
    applyCoalescedEdit(QString(QStringLiteral("bandPresence-") + rawValue(type)), [&] {
        if (index >= 0) {
            changeDocument([&](ReportDocument &document) {
                ReportBand &band = document.bands[index];
                band.isPresent = isPresent;
                if (shownHeight)
                    band.height = *shownHeight;
            });
        }
        if (activeGoes)
            activateFirstDetailBand();
        return true;
    });
    if (limit)
        emit bandLimitReached(target, *limit);
}

ReportBand &DocumentStore::standardBand(ReportDocument &document, BandType type)
{
    qsizetype index = indexOfStandardBand(document, type);
    if (index < 0) {
        // In its place among the standard bands.
        const QList<BandType> order = bandDisplayOrder();
        index = 0;
        while (index < document.bands.size() &&
               order.indexOf(document.bands.at(index).type) < order.indexOf(type))
            ++index;
        ReportBand band;
        band.type = type;
        band.isPresent = false;
        document.bands.insert(index, band);
    }
    return document.bands[index];
}

void DocumentStore::fitBandToContent(const BandTarget &target)
{
    setHeight(std::max(4.0, heightToHoldElements(target)), target);
}

void DocumentStore::addDetailBand()
{
    if (ReportParts::isPartReport(document_))
        return;
    ReportBand band = ReportBand::defaultDetailBand();
    const double wanted =
        document_.detailBands.isEmpty() ? 40.0 : document_.detailBands.first().height;
    qsizetype position = document_.detailBands.size();
    if (activeBandTarget_.kind() == BandTarget::Case::detailBand) {
        const qsizetype active = indexOfId(document_.detailBands, activeBandTarget_.uuid());
        if (active >= 0)
            position = active + 1;
    }
    // As high as the first, where the page holds the new band that high.
    const BandTarget target = BandTarget::detailBand(band.id);
    ReportDocument with = document_;
    band.height = 0;
    with.detailBands.insert(position, band);
    const std::optional<double> height = heightOnPage(with, target, wanted);
    if (!height) {
        emit bandLimitReached(target, PageLayout::largestBandHeight(with, target));
        return;
    }
    band.height = *height;
    applyDiscreteEdit([&] {
        changeDocument(
            [&](ReportDocument &document) { document.detailBands.insert(position, band); });
        setActiveBandTarget(target);
    });
}

void DocumentStore::removeDetailBand(const QUuid &bandID)
{
    // Copies of the arguments, here and in the other operations that remove or replace: the
    // caller's value may live in what the edit removes, or in a view that rebuilds on one of the
    // signals sent on the way.
    const QUuid id = bandID;
    if (document_.detailBands.size() < 2)
        return;
    const bool activeGoes = activeBandTarget_ == BandTarget::detailBand(id);
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &document) {
            document.detailBands.removeIf([&](const ReportBand &band) { return band.id == id; });
        });
        if (activeGoes)
            activateFirstDetailBand();
    });
}
