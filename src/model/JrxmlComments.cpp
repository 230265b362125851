// Comments inside a report. The reader gives each element a comment stands next to an anchor and
// keeps each comment with the XML element it stands in (KeptXml::comments), or with the kept child
// it stands before. The writer marks the start tag of each element whose kept content holds an
// anchor or comments; once the whole text is written the marks are taken out again and each
// comment is put where it stood among the children the element now has.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

// The anchor and comments of the kept content written at the mark.
struct CommentPlacing::Mark {
    int anchor = 0;
    QList<KeptXml::Comment> comments;
};

namespace {

// The marks of the text being written; null while no text is written for placing comments.
thread_local std::vector<CommentPlacing::Mark> *marks = nullptr;

// A mark is " \x01<number>\x01" at the end of a start tag's attributes: XML carries no U+0001, so
// no attribute value written holds one.
constexpr QChar markChar = QChar(0x1);

template <typename Indentation> QString commentLine(Indentation indentation, const QString &text)
{
    return indentation + u"<!--"_s + text + u"-->\n"_s;
}

// The marked text read as the writer writes XML: tags, comments, character data sections and
// processing instructions, the attribute values quoted.
class MarkedText {
public:
    explicit MarkedText(QStringView text) : text_(text) {}

    QStringView text() const { return text_; }

    // The '>' of the tag that begins at `open`.
    qsizetype tagClose(qsizetype open) const
    {
        return std::min(tagEnd(text_, open + 1), text_.size() - 1);
    }
    // Past a comment, character data section or instruction that begins at `at`; -1 when none
    // begins there.
    qsizetype pastMarkup(qsizetype at) const
    {
        const auto past = [&](QStringView end) {
            const qsizetype found = text_.indexOf(end, at);
            return found < 0 ? text_.size() : found + end.size();
        };
        const QStringView rest = text_.sliced(at);
        if (rest.startsWith(u"<!--"))
            return past(u"-->");
        if (rest.startsWith(u"<![CDATA["))
            return past(u"]]>");
        if (rest.startsWith(u"<?"))
            return past(u"?>");
        if (rest.startsWith(u"<!"))
            return tagClose(at) + 1;
        return -1;
    }
    bool isEmptyTag(qsizetype close) const { return close > 0 && text_[close - 1] == u'/'; }
    // Past the element whose start tag begins at `open`.
    qsizetype elementEnd(qsizetype open) const
    {
        int depth = 0;
        qsizetype at = open;
        while (at < text_.size()) {
            at = text_.indexOf(u'<', at);
            if (at < 0)
                return text_.size();
            if (const qsizetype past = pastMarkup(at); past >= 0) {
                at = past;
                continue;
            }
            const qsizetype close = tagClose(at);
            if (text_[at + 1] == u'/')
                --depth;
            else if (!isEmptyTag(close))
                ++depth;
            at = close + 1;
            if (depth == 0)
                return at;
        }
        return text_.size();
    }
    // The tag's name as written, and its local name.
    QStringView name(qsizetype open) const
    {
        qsizetype end = open + 1;
        while (end < text_.size() && text_[end] != u' ' && text_[end] != u'\n' &&
               text_[end] != u'/' && text_[end] != u'>')
            ++end;
        return text_.sliced(open + 1, end - open - 1);
    }
    // Whether only spaces stand before `at` on its line.
    bool startsLine(qsizetype at) const
    {
        return at == 0 || text_[at - 1] == u'\n' || lineBefore(at).first < at;
    }
    static QStringView local(QStringView name)
    {
        const qsizetype colon = name.indexOf(u':');
        return colon < 0 ? name : name.sliced(colon + 1);
    }
    // Where a line holding `at` would go in before it, with the spaces that indent it there; no
    // spaces when something other than spaces stands before it on its line.
    std::pair<qsizetype, QStringView> lineBefore(qsizetype at) const
    {
        const qsizetype lineStart = at == 0 ? 0 : text_.lastIndexOf(u'\n', at - 1) + 1;
        const QStringView spaces = text_.sliced(lineStart, at - lineStart);
        if (std::all_of(spaces.begin(), spaces.end(), [](QChar c) { return c == u' '; }))
            return {lineStart, spaces};
        return {at, {}};
    }

private:
    QStringView text_;
};

struct Edit {
    qsizetype at;
    qsizetype removed;
    QString inserted;
};

// Whether children of that tag are items of a list the user edits (report elements, bands, the
// data definitions, styles and their conditions, table columns): found by their anchors alone.
bool isListItem(QStringView tag)
{
    static const QSet<QString> items = [] {
        QSet<QString> names{u"band"_s,
                            u"style"_s,
                            u"conditionalStyle"_s,
                            u"subDataset"_s,
                            u"parameter"_s,
                            u"field"_s,
                            u"sortField"_s,
                            u"variable"_s,
                            u"group"_s,
                            u"scriptlet"_s,
                            u"template"_s,
                            u"column"_s,
                            u"columnGroup"_s,
                            u"datasetParameter"_s,
                            u"subreportParameter"_s,
                            u"hyperlinkParameter"_s,
                            u"returnValue"_s};
        // The report elements: the band's children after its print-when expression.
        for (const char *name : tagOrder::band.subspan(2))
            names.insert(QString::fromLatin1(name));
        return names;
    }();
    return items.contains(tag.toString());
}

// The children of an element as written, each with the anchor its mark gives it.
struct WrittenChild {
    qsizetype open;
    qsizetype end; // past its end tag
    QStringView local;
    int anchor;
};

// The comment on a line of its own right after the child, indented as the child is.
Edit lineAfter(const MarkedText &text, const WrittenChild &child, const QString &comment)
{
    const auto [lineAt, spaces] = text.lineBefore(child.open);
    const QStringView all = text.text();
    if (child.end < all.size() && all[child.end] == u'\n') {
        // After the blank lines that follow it, where a comment before the next child goes.
        qsizetype at = child.end + 1;
        while (at < all.size() && all[at] == u'\n')
            ++at;
        return {at, 0, commentLine(spaces, comment)};
    }
    return {child.end, 0, u"\n"_s + commentLine(spaces, comment)};
}

} // namespace

