#include "document/TableGroups.h"

#include "document/ReportReferences.h"
#include "model/XmlFragment.h"

using namespace Qt::StringLiterals;

namespace TableGroups {

namespace {

// Visits the elements of kept content that name the table's groups, not those of a component
// inside a cell, which runs its own dataset and names its groups.
std::optional<QString> editedOwn(const QString &xml, const XmlFragment::Visit &visit)
{
    return XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
        const QString name = element.localName();
        if (name == u"table"_s || name == u"list"_s || name == u"crosstab"_s) {
            element.skipChildren();
            return;
        }
        visit(element);
    });
}

bool isGroupCell(const XmlFragment::Element &element)
{
    const QString name = element.localName();
    return name == u"groupHeader"_s || name == u"groupFooter"_s;
}

// Removes, from kept content, the group cells and rows of groups that `after` lacks; a child that
// was such a cell goes from the list.
bool dropGroupCells(KeptXml &kept, const QStringList &after)
{
    bool changed = false;
    for (qsizetype i = kept.children.size() - 1; i >= 0; --i) {
        const QString &xml = kept.children.at(i).xml;
        if (!xml.contains(u"groupName"))
            continue;
        const std::optional<QString> edited = editedOwn(xml, [&](XmlFragment::Element &element) {
            if (!isGroupCell(element))
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

// What the cells hold, as one content.
ElementList cellContent(const ElementKind::Table &table)
{
    ElementList content;
    for (const ReportTableColumn &column : table.columns) {
        for (const ReportTableColumn::Cell cell :
             {ReportTableColumn::Cell::header, ReportTableColumn::Cell::detail,
              ReportTableColumn::Cell::footer}) {
            if (column.element(cell))
                content.append(*column.element(cell));
        }
    }
    return content;
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
    ElementList content = cellContent(table);
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

QStringList groupsNamed(const ElementKind::Table &table)
{
    QStringList names;
    const auto note = [&](const std::optional<QString> &name) {
        if (name && !name->isEmpty() && !names.contains(*name))
            names.append(*name);
    };
    // The group cells and rows, and what their elements reset, increment or are evaluated on.
    const auto read = [&](const QString &xml) {
        editedOwn(xml, [&](XmlFragment::Element &element) {
            if (isGroupCell(element))
                note(element.attribute("groupName"));
            for (const char *attribute :
                 {"resetGroup", "incrementGroup", "evaluationGroup", "printWhenGroupChanges"})
                note(element.attribute(attribute));
        });
    };
    for (const KeptXml::Child &child : table.kept.part({}).children)
        read(child.xml);
    for (const ElementKind::Table::KeptColumnGroup &group : table.keptColumnGroups)
        read(group.xml);
    for (const ReportTableColumn &column : table.columns) {
        for (const KeptXml::Child &child : column.kept.part({}).children)
            read(child.xml);
    }
    for (const QString &name : ReportReferences::groupsNamedIn(cellContent(table)))
        note(name);
    return names;
}

} // namespace TableGroups
