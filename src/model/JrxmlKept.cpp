// Keeping what the model does not hold: the reader collects an XML element's other attributes and
// children, the writer puts them back in their place.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// The order of a band's children: properties, the print-when expression, then the elements.
constexpr const char *bandTags[] = {"property",
                                    "printWhenExpression",
                                    "break",
                                    "line",
                                    "rectangle",
                                    "ellipse",
                                    "image",
                                    "staticText",
                                    "textField",
                                    "subreport",
                                    "pieChart",
                                    "pie3DChart",
                                    "barChart",
                                    "bar3DChart",
                                    "xyBarChart",
                                    "stackedBarChart",
                                    "stackedBar3DChart",
                                    "lineChart",
                                    "xyLineChart",
                                    "areaChart",
                                    "xyAreaChart",
                                    "scatterChart",
                                    "bubbleChart",
                                    "timeSeriesChart",
                                    "highLowChart",
                                    "candlestickChart",
                                    "meterChart",
                                    "thermometerChart",
                                    "multiAxisChart",
                                    "stackedAreaChart",
                                    "ganttChart",
                                    "elementGroup",
                                    "crosstab",
                                    "frame",
                                    "componentElement",
                                    "genericElement",
                                    "returnValue"};

// The order of the root's children.
constexpr const char *rootTags[] = {
    "property",   "import",         "template",         "reportFont",  "style",
    "subDataset", "scriptlet",      "parameter",        "queryString", "field",
    "sortField",  "variable",       "filterExpression", "group",       "background",
    "title",      "pageHeader",     "columnHeader",     "detail",      "columnFooter",
    "pageFooter", "lastPageFooter", "summary",          "noData"};

constexpr const char *styleTags[] = {"pen", "box", "paragraph", "conditionalStyle"};
constexpr const char *boxTags[] = {"pen", "topPen", "leftPen", "bottomPen", "rightPen"};
// A table cell: properties, its box, then its elements.
constexpr const char *cellTags[] = {"property", "box"};
static_assert(std::size(cellTags) == cellRankAfterElement);
constexpr const char *ruleTags[] = {"conditionExpression", "style"};
constexpr const char *parameterTags[] = {"property", "parameterDescription",
                                         "defaultValueExpression"};
constexpr const char *fieldTags[] = {"property", "propertyExpression", "fieldDescription"};
constexpr const char *variableTags[] = {"variableDescription", "variableExpression",
                                        "initialValueExpression"};
constexpr const char *scriptletTags[] = {"property", "propertyExpression", "scriptletDescription"};
constexpr const char *groupTags[] = {"groupExpression", "groupHeader", "groupFooter"};
constexpr const char *subDatasetTags[] = {"property", "scriptlet", "parameter", "queryString",
                                          "field",    "sortField", "variable",  "filterExpression",
                                          "group"};
constexpr const char *sectionTags[] = {"band", "part"};
constexpr const char *staticTextTags[] = {"reportElement", "box", "textElement", "text"};
constexpr const char *textFieldTags[] = {"reportElement",
                                         "box",
                                         "textElement",
                                         "textFieldExpression",
                                         "patternExpression",
                                         "anchorNameExpression",
                                         "bookmarkLevelExpression",
                                         "hyperlinkReferenceExpression",
                                         "hyperlinkWhenExpression",
                                         "hyperlinkAnchorExpression",
                                         "hyperlinkPageExpression",
                                         "hyperlinkTooltipExpression",
                                         "hyperlinkParameter"};
constexpr const char *imageTags[] = {"reportElement",
                                     "box",
                                     "graphicElement",
                                     "imageExpression",
                                     "anchorNameExpression",
                                     "bookmarkLevelExpression",
                                     "hyperlinkReferenceExpression",
                                     "hyperlinkWhenExpression",
                                     "hyperlinkAnchorExpression",
                                     "hyperlinkPageExpression",
                                     "hyperlinkTooltipExpression",
                                     "hyperlinkParameter"};
constexpr const char *subreportTags[] = {"reportElement",        "parametersMapExpression",
                                         "subreportParameter",   "connectionExpression",
                                         "dataSourceExpression", "returnValue",
                                         "subreportExpression"};
