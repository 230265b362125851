#pragma once

// The JRXML reader's and writer's parts, shared by the codec's source files and its tests.

#include "JrxmlReadContext.h"
#include "JrxmlText.h"
#include "KeptXml.h"
#include "ReportDocument.h"

#include <QString>
#include <functional>
#include <iterator>
#include <optional>
#include <pugixml.hpp>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace JrxmlCodec {

// --- writing ---

// The whole document text (before characters XML cannot carry are left out).
void appendDocument(QString &out, const ReportDocument &document);

// The print-when line of a band at the given indentation; empty without an expression.
QString bandPrintWhenXML(const std::optional<QString> &expression, int indent);

// One element's text, for a frame everything inside it; the text serializeElement returns.
void appendElement(QString &out, const ReportElement &element, const QList<ReportStyle> &styles);

// Opens and closes element groups between the elements of one band or container.
class ElementGroupWriter {
public:
    // Closes the open groups the element does not stand in and opens those it stands in.
    void moveTo(QString &out, const QList<ElementGroupLevel> &groups);
    void closeAll(QString &out) { moveTo(out, {}); }

private:
    QList<int> open_;           // the ordinals of the open groups, outermost first
    QList<QList<int>> written_; // the groups whose kept children are written
};

// The kept children of a band or container that stood before element `index` among its
// elements (with `last`, those that stood after the last one), outside every element group.
void appendKeptAmongElements(QString &out, ElementGroupWriter &groups, const KeptXml &kept,
                             qsizetype index, bool last);

// Asks the processor to start loading the element's fields.
inline void prefetchElement(const ReportElement &element)
{
    const char *bytes = reinterpret_cast<const char *>(&element);
    for (size_t at = 0; at < sizeof(ReportElement); at += 64)
        __builtin_prefetch(bytes + at);
}

// The elements of a band or container in order, each inside the element groups it stands in,
// with the container's kept children that stood among them (`kept`, when given).
template <typename Elements>
void appendElements(QString &out, const Elements &elements, const QList<ReportStyle> &styles,
                    const KeptXml *kept = nullptr)
{
    ElementGroupWriter groups;
    qsizetype index = 0;
    for (auto it = elements.begin(); it != elements.end(); ++it) {
        const ReportElement &element = *it;
        // Each element lies apart in memory: the next one is fetched while this one is written.
        if (it + 1 != elements.end())
            prefetchElement(*(it + 1));
        if (kept)
            appendKeptAmongElements(out, groups, *kept, index++, false);
        groups.moveTo(out, element.elementGroups);
        appendElement(out, element, styles);
    }
    if (kept)
        appendKeptAmongElements(out, groups, *kept, index, true);
    groups.closeAll(out);
}

// Starts a tag: the indentation and `<tag`; gives where the tag begins, for the kept attributes.
qsizetype openTag(QString &out, int spaces, QLatin1StringView tag);

// The element's reportElement block (one line, or three with a print-when expression).
void appendReportElement(QString &out, const ReportElement &element,
                         const QList<ReportStyle> &styles, int spaces = 16);

// The x, y, width and height attributes, whole numbers.
void appendGeometryAttrs(QString &out, const ReportElement &element);

// `forecolor` and `backcolor` when present, the back colour followed by mode="Opaque" unless
// `withMode` is false.
void appendColorAttrs(QString &out, const std::optional<ElementColor> &foreColor,
                      const std::optional<ElementColor> &backColor, bool withMode = true);

// Whether an optional expression child is written: when it holds text, or when it is empty and
// the file had it empty.
bool isWrittenExpression(const std::optional<QString> &expression, const KeptXml &kept,
                         QStringView tag);

// A subreport's or dataset run's parameter (`subreportParameter` or `datasetParameter`) with its
// expression child and what else the file held on it.
void appendPassedParameter(QString &out, int spaces, QLatin1StringView tag,
                           QLatin1StringView expressionTag, const SubreportParameter &parameter);