void appendCommentMark(QString &out, const KeptXml &kept)
{
    if (!marks || (kept.anchor == 0 && kept.comments.isEmpty()))
        return;
    out += u' ';
    out += markChar;
    out += QString::number(marks->size());
    out += markChar;
    marks->push_back({kept.anchor, kept.comments});
}

void appendKeptChild(QString &out, int spaces, const KeptXml::Child &child)
{
    for (const QString &comment : child.comments)
        out += commentLine(indent(spaces), comment);
    out += indent(spaces) + child.xml + u'\n';
}

CommentPlacing::CommentPlacing() : outer_(marks)
{
    marks = &marks_;
}

CommentPlacing::~CommentPlacing()
{
    marks = outer_;
}

QString CommentPlacing::placed(const QString &written) const
{
    if (marks_.empty())
        return written;
    const MarkedText text(written);
    std::vector<Edit> edits;
    // Where each mark stands: the start tag that holds it, and its anchor.
    std::vector<qsizetype> tagOf(marks_.size(), -1);
    std::map<qsizetype, int> anchorAt; // the anchor of a start tag, by where it opens
    for (qsizetype at = written.indexOf(markChar); at >= 0;
         at = written.indexOf(markChar, at + 1)) {
        const qsizetype end = written.indexOf(markChar, at + 1);
        if (end < 0)
            break;
        bool ok = false;
        const qsizetype index = QStringView(written).sliced(at + 1, end - at - 1).toLongLong(&ok);
        if (!ok || index < 0 || index >= qsizetype(marks_.size()) || at == 0 ||
            written[at - 1] != u' ')
            continue;
        // A mark stands inside a start tag.
        const qsizetype open = written.lastIndexOf(u'<', at);
        if (open < 0 || written[open + 1] == u'!' || written[open + 1] == u'?' ||
            written.indexOf(u'>', open) < at)
            continue;
        edits.push_back({at - 1, end - at + 2, {}});
        if (tagOf[index] < 0) {
            tagOf[index] = open;
            if (marks_[index].anchor != 0)
                anchorAt[open] = marks_[index].anchor;
        }
        at = end;
    }
    for (size_t index = 0; index < marks_.size(); ++index) {
        const Mark &mark = marks_[index];
        const qsizetype open = tagOf[index];
        if (mark.comments.isEmpty() || open < 0)
            continue;
        const qsizetype close = text.tagClose(open);
        const auto [lineStart, ownIndent] = text.lineBefore(open);
        const QString innerIndent = ownIndent.toString() + indent(4);
        std::vector<WrittenChild> children;
        qsizetype endTag = -1;
        if (!text.isEmptyTag(close)) {
            for (qsizetype at = close + 1; at < written.size();) {
                at = written.indexOf(u'<', at);
                if (at < 0)
                    break;
                if (const qsizetype past = text.pastMarkup(at); past >= 0) {
                    at = past;
                    continue;
                }
                if (written[at + 1] == u'/') {
                    endTag = at;
                    break;
                }
                const auto anchor = anchorAt.find(at);
                children.push_back({at, text.elementEnd(at), MarkedText::local(text.name(at)),
                                    anchor == anchorAt.end() ? 0 : anchor->second});
                at = children.back().end;
            }
        }
        const auto withAnchor = [&](int anchor) -> const WrittenChild * {
            if (anchor == 0)
                return nullptr;
            for (const WrittenChild &child : children) {
                if (child.anchor == anchor)
                    return &child;
            }
            return nullptr;
        };
        const auto ofTag = [&](const QString &tag, int occurrence) -> const WrittenChild * {
            if (tag.isEmpty())
                return nullptr;
            for (const WrittenChild &child : children) {
                if (child.local == tag && occurrence-- == 0)
                    return &child;
            }
            return nullptr;
        };
        // An item of a list the user edits is found by its anchor alone: another of its tag is
        // another item. Any other child is the one of its tag that stands in its place.
        const auto find = [&](int anchor, const QString &tag,
                              int occurrence) -> const WrittenChild * {
            if (const WrittenChild *child = withAnchor(anchor))
                return child;
            return isListItem(tag) ? nullptr : ofTag(tag, occurrence);
        };
        QStringList last; // the comments that go last inside the element
        // Where the comment before went: one whose neighbours are both gone follows it.
        std::optional<Edit> previous;
        for (const KeptXml::Comment &comment : mark.comments) {
            const WrittenChild *before =
                find(comment.before, comment.beforeTag, comment.beforeOccurrence);
            const WrittenChild *after =
                before ? nullptr : find(comment.after, comment.afterTag, comment.afterOccurrence);
            if (before) {
                const auto [at, spaces] = text.lineBefore(before->open);
                previous = Edit{at, 0, commentLine(spaces, comment.text)};
            } else if (after && !comment.beforeTag.isEmpty()) {
                previous = lineAfter(text, *after, comment.text);
            } else if (!comment.beforeTag.isEmpty() && comment.afterTag.isEmpty() &&
                       !children.empty()) {
                // It stood first: it stays first.
                const auto [at, spaces] = text.lineBefore(children.front().open);
                previous = Edit{at, 0, commentLine(spaces, comment.text)};
            } else if (previous && !comment.beforeTag.isEmpty()) {
                const QStringView line = QStringView(previous->inserted);
                const QStringView spaces = line.first(line.indexOf(u'<'));
                previous = Edit{previous->at, 0, commentLine(spaces, comment.text)};
            } else {
                last.append(comment.text);
                continue;
            }
            edits.push_back(*previous);
        }
        if (last.isEmpty())
            continue;
        if (!children.empty() && text.startsLine(children.back().open)) {
            // On the lines after the last child, before any blank line that ends the element.
            for (const QString &comment : std::as_const(last))
                edits.push_back(lineAfter(text, children.back(), comment));
        } else if (endTag >= 0) {
            QString lines;
            for (const QString &comment : std::as_const(last))
                lines += commentLine(innerIndent, comment);
            const auto [at, spaces] = text.lineBefore(endTag);
            edits.push_back({at, 0, spaces.isEmpty() && at == endTag ? u"\n"_s + lines : lines});
        } else {
            // An empty element opens to hold them: "<tag .../>" becomes "<tag ...>" with an end
            // tag.
            QString lines;
            for (const QString &comment : std::as_const(last))
                lines += commentLine(innerIndent, comment);
            edits.push_back({close - 1, 1, {}});
            edits.push_back(
                {close + 1, 0, u"\n"_s + lines + ownIndent + u"</"_s + text.name(open) + u'>'});
        }
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit &a, const Edit &b) { return a.at < b.at; });
    QString out;
    out.reserve(written.size() + 256);
    qsizetype from = 0;
    for (const Edit &edit : edits) {
        if (edit.at < from)
            continue; // never: the edits do not overlap
        out += QStringView(written).sliced(from, edit.at - from);
        out += edit.inserted;
        from = edit.at + edit.removed;
    }
    out += QStringView(written).sliced(from);
    return out;
}

