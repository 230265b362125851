#include "navigators/OutlineRows.h"

#include "document/DocumentStore.h"
#include "model/AbsentSections.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

OutlineSelection OutlineSelection::of(const DocumentStore &store)
{
    return {store.isReportRootSelected(), store.selectedDataItem(), store.selectedFieldIDs(),
            store.selectedElementIDs(), store.activeBandTarget()};
}

namespace {

class RowBuilder {
public:
    RowBuilder(const ReportDocument &document, const QSet<HashableKey> &collapsed,
               const OutlineSelection &selection)
        : document_(document), collapsed_(collapsed), selection_(selection)
    {
    }

    QList<OutlineRow> build()
    {
        OutlineRow root = disclosing(OutlineRow::Kind::root, u"root"_s, 0, OutlineRows::rootKey());
        root.icon = u"doc.richtext"_s;
        root.label = document_.name.isEmpty() ? u"Report"_s : document_.name;
        OutlineRows::markSelection(root, selection_);
        rows_.append(root);
        if (!root.isExpanded)
            return rows_;

        addParameters();
        addFields();
        for (BandType type : bandDisplayOrder()) {
            if (type != BandType::detail) {
                addBand(BandTarget::standard(type), 1);
                continue;
            }
            for (const ReportGroup &group : document_.groups)
                addGroup(group);
            for (const ReportBand &band : document_.detailBands)
                addBand(BandTarget::detailBand(band.id), 1);
        }
        return rows_;
    }

private:
    OutlineRow disclosing(OutlineRow::Kind kind, const QString &key, int depth,
                          const HashableKey &collapseKey) const
    {
        OutlineRow row;
        row.kind = kind;
        row.key = key;
        row.depth = depth;
        row.collapseKey = collapseKey;
        row.isExpanded = !collapsed_.contains(collapseKey);
        return row;
    }

    // What a Parameters or Fields section shows of its items.
    struct DataSection {
        QString key;
        QString icon;
        QString title;
        OutlineRow::Kind itemKind;
        QString itemKeyPrefix;
        QString expressionPrefix;
    };

    // The section header and, while it is open, one row per item; nothing for no items.
    template <typename Item>
    void addDataSection(const DataSection &section, const QList<Item> &items)
    {
        if (items.isEmpty())
            return;
        OutlineRow header = disclosing(OutlineRow::Kind::section, section.key, 1, section.key);
        header.icon = section.icon;
        header.iconTint = OutlineTint::secondary;
        header.label = section.title + u" \u00B7 "_s + QString::number(items.size());
        rows_.append(header);
        if (!header.isExpanded)
            return;
        for (const Item &item : items) {
            OutlineRow row;
            row.kind = section.itemKind;
            row.key = section.itemKeyPrefix + idText(item.id);
            row.depth = 2;
            row.icon = section.icon;
            row.label = section.expressionPrefix + item.name + u'}';
            row.id = item.id;
            OutlineRows::markSelection(row, selection_);
            rows_.append(row);
        }
    }

    void addParameters()
    {
        addDataSection({OutlineRows::parametersKey(), u"at"_s, u"Parameters"_s,
                        OutlineRow::Kind::parameter, u"param."_s, u"$P{"_s},
                       document_.parameters);
    }

    void addFields()
    {
        addDataSection({OutlineRows::fieldsKey(), u"curlybraces"_s, u"Fields"_s,
                        OutlineRow::Kind::field, u"field."_s, u"$F{"_s},
                       document_.fields);
    }

    void addGroup(const ReportGroup &group)
    {
        OutlineRow row = disclosing(OutlineRow::Kind::group, u"group."_s + idText(group.id), 1,
                                    OutlineRows::groupKey(group.id));
        row.icon = u"rectangle.stack"_s;
        row.iconTint = OutlineTint::purple;
        row.label = u"Group: "_s + group.name;
        row.id = group.id;
        rows_.append(row);
        if (!row.isExpanded)
            return;
        addBand(BandTarget::groupHeader(group.id), 2);
        addBand(BandTarget::groupFooter(group.id), 2);
    }

