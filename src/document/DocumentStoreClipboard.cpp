#include "document/DatasetLacks.h"
#include "document/DocumentStore.h"
#include "document/ExpressionLanguages.h"

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr double pasteOffset = 15;
constexpr double duplicateOffset = 10;

void renewIDs(QList<SubreportParameter> &parameters)
{
    for (SubreportParameter &parameter : parameters)
        parameter.id = newId();
}

} // namespace

ElementClipboard *DocumentStore::clipboard() const
{
    return clipboard_ ? clipboard_.data() : ownClipboard_;
}

void DocumentStore::setClipboard(ElementClipboard *clipboard)
{
    ElementClipboard *const before = this->clipboard();
    clipboard_ = clipboard ? clipboard : ownClipboard_;
    if (this->clipboard() != before)
        emit clipboardChanged();
}

std::optional<QUuid> DocumentStore::selectedContainerID() const
{
    const std::optional<QUuid> id = selectedElementID();
    if (!id)
        return std::nullopt;
    const std::optional<ReportElement> selected = element(*id);
    if (!selected || !selected->kind.children())
        return std::nullopt;
    // A container of a hidden band is left out of the file with what is put into it.
    const std::optional<BandTarget> band = bandHolding(*id);
    if (!band || !takesElements(*band))
        return std::nullopt;
    return id;
}

ReportElement DocumentStore::regenerateIDs(const ReportElement &element)
{
    ReportElement copy = element;
    copy.id = newId();
    // The copy keeps what the file held of the element, but not the file's identifiers in it,
    // which must stay unique in the document.
    copy.kept.removeUuids();
    if (ElementList *children = copy.kind.children()) {
        for (qsizetype i = 0; i < children->size(); ++i)
            children->replace(i, regenerateIDs(children->at(i)));
    }
    if (auto *subreport = copy.kind.as<ElementKind::Subreport>())
        renewIDs(subreport->parameters);
    if (auto *list = copy.kind.as<ElementKind::List>()) {
        renewIDs(list->parameters);
        list->kept.removeUuids();
    }
    if (auto *table = copy.kind.as<ElementKind::Table>()) {
        renewIDs(table->parameters);
        table->renewIdentifiers();
        for (ReportTableColumn &column : table->columns) {
            for (SharedOptional<ReportElement> *cell :
                 {&column.columnHeaderElement, &column.detailCellElement,
                  &column.columnFooterElement}) {
                if (*cell)
                    *cell = regenerateIDs(**cell);
            }
        }
    }
    return copy;
}

ReportElement DocumentStore::duplicateOf(const ReportElement &element)
{
    ReportElement copy = regenerateIDs(element);
    copy.elementGroups.clear(); // the copy joins none of the original's groups
    copy.x += duplicateOffset;
    copy.y += duplicateOffset;
    return copy;
}

DocumentStore::Found DocumentStore::insertDuplicates(ElementList &list, QSet<QUuid> &pending,
                                                     QSet<QUuid> &copies)
{
    // The list is built anew only once a copy joins it, from runs of the places it already has,
    // which keep sharing their values.
    ElementList joined;
    qsizetype joinedUpTo = 0;
    bool changed = false;
    for (qsizetype i = 0; i < list.size() && !pending.isEmpty(); ++i) {
        // A container's copy holds what the container held before its children's copies.
        std::optional<ReportElement> copy;
        if (pending.remove(list.at(i).id))
            copy = duplicateOf(list.at(i));
        if (editChildren(list, i, [&](ElementList &children) {
                return insertDuplicates(children, pending, copies);
            }) == Found::changed)
            changed = true;
        if (!copy)
            continue;
        joined.append(list.mid(joinedUpTo, i + 1 - joinedUpTo));
        joinedUpTo = i + 1;
        copies.insert(copy->id);
        joined.append(std::move(*copy));
        changed = true;
    }
    if (joinedUpTo > 0) {
        joined.append(list.mid(joinedUpTo));
        list = std::move(joined);
    }
    return changed ? Found::changed : Found::no;
}

void DocumentStore::copySelectedElements()
{
    const QList<ReportElement> found = selectedElementsFound();
    if (!found.isEmpty())
        clipboard()->setElements(found, document_.language);
}

