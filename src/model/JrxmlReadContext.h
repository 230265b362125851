#pragma once

#include "InheritedStyle.h"
#include "ReportDocument.h"

#include <QHash>
#include <QStringList>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <string>

// What the JRXML reader carries while it reads one document: the styles that elements name, how
// deep it stands inside containers, and notes on the content it did not keep.
class JrxmlReadContext {
public:
    // Containers (frames, lists, table cells, element groups) are followed this deep; what
    // stands deeper is not read, so no input can exhaust the stack.
    static constexpr int maxNesting = 256;

    // The styles, each with what its elements inherit from it (`inherited`: one for each style,
    // in the same order, or none at all).
    void setStyles(const QList<ReportStyle> &styles, const QList<InheritedStyle> &inherited = {});
    const QList<ReportStyle> &styles() const { return styles_; }
    // The first style with exactly that name, or null.
    const ReportStyle *style(const QString &name) const;
    // The report's default style, or null.
    const ReportStyle *defaultStyle() const;
    // What an element of the style (one of styles()) inherits from it; null for no style.
    const InheritedStyle *inherited(const ReportStyle *style) const;

    // An element that is not kept, counted by its tag: "2 <tag> elements were not kept".
    void dropped(const char *tag, int count = 1);
    // A note of its own; each distinct text is given once.
    void note(const QString &text);
    // The notes in the order they first arose.
    QStringList notes() const;

    // Children of containers that are no report element the reader knows, kept with the
    // container as written, each with the number of the container's elements before it.
    void markUnread(pugi::xml_node node, qsizetype elementsBefore)
    {
        unread_[node] = elementsBefore;
    }
    bool isUnread(pugi::xml_node node) const { return unread_.count(node) > 0; }
    // How many of its container's elements stood before an unread child; -1 for another node.
    int unreadPlace(pugi::xml_node node) const
    {
        const auto found = unread_.find(node);
        return found == unread_.end() ? -1 : int(found->second);
    }

    // The comments of the document: what finds each element a comment stands next to among its
    // siblings (KeptXml::anchor), and the comments taken by the XML element they stand in.
    void setCommentAnchor(pugi::xml_node node, int anchor) { anchors_[node] = anchor; }
    int commentAnchor(pugi::xml_node node) const
    {
        if (anchors_.empty())
            return 0;
        const auto found = anchors_.find(node);
        return found == anchors_.end() ? 0 : found->second;
    }
    // Whether the document holds comments inside its root.
    bool hasComments = false;
    // Takes the comments among the children of `node` for the one value that holds them: false
    // when another took them already.
    bool takeComments(pugi::xml_node node) { return commentsTaken_.insert(node).second; }

    // Whether the document's bytes were checked to hold only characters XML allows, so that no
    // value in its tree holds one XML cannot carry (captured content then needs no cleaning).
    bool onlyXmlCharacters = false;
    // The current container depth; see JrxmlNesting.
    int depth = 0;
    // The prefix of the table that what is read stands inside (empty outside tables): the writer
    // declares it on the table, so captured content leaves that declaration out.
    std::string tablePrefix;

private:
    QList<ReportStyle> styles_;
    QList<InheritedStyle> inherited_;
    QHash<QString, qsizetype> styleIndex_;
    const ReportStyle *defaultStyle_ = nullptr;
    // The style looked up last, by its name: elements name the same few styles over and over,
    // most often through one shared text, which is then recognised without hashing it.
    mutable QString lastStyleName_;
    mutable const ReportStyle *lastStyle_ = nullptr;
    struct Note {
        QString text;  // the tag for a dropped element, else the note
        int count = 0; // 0 for a note of its own
    };
    QList<Note> notes_;
    QHash<QString, qsizetype> noteIndex_;
    std::map<pugi::xml_node, qsizetype> unread_;
    std::map<pugi::xml_node, int> anchors_;
    std::set<pugi::xml_node> commentsTaken_;
};

// One container level entered for the life of the guard.
class JrxmlNesting {
public:
    explicit JrxmlNesting(JrxmlReadContext &context) : context_(context) { ++context_.depth; }
    ~JrxmlNesting() { --context_.depth; }
    JrxmlNesting(const JrxmlNesting &) = delete;
    JrxmlNesting &operator=(const JrxmlNesting &) = delete;

private:
    JrxmlReadContext &context_;
};