    void addBand(const BandTarget &target, int depth)
    {
        OutlineRow row =
            disclosing(OutlineRow::Kind::band, u"band."_s + target.id(), depth, target);
        row.isHidden = OutlineRows::isBandHidden(document_, target);
        row.label = DocumentStore::label(document_, target);
        if (row.isHidden)
            row.label += u" (hidden)"_s;
        else if (AbsentSections::isLeftOut(document_, target))
            row.label += AbsentSections::absentMark;
        else
            row.detail = OutlineRows::heightText(DocumentStore::height(document_, target));
        row.target = target;
        OutlineRows::markSelection(row, selection_);
        rows_.append(row);
        if (!row.isExpanded)
            return;
        for (const ReportElement &element : DocumentStore::elements(document_, target))
            addElement(element, target, depth + 1);
    }

    void addElement(const ReportElement &element, const BandTarget &target, int depth)
    {
        OutlineRow row;
        row.kind = OutlineRow::Kind::element;
        row.key = u"element."_s + idText(element.id);
        row.depth = depth;
        row.icon = OutlineRows::icon(element.kind);
        row.iconTint = OutlineRows::iconTint(element.kind);
        row.label = OutlineRows::label(element);
        row.id = element.id;
        row.target = target;
        OutlineRows::markSelection(row, selection_);
        rows_.append(row);
        // Frames and lists show their whole content; a table's cells are not listed.
        if (const ElementList *children = element.kind.children()) {
            for (const ReportElement &child : *children)
                addElement(child, target, depth + 1);
        }
    }

    const ReportDocument &document_;
    const QSet<HashableKey> &collapsed_;
    const OutlineSelection &selection_;
    QList<OutlineRow> rows_;
};

} // namespace

namespace OutlineRows {

QString rootKey()
{
    return u"root"_s;
}

QString parametersKey()
{
    return u"parameters"_s;
}

QString fieldsKey()
{
    return u"fields"_s;
}

QString groupKey(const QUuid &groupID)
{
    return u"group-"_s + idText(groupID);
}

QList<OutlineRow> build(const ReportDocument &document, const QSet<HashableKey> &collapsed,
                        const OutlineSelection &selection)
{
    return RowBuilder(document, collapsed, selection).build();
}

void markSelection(OutlineRow &row, const OutlineSelection &selection)
{
    switch (row.kind) {
    case OutlineRow::Kind::root:
        row.isActive = selection.isReportRootSelected;
        return;
    case OutlineRow::Kind::parameter:
        row.isSelected = selection.selectedDataItem == InspectorDataSelection::parameter(row.id);
        return;
    case OutlineRow::Kind::field:
        row.isSelected = selection.selectedDataItem == InspectorDataSelection::field(row.id) ||
                         selection.selectedFieldIDs.contains(row.id);
        return;
    case OutlineRow::Kind::band:
        row.isActive = row.target && selection.activeBandTarget == *row.target;
        return;
    case OutlineRow::Kind::element:
        row.isSelected = selection.selectedElementIDs.contains(row.id);
        return;
    case OutlineRow::Kind::section:
    case OutlineRow::Kind::group:
        return;
    }
}

QString heightText(double height)
{
    const double whole = std::trunc(height);
    if (!std::isfinite(whole) || whole < double(std::numeric_limits<int>::min()) ||
        whole > double(std::numeric_limits<int>::max()))
        return {};
    return QString::number(int(whole));
}

bool isBandHidden(const ReportDocument &document, const BandTarget &target)
{
    if (target.kind() != BandTarget::Case::standard || target.bandType() == BandType::detail)
        return false;
    const std::optional<ReportBand> band = document.band(target.bandType());
    return band && !band->isPresent;
}

QString icon(const ElementKind &kind)
{
    return std::visit(
        [](const auto &payload) -> QString {
            using P = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<P, ElementKind::StaticText>)
                return u"textformat"_s;
            else if constexpr (std::is_same_v<P, ElementKind::TextField>)
                return u"curlybraces"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Image>)
                return u"photo"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Subreport>)
                return u"doc.on.doc"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Frame>)
                return u"square.dashed"_s;
            else if constexpr (std::is_same_v<P, ElementKind::List>)
                return u"list.bullet.rectangle"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Table>)
                return u"tablecells"_s;
            else if constexpr (std::is_same_v<P, ElementKind::ReportBreak>)
                return u"arrow.turn.down.left"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Chart>)
                return u"chart.bar.xaxis"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Crosstab>)
                return u"tablecells.badge.ellipsis"_s;
            else if constexpr (std::is_same_v<P, ElementKind::ComponentPlaceholder>)
                return u"barcode"_s;
            else if constexpr (std::is_same_v<P, ElementKind::GenericElement>)
                return u"puzzlepiece"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Rectangle>)
                return u"rectangle"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Ellipse>)
                return u"oval"_s;
            else
                return u"line.diagonal"_s;
        },
        kind.payload);
}

