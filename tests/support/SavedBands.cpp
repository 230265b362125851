#include "SavedBands.h"

#include "RandomEditsParts.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

using namespace Qt::StringLiterals;
using namespace randomedits;

namespace {

QString placeKey(const Placed &placed)
{
    return placed.element.id.toString() + u' ' + placed.band.id();
}

// The kinds of the band's elements at any depth, in the order the file writes them.
QStringList kindsIn(const ReportDocument &report, const BandTarget &band)
{
    QStringList kinds;
    for (const Placed &placed : placedElements(report)) {
        if (placed.band == band)
            kinds.append(placed.element.kind.displayName());
    }
    return kinds;
}

// The band of the file read back that stands for `band` of the report: the standard band of its
// type, the detail band or the group at its place.
std::optional<BandTarget> readBack(const ReportDocument &report, const ReportDocument &read,
                                   const BandTarget &band)
{
    const auto at = [](const auto &items, const QUuid &id) {
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items.at(i).id == id)
                return i;
        }
        return qsizetype(-1);
    };
    switch (band.kind()) {
    case BandTarget::Case::standard:
        return band;
    case BandTarget::Case::detailBand: {
        const qsizetype i = at(report.detailBands, band.uuid());
        if (i < 0 || i >= read.detailBands.size())
            return std::nullopt;
        return BandTarget::detailBand(read.detailBands.at(i).id);
    }
    case BandTarget::Case::groupHeader:
    case BandTarget::Case::groupFooter: {
        const qsizetype i = at(report.groups, band.uuid());
        if (i < 0 || i >= read.groups.size())
            return std::nullopt;
        const QUuid group = read.groups.at(i).id;
        return band.kind() == BandTarget::Case::groupHeader ? BandTarget::groupHeader(group)
                                                            : BandTarget::groupFooter(group);
    }
    }
    return std::nullopt;
}

} // namespace

void SavedBands::note(const ReportDocument &report)
{
    for (const Placed &placed : placedElements(report)) {
        if (isWritten(report, placed.band))
            written_.insert(placeKey(placed));
    }
}

QStringList SavedBands::lapses(const ReportDocument &report, const QByteArray &saved) const
{
    QStringList found;
    const ReportDocument read = JrxmlCodec::parse(saved);
    for (const BandTarget &band : targetsOf(report)) {
        if (!isWritten(report, band))
            continue;
        const QStringList held = kindsIn(report, band);
        const std::optional<BandTarget> there = readBack(report, read, band);
        const QStringList kept = there ? kindsIn(read, *there) : QStringList();
        if (kept != held)
            found.append(DocumentStore::label(report, band) + u" holds "_s + held.join(u", "_s) +
                         u"; the file "_s + (kept.isEmpty() ? u"nothing"_s : kept.join(u", "_s)));
    }
    for (const Placed &placed : placedElements(report)) {
        if (!isWritten(report, placed.band) && !written_.contains(placeKey(placed)))
            found.append(whereOf(placed) + u" was put into "_s +
                         DocumentStore::label(report, placed.band) +
                         u" while it was hidden: the save leaves it out"_s);
    }
    return found;
}