// The padding attributes of a box, each with its leading space; none of those that are 0.
void appendPaddingAttrs(QString &out, const ReportElement &element);

// The line of one box side: `topPen`, `leftPen`, `bottomPen` or `rightPen`.
QString penXML(QLatin1StringView side, const BoxSidePen &pen);

// The box sides in the order they are written, and the kept parts that hold what the file gave
// each besides what the model holds.
inline constexpr QLatin1StringView boxPenTags[] = {
    QLatin1StringView("topPen"), QLatin1StringView("leftPen"), QLatin1StringView("bottomPen"),
    QLatin1StringView("rightPen")};
inline constexpr QStringView boxPenParts[] = {u"box/topPen", u"box/leftPen", u"box/bottomPen",
                                              u"box/rightPen"};

// A Latin-1 tag name as UTF-16, held on the stack when short, for looking up kept parts and
// children by a tag name without allocating.
class Utf16Name {
public:
    explicit Utf16Name(QLatin1StringView name)
    {
        if (name.size() > qsizetype(std::size(text_))) {
            long_ = name.toString();
            view_ = long_;
            return;
        }
        for (qsizetype i = 0; i < name.size(); ++i)
            text_[i] = name[i].unicode();
        view_ = QStringView(text_, name.size());
    }
    Utf16Name(const Utf16Name &) = delete;
    Utf16Name &operator=(const Utf16Name &) = delete;
    operator QStringView() const { return view_; }

private:
    char16_t text_[48];
    QString long_;
    QStringView view_;
};

// Charts, crosstabs, other components and generic elements around a regenerated position line;
// false for every other kind.
bool appendPassThrough(QString &out, const ReportElement &element,
                       const QList<ReportStyle> &styles);

// Lists and tables as components; false for every other kind.
bool appendComponent(QString &out, const ReportElement &element, const QList<ReportStyle> &styles);

// The cell attribute and box texts of a table cell.
QString tableCellAttrs(const TableCellFormatting &formatting);
QString tableCellBox(const TableCellFormatting &formatting);

class KeptChildWriter;

// The data-definition sections, from templates to groups, with the root's kept children among
// them.
void appendDataDefinitions(QString &out, const ReportDocument &document, KeptChildWriter &rootKept);

// Whether the writer writes the scriptlet: not one whose class is empty or blanks only.
bool isWrittenScriptlet(const ReportScriptlet &scriptlet);

// Whether the writer writes the report's column spacing: not one that, as a whole number, is
// the engine's 0.
bool isWrittenColumnSpacing(double spacing);

// A group's header and footer in band form, with the group's kept children among them.
void appendGroupBands(QString &out, const ReportGroup &group, const QList<ReportStyle> &styles,
                      KeptChildWriter &groupKept);

// The report's text as the writer writes it, in UTF-8. Notes on text that XML cannot carry go to
// `diagnostics` (handOver).
QByteArray written(const ReportDocument &document, QStringList *diagnostics);
// The same in the form the report's file is kept in: the older form, without the namespace, of a
// file read in it while its grammar takes what the report holds, else the namespace form.
QByteArray writtenInItsForm(const ReportDocument &document, QStringList *diagnostics);
// Notes go to the caller's list when it asks for them, else out as diagnostic lines.
void handOver(const QStringList &lines, QStringList *sink);

// --- reading ---

// The options every parse uses: text and character data kept whole (blank text included),
// comments and processing instructions kept for pass-through content, the document type kept to
// be written back. The parser never loads a DTD or an external entity and expands no entity of a
// DTD.
inline constexpr unsigned int parseOptions = pugi::parse_default | pugi::parse_ws_pcdata |
                                             pugi::parse_comments | pugi::parse_pi |
                                             pugi::parse_doctype;

// Throw JrxmlCodecError::malformed for what a strict XML parser refuses and the tree parser
// takes: bytes that are not UTF-8 (in a UTF-8 document), UTF-16 or UTF-32 (in a document of
// that encoding: a surrogate without its other half, a code point beyond Unicode, a unit cut
// short, which the tree parser would drop or change without a word), characters and character
// references XML does not allow, an attribute given twice, a second root element, text outside
// the root, and a namespace prefix that is not declared.
void checkWellFormedBytes(const QByteArray &data, pugi::xml_encoding encoding);
void checkWellFormedTree(const pugi::xml_document &xml);

