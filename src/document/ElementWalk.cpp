#include "document/ElementWalk.h"

#include <utility>

namespace ElementWalk {

namespace {

Outcome editElement(const ReportElement &element, ElementScope scope, const Edit &edit);

// The cells of a table's columns; null when nothing in them changed.
std::optional<QList<ReportTableColumn>> editCells(const QList<ReportTableColumn> &columns,
                                                  const Edit &edit)
{
    std::optional<QList<ReportTableColumn>> changed;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const ReportTableColumn &column = columns.at(i);
        SharedOptional<ReportElement> ReportTableColumn::*const cells[] = {
            &ReportTableColumn::columnHeaderElement, &ReportTableColumn::detailCellElement,
            &ReportTableColumn::columnFooterElement};
        for (const auto cell : cells) {
            if (!(column.*cell))
                continue;
            Outcome outcome = editElement(*(column.*cell), ElementScope::dataset, edit);
            if (!outcome)
                continue;
            if (!changed)
                changed = columns;
            SharedOptional<ReportElement> &target = (*changed)[i].*cell;
            target = *outcome ? SharedOptional<ReportElement>(std::move(**outcome))
                              : SharedOptional<ReportElement>();
        }
    }
    return changed;
}

Outcome editElement(const ReportElement &element, ElementScope scope, const Edit &edit)
{
    Outcome own = edit(element, scope);
    if (own && !*own)
        return own;
    std::optional<ReportElement> next = own ? std::move(*own) : std::nullopt;
    const ReportElement &current = next ? *next : element;
    if (const ElementList *children = current.kind.children()) {
        ElementList inner = *children;
        const ElementScope innerScope =
            current.kind.is<ElementKind::List>() ? ElementScope::dataset : scope;
        if (editList(inner, innerScope, edit)) {
            if (!next)
                next = element;
            *next->kind.children() = std::move(inner);
        }
    }
    const ReportElement &holder = next ? *next : element;
    if (const auto *table = holder.kind.as<ElementKind::Table>()) {
        if (std::optional<QList<ReportTableColumn>> columns = editCells(table->columns, edit)) {
            if (!next)
                next = element;
            next->kind.as<ElementKind::Table>()->columns = std::move(*columns);
        }
    }
    if (!next)
        return std::nullopt;
    return Outcome(std::move(next));
}

bool editSections(QList<ReportBand> &bands, const Edit &edit)
{
    bool changed = false;
    for (qsizetype i = 0; i < bands.size(); ++i) {
        ElementList elements = bands.at(i).elements;
        if (editList(elements, ElementScope::report, edit)) {
            bands[i].elements = std::move(elements);
            changed = true;
        }
    }
    return changed;
}

} // namespace

bool editList(ElementList &list, ElementScope scope, const Edit &edit)
{
    bool changed = false;
    for (qsizetype i = 0; i < list.size();) {
        Outcome outcome = editElement(list.at(i), scope, edit);
        if (!outcome) {
            ++i;
            continue;
        }
        changed = true;
        if (!*outcome) {
            list.removeAt(i);
            continue;
        }
        list.replace(i, std::move(**outcome));
        ++i;
    }
    return changed;
}

bool editDocument(ReportDocument &document, const Edit &edit)
{
    bool changed = editSections(document.bands, edit);
    changed = editSections(document.detailBands, edit) || changed;
    for (qsizetype i = 0; i < document.groups.size(); ++i) {
        const ReportGroup &group = document.groups.at(i);
        ElementList header = group.headerElements;
        ElementList footer = group.footerElements;
        const bool headerChanged = editList(header, ElementScope::report, edit);
        const bool footerChanged = editList(footer, ElementScope::report, edit);
        if (headerChanged)
            document.groups[i].headerElements = std::move(header);
        if (footerChanged)
            document.groups[i].footerElements = std::move(footer);
        changed = changed || headerChanged || footerChanged;
    }
    return changed;
}

void visitDocument(const ReportDocument &document,
                   const std::function<void(const ReportElement &, ElementScope)> &visit)
{
    // Nothing changes, so the walk's copy of the document shares all of its lists.
    ReportDocument walked = document;
    editDocument(walked, [&](const ReportElement &element, ElementScope scope) -> Outcome {
        visit(element, scope);
        return std::nullopt;
    });
}

namespace {

void visitIn(const ElementList &elements, const std::optional<QString> &dataset,
             const DatasetVisit &visit);

void visitOne(const ReportElement &element, const std::optional<QString> &dataset,
              const DatasetVisit &visit)
{
    visit(element, dataset);
    const auto *list = element.kind.as<ElementKind::List>();
    if (const ElementList *children = element.kind.children())
        visitIn(*children, list ? std::optional(list->datasetName) : dataset, visit);
    if (const auto *table = element.kind.as<ElementKind::Table>()) {
        for (const ReportTableColumn &column : table->columns) {
            for (const auto *cell : {&column.columnHeaderElement, &column.detailCellElement,
                                     &column.columnFooterElement}) {
                if (*cell)
                    visitOne(**cell, table->datasetName, visit);
            }
        }
    }
}

void visitIn(const ElementList &elements, const std::optional<QString> &dataset,
             const DatasetVisit &visit)
{
    for (const ReportElement &element : elements)
        visitOne(element, dataset, visit);
}

} // namespace

void visitDatasets(const ReportDocument &document, const DatasetVisit &visit)
{
    for (const QList<ReportBand> *bands : {&document.bands, &document.detailBands}) {
        for (const ReportBand &band : *bands)
            visitIn(band.elements, std::nullopt, visit);
    }
    for (const ReportGroup &group : document.groups) {
        visitIn(group.headerElements, std::nullopt, visit);
        visitIn(group.footerElements, std::nullopt, visit);
    }
}

} // namespace ElementWalk
