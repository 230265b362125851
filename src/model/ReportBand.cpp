#include "ReportBand.h"

ReportBand ReportBand::defaultDetailBand()
{
    ReportBand band;
    band.type = BandType::detail;
    band.height = 40;
    return band;
}

QString BandTarget::id() const
{
    switch (case_) {
    case Case::standard:
        return QStringLiteral("standard.") + rawValue(type_);
    case Case::detailBand:
        return QStringLiteral("detailBand.") + idText(uuid_);
    case Case::groupHeader:
        return QStringLiteral("groupHeader.") + idText(uuid_);
    case Case::groupFooter:
        return QStringLiteral("groupFooter.") + idText(uuid_);
    }
    return {};
}

size_t qHash(const BandTarget &target, size_t seed) noexcept
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, int(target.kind()));
    if (target.kind() == BandTarget::Case::standard)
        return combine(seed, int(target.bandType()));
    return combine(seed, qHash(target.uuid()));
}
