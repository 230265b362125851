#include "document/DocumentStore.h"

#include "model/JrxmlCodec.h"
#include "model/ListEquality.h"

#include <chrono>

namespace {

template <typename T> bool assignIfChanged(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

// The first band in display order that the report's file holds; none when it holds none.
std::optional<BandTarget> firstBandOfTheFile(const ReportDocument &document)
{
    for (BandType type : bandDisplayOrder()) {
        if (type != BandType::detail) {
            for (const ReportBand &band : document.bands)
                if (band.type == type && band.isPresent)
                    return BandTarget::standard(type);
            continue;
        }
        // The group headers stand where the detail bands begin, the footers where they end.
        for (const ReportGroup &group : document.groups)
            if (!group.isHeaderAbsent)
                return BandTarget::groupHeader(group.id);
        for (auto it = document.groups.crbegin(); it != document.groups.crend(); ++it)
            if (!it->isFooterAbsent)
                return BandTarget::groupFooter(it->id);
    }
    return std::nullopt;
}

// Lists of numbers (the guides) are compared without handing empty ones to memcmp.
template <typename T> bool assignIfChanged(QList<T> &member, const QList<T> &value)
{
    if (equalLists(member, value))
        return false;
    member = value;
    return true;
}

} // namespace

size_t qHash(const HashableKey &key, size_t seed) noexcept
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, key.value().index());
    return std::visit([&](const auto &value) { return combine(seed, qHash(value)); }, key.value());
}