constexpr const char *graphicTags[] = {"reportElement", "graphicElement"};
constexpr const char *breakTags[] = {"reportElement"};
constexpr const char *reportElementTags[] = {"property", "propertyExpression",
                                             "printWhenExpression", "styleExpression"};

} // namespace

int rankOf(TagOrder order, const char *name)
{
    for (size_t i = 0; i < order.size(); ++i) {
        if (is(name, order[i]))
            return int(i);
    }
    return -2;
}

namespace {

bool isAmong(TagOrder names, const char *name)
{
    return rankOf(names, name) >= 0;
}

} // namespace

namespace tagOrder {
const TagOrder root = rootTags;
const TagOrder band = bandTags;
const TagOrder section = sectionTags;
const TagOrder style = styleTags;
const TagOrder box = boxTags;
const TagOrder cell = cellTags;
const TagOrder rule = ruleTags;
const TagOrder subDataset = subDatasetTags;
const TagOrder parameter = parameterTags;
const TagOrder field = fieldTags;
const TagOrder variable = variableTags;
const TagOrder scriptlet = scriptletTags;
const TagOrder group = groupTags;

TagOrder element(const char *tag)
{
    static constexpr std::pair<const char *, TagOrder> orders[] = {
        {"staticText", staticTextTags},
        {"textField", textFieldTags},
        {"image", imageTags},
        {"subreport", subreportTags},
        {"rectangle", graphicTags},
        {"ellipse", graphicTags},
        {"line", graphicTags},
        {"break", breakTags},
        {"frame", bandTags},
        {"reportElement", reportElementTags}};
    for (const auto &[name, order] : orders) {
        if (is(tag, name))
            return order;
    }
    return breakTags;
}
} // namespace tagOrder

void declareGroups(ReportSubDataset &dataset, const QStringList &names)
{
    KeptXml own = dataset.kept.part({});
    QStringList declared;
    for (const KeptXml::Child &child : std::as_const(own.children)) {
        pugi::xml_document tree;
        if (!loadKept(tree, child.xml))
            continue;
        const pugi::xml_node node = tree.first_child();
        if (is(localName(node.name()), "group"))
            declared.append(QString::fromUtf8(node.attribute("name").value()));
    }
    bool added = false;
    for (const QString &name : names) {
        if (name.isEmpty() || declared.contains(name))
            continue;
        declared.append(name);
        QString xml = u"<group"_s;
        appendAttr(xml, "name"_L1, name);
        xml += u"/>"_s;
        own.children.append({rankOf(tagOrder::subDataset, "group"), xml});
        added = true;
    }
    if (added)
        dataset.kept.setPart({}, std::move(own));
}

bool loadKept(pugi::xml_document &tree, const QString &xml)
{
    const QByteArray text = xml.toUtf8();
    return bool(
        tree.load_buffer(text.constData(), size_t(text.size()), parseOptions, pugi::encoding_utf8));
}

namespace {

struct PrintedXml : pugi::xml_writer {
    std::string text;
    void write(const void *data, size_t size) override
    {
        const char *from = static_cast<const char *>(data);
        const char *const end = from + size;
        for (const char *cr;
             (cr = static_cast<const char *>(std::memchr(from, '\r', size_t(end - from))));
             from = cr + 1) {
            text.append(from, cr);
            text.append("&#13;");
        }
        text.append(from, end);
    }
};

} // namespace

std::string printedXml(pugi::xml_node node)
{
    PrintedXml writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(writer.text);
}

bool isFirstOfName(pugi::xml_node child)
{
    // No sibling before it has its name (a node without a name is never the first of one).
    const char *name = child.name();
    if (!*name)
        return false;
    for (pugi::xml_node before = child.previous_sibling(); before;
         before = before.previous_sibling()) {
        if (is(before.name(), name))
            return false;
    }
    return true;
}

ElementPlace placeAmong(const UnreadChildren &unread)
{
    return [&unread](pugi::xml_node child) {
        // A band's properties and return values keep the places the format gives them.
        const char *name = localName(child.name());
        if (is(name, "property") || is(name, "returnValue"))
            return -1;
        const auto found = std::find(unread.begin(), unread.end(), child);
        return found == unread.end() ? -1 : int(found->elementsBefore);
    };
}

