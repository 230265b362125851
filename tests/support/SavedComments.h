#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Where the comments inside a report's root stood in a file, and whether a save of it kept each
// where it stood. An element is known by its tag and its identity: the `uuid` of its own or of its
// position line, else the `key` of its position line (which a copy keeps, so that beside a comment
// it tells nothing apart), else its `name`. A comment stands in a chain
// of elements, taken from the root down to the element it stood in, and from the innermost element
// with an identity when there is one (an element moved to another band takes its comments along).
class SavedComments {
public:
    // The comments of the file as it was loaded; each text that stands more than once is left
    // out, as is every comment when the file does not parse.
    explicit SavedComments(const QByteArray &jrxml);

    qsizetype count() const { return qsizetype(comments_.size()); }

    // What `saved` lost or moved of the comments, one line each: a comment whose chain of elements
    // is still in the file must stand in that chain, after the element it stood after or before
    // the one it stood before where that element still stands beside it. An element known by its
    // name is known by its tag beside a comment, and a chain with a renamed element, or with one
    // the file does not tell apart from others of its tag (one of several detail bands), is not
    // looked at.
    QStringList lapses(const QByteArray &saved) const;

private:
    struct Comment {
        QString text;
        QStringList chain;
        QString previous; // the element it stood after ("" when none)
        QString next;     // the element it stood before
    };
    std::vector<Comment> comments_;
};
