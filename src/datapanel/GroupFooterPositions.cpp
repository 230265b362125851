#include "datapanel/GroupFooterPositions.h"

#include "model/RawEnum.h"

using namespace Qt::StringLiterals;

namespace {

const QString attributeName = u"footerPosition"_s;

} // namespace

namespace GroupFooterPositions {

const QList<Entry> &entries()
{
    static const QList<Entry> list = {{u"Normal"_s, GroupFooterPosition::normal},
                                      {u"Stack At Bottom"_s, GroupFooterPosition::stackAtBottom},
                                      {u"Force At Bottom"_s, GroupFooterPosition::forceAtBottom}};
    return list;
}

std::optional<GroupFooterPosition> shown(const ReportGroup &group)
{
    const QString *kept = group.kept.part({}).attribute(attributeName);
    if (kept && !enumFromRaw<GroupFooterPosition>(*kept))
        return std::nullopt;
    return group.footerPosition;
}

void choose(ReportGroup &group, GroupFooterPosition position)
{
    group.footerPosition = position;
    KeptXml own = group.kept.part({});
    const QString *kept = own.attribute(attributeName);
    if (kept && *kept != rawValue(position)) {
        own.removeAttribute(attributeName);
        group.kept.setPart({}, std::move(own));
    }
}

} // namespace GroupFooterPositions