namespace {

// The comments that stood before `next` (null: after the last child, `last`), taken from
// `pending`.
void appendComments(KeptXml &kept, QStringList &pending, pugi::xml_node next, pugi::xml_node last,
                    JrxmlReadContext &context)
{
    pugi::xml_node previous = next ? next.previous_sibling() : last;
    while (previous && previous.type() != pugi::node_element)
        previous = previous.previous_sibling();
    // The child's tag and how many of that tag stand before it.
    const auto place = [](pugi::xml_node child, QString &tag, int &occurrence) {
        if (!child)
            return;
        const char *name = localName(child.name());
        tag = QString::fromUtf8(name);
        for (pugi::xml_node back = child.previous_sibling(); back; back = back.previous_sibling()) {
            if (back.type() == pugi::node_element && is(localName(back.name()), name))
                ++occurrence;
        }
    };
    KeptXml::Comment placed;
    placed.before = context.commentAnchor(next);
    placed.after = context.commentAnchor(previous);
    place(next, placed.beforeTag, placed.beforeOccurrence);
    place(previous, placed.afterTag, placed.afterOccurrence);
    for (QString &text : pending) {
        placed.text = std::move(text);
        kept.comments.append(placed);
    }
    pending.clear();
}

} // namespace

KeptXml keptOf(pugi::xml_node node, TagOrder takenAttributes, TagOrder order, NodeTest isTaken,
               JrxmlReadContext &context, const ElementPlace &place)
{
    KeptXml kept;
    if (!node)
        return kept;
    const auto keep = [&](const char *name, pugi::xml_attribute attr) {
        if (!isAmong(takenAttributes, name))
            kept.attributes.append({nameText(name), valueText(attr.value())});
    };
    if (const auto held = heldAttributes(node)) {
        for (size_t i = 0; i < held->size(); ++i) {
            const AttributeEntry &entry = (*held)[i];
            if (isAmong(takenAttributes, entry.name))
                continue;
            // Room for the rest at once: few attributes follow a kept one.
            if (kept.attributes.isEmpty())
                kept.attributes.reserve(qsizetype(held->size() - i));
            kept.attributes.append({nameText(entry.name), valueText(entry.attribute.value())});
        }
    } else {
        for (pugi::xml_attribute attr : node.attributes())
            keep(attr.name(), attr);
    }
    // An unknown tag stands after the known one before it. Most children are taken, so the rank is
    // looked for only for a kept one: from it back to the kept one before it, whose rank holds
    // when no known tag stands between them.
    int rank = -1;
    pugi::xml_node ranked; // the last kept child, or none
    // The comments are taken once, by the first value read from the node.
    const bool withComments = context.hasComments && context.takeComments(node);
    QStringList pending; // comments standing before the next element child
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (withComments && child.type() == pugi::node_comment) {
            pending.append(QString::fromUtf8(child.value()));
            continue;
        }
        if (child.type() != pugi::node_element)
            continue;
        if (isTaken(child)) {
            if (!pending.isEmpty())
                appendComments(kept, pending, child, {}, context);
            continue;
        }
        for (pugi::xml_node back = child; back != ranked; back = back.previous_sibling()) {
            const int own =
                back.type() == pugi::node_element ? rankOf(order, localName(back.name())) : -1;
            if (own >= 0) {
                rank = own;
                break;
            }
        }
        ranked = child;
        kept.children.append({rank, capturedXml(child, context), place ? place(child) : -1,
                              std::exchange(pending, {})});
    }
    if (!pending.isEmpty())
        appendComments(kept, pending, {}, node.last_child(), context);
    kept.anchor = context.commentAnchor(node);
    return kept;
}

KeptXml keptOf(pugi::xml_node node, TagOrder takenAttributes, TagOrder order, TagOrder takenOnce,
               TagOrder takenAll, JrxmlReadContext &context)
{
    return keptOf(
        node, takenAttributes, order,
        [&](pugi::xml_node child) {
            const char *name = child.name();
            return isAmong(takenAll, name) || (isAmong(takenOnce, name) && isFirstOfName(child));
        },
        context);
}

