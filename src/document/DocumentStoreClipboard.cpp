#include "document/DatasetLacks.h"
#include "document/DocumentStore.h"

#include <algorithm>

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

std::optional<QUuid> DocumentStore::duplicateElementRecursive(const QUuid &id, ElementList &list)
{
    std::optional<QUuid> copyID;
    editListHolding(id, list, [&](ElementList &holder, qsizetype index) {
        ReportElement copy = regenerateIDs(holder.at(index));
        copy.elementGroups.clear(); // the copy joins none of the original's groups
        copy.x += duplicateOffset;
        copy.y += duplicateOffset;
        copyID = copy.id;
        holder.insert(index + 1, std::move(copy));
        return Found::changed;
    });
    return copyID;
}

void DocumentStore::copySelectedElements()
{
    const QList<ReportElement> found = selectedElementsFound();
    if (!found.isEmpty())
        clipboard()->setElements(found);
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
    // The copies keep their expressions, also where their new dataset lacks what they name.
    tellLackedNames(pasted, pasted.size() > 1 ? u"The pasted elements"_s : u"The pasted element"_s,
                    pasted.size() > 1);
}

void DocumentStore::duplicateSelectedElement()
{
    if (selectedElementIDs_.isEmpty())
        return;
    const QSet<QUuid> originals = selectedElementIDs_;
    for (const QUuid &id : originals) {
        // A copy stands beside its original: in a hidden band a save would leave it out.
        if (const std::optional<BandTarget> band = bandHolding(id);
            band && refusesHiddenBand(*band))
            return;
        const std::optional<BandTarget> home = homeBandTarget(id);
        const std::optional<ReportElement> original = element(id);
        if (home && original && isTopLevelElement(id) && refusesTallerThanBand({*original}, *home))
            return;
        const std::optional<ReportElement> container = home ? std::nullopt : containerOf(id);
        if (container && refusesNoRoom(container->id))
            return;
    }
    QSet<QUuid> copies;
    applyDiscreteEdit([&] {
        // The copies standing in bands, by band: each band's stay within its width together.
        QList<std::pair<BandTarget, QList<ReportElement>>> inBands;
        batchDocumentChanges([&] {
            for (const QUuid &id : originals) {
                std::optional<QUuid> copyID;
                editTree([&](ElementList &list) {
                    copyID = duplicateElementRecursive(id, list);
                    return copyID ? Found::changed : Found::no;
                });
                if (!copyID)
                    continue;
                copies.insert(*copyID);
                if (const std::optional<BandTarget> home = homeBandTarget(*copyID)) {
                    ReportElement copy = *element(*copyID);
                    if (keepWithinPage(copy, *home))
                        performUpdateElement(*copyID, [&](ReportElement &e) { e = copy; });
                    auto band = std::find_if(inBands.begin(), inBands.end(),
                                             [&](const auto &b) { return b.first == *home; });
                    if (band == inBands.end()) {
                        inBands.append({*home, {}});
                        band = std::prev(inBands.end());
                    }
                    band->second.append(*element(*copyID));
                }
                growBandHolding(*copyID);
            }
            for (auto &[home, placed] : inBands) {
                if (!keepWithinWidth(document_, placed, home))
                    continue;
                for (const ReportElement &copy : std::as_const(placed))
                    performUpdateElement(copy.id, [&](ReportElement &e) { e.x = copy.x; });
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
    const QString words =
        DatasetLacks::words(DatasetLacks::Finder(document_).of(ids), subject, plural);
    if (!words.isEmpty())
        emit namesLacked(words);
}

void DocumentStore::tellLackedNamesInside(const QUuid &container)
{
    const std::optional<ReportElement> found = element(container);
    if (!found)
        return;
    const bool isTable = found->kind.is<ElementKind::Table>();
    const QString words =
        DatasetLacks::words(DatasetLacks::Finder(document_).inside(container),
                            isTable ? u"The table's cells"_s : u"The list's elements"_s, true);
    if (!words.isEmpty())
        emit namesLacked(words);
}
