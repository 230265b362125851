#include "widgets/BandHiding.h"

#include "document/DocumentStore.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

qsizetype countElements(const ElementList &elements)
{
    qsizetype count = elements.size();
    for (const ReportElement &element : elements) {
        if (const ElementList *children = element.kind.children())
            count += countElements(*children);
    }
    return count;
}

} // namespace

namespace BandHiding {

std::optional<AlertRequest> question(const ReportDocument &document, BandType type)
{
    const BandTarget target = BandTarget::standard(type);
    const qsizetype count = countElements(DocumentStore::elements(document, target));
    if (count == 0)
        return std::nullopt;
    AlertRequest request;
    request.style = AlertRequest::Style::warning;
    request.message = u"Hide \""_s + DocumentStore::label(document, target) + u"\"?"_s;
    request.informativeText =
        count == 1 ? u"Its element is removed from the report when it is saved."_s
                   : u"Its "_s + QString::number(count) +
                         u" elements are removed from the report when it is saved."_s;
    request.buttons = {{u"Hide Band"_s, AlertRequest::Role::destructive},
                       {u"Cancel"_s, AlertRequest::Role::cancel}};
    // Return keeps the elements.
    request.defaultButton = 1;
    return request;
}

QString noElementsMessage(const QString &bandLabel)
{
    // Said both for an add into the band and for an edit of a selection holding its elements.
    return bandLabel +
           u" is hidden, and the saved report leaves a hidden band out with everything in it: "
           u"nothing can be added to it, and its elements are not edited together with those of "
           u"shown bands. Show the band in the outline first, or leave its elements out of the "
           u"selection."_s;
}

bool hide(DocumentStore &store, BandType type, Dialogs *dialogs)
{
    // The question's own event loop may close the tab.
    const QPointer<DocumentStore> guarded(&store);
    if (const std::optional<AlertRequest> ask = question(store.document(), type)) {
        if (!dialogs || dialogs->runAlert(*ask) != 0 || !guarded)
            return false;
    }
    store.setBandPresent(type, false);
    return true;
}

} // namespace BandHiding