void appendAbsent(KeptXml &kept, KeptXml::AbsentAttribute absent)
{
    // A font or a root leaves out several: room for them at once.
    if (kept.absent.isEmpty())
        kept.absent.reserve(8);
    kept.absent.append(std::move(absent));
}

void noteAbsent(pugi::xml_node node, KeptXml &kept,
                std::initializer_list<std::pair<const char *, const char *>> defaults)
{
    if (!node)
        return;
    for (const auto &[name, written] : defaults) {
        if (!attribute(node, name))
            appendAbsent(kept, {literalText(name), literalText(written), {}});
    }
}

void absentUnless(pugi::xml_node node, const char *name, const QString &written, KeptXml &kept,
                  QList<KeptXml::Attribute> with)
{
    if (!attribute(node, name))
        appendAbsent(kept, {literalText(name), written, std::move(with)});
}

void absentUnless(pugi::xml_attribute attr, const char *name, const QString &written, KeptXml &kept)
{
    if (!attr)
        appendAbsent(kept, {literalText(name), written, {}});
}

void keepSpelled(pugi::xml_node node, const char *name, bool writerLeavesOut, KeptXml &kept)
{
    if (writerLeavesOut)
        keepSpelled(attribute(node, name), true, kept);
}

void keepSpelled(pugi::xml_attribute attr, bool writerLeavesOut, KeptXml &kept)
{
    if (attr && writerLeavesOut)
        kept.attributes.append({nameText(attr.name()), valueText(attr.value())});
}

void keepEmptyChild(pugi::xml_node node, const char *tag, KeptXml &kept)
{
    const pugi::xml_node child = childNamed(node, tag);
    if (child && textValue(child).isEmpty())
        kept.emptyChildren.append(literalText(tag));
}

void keepAbsentOrEmptyChild(pugi::xml_node node, const char *tag, KeptXml &kept)
{
    if (!node)
        return;
    const pugi::xml_node child = childNamed(node, tag);
    if (!child)
        kept.absentChildren.append(literalText(tag));
    else if (textValue(child).isEmpty())
        kept.emptyChildren.append(literalText(tag));
}

qsizetype openTag(QString &out, int spaces, QLatin1StringView tag)
{
    out += indent(spaces);
    const qsizetype start = out.size();
    out += u'<' + tag;
    return start;
}

namespace {

// The value as the writer writes it inside an attribute: escaped. A value that needs no escaping
// is given as it is; another is escaped into `held`.
QStringView writtenValue(const QString &value, QString &held)
{
    if (!needsEscaping(value))
        return value;
    held = escaped(value);
    return held;
}

bool same(QStringView a, QStringView b)
{
    return a.size() == b.size() &&
           (a.isEmpty() || std::memcmp(a.data(), b.data(), size_t(a.size()) * sizeof(QChar)) == 0);
}

// Where ` name="` begins in the tag, with the name at `from` or later; -1 when nowhere. A tag is
// short and a name rarely repeats in it, so a plain scan beats a general substring search here.
qsizetype attributeAt(QStringView tag, QStringView name, qsizetype from = 0)
{
    const qsizetype length = name.size();
    const qsizetype last = tag.size() - length - 2; // the last place the name can start at
    const QChar *text = tag.data();
    for (qsizetype at = std::max<qsizetype>(from, 1); at <= last; ++at) {
        if (text[at - 1] == u' ' && text[at + length] == u'=' && text[at + length + 1] == u'"' &&
            QStringView(text + at, length) == name)
            return at - 1;
    }
    return -1;
}

// Where ` name="value"` begins in the tag, the value as written; -1 when nowhere.
qsizetype heldAt(QStringView tag, QStringView name, QStringView value)
{
    for (qsizetype at = attributeAt(tag, name); at >= 0; at = attributeAt(tag, name, at + 2)) {
        const QStringView rest = tag.sliced(at + 1 + name.size() + 2);
        if (rest.size() > value.size() && rest.startsWith(value) && rest[value.size()] == u'"')
            return at;
    }
    return -1;
}

// Whether the tag holds ` name="value"`, the value as written.
bool holds(QStringView tag, QStringView name, QStringView value)
{
    return heldAt(tag, name, value) >= 0;
}

// Appends ` name="value"`, the value escaped.
void appendKept(QString &out, const KeptXml::Attribute &attr)
{
    out += u' ';
    out += attr.name;
    out += "=\""_L1;
    appendEscaped(out, attr.value);
    out += u'"';
}

// Whether a name holds none of the characters that separate the parts of a tag, so that
// ` name="` can only be found in a split tag (below) where an attribute of that name begins.
bool isPlainName(QStringView name)
{
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c == u' ' || c == u'\n' || c == u'"' || c == u'='; });
}

