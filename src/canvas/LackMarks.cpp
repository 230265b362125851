#include "canvas/LackMarks.h"

#include <optional>

namespace {

// The expression editor's words for each reference of the lacks, and the like for each variable
// returned into, by element (a table's own and those of its cells together).
QHash<QUuid, QStringList> notesOf(const QList<DatasetLacks::Lack> &lacks)
{
    QHash<QUuid, QStringList> notes;
    for (const DatasetLacks::Lack &lack : lacks) {
        const std::optional<QString> dataset =
            lack.dataset.isEmpty() ? std::nullopt : std::optional(lack.dataset);
        QStringList &words = notes[lack.element];
        for (const QString &text : lack.references) {
            for (const DatasetLacks::Reference &reference : DatasetLacks::referencesIn(text))
                words.append(DatasetLacks::note(reference, dataset));
        }
        for (const QString &text : lack.returns) {
            for (const DatasetLacks::Reference &variable : DatasetLacks::referencesIn(text))
                words.append(DatasetLacks::returnNote(variable, dataset));
        }
    }
    return notes;
}

// Whether `now` is `before` placed elsewhere: what it names, and the dataset it runs in, are as
// they were, so are its lacks.
bool onlyMoved(const ReportElement &before, const ReportElement &now)
{
    if (before.x == now.x && before.y == now.y)
        return false;
    ReportElement placed = before;
    placed.x = now.x;
    placed.y = now.y;
    return placed == now;
}

} // namespace

const QHash<QUuid, QStringList> &LackMarks::follow(const ReportDocument &document,
                                                   const QHash<QUuid, QString> &languageNotes)
{
    QStringList groups;
    for (const ReportGroup &group : document.groups)
        groups.append(group.name);
    Declarations now{document.fields, document.parameters, document.variables, groups,
                     document.subDatasets};
    changed_.clear();
    if (!(now == declarations_)) {
        declarations_ = std::move(now);
        changed_ = lacks_.keys();
        seen_.clear();
        lacks_.clear();
    }
    std::optional<DatasetLacks::Finder> finder;
    ++generation_;
    // The elements looked at anew: their marks come in once all that went has gone, so that an
    // element that moved into another keeps its mark.
    QList<QUuid> fresh;
    const auto forget = [this](const Seen &old) {
        for (auto it = old.notes.cbegin(); it != old.notes.cend(); ++it) {
            lacks_.remove(it.key());
            changed_.append(it.key());
        }
    };
    const auto look = [&](const ElementList &elements) {
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const ElementList::Shared element = elements.shared(i);
            const auto found = seen_.find(element->id);
            if (found != seen_.end() &&
                (found->element.isSameBox(element) || onlyMoved(*found->element, *element))) {
                // A drag of thousands of elements looks at none of their expressions again.
                found->element = element;
                found->generation = generation_;
                continue;
            }
            if (found != seen_.end())
                forget(*found);
            if (!finder)
                finder.emplace(document);
            seen_.insert(element->id, {element, notesOf(finder->within(*element)), generation_});
            fresh.append(element->id);
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
    for (auto it = seen_.begin(); it != seen_.end();) {
        if (it->generation == generation_) {
            ++it;
            continue;
        }
        forget(*it);
        it = seen_.erase(it);
    }
    for (const QUuid &id : std::as_const(fresh)) {
        const QHash<QUuid, QStringList> &notes = seen_.value(id).notes;
        lacks_.insert(notes);
        changed_ += notes.keys();
    }
    // The language notes that came, went or changed; the rest share the lacks' marks as they are.
    for (auto it = languageNotes.cbegin(); it != languageNotes.cend(); ++it) {
        if (languageNotes_.value(it.key()) != it.value())
            changed_.append(it.key());
    }
    for (auto it = languageNotes_.cbegin(); it != languageNotes_.cend(); ++it) {
        if (!languageNotes.contains(it.key()))
            changed_.append(it.key());
    }
    languageNotes_ = languageNotes;
    marks_ = lacks_;
    for (auto it = languageNotes.cbegin(); it != languageNotes.cend(); ++it)
        marks_[it.key()].append(it.value());
    return marks_;
}