// The file's text in an encoding the tree parser reads: its own bytes where they are in UTF-8,
// UTF-16, UTF-32 or ISO-8859-1, else decoded from the encoding its XML declaration names (one the
// engine reads too, such as windows-1252, Shift_JIS or an EBCDIC code page) and given in UTF-8,
// which the writer writes. What was changed, or a declaration of an encoding the designer does not
// read over bytes that are UTF-8, is told in `notes`. Throws JrxmlCodecError for bytes the
// declared encoding does not take, and for a file in an encoding the designer does not read.
QByteArray inReadableEncoding(const QByteArray &data, QStringList &notes);

// Renames each element whose prefix names the report namespace to its local name, where the
// default namespace in scope is that namespace or none, so that the reader, which knows elements
// by their plain names, reads a report written on a prefix as the engine does. `data` is the text
// the tree was read from, in `encoding`: a text that declares no such prefix is left at once.
void unprefixReportElements(pugi::xml_node root, const QByteArray &data,
                            pugi::xml_encoding encoding);

// The document below a jasperReport root.
ReportDocument readDocument(pugi::xml_node root, JrxmlReadContext &context);
// For a root without the namespace, the older form: the keys of what the grammar of the report
// document type refuses in the file (DocumentTypeGrammar). No value for a root in a namespace.
std::optional<QStringList> olderFormAsRead(pugi::xml_node root);

// The names of the root properties that hold the PDF tagging.
inline constexpr char pdfTagged[] = "net.sf.jasperreports.export.pdf.tagged";
inline constexpr char pdfTagLanguage[] = "net.sf.jasperreports.export.pdf.tag.language";

// Takes a root `property` element's PDF tagging into `isTagged` or `language`; whether it is one
// of the tagging properties.
bool readTaggingProperty(pugi::xml_node property, bool &isTagged, QString &language);

// Visits `root` and every node below it in document order, without recursion, so that no depth
// of nesting exhausts the stack: `enter` sees each node, `leave` each element once everything
// inside it is done.
template <typename Enter, typename Leave>
void walkTree(pugi::xml_node root, Enter &&enter, Leave &&leave)
{
    pugi::xml_node node = root;
    while (node) {
        enter(node);
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        // Leave every element that is finished, then go on with the next sibling.
        for (;;) {
            if (node.type() == pugi::node_element)
                leave(node);
            if (node == root)
                return;
            if (node.next_sibling()) {
                node = node.next_sibling();
                break;
            }
            node = node.parent();
        }
    }
}

// A direct child of a band or container that is no report element the reader knows, with the
// number of elements read before it.
struct UnreadChild {
    pugi::xml_node node;
    qsizetype elementsBefore = 0;
    bool operator==(pugi::xml_node other) const { return node == other; }
};
using UnreadChildren = std::vector<UnreadChild>;

// The report elements that stand directly inside the node, in document order; the elements of
// element groups are taken in place of the group, each noting the groups it stood in. Past
// `limit` elements the rest are noted as not kept. A direct child that is no element the reader
// knows (a group without elements among them) goes to `unread` when it is given, else it is
// noted as not kept.
ElementList parseBandElements(pugi::xml_node node, JrxmlReadContext &context, qsizetype limit = -1,
                              UnreadChildren *unread = nullptr);

// The kind and payload of an XML element, or no value when it is not a report element.
std::optional<ElementKind> elementKind(pugi::xml_node node, JrxmlReadContext &context);

// The element read from its XML element, whose kind is known.
ReportElement makeElement(pugi::xml_node node, ElementKind kind, JrxmlReadContext &context);