// One ` name="value"` of a start tag, by its place in the tag.
struct Written {
    qsizetype at; // the space before the name
    qsizetype nameSize;
    qsizetype valueSize;
    bool removed = false;

    QStringView name(QStringView tag) const { return tag.sliced(at + 1, nameSize); }
    QStringView value(QStringView tag) const
    {
        return tag.sliced(at + 1 + nameSize + 2, valueSize);
    }
    qsizetype size() const { return 1 + nameSize + 2 + valueSize + 1; }
};
using WrittenList = QVarLengthArray<Written, 24>;

// The attributes of a start tag as the writer writes one: the tag name, then each attribute
// after spaces or line breaks, the last of them a space, its value without a quote. In such a
// tag ` name="` with a plain name stands only where an attribute of that name begins, unless a
// value ends in "=": then, and for any other text, false.
bool splitTag(QStringView tag, WrittenList &written)
{
    const QChar *text = tag.data();
    const qsizetype size = tag.size();
    const auto isBlank = [&](qsizetype i) { return text[i] == u' ' || text[i] == u'\n'; };
    qsizetype i = 0;
    for (; i < size && !isBlank(i); ++i) {
        if (text[i] == u'"' || text[i] == u'=')
            return false;
    }
    while (i < size) {
        while (i < size && isBlank(i))
            ++i;
        if (i == size || text[i - 1] != u' ')
            return false;
        const qsizetype nameStart = i;
        while (i < size && !isBlank(i) && text[i] != u'=' && text[i] != u'"')
            ++i;
        if (i == nameStart || i + 1 >= size || text[i] != u'=' || text[i + 1] != u'"')
            return false;
        const qsizetype nameSize = i - nameStart;
        i += 2;
        const qsizetype valueStart = i;
        while (i < size && text[i] != u'"')
            ++i;
        if (i == size || (i > valueStart && text[i - 1] == u'='))
            return false;
        written.append({nameStart - 1, nameSize, i - valueStart});
        ++i;
        if (i < size && !isBlank(i))
            return false;
    }
    return true;
}

// The names of the kept attributes appended to a tag so far; a tag may keep very many, which are
// then looked up by hash, so that writing it takes time in proportion to its length.
class AppendedNames {
public:
    bool contains(QStringView name) const
    {
        if (!set_.isEmpty())
            return set_.contains(name);
        return std::any_of(list_.begin(), list_.end(),
                           [&](QStringView n) { return same(n, name); });
    }
    void add(QStringView name)
    {
        if (set_.isEmpty() && list_.size() < list_.capacity()) {
            list_.append(name);
            return;
        }
        if (set_.isEmpty())
            set_ = QSet<QStringView>(list_.begin(), list_.end());
        set_.insert(name);
    }

private:
    QVarLengthArray<QStringView, 8> list_;
    QSet<QStringView> set_;
};

// Appends each kept attribute that `inTag` (which looks at the writer's own attributes only)
// does not find and that was not appended already. What is appended is known by name: scanning
// it again for each attribute would take time in the square of their number.
template <typename InTag>
void appendNew(QString &out, const QList<KeptXml::Attribute> &attributes, InTag &&inTag)
{
    AppendedNames appended;
    for (const KeptXml::Attribute &attr : attributes) {
        if (appended.contains(attr.name) || inTag(QStringView(attr.name)))
            continue;
        appendKept(out, attr);
        appended.add(attr.name);
    }
}

// The same, the writer's part of the tag (from `tagStart` to the end of `out`) scanned for each.
void appendNewByScan(QString &out, qsizetype tagStart, const QList<KeptXml::Attribute> &attributes)
{
    const qsizetype writerEnd = out.size();
    appendNew(out, attributes, [&](QStringView name) {
        return attributeAt(QStringView(out).sliced(tagStart, writerEnd - tagStart), name) >= 0;
    });
}