void noteCommentAnchors(pugi::xml_node root, JrxmlReadContext &context)
{
    int next = 0;
    const auto anchor = [&](pugi::xml_node node) {
        if (node && context.commentAnchor(node) == 0)
            context.setCommentAnchor(node, ++next);
    };
    const auto elementSibling = [](pugi::xml_node node, bool forward) {
        do
            node = forward ? node.next_sibling() : node.previous_sibling();
        while (node && node.type() != pugi::node_element);
        return node;
    };
    walkTree(
        root,
        [&](pugi::xml_node node) {
            if (node.type() != pugi::node_comment)
                return;
            context.hasComments = true;
            anchor(elementSibling(node, false));
            anchor(elementSibling(node, true));
        },
        [](pugi::xml_node) {});
}

QStringList commentsLeftOut(pugi::xml_node root, const QByteArray &written)
{
    // The comments as read, by their text, with the element each stood in.
    std::vector<std::pair<std::string_view, std::string_view>> read;
    walkTree(
        root,
        [&](pugi::xml_node node) {
            if (node.type() == pugi::node_comment)
                read.emplace_back(node.value(), node.parent().name());
        },
        [](pugi::xml_node) {});
    if (read.empty())
        return {};
    pugi::xml_document xml;
    if (!xml.load_buffer(written.constData(), size_t(written.size()), parseOptions,
                         pugi::encoding_utf8))
        return {};
    walkTree(
        xml.document_element(),
        [&](pugi::xml_node node) {
            if (node.type() != pugi::node_comment)
                return;
            const std::string_view text = node.value();
            const auto found = std::find_if(read.begin(), read.end(), [&](const auto &comment) {
                return comment.first == text;
            });
            if (found != read.end())
                read.erase(found);
        },
        [](pugi::xml_node) {});
    QStringList tags;
    QHash<QString, int> counts;
    for (const auto &[text, tag] : read) {
        const QString name = QString::fromUtf8(tag.data(), qsizetype(tag.size()));
        if (!counts.contains(name))
            tags.append(name);
        ++counts[name];
    }
    QStringList notes;
    for (const QString &tag : tags) {
        const int count = counts.value(tag);
        notes.append((count == 1 ? u"1 comment inside <"_s
                                 : QString::number(count) + u" comments inside <"_s) +
                     tag + (count == 1 ? u"> was not kept"_s : u"> were not kept"_s));
    }
    return notes;
}

} // namespace JrxmlCodec
