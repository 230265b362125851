#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <functional>
#include <optional>

// The writes of the cards built for one element: edit path 1, through updateElement, whose
// undo step is coalesced under the element's id. A write goes through only while that element
// is still the store's one selected element, and a write that depends on the element's kind
// only while the element still has the kind the card was built for; any other write is
// dropped. Qt delivers a field's last commit when it loses the focus, which can come after the
// canvas selected another element: written blindly, it would land on that element.
class ElementWriter {
public:
    ElementWriter() = default;
    ElementWriter(DocumentStore *store, const ReportElement &builtFor);

    DocumentStore *store() const { return store_; }
    const QUuid &elementID() const { return elementID_; }

    // Whether a write made now goes through: the store is there and the element is its one
    // selected element.
    bool acceptsWrites() const;
    // The element as the store holds it now, while writes go through.
    std::optional<ReportElement> current() const;

    // Changes fields every element has. True when the write reached the store.
    bool update(const DocumentStore::ElementMutation &mutation) const;
    // Changes the kind or what belongs to it, only while the kind is the one built for.
    bool updateOfKind(const DocumentStore::ElementMutation &mutation) const;
    // Changes the payload of a kind, only while the element has that kind.
    template <typename Payload>
    bool updatePayload(const std::function<void(Payload &)> &change) const
    {
        return updateOfKind([&](ReportElement &element) {
            if (Payload *payload = element.kind.as<Payload>())
                change(*payload);
        });
    }

private:
    QPointer<DocumentStore> store_;
    QUuid elementID_;
    std::size_t kindCase_ = 0;
};

namespace InspectorEdits {

// Edit path 3, a declaration write (the report's name and page size, a field's or parameter's
// rows): a continuous edit of the store under `key`, naming what it writes, so that typing into
// one row is one undo step and an undo never takes the write along with another edit. When the
// change changes nothing, nothing is recorded. True when the document changed.
bool writeDeclaration(DocumentStore &store, const QString &key,
                      const std::function<void(ReportDocument &)> &change);

// A band's height through the store's own coalesced operation, for the band the card was built
// for: dropped when another band has become the active one meanwhile.
bool setBandHeight(DocumentStore &store, const BandTarget &builtFor, double height);

// An optional text as edited: an empty text is stored as no value, any other text untrimmed.
std::optional<QString> optionalText(const QString &text);

// The completion of an image import begun from the image card: it writes the imported image's
// expression into the element the browse was started for, found by the id captured then, and
// only while that element still exists and is still an image. The import can end long after
// the browse, when the selection has moved on or the element is gone. The element's box takes
// the size `boxFor` gives for the new expression and the box it has. Edit path 1, so the write is
// one undo step of that element.
using PictureBox = std::function<QSizeF(const QString &expression, const QSizeF &box)>;
std::function<void(const QString &expression)>
imageImportCompletion(DocumentStore *store, const QUuid &imageID, PictureBox boxFor = {});

} // namespace InspectorEdits