void appendByScan(QString &out, qsizetype tagStart, const KeptXml &kept)
{
    // Which attributes stay out is decided on the tag as the writer wrote it, before any is
    // taken out.
    struct LeftOut {
        QStringView name;
        QString value; // as written
    };
    QVarLengthArray<LeftOut, 8> leftOut;
    const QStringView tag = QStringView(out).mid(tagStart);
    for (const KeptXml::AbsentAttribute &attr : kept.absent) {
        QString held;
        const QStringView value = writtenValue(attr.value, held);
        const bool applies =
            holds(tag, attr.name, value) &&
            std::all_of(attr.with.cbegin(), attr.with.cend(), [&](const KeptXml::Attribute &w) {
                QString heldWith;
                return w.value.isEmpty() ? attributeAt(tag, w.name) < 0
                                         : holds(tag, w.name, writtenValue(w.value, heldWith));
            });
        if (applies)
            leftOut.append({attr.name, value.toString()});
    }
    // Each is taken out where it first stands, as it stands then.
    for (const LeftOut &attr : leftOut) {
        const qsizetype at = heldAt(QStringView(out).mid(tagStart), attr.name, attr.value);
        if (at >= 0)
            out.remove(tagStart + at, 1 + attr.name.size() + 2 + attr.value.size() + 1);
    }
    // The writer's own attribute wins over a kept one of the same name.
    appendNewByScan(out, tagStart, kept.attributes);
}

void appendAttributes(QString &out, qsizetype tagStart, const KeptXml &kept)
{
    if (kept.absent.isEmpty()) {
        // Nothing to take out: each kept one is looked for once, in the writer's part.
        appendByScan(out, tagStart, kept);
        return;
    }
    // The tag is split into its attributes once, and what the scans would find is looked up
    // among them: the same decisions, taken in the same order.
    WrittenList written;
    if (!splitTag(QStringView(out).sliced(tagStart), written)) {
        appendByScan(out, tagStart, kept);
        return;
    }
    const QStringView tag = QStringView(out).sliced(tagStart);
    // The first attribute from `from` on, not taken out, with that name and value; -1 when none.
    const auto find = [&](QStringView name, QStringView value, qsizetype from = 0) {
        for (qsizetype i = from; i < written.size(); ++i) {
            const Written &w = written[i];
            if (!w.removed && same(w.name(tag), name) && same(w.value(tag), value))
                return i;
        }
        return qsizetype(-1);
    };
    // A name that is not plain is looked for by the scan; once one is found so, the tag's text
    // alone says where attributes stand.
    bool scanned = false;
    const auto holdsValue = [&](QStringView name, QStringView value) {
        if (find(name, value) >= 0)
            return true;
        const bool found = !isPlainName(name) && holds(tag, name, value);
        scanned = scanned || found;
        return found;
    };
    const auto hasName = [&](QStringView name) {
        if (std::any_of(written.begin(), written.end(),
                        [&](const Written &w) { return same(w.name(tag), name); }))
            return true;
        const bool found = !isPlainName(name) && attributeAt(tag, name) >= 0;
        scanned = scanned || found;
        return found;
    };
    // Which stay out is decided on the tag as written, before any is taken out.
    struct LeftOut {
        const KeptXml::AbsentAttribute *attr;
        QString held; // the value as written, when it is not the value itself
        bool isHeld;
        QStringView value() const { return isHeld ? QStringView(held) : QStringView(attr->value); }
    };
    QVarLengthArray<LeftOut, 8> leftOut;
    for (const KeptXml::AbsentAttribute &attr : kept.absent) {
        QString held;
        const QStringView value = writtenValue(attr.value, held);
        const bool applies =
            holdsValue(attr.name, value) &&
            std::all_of(attr.with.cbegin(), attr.with.cend(), [&](const KeptXml::Attribute &w) {
                QString heldWith;
                return w.value.isEmpty() ? !hasName(w.name)
                                         : holdsValue(w.name, writtenValue(w.value, heldWith));
            });
        if (applies) {
            const bool isHeld = !held.isNull();
            leftOut.append({&attr, std::move(held), isHeld});
        }
    }
    if (scanned) {
        // Each is taken out where it first stands, as it stands then.
        for (const LeftOut &left : leftOut) {
            const QStringView name = left.attr->name;
            const qsizetype at = heldAt(QStringView(out).mid(tagStart), name, left.value());
            if (at >= 0)
                out.remove(tagStart + at, 1 + name.size() + 2 + left.value().size() + 1);
        }
        appendNewByScan(out, tagStart, kept.attributes);
        return;
    }
    // Each is taken out where it first stands among those not taken out yet.
    qsizetype firstRemoved = written.size();
    for (const LeftOut &left : leftOut) {
        const qsizetype i = find(left.attr->name, left.value());
        if (i >= 0) {
            written[i].removed = true;
            firstRemoved = std::min(firstRemoved, i);
        }
    }
    if (firstRemoved < written.size()) {
        // The rest of the tag moves up over what is taken out, in one pass.
        QChar *text = out.data() + tagStart;
        const qsizetype size = out.size() - tagStart;
        qsizetype to = written[firstRemoved].at; // where the next kept text goes
        qsizetype from = to;                     // where it comes from
        for (qsizetype i = firstRemoved; i < written.size(); ++i) {
            Written &w = written[i];
            if (!w.removed) {
                w.at -= from - to;
                continue;
            }
            std::copy(text + from, text + w.at, text + to);
            to += w.at - from;
            from = w.at + w.size();
        }
        std::copy(text + from, text + size, text + to);
        out.truncate(tagStart + to + (size - from));
    }
    // The writer's own attribute wins over a kept one of the same name, and so does a kept one
    // already written.
    const qsizetype writerEnd = out.size();
    appendNew(out, kept.attributes, [&](QStringView name) {
        const QStringView now = QStringView(out).sliced(tagStart, writerEnd - tagStart);
        return std::any_of(
                   written.begin(), written.end(),
                   [&](const Written &w) { return !w.removed && same(w.name(now), name); }) ||
               (!isPlainName(name) && attributeAt(now, name) >= 0);
    });
}

} // namespace