// The attribute as the engine reads a number it holds as a float (a font size, a pen width); a
// text the engine refuses as the number it spells, if any. No value when the attribute is absent
// or gives no finite number.
std::optional<double> doubleAttr(pugi::xml_node node, const char *name);
std::optional<double> doubleValue(pugi::xml_attribute attr);

// A length of `node` that the engine reads as a 32-bit whole number (page size and margins, band
// heights, element geometry, table columns and cells); `fallback` when the attribute is absent or
// empty. Any other text the engine refuses: a number is held rounded and within that range, a
// text that is no number as `fallback`, and the context notes what the file said and what the
// report now holds.
double lengthAttr(pugi::xml_node node, const char *name, double fallback,
                  JrxmlReadContext &context);
double lengthValue(pugi::xml_node node, pugi::xml_attribute attr, double fallback,
                   JrxmlReadContext &context);
// The same held value without a note.
double heldLength(const char *text, double fallback);

// Notes that the attribute, a number the engine reads as a float (a font size, a pen width),
// holds a text the engine refuses or no finite number, so that the report holds another value:
// `held`, as the writer writes it (empty: the attribute is left out). Nothing when the attribute
// is absent or holds a finite number the engine reads.
void noteUnreadNumber(pugi::xml_node node, pugi::xml_attribute attr, const QString &held,
                      JrxmlReadContext &context);

// The names of the entity references in the document's markup that are none of XML's own five
// (`&lol9;`, declared by the document type or not), each in the order they first appear;
// references inside character data, comments, instructions and the document type do not count.
// Empty for encodings that are not ASCII-based.
struct EntityReferences {
    // In a text or an attribute value: the reader keeps them as literal text.
    QStringList inText;
    // Between elements (beside an element, or alone in a band or a frame): the reader keeps no
    // text there, so they are left out, with what their entities hold.
    QStringList betweenElements;
};
EntityReferences unexpandedEntityReferences(const QByteArray &data, pugi::xml_encoding encoding);

// Whether the kind fills its frame where neither it nor its style names a mode.
bool isOpaqueByDefault(const ElementKind &kind);
// The colour an attribute holds, taken as written; no value without the attribute.
std::optional<ElementColor> colorAttr(pugi::xml_node node, const char *name);
std::optional<ElementColor> colorValue(pugi::xml_attribute attr);

// "Center" and "Right" as such; any other text is left.
TextAlignment textAlignmentText(const char *text);

// Whether elements of the kind have a box (borders and padding): texts, images and frames.
inline bool hasBox(const ElementKind &kind)
{
    return kind.isTextKind() || kind.is<ElementKind::Image>() || kind.is<ElementKind::Frame>();
}

// The local name of an element of the components namespace, whatever prefix the file binds to it
// ("table" for `c:table` with `c` declared for that namespace); no value for any other element.
std::optional<std::string_view> componentName(pugi::xml_node node);
// The first child of a component element that is the list or table (`local`) of the components
// namespace, or null.
pugi::xml_node componentChild(pugi::xml_node componentElement, std::string_view local);

// The qualified names of a list's or table's parts, with the prefix of the component's own name.
class ComponentTags {
public:
    explicit ComponentTags(const char *qualifiedName);
    // The part's qualified name; it stands until the next call.
    const char *name(const char *localName) const;
    bool is(pugi::xml_node node, const char *localName) const;

    std::string prefix;

private:
    mutable std::string qualified_;
};

// A list or table read from its `list` or `table` element of the components namespace.
ElementKind::List readList(pugi::xml_node node, JrxmlReadContext &context);
ElementKind::Table readTable(pugi::xml_node node, JrxmlReadContext &context);

// The attributes of an element as text: ` name="value"` each, values escaped.
QString attributeText(pugi::xml_node node);

// The XML text of a node, standing on its own: prefixes it takes from its ancestors are declared
// on it (the tree is changed for that).
QString capturedXml(pugi::xml_node node, JrxmlReadContext &context);

// The XML text of the element children, one after another, but those whose local name is
// `leftOut`, with the comments among them.
QString bodyText(pugi::xml_node node, const char *leftOut, JrxmlReadContext &context);