void DocumentStore::pasteClipboard()
{
    ElementList copied(clipboard()->elements());
    if (copied.isEmpty())
        return;
    const std::optional<QUuid> container = selectedContainerID();
    // What the copies name that this report, or the dataset they go to, lacks: copied from
    // another report or dataset, or before the style, group or sub-dataset went.
    const QList<ReportSubDataset> datasets = adoptNames(copied, container);
    const BandTarget destination = insertionTarget(activeBandTarget_);
    if (!container && !takesElements(destination))
        return;
    if (container ? refusesNoRoom(*container)
                  : refusesBandsOfParts(destination) || refusesTallerThanBand(copied, destination))
        return;
    QList<ReportElement> copies;
    for (const ReportElement &original : std::as_const(copied)) {
        ReportElement copy = regenerateIDs(original);
        copy.x += pasteOffset;
        copy.y += pasteOffset;
        copies.append(copy);
    }
    // A container keeps its copies within its room itself.
    if (!container)
        keepWithinWidth(document_, copies, destination);
    // Copies from a report of another language keep their expressions as they were written.
    const bool otherLanguage = noteWrittenIn(copies, clipboard()->language());
    QSet<QUuid> pasted;
    applyDiscreteEdit([&] {
        batchDocumentChanges([&] {
            changeDocument([&](ReportDocument &d) { d.subDatasets.append(datasets); });
            for (const ReportElement &copy : std::as_const(copies)) {
                pasted.insert(copy.id);
                if (container)
                    performAddChildElement(copy, *container);
                else
                    performAddElement(copy, destination);
            }
        });
        setSelectedElementIDs(pasted);
    });
    // The copies keep their expressions, also where their new dataset lacks what they name, and
    // where they are written in another language than this report's: both are said at once.
    const QString subject = pasted.size() > 1 ? u"The pasted elements"_s : u"The pasted element"_s;
    sayAtOnce([&] {
        tellLackedNames(pasted, subject, pasted.size() > 1);
        if (otherLanguage)
            tellWrittenIn(clipboard()->language(), subject, pasted.size() > 1);
    });
}

void DocumentStore::duplicateSelectedElement()
{
    if (selectedElementIDs_.isEmpty())
        return;
    // The selected elements the report holds, in its order: each is duplicated as if alone,
    // one after the other in that order.
    const QList<HeldElement> held = heldInOrder(selectedElementIDs_);
    // A selection left behind by undo names nothing: duplicating it is no edit.
    if (held.isEmpty()) {
        setSelectedElementIDs({});
        return;
    }
    QSet<QUuid> checked;
    QSet<BandTarget> shown;
    for (const HeldElement &h : held) {
        // A copy stands beside its original: in a hidden band a save would leave it out.
        if (h.holder && !shown.contains(*h.holder)) {
            if (refusesHiddenBand(*h.holder))
                return;
            shown.insert(*h.holder);
        }
        if (h.band && refusesTallerThanBand({*h.element}, *h.band))
            return;
        if (h.container && !checked.contains(h.container->id)) {
            if (refusesNoRoom(*h.container))
                return;
            checked.insert(h.container->id);
        }
    }
    QSet<QUuid> pending;
    // Copies of elements written in another language than the report's are written in it too.
    QList<WrittenIn> writtenElsewhere;
    for (const HeldElement &h : held) {
        pending.insert(h.element->id);
        if (writtenInOtherLanguage(h.element->id))
            writtenElsewhere.append(writtenIn_.value(h.element->id));
    }
    QSet<QUuid> copies;
    applyDiscreteEdit([&] {
        batchDocumentChanges([&] {
            // One walk puts every copy right after its original, at any depth.
            editTree([&](ElementList &list) { return insertDuplicates(list, pending, copies); },
                     false);
            // Noted before the change is announced, so that the canvas marks them as they come.
            for (const QUuid &copy : std::as_const(copies)) {
                if (writtenElsewhere.isEmpty())
                    break;
                const QStringList expressions =
                    ExpressionLanguages::expressionsWithin(*element(copy));
                for (const WrittenIn &written : std::as_const(writtenElsewhere)) {
                    if (written.expressions == expressions)
                        writtenIn_.insert(copy, written);
                }
            }
            // The copies that stand in bands keep within what the page holds, band by band in
            // the report's order; each band's copies then stay within its width together.
            for (const auto &[home, indexes] : topLevelPlaces(copies)) {
                QList<Extent> placed;
                placed.reserve(indexes.size());
                for (const qsizetype i : indexes) {
                    ReportElement copy = elementList(std::as_const(document_), home)->at(i);
                    if (keepWithinPage(copy, home))
                        updateTopLevelAt(home, i, [&](ReportElement &e) { e = copy; });
                    growBandHoldingAt(home, i);
                    const ReportElement &kept = elementList(std::as_const(document_), home)->at(i);
                    placed.append({kept.x, kept.printedWidth()});
                }
                if (!keepWithinWidth(document_, placed, home))
                    continue;
                for (qsizetype k = 0; k < indexes.size(); ++k) {
                    const double x = placed.at(k).x;
                    updateTopLevelAt(home, indexes.at(k), [x](ReportElement &e) { e.x = x; });
                }
            }
        });
        setSelectedElementIDs(copies);
    });
    tellLackedNames(copies,
                    copies.size() > 1 ? u"The duplicated elements"_s : u"The duplicated element"_s,
                    copies.size() > 1);
}

