#include "canvas/LackMarks.h"

#include <optional>

const QHash<QUuid, QStringList> &LackMarks::follow(const ReportDocument &document)
{
    QStringList groups;
    for (const ReportGroup &group : document.groups)
        groups.append(group.name);
    Declarations now{document.fields, document.parameters, document.variables, groups,
                     document.subDatasets};
    if (!(now == declarations_)) {
        declarations_ = std::move(now);
        seen_.clear();
    }
    std::optional<DatasetLacks::Finder> finder;
    QHash<QUuid, Seen> seen;
    marks_.clear();
    const auto look = [&](const ElementList &elements) {
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const ElementList::Shared element = elements.shared(i);
            Seen entry = seen_.value(element->id);
            if (!entry.element.isSameBox(element)) {
                if (!finder)
                    finder.emplace(document);
                entry = {element, finder->within(*element)};
            }
            for (const DatasetLacks::Lack &lack : std::as_const(entry.lacks)) {
                QStringList &notes = marks_[lack.element];
                const std::optional<QString> dataset =
                    lack.dataset.isEmpty() ? std::nullopt : std::optional(lack.dataset);
                for (const QString &text : lack.references) {
                    for (const DatasetLacks::Reference &reference :
                         DatasetLacks::referencesIn(text))
                        notes.append(DatasetLacks::note(reference, dataset));
                }
            }
            seen.insert(element->id, std::move(entry));
        }
    };
    for (const ReportBand &band : document.bands)
        look(band.elements);
    for (const ReportBand &band : document.detailBands)
        look(band.elements);
    for (const ReportGroup &group : document.groups) {
        look(group.headerElements);
        look(group.footerElements);
    }
    seen_ = std::move(seen);
    return marks_;
}