// A subreport's or dataset run's parameter read from its element.
SubreportParameter readPassedParameter(pugi::xml_node node, const char *expressionTag,
                                       JrxmlReadContext &context);

// The style and box pen of a table cell.
TableCellFormatting tableCellFormatting(pugi::xml_node cell);

// Sets each part of the pen that one of `nodes` gives, the first giving it (a box side, then its
// box's pen); the others stay as they were (inherited).
void setPenParts(InheritedStyle::Pen &pen, std::initializer_list<pugi::xml_node> nodes);

// What the elements of each style inherit from it, through the chain of parent styles; one for
// each of `styles` (the report's style elements), in their order.
QList<InheritedStyle> resolveStyleChains(const std::vector<pugi::xml_node> &styles);

// The values of a style or report font: where it sets them, else those its parent style chain
// (`chain`) gives it, else the engine's own.
ReportStyle styleValues(pugi::xml_node node, const InheritedStyle &chain);

// The style's element with what it holds, as the report's styles section holds it.
void appendStyle(QString &out, const ReportStyle &style);

// What the style holds, every value of the model's set: what it gives as the designer holds it.
InheritedStyle heldBy(const ReportStyle &style);

// The data-definition sections; the styles are read first and handed to the context.
void readDataDefinitions(pugi::xml_node root, ReportDocument &document, JrxmlReadContext &context);

// A group's header and footer in band form.
void readGroupBands(pugi::xml_node groupNode, ReportGroup &group, JrxmlReadContext &context);

// --- kept content ---

// Tag or attribute names; for children, in the order the format gives them.
using TagOrder = std::span<const char *const>;

// The format's order of the children of each XML element that keeps content.
namespace tagOrder {
extern const TagOrder root, band, section, style, box, cell, rule, subDataset, parameter, field,
    variable, scriptlet, group;
// The list and table components: the list, the table, a column and a dataset run.
extern const TagOrder list, table, column, datasetRun;
// The order inside a report element's own tag (a frame's: that of a band).
TagOrder element(const char *tag);
} // namespace tagOrder

// The rank of the kept children of a table cell that stand after its element: past every tag of
// tagOrder::cell.
inline constexpr int cellRankAfterElement = 2;

// The place of the tag in the order; below 0 when it is not in it.
int rankOf(TagOrder order, const char *name);

// What the element keeps of its XML element `node` (whose position line is `re`) besides the
// values the reader took, and which of those values the file left out.
void readElementKept(ReportElement &e, pugi::xml_node node, pugi::xml_node re,
                     JrxmlReadContext &context);

// What a table cell keeps of its XML element, of its box and of the box's pens besides its
// formatting; `unread` are the cell's children that are no report element.
void readCellKept(TableCellFormatting &formatting, pugi::xml_node cell,
                  const std::vector<pugi::xml_node> &unread, JrxmlReadContext &context);

// Parses a kept child's text into `tree`; whether it parsed.
bool loadKept(pugi::xml_document &tree, const QString &xml);

// The node as XML text without indentation. A carriage return in a text is written as a
// character reference: written as it is, XML reads it back as a line feed. (The tree's other
// values hold none: the parser reads line ends in them as line feeds, and attribute values are
// written with references.)
std::string printedXml(pugi::xml_node node);

// Whether the child is the first of its name among its siblings, the one a single value is
// read from.
bool isFirstOfName(pugi::xml_node child);

// A test on a node that the caller owns for the length of the call, called without allocating
// (a lambda capturing several references does not fit std::function's own storage).
class NodeTest {
public:
    template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, NodeTest> &&
             std::is_invocable_r_v<bool, F &, pugi::xml_node>)
        NodeTest(F &&test) // NOLINT: converts from any callable, as std::function does
        : object_(const_cast<void *>(static_cast<const void *>(&test))),
          call_([](void *object, pugi::xml_node node) -> bool {
              return (*static_cast<std::remove_reference_t<F> *>(object))(node);
          })
    {
    }
    bool operator()(pugi::xml_node node) const { return call_(object_, node); }