void DocumentStore::tellLackedNames(const QSet<QUuid> &ids, const QString &subject, bool plural)
{
    sayLacked(DatasetLacks::words(DatasetLacks::Finder(document_).of(ids), subject, plural));
}

void DocumentStore::tellLackedNamesInside(const QUuid &container)
{
    const std::optional<ReportElement> found = element(container);
    if (!found)
        return;
    const bool isTable = found->kind.is<ElementKind::Table>();
    sayLacked(DatasetLacks::words(DatasetLacks::Finder(document_).inside(container),
                                  isTable ? u"The table's cells"_s : u"The list's elements"_s,
                                  true));
}

bool DocumentStore::noteWrittenIn(const QList<ReportElement> &elements, const QString &language)
{
    // Copies of this report's language are as its own elements are.
    if (language.isEmpty() || ExpressionLanguages::same(language, document_.language))
        return false;
    bool noted = false;
    for (const ReportElement &element : elements) {
        QStringList expressions = ExpressionLanguages::expressionsWithin(element);
        if (expressions.isEmpty())
            continue;
        writtenIn_.insert(element.id, {language, std::move(expressions)});
        noted = true;
    }
    return noted;
}

void DocumentStore::tellWrittenIn(const QString &language, const QString &subject, bool plural)
{
    sayLacked(ExpressionLanguages::words(subject, plural, language, document_.language));
}

void DocumentStore::sayLacked(const QString &words)
{
    if (words.isEmpty())
        return;
    if (collectedWords_)
        collectedWords_->append(words);
    else
        emit namesLacked(words);
}

void DocumentStore::addElementWrittenIn(const ReportElement &element, const QString &language)
{
    const bool noted = noteWrittenIn({element}, language);
    const bool wasThere = this->element(element.id).has_value();
    // What it names that its dataset lacks, and the language it is written in, said at once.
    sayAtOnce([&] {
        addElementSmart(element);
        if (noted && !wasThere && this->element(element.id))
            tellWrittenIn(language, u"The inserted element"_s, false);
    });
}

void DocumentStore::sayAtOnce(const std::function<void()> &tell)
{
    collectedWords_.emplace();
    tell();
    const QStringList words = *std::exchange(collectedWords_, std::nullopt);
    if (!words.isEmpty())
        emit namesLacked(words.join(u' '));
}

std::optional<QString> DocumentStore::writtenInOtherLanguage(const QUuid &id) const
{
    const auto noted = writtenIn_.constFind(id);
    if (noted == writtenIn_.cend() ||
        ExpressionLanguages::same(noted->language, document_.language))
        return std::nullopt;
    const std::optional<ReportElement> found = element(id);
    if (!found || ExpressionLanguages::expressionsWithin(*found) != noted->expressions)
        return std::nullopt;
    return noted->language;
}
