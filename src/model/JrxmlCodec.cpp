#include "JrxmlCodec.h"

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

using namespace Qt::StringLiterals;

JrxmlCodecError::JrxmlCodecError(Kind kind, const QString &text)
    : kind_(kind), text_(text), utf8_(message().toUtf8())
{
}

QString JrxmlCodecError::message() const
{
    switch (kind_) {
    case Kind::malformed:
        return u"Malformed .jrxml: "_s + text_;
    case Kind::notAJasperReport:
        return u"Root element is not <jasperReport> - not a valid .jrxml file."_s;
    case Kind::unreadableEncoding:
        return u"The file is in the encoding \u201C"_s + text_ +
               u"\u201D, which the designer does not read."_s;
    }
    return {};
}

namespace JrxmlCodec {

void handOver(const QStringList &lines, QStringList *sink)
{
    if (sink) {
        sink->append(lines);
        return;
    }
    for (const QString &line : lines)
        std::fprintf(stdout, "JrxmlCodec: %s\n", line.toUtf8().constData());
    if (!lines.isEmpty())
        std::fflush(stdout);
}

namespace {

// The text with only the characters XML can carry; `removed` counts those the writer's helpers
// already left out.
QString writable(const QString &text, QStringList *diagnostics, qsizetype removedBefore)
{
    qsizetype removed = 0;
    QString out = JrxmlText::withXmlCharactersOnly(text, &removed);
    removed += removedBefore;
    if (removed > 0) {
        handOver({QStringLiteral("left out %1 characters that XML cannot carry").arg(removed)},
                 diagnostics);
    }
    return out;
}

// The references named, at most five of them: "&a;, &b; and 2 more".
QString referenceList(const QStringList &names)
{
    constexpr qsizetype named = 5;
    QStringList shown;
    for (qsizetype i = 0; i < std::min(names.size(), named); ++i)
        shown.append(u'&' + names[i] + u';');
    QString list = shown.join(u", "_s);
    if (names.size() > named)
        list += u" and %1 more"_s.arg(names.size() - named);
    return list;
}

// What the reader says of the entity references it does not expand, and what a save does with
// them: those in a text or an attribute are written as they stand, as text; those between
// elements are left out.
QStringList entityReferencesNotes(const EntityReferences &references)
{
    QStringList notes;
    if (const QStringList &names = references.inText; !names.isEmpty()) {
        const bool one = names.size() == 1;
        notes.append((one ? u"The entity reference "_s : u"The entity references "_s) +
                     referenceList(names) + (one ? u" is"_s : u" are"_s) +
                     u" kept as literal text: the reader does not expand entities, and a save "
                     u"writes "_s +
                     (one ? u"the reference itself as text, which the engine then takes as it "
                            u"stands"_s
                          : u"the references themselves as text, which the engine then takes "
                            u"as they stand"_s));
    }
    if (const QStringList &names = references.betweenElements; !names.isEmpty()) {
        const bool one = names.size() == 1;
        notes.append((one ? u"The entity reference "_s : u"The entity references "_s) +
                     referenceList(names) +
                     (one ? u" between elements was not kept: the reader does not expand "
                            u"entities, and a save leaves it out, with what it holds"_s
                          : u" between elements were not kept: the reader does not expand "
                            u"entities, and a save leaves them out, with what they hold"_s));
    }
    return notes;
}

pugi::xml_parse_result load(pugi::xml_document &xml, const QByteArray &data,
                            pugi::xml_encoding encoding = pugi::encoding_auto)
{
    return xml.load_buffer(data.constData(), size_t(data.size()), parseOptions, encoding);
}

} // namespace

QByteArray written(const ReportDocument &document, QStringList *diagnostics)
{
    JrxmlText::takeRemovedCharacterCount();
    // The text is written into room kept on the thread from one save to the next, so that it
    // need not grow again step by step; the room a very large document took is given back.
    thread_local QString out;
    constexpr qsizetype keptRoom = 1024 * 1024;
    out.resize(0);
    out.reserve(16 * 1024);
    const CommentPlacing comments;
    appendDocument(out, document);
    out = comments.placed(out);
    QByteArray bytes = writable(out, diagnostics, JrxmlText::takeRemovedCharacterCount()).toUtf8();
    if (out.capacity() > keptRoom)
        out = QString();
    return bytes;
}

QByteArray serialize(const ReportDocument &document, QStringList *diagnostics)
{
    return writtenInItsForm(document, diagnostics);
}

QByteArray serialize(const ReportDocument &document)
{
    return serialize(document, nullptr);
}

namespace {

// The report read from `data`: a file's bytes in the encoding they declare, or (`isText`) text
// already decoded, as UTF-8, whatever its declaration names.
ReportDocument parsed(const QByteArray &bytes, QStringList *warnings, bool isText)
{
    QStringList encodingNotes;
    const QByteArray data = isText ? bytes : inReadableEncoding(bytes, encodingNotes);
    pugi::xml_document xml;
    const pugi::xml_parse_result result =
        load(xml, data, isText ? pugi::encoding_utf8 : pugi::encoding_auto);
    if (!result) {
        throw JrxmlCodecError::malformed(QString::fromUtf8(result.description()) + u" at byte "_s +
                                         QString::number(result.offset));
    }
    checkWellFormedBytes(data, result.encoding);
    checkWellFormedTree(xml);
    const pugi::xml_node root = xml.document_element();
    if (!root || !JrxmlText::hasLocalName(root, "jasperReport"))
        throw JrxmlCodecError::notAJasperReport();
    // A root on a prefix is in a namespace: never the older form, whatever it looks like once
    // its elements are read by their plain names.
    const bool rootPrefixed = std::strchr(root.name(), ':') != nullptr;
    unprefixReportElements(root, data, result.encoding);
    JrxmlReadContext context;
    for (const QString &note : encodingNotes)
        context.note(note);
    // The byte check looks at UTF-8 documents only.
    context.onlyXmlCharacters = result.encoding == pugi::encoding_utf8;
    for (const QString &note :
         entityReferencesNotes(unexpandedEntityReferences(data, result.encoding)))
        context.note(note);
    // Most files hold no comment: their tree is not walked for one.
    if (!context.onlyXmlCharacters || data.contains("<!--"))
        noteCommentAnchors(root, context);
    const JrxmlText::AttributeTable attributes;
    // An element inside a text or an expression is not kept: the model holds the text alone.
    std::set<pugi::xml_node> inText;
    const JrxmlText::ElementsInTextWatch watch([&](pugi::xml_node element) {
        if (inText.insert(element).second)
            context.note(u"The <"_s + QString::fromUtf8(element.name()) + u"> element inside <"_s +
                         QString::fromUtf8(element.parent().name()) +
                         u"> was not kept: only the text stays"_s);
    });
    ReportDocument document = readDocument(root, context);
    document.olderFormAsRead = rootPrefixed ? std::nullopt : olderFormAsRead(root);
    QStringList notes = context.notes();
    // A comment the writer finds no place for is said at once, not lost at the first save.
    if (context.hasComments) {
        QStringList ignored;
        notes.append(commentsLeftOut(root, written(document, &ignored)));
    }
    handOver(notes, warnings);
    return document;
}

} // namespace

ReportDocument parse(const QByteArray &data, QStringList *warnings)
{
    return parsed(data, warnings, false);
}

ReportDocument parseText(const QString &text, QStringList *warnings)
{
    return parsed(text.toUtf8(), warnings, true);
}

std::optional<QString> rootRefusal(const QByteArray &data)
{
    pugi::xml_document xml;
    if (!load(xml, data))
        return std::nullopt; // the parse says what is wrong
    const pugi::xml_node root = xml.document_element();
    if (!root || !JrxmlText::hasLocalName(root, "jasperReport"))
        return std::nullopt;
    const std::string_view name = root.name();
    const size_t colon = name.find(':');
    const std::string prefix(colon == std::string_view::npos ? std::string_view()
                                                             : name.substr(0, colon));
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    // The reader refuses a prefix nothing declares.
    const pugi::xml_attribute uri = root.attribute(declaration.c_str());
    const std::string_view value = uri ? uri.value() : "";
    if ((value.empty() && prefix.empty()) || value == JrxmlText::namespaceUri)
        return std::nullopt;
    return u"The root element <"_s + QString::fromUtf8(name) + u"> is in the namespace \""_s +
           QString::fromUtf8(value) + u"\"; the engine reads a report only in \""_s +
           QLatin1StringView(JrxmlText::namespaceUri) + u"\" or in no namespace."_s;
}

QString serializeElement(const ReportElement &element, const QList<ReportStyle> &styles)
{
    JrxmlText::takeRemovedCharacterCount();
    QString out;
    const CommentPlacing comments;
    appendElement(out, element, styles);
    out = comments.placed(out);
    return writable(out, nullptr, JrxmlText::takeRemovedCharacterCount());
}

std::optional<ReportElement> parseSnippet(const QString &fragment)
{
    pugi::xml_document xml;
    if (!load(xml, u"<snippet>"_s.toUtf8() + fragment.toUtf8() + "</snippet>"_ba))
        return std::nullopt;
    const pugi::xml_node root = xml.document_element();
    if (!root)
        return std::nullopt;
    JrxmlReadContext context;
    noteCommentAnchors(root, context);
    const JrxmlText::AttributeTable attributes;
    const ElementList elements = parseBandElements(root, context);
    if (elements.isEmpty())
        return std::nullopt;
    ReportElement element = elements.first();
    element.elementGroups.clear(); // a snippet stands alone
    return element;
}

} // namespace JrxmlCodec
