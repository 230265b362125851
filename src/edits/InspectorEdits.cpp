#include "edits/InspectorEdits.h"

#include "document/ReportReferences.h"
#include "editors/ExpressionScope.h"
#include "inspector/InspectorTexts.h"

ElementWriter::ElementWriter(DocumentStore *store, const ReportElement &builtFor)
    : store_(store), elementID_(builtFor.id), kindCase_(builtFor.kind.payload.index())
{
}

bool ElementWriter::acceptsWrites() const
{
    return store_ && store_->selectedElementID() == elementID_;
}

std::optional<ReportElement> ElementWriter::current() const
{
    if (!acceptsWrites())
        return std::nullopt;
    return store_->element(elementID_);
}

bool ElementWriter::update(const DocumentStore::ElementMutation &mutation) const
{
    if (!current())
        return false;
    store_->updateElement(elementID_, mutation);
    return true;
}

bool ElementWriter::updateOfKind(const DocumentStore::ElementMutation &mutation) const
{
    const std::optional<ReportElement> element = current();
    if (!element || element->kind.payload.index() != kindCase_)
        return false;
    store_->updateElement(elementID_, mutation);
    return true;
}

namespace InspectorEdits {

bool writeDeclaration(DocumentStore &store, const QString &key,
                      const std::function<void(ReportDocument &)> &change)
{
    return store.editDocument(HashableKey(key), change);
}

bool setBandHeight(DocumentStore &store, const BandTarget &builtFor, double height)
{
    const BandTarget target = store.activeBandTarget();
    if (!(target == builtFor))
        return false;
    store.setHeight(height, target);
    return true;
}

bool chooseEvaluationTime(const ElementWriter &writer, const QString &time)
{
    const std::optional<ReportElement> element = writer.current();
    if (!element)
        return false;
    const QStringList groups =
        expressions::groupsOfElement(writer.store()->document(), element->id);
    if (!InspectorTexts::isEvaluationTimeOffered(element->kind, time, element->evaluationTime,
                                                 !groups.isEmpty()))
        return false;
    // The engine refuses "Group" without one of the groups of the element's dataset: the one the
    // row shows.
    const bool needsGroup =
        time == u"Group" && !groups.contains(element->evaluationGroup.value_or(QString()));
    if (element->evaluationTime == time && !needsGroup)
        return false;
    return writer.update([&](ReportElement &e) {
        e.evaluationTime = time;
        if (needsGroup)
            e.evaluationGroup = groups.first();
    });
}

bool chooseEvaluationGroup(const ElementWriter &writer, const QString &group)
{
    // Compared with the stored group, not the shown one: the first group shows while none is
    // stored, and picking it stores it.
    const std::optional<ReportElement> element = writer.current();
    if (!element || element->evaluationGroup == group)
        return false;
    return writer.update([&](ReportElement &e) { e.evaluationGroup = group; });
}

bool chooseListDataset(const ElementWriter &writer, const QString &name)
{
    const std::optional<ReportElement> element = writer.current();
    const auto *list = element ? element->kind.as<ElementKind::List>() : nullptr;
    if (!list || list->datasetName == name)
        return false;
    // The content is evaluated on the new dataset's groups: what was evaluated on a group it
    // lacks goes back as if that group were deleted, in the same step.
    const ReportDocument &document = writer.store()->document();
    const QStringList before = expressions::groupsOfDataset(document, list->datasetName);
    const QStringList after = expressions::groupsOfDataset(document, name);
    return writer.updatePayload<ElementKind::List>([&](ElementKind::List &payload) {
        payload.datasetName = name;
        ReportReferences::keepGroupsOf(payload.children, before, after);
    });
}

std::optional<QString> optionalText(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

std::function<void(const QString &)> imageImportCompletion(DocumentStore *store,
                                                           const QUuid &imageID, PictureBox boxFor)
{
    return [store = QPointer<DocumentStore>(store), imageID,
            boxFor = std::move(boxFor)](const QString &expression) {
        if (!store)
            return;
        const std::optional<ReportElement> element = store->element(imageID);
        if (!element || !element->kind.is<ElementKind::Image>())
            return;
        const QSizeF box = boxFor ? boxFor(expression, QSizeF(element->width, element->height))
                                  : QSizeF(element->width, element->height);
        store->updateElement(imageID, [&](ReportElement &e) {
            if (auto *image = e.kind.as<ElementKind::Image>())
                image->expression = expression;
            e.width = box.width();
            e.height = box.height();
        });
    };
}

} // namespace InspectorEdits