private:
    void *object_;
    bool (*call_)(void *, pugi::xml_node);
};

// Where a kept child of a band or container stands among its report elements: how many stood
// before it, or -1 for a child placed by the format's order.
using ElementPlace = std::function<int(pugi::xml_node)>;

// The places of the unread children among the elements.
ElementPlace placeAmong(const UnreadChildren &unread);

// What the reader does not take from the element: the attributes not named in `takenAttributes`
// and the element children for which `isTaken` is false, placed by `order` or, where `place`
// says so, among the report elements. An unknown child stands after the known one before it.
KeptXml keptOf(pugi::xml_node node, TagOrder takenAttributes, TagOrder order, NodeTest isTaken,
               JrxmlReadContext &context, const ElementPlace &place = {});
// The same, where the reader takes the first child of each name in `takenOnce` and every child
// of a name in `takenAll`.
KeptXml keptOf(pugi::xml_node node, TagOrder takenAttributes, TagOrder order, TagOrder takenOnce,
               TagOrder takenAll, JrxmlReadContext &context);

// Adds an attribute the file left out to `kept`.
void appendAbsent(KeptXml &kept, KeptXml::AbsentAttribute absent);

// Notes each attribute of `defaults` that the element does not have, with the text the writer
// gives the value the reader then supplies.
void noteAbsent(pugi::xml_node node, KeptXml &kept,
                std::initializer_list<std::pair<const char *, const char *>> defaults);
// The same for one attribute, also when there is no element (all its attributes are then
// inherited); it stays out only while the attributes `with` are written as given too.
void absentUnless(pugi::xml_node node, const char *name, const QString &written, KeptXml &kept,
                  QList<KeptXml::Attribute> with = {});

// The same, the text made only when the attribute is absent.
template <typename Written>
requires std::is_invocable_r_v<QString, Written>
void absentUnless(pugi::xml_node node, const char *name, Written &&written, KeptXml &kept)
{
    if (!JrxmlText::attribute(node, name))
        appendAbsent(kept, {JrxmlText::literalText(name), written(), {}});
}
// The same for the element's attribute of that name, found already (null: absent).
void absentUnless(pugi::xml_attribute attr, const char *name, const QString &written,
                  KeptXml &kept);
template <typename Written>
requires std::is_invocable_r_v<QString, Written>
void absentUnless(pugi::xml_attribute attr, const char *name, Written &&written, KeptXml &kept)
{
    if (!attr)
        appendAbsent(kept, {JrxmlText::literalText(name), written(), {}});
}

// Keeps an attribute the file spelled out although the writer leaves it out for the value read
// (a default such as isBlankWhenNull="false"), so that it is written back as it was. The writer
// leaves it out for no other value that means something else.
void keepSpelled(pugi::xml_node node, const char *name, bool writerLeavesOut, KeptXml &kept);
// The same for the element's attribute found already (null: absent).
void keepSpelled(pugi::xml_attribute attr, bool writerLeavesOut, KeptXml &kept);

// The attributes of a font the reader takes, in this order (see NamedAttributes).
inline constexpr const char *fontAttributes[] = {"fontName",    "size",         "isBold",
                                                 "isItalic",    "isUnderline",  "pdfFontName",
                                                 "pdfEncoding", "isPdfEmbedded"};
namespace fontAttribute {
enum : std::size_t { name, size, bold, italic, underline, pdfName, pdfEncoding, pdfEmbedded };
} // namespace fontAttribute

// The attributes of a report element's position line the reader takes, in this order, and the
// mode it looks at besides (kept as written).
inline constexpr const char *reportElementAttributes[] = {
    "x", "y", "width", "height", "style", "forecolor", "backcolor", "positionType", "stretchType"};
inline constexpr const char *reportElementLookups[] = {
    "x",         "y",         "width",        "height",      "style",
    "forecolor", "backcolor", "positionType", "stretchType", "mode"};
