// The older form of a report file: a root without the namespace, mostly under the DOCTYPE line of
// the report document type, which the engine reads by that document type's grammar. A report read
// in that form is written in it again while the grammar takes what the report holds; an edit that
// adds what it refuses (a second detail band, a list, a sort field on a variable) turns the file
// to the namespace form, and an undo back to what the grammar takes turns it back.

#include "DocumentTypeGrammar.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace JrxmlCodec {

namespace {

// The declarations of the writer's header, which a file in the older form leaves out.
constexpr QStringView headerNames[] = {u"xmlns", u"xmlns:xsi", u"xsi:schemaLocation"};

pugi::xml_node rootOf(pugi::xml_document &xml, const QByteArray &text)
{
    if (!xml.load_buffer(text.constData(), size_t(text.size()), parseOptions, pugi::encoding_utf8))
        return {};
    return xml.document_element();
}

// The report as the older form writes it: a sort field on a field without its type, which the
// grammar does not have and which says what the engine takes without it.
ReportDocument asOlderFormWrites(const ReportDocument &document)
{
    ReportDocument older = document;
    for (ReportSortField &sortField : older.sortFields) {
        const KeptXml &kept = sortField.kept.part({});
        const bool typeLeftOut = std::any_of(
            kept.absent.cbegin(), kept.absent.cend(),
            [](const KeptXml::AbsentAttribute &absent) { return absent.name == u"type"; });
        if (sortField.type == SortFieldType::field && !typeLeftOut && !kept.attribute(u"type")) {
            KeptXml own = kept;
            own.absent.append({u"type"_s, u"Field"_s, {}});
            sortField.kept.setPart({}, std::move(own));
        }
    }
    return older;
}

// The report with the writer's own header: the namespace declarations written, the DOCTYPE line
// gone. A document type that declares entities of its own stays, for the references the reader
// kept as they were written.
ReportDocument inNamespaceForm(const ReportDocument &document)
{
    ReportDocument form = document;
    KeptXml root = form.kept.part({});
    root.absent.removeIf([](const KeptXml::AbsentAttribute &absent) {
        return std::find(std::begin(headerNames), std::end(headerNames), absent.name) !=
               std::end(headerNames);
    });
    form.kept.setPart({}, std::move(root));
    KeptXml prolog = form.kept.part(u"prolog");
    prolog.children.removeIf([](const KeptXml::Child &node) {
        return node.xml.startsWith(u"<!DOCTYPE") && !node.xml.contains(u'[');
    });
    form.kept.setPart(u"prolog"_s, std::move(prolog));
    form.olderFormAsRead.reset();
    return form;
}

// What the grammar refuses in the text beyond what it refused in the file as read.
QList<DocumentTypeGrammar::Refusal> newRefusals(const QByteArray &text, const QStringList &asRead)
{
    pugi::xml_document xml;
    const pugi::xml_node root = rootOf(xml, text);
    if (!root)
        return {};
    QList<DocumentTypeGrammar::Refusal> found = DocumentTypeGrammar::refusals(root);
    found.removeIf(
        [&](const DocumentTypeGrammar::Refusal &refusal) { return asRead.contains(refusal.key); });
    return found;
}

// What the document type gives an element that leaves the attribute out, where the namespace
// form gives nothing or leaves it to the engine's settings: the hyperlink's type and target of
// texts, images and charts, and a band's split type, which it takes from `isSplitAllowed` and
// which `splitType` sets alike.
struct DocumentTypeDefault {
    const char *element;
    const char *attribute;
    const char *value;
    const char *unless; // an attribute that sets the same, or null
};
constexpr DocumentTypeDefault documentTypeDefaults[] = {
    {"textField", "hyperlinkType", "None", nullptr},
    {"textField", "hyperlinkTarget", "Self", nullptr},
    {"image", "hyperlinkType", "None", nullptr},
    {"image", "hyperlinkTarget", "Self", nullptr},
    {"chart", "hyperlinkType", "None", nullptr},
    {"chart", "hyperlinkTarget", "Self", nullptr},
    {"itemHyperlink", "hyperlinkType", "None", nullptr},
    {"itemHyperlink", "hyperlinkTarget", "Self", nullptr},
    {"sectionHyperlink", "hyperlinkType", "None", nullptr},
    {"sectionHyperlink", "hyperlinkTarget", "Self", nullptr},
    {"band", "splitType", "Stretch", "isSplitAllowed"},
};

// Where the start tag whose name starts at `at` ends: at its '>', or at the '/' of "/>".
qsizetype startTagEnd(const QByteArray &text, qsizetype at)
{
    char quote = 0;
    for (qsizetype i = at; i < text.size(); ++i) {
        const char c = text.at(i);
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return text.at(i - 1) == '/' ? i - 1 : i;
        }
    }
    return -1;
}

// The namespace form's text with the values the document type gave the older form spelled out
// (documentTypeDefaults), so that the engine prints the report as before. They go after the tag's
// other attributes, where the writer puts what it keeps, so that the text read and written again is
// the same.
QByteArray withDocumentTypeDefaults(const QByteArray &text)
{
    pugi::xml_document xml;
    const pugi::xml_node root = rootOf(xml, text);
    if (!root)
        return text;
    // Where each start tag ends, with what goes there, in document order.
    std::vector<std::pair<qsizetype, QByteArray>> inserts;
    for (pugi::xml_node node = root; node;) {
        QByteArray spelled;
        for (const DocumentTypeDefault &given : documentTypeDefaults) {
            if (node.type() == pugi::node_element && std::strcmp(node.name(), given.element) == 0 &&
                !node.attribute(given.attribute) && !(given.unless && node.attribute(given.unless)))
                spelled += ' ' + QByteArray(given.attribute) + "=\"" + given.value + '"';
        }
        const ptrdiff_t nameAt = spelled.isEmpty() ? -1 : node.offset_debug();
        const qsizetype end = nameAt < 0 ? -1 : startTagEnd(text, qsizetype(nameAt));
        if (end >= 0)
            inserts.emplace_back(end, spelled);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
    QByteArray out = text;
    for (auto it = inserts.rbegin(); it != inserts.rend(); ++it)
        out.insert(it->first, it->second);
    return out;
}

} // namespace

std::optional<QStringList> olderFormAsRead(pugi::xml_node root)
{
    const std::string_view name = root.name();
    const char *declared = root.attribute("xmlns").value();
    if (name.find(':') != std::string_view::npos || *declared != '\0')
        return std::nullopt;
    QStringList keys;
    for (const DocumentTypeGrammar::Refusal &refusal : DocumentTypeGrammar::refusals(root))
        keys.append(refusal.key);
    return keys;
}

QByteArray writtenInItsForm(const ReportDocument &document, QStringList *diagnostics)
{
    if (!document.olderFormAsRead)
        return written(document, diagnostics);
    QStringList olderDiagnostics;
    const QByteArray older = written(asOlderFormWrites(document), &olderDiagnostics);
    if (newRefusals(older, *document.olderFormAsRead).isEmpty()) {
        handOver(olderDiagnostics, diagnostics);
        return older;
    }
    return withDocumentTypeDefaults(written(inNamespaceForm(document), diagnostics));
}

QStringList olderFormRefusals(const ReportDocument &document)
{
    if (!document.olderFormAsRead)
        return {};
    QStringList ignored;
    QStringList words;
    for (const DocumentTypeGrammar::Refusal &refusal :
         newRefusals(written(asOlderFormWrites(document), &ignored), *document.olderFormAsRead)) {
        if (!words.contains(refusal.words))
            words.append(refusal.words);
    }
    return words;
}

} // namespace JrxmlCodec
