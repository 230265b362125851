#include "ReferenceCheck.h"

#include <QStringList>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace ReferenceCheck {

namespace {

struct Declared {
    QSet<QString> groups;
    QSet<QString> subDatasets;
    QSet<QString> styles;
};

Declared declaredIn(const ReportDocument &document)
{
    Declared declared;
    for (const ReportGroup &group : document.groups)
        declared.groups.insert(group.name);
    for (const ReportSubDataset &dataset : document.subDatasets)
        declared.subDatasets.insert(dataset.name);
    for (const ReportStyle &style : document.styles)
        declared.styles.insert(style.name);
    return declared;
}

class ModelCheck {
public:
    explicit ModelCheck(const ReportDocument &document) : declared_(declaredIn(document)) {}

    QSet<QString> unknown;

    void group(const std::optional<QString> &name)
    {
        if (name && !declared_.groups.contains(*name))
            unknown.insert(u"group "_s + *name);
    }
    void style(const std::optional<QString> &name)
    {
        if (name && !declared_.styles.contains(*name))
            unknown.insert(u"style "_s + *name);
    }
    void subDataset(const QString &name)
    {
        if (!declared_.subDatasets.contains(name))
            unknown.insert(u"sub-dataset "_s + name);
    }

    // `ownSection`: the element stands in the report's own sections, not in a list or table.
    void elements(const ElementList &list, bool ownSection)
    {
        for (const ReportElement &e : list) {
            style(e.styleName);
            if (ownSection && e.kind.is<ElementKind::TextField>())
                group(e.evaluationGroup);
            if (const auto *frame = e.kind.as<ElementKind::Frame>())
                elements(frame->children, ownSection);
            if (const auto *list = e.kind.as<ElementKind::List>()) {
                subDataset(list->datasetName);
                elements(list->children, false);
            }
            if (const auto *table = e.kind.as<ElementKind::Table>()) {
                subDataset(table->datasetName);
                for (const ReportTableColumn &column : table->columns) {
                    for (const TableCellFormatting *cell :
                         {&column.columnHeaderFormatting, &column.detailCellFormatting,
                          &column.columnFooterFormatting})
                        style(cell->styleName);
                    for (const auto *cell : {&column.columnHeaderElement, &column.detailCellElement,
                                             &column.columnFooterElement}) {
                        if (*cell)
                            elements(ElementList{**cell}, false);
                    }
                }
            }
        }
    }

private:
    Declared declared_;
};

} // namespace

QSet<QString> unknownInModel(const ReportDocument &document)
{
    ModelCheck check(document);
    for (const ReportVariable &variable : document.variables) {
        check.group(variable.resetGroup);
        check.group(variable.incrementGroup);
    }
    for (const QList<ReportBand> *bands : {&document.bands, &document.detailBands}) {
        for (const ReportBand &band : *bands)
            check.elements(band.elements, true);
    }
    for (const ReportGroup &group : document.groups) {
        check.elements(group.headerElements, true);
        check.elements(group.footerElements, true);
    }
    return check.unknown;
}

QSet<QString> unknownInFile(const QByteArray &jrxml)
{
    // The names the file declares, then what its attributes name.
    Declared declared;
    QList<std::tuple<QString, QString, bool>> named; // kind, name, in the report's own scope
    QStringList open;
    // Content that runs over a sub-dataset or a crosstab names groups of its own.
    static const QStringList innerScopes = {u"subDataset"_s, u"listContents"_s, u"table"_s,
                                            u"crosstabCell"_s, u"cellContents"_s};
    int inner = 0;
    QXmlStreamReader reader(jrxml);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (innerScopes.contains(open.takeLast()))
                --inner;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString tag = reader.name().toString();
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString parent = open.isEmpty() ? QString() : open.last();
        if (parent == u"jasperReport"_s) {
            const QString name = attributes.value(u"name"_s).toString();
            if (tag == u"group"_s)
                declared.groups.insert(name);
            else if (tag == u"subDataset"_s)
                declared.subDatasets.insert(name);
            else if (tag == u"style"_s)
                declared.styles.insert(name);
        }
        open.append(tag);
        if (innerScopes.contains(tag))
            ++inner;
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QString name = attribute.name().toString();
            const QString value = attribute.value().toString();
            if (name == u"style"_s)
                named.append({u"style"_s, value, true});
            else if (name == u"subDataset"_s && tag == u"datasetRun"_s)
                named.append({u"sub-dataset"_s, value, true});
            else if (name == u"resetGroup"_s || name == u"incrementGroup"_s ||
                     name == u"evaluationGroup"_s || name == u"printWhenGroupChanges"_s)
                named.append({u"group"_s, value, inner == 0});
        }
    }
    QSet<QString> unknown;
    if (reader.hasError())
        unknown.insert(u"unreadable file: "_s + reader.errorString());
    for (const auto &[kind, name, own] : named) {
        const QSet<QString> &known = kind == u"group"_s         ? declared.groups
                                     : kind == u"sub-dataset"_s ? declared.subDatasets
                                                                : declared.styles;
        if (own && !known.contains(name))
            unknown.insert(kind + u' ' + name);
    }
    return unknown;
}

} // namespace ReferenceCheck