OutlineTint iconTint(const ElementKind &kind)
{
    return std::visit(
        [](const auto &payload) {
            using P = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<P, ElementKind::TextField>)
                return OutlineTint::blue;
            else if constexpr (std::is_same_v<P, ElementKind::Image>)
                return OutlineTint::green;
            else if constexpr (std::is_same_v<P, ElementKind::Subreport>)
                return OutlineTint::orange;
            else if constexpr (std::is_same_v<P, ElementKind::Frame>)
                return OutlineTint::purple;
            else if constexpr (std::is_same_v<P, ElementKind::List> ||
                               std::is_same_v<P, ElementKind::Table>)
                return OutlineTint::indigo;
            else if constexpr (std::is_same_v<P, ElementKind::ReportBreak>)
                return OutlineTint::red;
            else if constexpr (std::is_same_v<P, ElementKind::Chart> ||
                               std::is_same_v<P, ElementKind::Crosstab>)
                return OutlineTint::pink;
            else if constexpr (std::is_same_v<P, ElementKind::ComponentPlaceholder>)
                return OutlineTint::brown;
            else if constexpr (std::is_same_v<P, ElementKind::Rectangle> ||
                               std::is_same_v<P, ElementKind::Ellipse> ||
                               std::is_same_v<P, ElementKind::Line>)
                return OutlineTint::grey;
            else
                return OutlineTint::secondary;
        },
        kind.payload);
}

QString label(const ReportElement &element)
{
    // A row shows one line: of a text or an expression of any length, a row's worth.
    constexpr qsizetype longest = 2048;
    const QString whole = std::visit(
        [](const auto &payload) -> QString {
            using P = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<P, ElementKind::StaticText>)
                return payload.text.isEmpty() ? u"Static Text"_s : payload.text;
            else if constexpr (std::is_same_v<P, ElementKind::TextField>)
                return payload.expression.isEmpty() ? u"Text Field"_s : payload.expression;
            else if constexpr (std::is_same_v<P, ElementKind::Image>)
                return u"Image: "_s + payload.expression;
            else if constexpr (std::is_same_v<P, ElementKind::Subreport>)
                return u"Subreport: "_s + payload.expression;
            else if constexpr (std::is_same_v<P, ElementKind::Frame>)
                return u"Frame ("_s + QString::number(payload.children.size()) + u')';
            else if constexpr (std::is_same_v<P, ElementKind::List>)
                return u"List: "_s + payload.datasetName;
            else if constexpr (std::is_same_v<P, ElementKind::Table>)
                return u"Table: "_s + payload.datasetName + u" ("_s +
                       QString::number(payload.columns.size()) + u" col)"_s;
            else if constexpr (std::is_same_v<P, ElementKind::ReportBreak>)
                return rawValue(payload.type) + u" Break"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Chart>)
                return u"Chart: "_s + payload.tag;
            else if constexpr (std::is_same_v<P, ElementKind::Crosstab>)
                return u"Crosstab"_s;
            else if constexpr (std::is_same_v<P, ElementKind::ComponentPlaceholder>)
                return u"Barcode: "_s + payload.tag;
            else if constexpr (std::is_same_v<P, ElementKind::GenericElement>)
                return u"Generic Element"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Rectangle>)
                return u"Rectangle"_s;
            else if constexpr (std::is_same_v<P, ElementKind::Ellipse>)
                return u"Ellipse"_s;
            else
                return u"Line"_s;
        },
        element.kind.payload);
    return whole.size() > longest ? whole.first(longest) : whole;
}

} // namespace OutlineRows
