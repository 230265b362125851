#include "edits/InspectorEdits.h"

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