DocumentStore::DocumentStore(QObject *parent)
    : QObject(parent), document_(defaultDocument()),
      activeBandTarget_(BandTarget::detailBand(document_.detailBands.first().id)), clock_([] {
          using namespace std::chrono;
          return qint64(
              duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
      })
{
}

ReportDocument DocumentStore::defaultDocument(double pageWidth, double pageHeight)
{
    ReportDocument document;
    document.name = QStringLiteral("report");
    document.pageWidth = pageWidth;
    document.pageHeight = pageHeight;
    document.columnWidth = pageWidth - 60;
    document.leftMargin = 30;
    document.rightMargin = 30;
    document.topMargin = 20;
    document.bottomMargin = 20;
    document.queryString.clear();
    document.queryLanguage = QStringLiteral("sql");
    document.language = QStringLiteral("java");
    document.isPdfTagged = false;
    document.pdfTagLanguage = QStringLiteral("en-US");
    document.bands.clear();
    for (BandType type : bandDisplayOrder()) {
        if (type == BandType::detail)
            continue;
        ReportBand band;
        band.type = type;
        band.height = 20;
        // The engine prints the last page footer in place of the page footer on the last page,
        // so a new report leaves it out: what the user puts in the page footer prints on every
        // page. The outline adds it when wanted.
        band.isPresent = type != BandType::lastPageFooter;
        document.bands.append(band);
    }
    ReportBand detail;
    detail.type = BandType::detail;
    detail.height = 40;
    document.detailBands = {detail};
    return document;
}

void DocumentStore::setDocument(const ReportDocument &document)
{
    if (assignIfChanged(document_, document))
        announceDocumentChange();
}

void DocumentStore::setSelectedElementIDs(const QSet<QUuid> &selected)
{
    const QSet<QUuid> ids = selected;
    if (assignIfChanged(selectedElementIDs_, ids))
        emit selectedElementIDsChanged();
    flushPendingUndoSnapshot();
    if (!ids.isEmpty())
        setIsReportRootSelected(false);
    setSelectedDataItem(std::nullopt);
    setSelectedFieldIDs({});
}

std::optional<QUuid> DocumentStore::selectedElementID() const
{
    if (selectedElementIDs_.size() != 1)
        return std::nullopt;
    return *selectedElementIDs_.cbegin();
}

void DocumentStore::setSelectedElementID(const std::optional<QUuid> &id)
{
    setSelectedElementIDs(id ? QSet<QUuid>{*id} : QSet<QUuid>{});
}

void DocumentStore::setSelectedDataItem(const std::optional<InspectorDataSelection> &item)
{
    if (assignIfChanged(selectedDataItem_, item))
        emit selectedDataItemChanged();
}

void DocumentStore::setSelectedFieldIDs(const QSet<QUuid> &ids)
{
    if (assignIfChanged(selectedFieldIDs_, ids))
        emit selectedFieldIDsChanged();
}

void DocumentStore::setIsReportRootSelected(bool selected)
{
    if (assignIfChanged(isReportRootSelected_, selected))
        emit isReportRootSelectedChanged();
    if (selected) {
        setSelectedDataItem(std::nullopt);
        setSelectedFieldIDs({});
    }
}

void DocumentStore::setActiveBandTarget(const BandTarget &target)
{
    if (assignIfChanged(activeBandTarget_, insertionTarget(target)))
        emit activeBandTargetChanged();
    setIsReportRootSelected(false);
    setSelectedDataItem(std::nullopt);
    setSelectedFieldIDs({});
}

void DocumentStore::activateFirstDetailBand()
{
    if (const std::optional<BandTarget> resting = restingTarget())
        setActiveBandTarget(*resting);
}

std::optional<BandTarget> DocumentStore::restingTarget() const
{
    if (document_.detailBands.isEmpty())
        return std::nullopt;
    // The detail band offered in place of one the file lacks is no band of the report until
    // something is put into it: the report rests on the first band it has.
    const bool detailOnlyOffered = document_.isDetailAbsent && document_.detailBands.size() == 1 &&
                                   document_.detailBands.first().elements.isEmpty();
    if (detailOnlyOffered) {
        if (const std::optional<BandTarget> first = firstBandOfTheFile(document_))
            return first;
    }
    return BandTarget::detailBand(document_.detailBands.first().id);
}

BandTarget DocumentStore::insertionTarget(const BandTarget &target) const
{
    if (takesElements(target))
        return target;
    const std::optional<BandTarget> resting = restingTarget();
    return resting && takesElements(*resting) ? *resting : target;
}

void DocumentStore::keepActiveBandTakingElements()
{
    if (const BandTarget active = insertionTarget(activeBandTarget_); active != activeBandTarget_) {
        activeBandTarget_ = active;
        emit activeBandTargetChanged();
    }
}

void DocumentStore::setFileURL(const std::optional<QUrl> &url)
{
    if (assignIfChanged(fileURL_, url))
        emit fileURLChanged();
}

void DocumentStore::setIsDirty(bool dirty)
{
    if (assignIfChanged(isDirty_, dirty))
        emit isDirtyChanged();
}

void DocumentStore::setZoomLevel(double level)
{
    if (assignIfChanged(zoomLevel_, level))
        emit zoomLevelChanged();
}

void DocumentStore::setCreatingSubreportElementIDs(const QSet<QUuid> &ids)
{
    if (assignIfChanged(creatingSubreportElementIDs_, ids))
        emit creatingSubreportElementIDsChanged();
}

void DocumentStore::setVerticalGuides(const QList<double> &guides)
{
    if (assignIfChanged(verticalGuides_, guides))
        emit verticalGuidesChanged();
}

void DocumentStore::setHorizontalGuides(const QList<double> &guides)
{
    if (assignIfChanged(horizontalGuides_, guides))
        emit horizontalGuidesChanged();
}

void DocumentStore::setParameterValues(const QMap<QString, QString> &values)
{
    if (assignIfChanged(parameterValues_, values))
        emit parameterValuesChanged();
    if (fileURL_)
        persistParameterValues(parameterValues_, fileURL_->toLocalFile());
}

void DocumentStore::setCollapsedOutlineNodes(const QSet<HashableKey> &nodes)
{
    if (assignIfChanged(collapsedOutlineNodes_, nodes))
        emit collapsedOutlineNodesChanged();
}

void DocumentStore::setActiveConnectionID(const std::optional<QUuid> &id)
{
    if (assignIfChanged(activeConnectionID_, id))
        emit activeConnectionIDChanged();
    if (fileURL_)
        persistActiveConnectionID(activeConnectionID_, fileURL_->toLocalFile());
}

QString DocumentStore::windowTitle() const
{
    QString base = document_.name;
    if (fileURL_) {
        base = fileURL_->fileName();
        // The extension is what follows the last dot; a leading dot does not start one.
        const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            base.truncate(dot);
    }
    if (isDirty_)
        base += QStringLiteral(" \u2014 Edited");
    return base;
}

void DocumentStore::setClock(Clock clock)
{
    clock_ = std::move(clock);
}

void DocumentStore::setSavePanel(SavePanel panel)
{
    savePanel_ = std::move(panel);
}

void DocumentStore::newDocument(double pageWidth, double pageHeight)
{
    setDocument(defaultDocument(pageWidth, pageHeight));
    setFileURL(std::nullopt);
    setSelectedElementID(std::nullopt);
    activateFirstDetailBand();
    setIsDirty(false);
}

void DocumentStore::applyParsedSource(const ReportDocument &document)
{
    // The text the report writes, applied as it stands, changes nothing: no step, and the report
    // keeps what its text cannot say (which of two items sharing a name each reference names).
    if (JrxmlCodec::serialize(document) == JrxmlCodec::serialize(document_))
        return;
    // An undo after the apply returns to the report as it was just before it, and no further.
    takeSnapshot();
    setDocument(document);
    setSelectedElementID(std::nullopt);
    activateFirstDetailBand();
    setIsDirty(true);
}