namespace reportElementAttribute {
enum : std::size_t {
    x,
    y,
    width,
    height,
    style,
    forecolor,
    backcolor,
    positionType,
    stretchType,
    mode
};
} // namespace reportElementAttribute

// A text the enumeration has no case for ("Justified") is kept as written; the model's value,
// as the writer writes it, stays out while it is unchanged.
template <typename E>
void keepUnknownCase(pugi::xml_node node, const char *name, E read, KeptXml &kept)
{
    const pugi::xml_attribute attr = JrxmlText::attribute(node, name);
    if (!attr || enumFromUtf8<E>(attr.value()))
        return;
    kept.attributes.append({JrxmlText::literalText(name), JrxmlText::valueText(attr.value())});
    kept.absent.append({JrxmlText::literalText(name), rawValue(read)});
}

// Notes whether the file lacks the child of that name (the reader supplies an empty value) or
// has it empty, so that a child the writer would add or leave out stays as the file had it.
void keepAbsentOrEmptyChild(pugi::xml_node node, const char *tag, KeptXml &kept);
// Notes only that the file has the child empty.
void keepEmptyChild(pugi::xml_node node, const char *tag, KeptXml &kept);

// The kept attributes, after those of the start tag that begins at `tagStart`; one that the
// writer has written already is left out. An attribute the file left out and that the writer
// wrote with the value the reader supplied is taken out of the tag again.
void appendKeptAttributes(QString &out, qsizetype tagStart, const KeptXml &kept);
// The same, for a tag of any form, by scanning the tag's text for each attribute: the reference
// the tag split into its attributes follows, and what a tag of another form gets.
void appendKeptAttributesByScan(QString &out, qsizetype tagStart, const KeptXml &kept);

// Writes kept children into their place while the writer goes through the modelled children
// in the format's order.
class KeptChildWriter {
public:
    KeptChildWriter(const KeptXml &kept, TagOrder order, int spaces);
    // The kept children placed before the children of that tag; whether there were any.
    bool before(QString &out, const char *tag);
    // The kept children placed up to and with the children of that tag.
    bool through(QString &out, const char *tag);
    // Every kept child not written yet.
    bool rest(QString &out);
    bool hasAny() const;
    // Whether `out` ends with the last kept children written and one line feed after them.
    bool endsWithRun(const QString &out) const { return runEnd_ >= 0 && runEnd_ + 1 == out.size(); }

private:
    bool upTo(QString &out, int rank);

    const KeptXml &kept_;
    TagOrder order_;
    int spaces_;
    QList<bool> written_;
    qsizetype runEnd_ = -1; // where the kept children written last end in the output
};

// --- comments ---

// Gives an anchor (KeptXml::anchor) to each element a comment inside `root` stands next to, and
// notes in the context whether there is any such comment.
void noteCommentAnchors(pugi::xml_node root, JrxmlReadContext &context);

// Marks the start tag written last, whose kept content is `kept`, when it holds an anchor or
// comments and a CommentPlacing is under way on the thread (after the tag's attributes).
void appendCommentMark(QString &out, const KeptXml &kept);

// A kept child on its own line, the comments that stood before it on lines before it.
void appendKeptChild(QString &out, int spaces, const KeptXml::Child &child);

// For the life of the object, the start tags the writer writes on this thread are marked where
// comments go; placed() then takes the marks out of the text and puts the comments in.
class CommentPlacing {
public:
    CommentPlacing();
    ~CommentPlacing();
    CommentPlacing(const CommentPlacing &) = delete;
    CommentPlacing &operator=(const CommentPlacing &) = delete;

    QString placed(const QString &written) const;

    // What the writer noted at one mark.
    struct Mark;

private:
    std::vector<Mark> *outer_;
    std::vector<Mark> marks_;
};

// What the reader says of the comments inside `root` that the text written from what it read
// (`written`) does not hold: one note for each element they stood in.
QStringList commentsLeftOut(pugi::xml_node root, const QByteArray &written);

} // namespace JrxmlCodec
