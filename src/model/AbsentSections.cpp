#include "AbsentSections.h"

namespace AbsentSections {

namespace {

bool isUnchanged(double height, const ElementList &elements,
                 const std::optional<QString> &printWhenExpression, const KeptXml &kept)
{
    return height == 0 && elements.isEmpty() &&
           (!printWhenExpression || printWhenExpression->isEmpty()) && kept.isEmpty();
}

} // namespace

bool isDetailLeftOut(const ReportDocument &document)
{
    if (!document.isDetailAbsent || document.detailBands.size() != 1)
        return false;
    const ReportBand &band = document.detailBands.first();
    return isUnchanged(band.height, band.elements, band.printWhenExpression, band.kept.part({}));
}

bool isGroupHeaderLeftOut(const ReportGroup &group)
{
    return group.isHeaderAbsent &&
           isUnchanged(group.headerHeight, group.headerElements, group.headerPrintWhenExpression,
                       group.kept.part(u"groupHeader/band"));
}

bool isGroupFooterLeftOut(const ReportGroup &group)
{
    return group.isFooterAbsent &&
           isUnchanged(group.footerHeight, group.footerElements, group.footerPrintWhenExpression,
                       group.kept.part(u"groupFooter/band"));
}

bool isLeftOut(const ReportDocument &document, const BandTarget &target)
{
    switch (target.kind()) {
    case BandTarget::Case::standard:
        return false;
    case BandTarget::Case::detailBand:
        return isDetailLeftOut(document) && document.detailBands.first().id == target.uuid();
    case BandTarget::Case::groupHeader:
    case BandTarget::Case::groupFooter:
        for (const ReportGroup &group : document.groups) {
            if (group.id == target.uuid())
                return target.kind() == BandTarget::Case::groupHeader ? isGroupHeaderLeftOut(group)
                                                                      : isGroupFooterLeftOut(group);
        }
        return false;
    }
    return false;
}

} // namespace AbsentSections