void appendKeptAttributesByScan(QString &out, qsizetype tagStart, const KeptXml &kept)
{
    appendByScan(out, tagStart, kept);
    appendCommentMark(out, kept);
}

void appendKeptAttributes(QString &out, qsizetype tagStart, const KeptXml &kept)
{
    appendAttributes(out, tagStart, kept);
    appendCommentMark(out, kept);
}

KeptChildWriter::KeptChildWriter(const KeptXml &kept, TagOrder order, int spaces)
    : kept_(kept), order_(order), spaces_(spaces), written_(kept.children.size(), false)
{
}

bool KeptChildWriter::before(QString &out, const char *tag)
{
    // Most elements keep no children: then there is no rank to look for.
    return !kept_.children.isEmpty() && upTo(out, rankOf(order_, tag) - 1);
}

bool KeptChildWriter::through(QString &out, const char *tag)
{
    return !kept_.children.isEmpty() && upTo(out, rankOf(order_, tag));
}

bool KeptChildWriter::rest(QString &out)
{
    return upTo(out, std::numeric_limits<int>::max());
}

bool KeptChildWriter::upTo(QString &out, int rank)
{
    bool any = false;
    for (qsizetype i = 0; i < kept_.children.size(); ++i) {
        const KeptXml::Child &child = kept_.children.at(i);
        if (written_.at(i) || child.rank > rank || child.elementsBefore >= 0)
            continue;
        written_[i] = true;
        appendKeptChild(out, spaces_, child);
        any = true;
    }
    if (any)
        runEnd_ = out.size();
    return any;
}

void appendKeptAmongElements(QString &out, ElementGroupWriter &groups, const KeptXml &kept,
                             qsizetype index, bool last)
{
    bool closed = false;
    for (const KeptXml::Child &child : kept.children) {
        if (child.elementsBefore < 0 ||
            (last ? child.elementsBefore < index : child.elementsBefore != index))
            continue;
        if (!std::exchange(closed, true))
            groups.closeAll(out);
        appendKeptChild(out, 12, child);
    }
}

bool KeptChildWriter::hasAny() const
{
    return !kept_.children.isEmpty();
}

} // namespace JrxmlCodec
