#include "document/TableGroups.h"

#include "document/ReportReferences.h"
#include "model/XmlFragment.h"

using namespace Qt::StringLiterals;

namespace TableGroups {

namespace {

// Removes, from kept content, the group cells and rows of groups that `after` lacks; a child that
// was such a cell goes from the list.
bool dropGroupCells(KeptXml &kept, const QStringList &after)
{
    bool changed = false;
    for (qsizetype i = kept.children.size() - 1; i >= 0; --i) {
        const QString &xml = kept.children.at(i).xml;
        if (!xml.contains(u"groupName"))
            continue;
        const std::optional<QString> edited =
            XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
                const QString name = element.localName();
                // A component inside a cell runs its own dataset and names its groups.
                if (name == u"table"_s || name == u"list"_s || name == u"crosstab"_s) {
                    element.skipChildren();
                    return;
                }
                if (name != u"groupHeader"_s && name != u"groupFooter"_s)
                    return;
                const std::optional<QString> group = element.attribute("groupName");
                if (group && !after.contains(*group))
                    element.remove();
            });
        if (!edited)
            continue;
        if (edited->trimmed().isEmpty())
            kept.children.removeAt(i);
        else
            kept.children[i].xml = *edited;
        changed = true;
    }
    return changed;
}

bool dropGroupCells(KeptParts &parts, const QStringList &after)
{
    KeptXml own = parts.part({});
    if (!dropGroupCells(own, after))
        return false;
    parts.setPart({}, std::move(own));
    return true;
}

} // namespace

bool keepGroupsOf(ElementKind::Table &table, const QStringList &before, const QStringList &after)
{
    bool changed = dropGroupCells(table.kept, after);
    for (qsizetype i = table.keptColumnGroups.size() - 1; i >= 0; --i) {
        KeptXml group;
        group.children.append({0, table.keptColumnGroups.at(i).xml});
        if (!dropGroupCells(group, after))
            continue;
        if (group.children.isEmpty())
            table.keptColumnGroups.removeAt(i);
        else
            table.keptColumnGroups[i].xml = group.children.first().xml;
        changed = true;
    }
    // What the cells hold, as one content.
    ElementList content;
    for (const ReportTableColumn &column : std::as_const(table.columns)) {
        for (const ReportTableColumn::Cell cell :
             {ReportTableColumn::Cell::header, ReportTableColumn::Cell::detail,
              ReportTableColumn::Cell::footer}) {
            if (column.element(cell))
                content.append(*column.element(cell));
        }
    }
    const bool evaluated = ReportReferences::keepGroupsOf(content, before, after);
    qsizetype next = 0;
    for (ReportTableColumn &column : table.columns) {
        changed = dropGroupCells(column.kept, after) || changed;
        for (const ReportTableColumn::Cell cell :
             {ReportTableColumn::Cell::header, ReportTableColumn::Cell::detail,
              ReportTableColumn::Cell::footer}) {
            if (column.element(cell) && evaluated)
                column.element(cell) = content.at(next);
            if (column.element(cell))
                ++next;
        }
    }
    return changed || evaluated;
}

} // namespace TableGroups
