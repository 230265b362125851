#include "SavedComments.h"

#include <QHash>
#include <QSet>
#include <pugixml.hpp>

using namespace Qt::StringLiterals;

namespace {

QString localName(pugi::xml_node node)
{
    const QString name = QString::fromUtf8(node.name());
    return name.mid(name.indexOf(u':') + 1);
}

// The element's tag with its identity: "#" and the identity, "#name:" and a name, which an edit
// may give another, or "#?" for one of several of its tag beside each other without identity,
// which the file does not tell apart.
QString known(pugi::xml_node node)
{
    pugi::xml_attribute id = node.attribute("uuid");
    pugi::xml_attribute key;
    for (pugi::xml_node child = node.first_child(); child && !id; child = child.next_sibling()) {
        if (localName(child) == u"reportElement"_s) {
            id = child.attribute("uuid");
            key = child.attribute("key");
        }
    }
    if (localName(node) == u"reportElement"_s)
        key = node.attribute("key");
    if (id)
        return localName(node) + u'#' + QString::fromUtf8(id.value());
    // A copy keeps the key of what it copies: beside a comment a key tells nothing apart.
    if (key)
        return localName(node) + u"#key:"_s + QString::fromUtf8(key.value());
    if (const pugi::xml_attribute name = node.attribute("name"))
        return localName(node) + u"#name:"_s + QString::fromUtf8(name.value());
    const QString tag = localName(node);
    // Detail bands and a style's conditions come and go: which is which the file does not say
    // (a condition removed and another added stand where the first stood).
    if (localName(node.parent()) == u"detail"_s || tag == u"conditionalStyle"_s)
        return tag + u"#?"_s;
    for (pugi::xml_node other : node.parent().children()) {
        if (other != node && other.type() == pugi::node_element && localName(other) == tag)
            return tag + u"#?"_s;
    }
    return tag;
}

// Whether the element known as `saved` is the one known as `read`: one known by a name is known
// by its tag alone, since an edit may rename it.
bool isSame(const QString &read, const QString &saved)
{
    if (read.contains(u"#name:"_s))
        return read.section(u'#', 0, 0) == saved.section(u'#', 0, 0);
    return read == saved;
}

bool hasIdentity(const QString &known)
{
    return known.contains(u'#') && !known.endsWith(u"#?"_s);
}

// The chain of elements from the root (or the innermost one with an identity) down to `parent`.
QStringList chainOf(pugi::xml_node parent)
{
    QStringList chain;
    for (pugi::xml_node node = parent; node && node.type() == pugi::node_element;
         node = node.parent()) {
        chain.prepend(known(node));
        if (hasIdentity(chain.first()))
            break;
    }
    return chain;
}

pugi::xml_node elementSibling(pugi::xml_node node, bool forward)
{
    do
        node = forward ? node.next_sibling() : node.previous_sibling();
    while (node && node.type() != pugi::node_element);
    return node;
}

template <typename Visit> void walk(pugi::xml_node node, Visit &&visit)
{
    std::vector<pugi::xml_node> open{node};
    while (!open.empty()) {
        const pugi::xml_node at = open.back();
        open.pop_back();
        visit(at);
        for (pugi::xml_node child = at.last_child(); child; child = child.previous_sibling())
            open.push_back(child);
    }
}

bool load(pugi::xml_document &xml, const QByteArray &jrxml)
{
    return bool(xml.load_buffer(jrxml.constData(), size_t(jrxml.size()),
                                pugi::parse_default | pugi::parse_comments));
}

} // namespace

SavedComments::SavedComments(const QByteArray &jrxml)
{
    pugi::xml_document xml;
    if (!load(xml, jrxml))
        return;
    QHash<QString, int> seen;
    walk(xml.document_element(), [&](pugi::xml_node node) {
        if (node.type() != pugi::node_comment)
            return;
        const QString text = QString::fromUtf8(node.value());
        if (seen[text]++ == 0) {
            const pugi::xml_node previous = elementSibling(node, false);
            const pugi::xml_node next = elementSibling(node, true);
            comments_.push_back({text, chainOf(node.parent()),
                                 previous ? known(previous) : QString(),
                                 next ? known(next) : QString()});
        }
    });
    std::erase_if(comments_, [&](const Comment &c) { return seen.value(c.text) > 1; });
}

QStringList SavedComments::lapses(const QByteArray &saved) const
{
    if (comments_.empty())
        return {};
    pugi::xml_document xml;
    if (!load(xml, saved))
        return {u"the saved file does not parse"_s};
    // Every chain of elements the saved file holds, and its comments by their text.
    QSet<QString> chains;
    QMultiHash<QString, pugi::xml_node> found;
    walk(xml.document_element(), [&](pugi::xml_node node) {
        if (node.type() == pugi::node_element)
            chains.insert(chainOf(node).join(u'/'));
        else if (node.type() == pugi::node_comment)
            found.insert(QString::fromUtf8(node.value()), node);
    });
    QStringList lapses;
    for (const Comment &comment : comments_) {
        const QString where = comment.chain.join(u'/');
        // Where the elements it stood in are gone, renamed or not told apart, it may be gone with
        // them, and there is nothing to compare.
        if (!chains.contains(where) || where.contains(u"#?"_s))
            continue;
        const QList<pugi::xml_node> copies = found.values(comment.text);
        if (copies.isEmpty()) {
            lapses.append(u"the comment <!--"_s + comment.text + u"--> in "_s + where +
                          u" is not in the saved file"_s);
            continue;
        }
        QString seen; // where it is saved instead
        bool inPlace = false;
        for (const pugi::xml_node node : copies) {
            const QString savedWhere = chainOf(node.parent()).join(u'/');
            if (savedWhere != where) {
                seen = u"in "_s + savedWhere;
                continue;
            }
            // Beside the element it stood before or after, where that one still stands beside
            // it.
            QStringList siblings;
            for (pugi::xml_node child : node.parent().children()) {
                if (child.type() == pugi::node_element)
                    siblings.append(known(child));
            }
            const pugi::xml_node previous = elementSibling(node, false);
            const pugi::xml_node next = elementSibling(node, true);
            const QString savedPrevious = previous ? known(previous) : QString();
            const QString savedNext = next ? known(next) : QString();
            // A neighbour the file does not tell apart from others (a copy keeps the key of
            // what it copies) is no measure.
            const auto untold = [&](const QString &neighbour) {
                return neighbour.endsWith(u"#?"_s) || neighbour.contains(u"#key:"_s) ||
                       siblings.count(neighbour) > 1;
            };
            const bool neighboursGone =
                untold(comment.previous) || untold(comment.next) ||
                ((comment.previous.isEmpty() || !siblings.contains(comment.previous)) &&
                 (comment.next.isEmpty() || !siblings.contains(comment.next)));
            if (isSame(comment.previous, savedPrevious) || isSame(comment.next, savedNext) ||
                neighboursGone) {
                inPlace = true;
                break;
            }
            seen = u"between <"_s + savedPrevious + u"> and <"_s + savedNext + u'>';
        }
        if (!inPlace) {
            lapses.append(u"the comment <!--"_s + comment.text + u"--> in "_s + where +
                          u" between <"_s + comment.previous + u"> and <"_s + comment.next +
                          u"> is saved "_s + seen);
        }
    }
    return lapses;
}
