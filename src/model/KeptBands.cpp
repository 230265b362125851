#include "KeptBands.h"

#include "JrxmlText.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace KeptBands {

namespace {

const QString sections[] = {u"groupHeader"_s, u"groupFooter"_s};
// Where the report keeps what its detail holds besides its bands: a book's parts.
const QString detail = u"detail"_s;

// What holds report elements directly: bands, frames, element groups, a list's contents and a
// table's cells.
bool isContainer(const QString &localName)
{
    static const QStringList names = {
        u"band"_s,        u"frame"_s,        u"elementGroup"_s, u"listContents"_s, u"tableHeader"_s,
        u"tableFooter"_s, u"columnHeader"_s, u"columnFooter"_s, u"detailCell"_s,   u"cell"_s};
    return names.contains(localName);
}

bool isReportElement(const XmlFragment::Element &element)
{
    const std::optional<XmlFragment::Element> parent = element.parent();
    return parent && isContainer(parent->localName()) && reportElementOf(element);
}

// The place of the section's kept child, as visit() and edit() give it.
QString placeOf(const QString &section, qsizetype index)
{
    return section + u'/' + QString::number(index);
}

// The height written on a band's own tag: only the tag is read, however much the band holds.
std::optional<double> bandHeight(const QString &xml)
{
    QString tag = xml.left(JrxmlText::tagEnd(xml));
    if (tag.endsWith(u'/'))
        tag.chop(1);
    std::optional<double> height;
    XmlFragment::edited(tag + u"/>"_s, [&](XmlFragment::Element &element) {
        if (element.localName() != u"band"_s)
            return;
        const std::optional<QString> written = element.attribute("height");
        bool ok = false;
        const double value = written ? written->trimmed().toDouble(&ok) : 0;
        height = ok ? value : 0;
    });
    return height;
}

} // namespace

QList<double> heights(const ReportGroup &group, bool footer)
{
    QList<double> out;
    for (const KeptXml::Child &child : group.kept.part(sections[footer ? 1 : 0]).children) {
        if (const std::optional<double> height = bandHeight(child.xml))
            out.append(*height);
    }
    return out;
}

void visit(const ReportDocument &document, const Visit &visit)
{
    for (const ReportGroup &group : document.groups) {
        for (const QString &section : sections) {
            const QList<KeptXml::Child> &children = group.kept.part(section).children;
            for (qsizetype i = 0; i < children.size(); ++i)
                visit(children.at(i).xml, group.id, placeOf(section, i));
        }
    }
    const QList<KeptXml::Child> &parts = document.kept.part(detail).children;
    for (qsizetype i = 0; i < parts.size(); ++i)
        visit(parts.at(i).xml, QUuid(), placeOf(detail, i));
}

namespace {

// The kept children of `kept`, each as `edit` changes it; no value when none changed.
std::optional<KeptXml> editedChildren(const KeptXml &kept, const QString &section,
                                      const QUuid &group, const Edit &edit)
{
    std::optional<KeptXml> part;
    for (qsizetype i = 0; i < kept.children.size(); ++i) {
        QString xml = kept.children.at(i).xml;
        edit(xml, group, placeOf(section, i));
        if (xml == kept.children.at(i).xml)
            continue;
        if (!part)
            part = kept;
        part->children[i].xml = std::move(xml);
    }
    return part;
}

} // namespace

bool edit(ReportDocument &document, const Edit &edit)
{
    bool changed = false;
    for (qsizetype g = 0; g < document.groups.size(); ++g) {
        const ReportGroup &group = std::as_const(document.groups).at(g);
        std::optional<KeptParts> edited;
        for (const QString &section : sections) {
            std::optional<KeptXml> part =
                editedChildren(group.kept.part(section), section, group.id, edit);
            if (!part)
                continue;
            if (!edited)
                edited = group.kept;
            edited->setPart(section, std::move(*part));
        }
        // Written once the group's texts are all read: the group is not touched before.
        if (edited) {
            document.groups[g].kept = std::move(*edited);
            changed = true;
        }
    }
    if (std::optional<KeptXml> parts =
            editedChildren(document.kept.part(detail), detail, QUuid(), edit)) {
        document.kept.setPart(detail, std::move(*parts));
        changed = true;
    }
    return changed;
}

std::optional<XmlFragment::Element> elementOf(const XmlFragment::Element &element)
{
    for (std::optional<XmlFragment::Element> at = element; at; at = at->parent()) {
        if (isReportElement(*at))
            return at;
    }
    return std::nullopt;
}

std::optional<XmlFragment::Element> reportElementOf(const XmlFragment::Element &element)
{
    if (std::optional<XmlFragment::Element> own = element.child(u"reportElement"))
        return own;
    if (const std::optional<XmlFragment::Element> chart = element.child(u"chart"))
        return chart->child(u"reportElement");
    return std::nullopt;
}

QUuid idOf(const XmlFragment::Element &element, const QUuid &group, const QString &place)
{
    if (const std::optional<XmlFragment::Element> own = reportElementOf(element)) {
        const QUuid written(own->attribute("uuid").value_or(QString()));
        if (!written.isNull())
            return written;
    }
    return QUuid::createUuidV5(group, place + u':' + element.place());
}

bool isInDatasetContent(const XmlFragment::Element &element)
{
    QString inner = element.localName();
    for (std::optional<XmlFragment::Element> up = element.parent(); up; up = up->parent()) {
        const QString name = up->localName();
        if (name == u"listContents"_s || name == u"cellContents"_s)
            return true;
        // A table's own dataset run is the report's; everything else of it runs over its dataset.
        if (name == u"table"_s && inner != u"datasetRun"_s)
            return true;
        inner = name;
    }
    return false;
}

int elementCount(const ReportDocument &document, const QString &mentioned,
                 const std::function<bool(const XmlFragment::Element &)> &counts)
{
    int count = 0;
    visit(document, [&](const QString &xml, const QUuid &, const QString &) {
        if (!XmlFragment::mayHold(xml, mentioned))
            return;
        XmlFragment::edited(xml, [&](XmlFragment::Element &element) {
            if (isReportElement(element) && counts(element))
                ++count;
            const QString name = element.localName();
            if (name == u"table"_s || name == u"crosstab"_s)
                element.skipChildren();
        });
    });
    return count;
}

} // namespace KeptBands
