#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a file held on one XML element that the model has no field for: the element's other
// attributes, in file order, and its other child elements, verbatim. The writer puts them back,
// attributes after its own and children at the place the format allows. Nothing here is shown
// or edited; a document built in code holds none.
struct KeptXml {
    struct Attribute {
        QString name; // qualified, as written
        QString value;
        bool operator==(const Attribute &) const = default;
    };
    // An attribute the file left out, so that its value was inherited, with the text the writer
    // gives the value the reader supplied. While the model holds that value the attribute stays
    // out; once it holds another, it is written.
    struct AbsentAttribute {
        QString name;
        QString value;
        // It stays out only while these are written with these values too (an empty value: not
        // written at all): the values it goes with (a fill's mode with its back colour).
        QList<Attribute> with;
        bool operator==(const AbsentAttribute &) const = default;
    };
    struct Child {
        // The place among the element's children, from the format's order of child tags.
        int rank = 0;
        QString xml; // the element's text, standing on its own (the prefixes it needs declared)
        // A child that stood among report elements: how many of them stood before it. It is
        // written among the elements in that place (-1: placed by its rank).
        int elementsBefore = -1;
        // The comments that stood right before it, each the text between `<!--` and `-->`.
        QStringList comments;
        bool operator==(const Child &) const = default;
    };
    // A comment that stood among the element's children: the text between `<!--` and `-->`, and
    // where it stood. It is written before the child it stood before; once that child is gone,
    // after the one it stood after. A child without an anchor is found by its tag and how many of
    // that tag stood before it. Where both children are gone it follows the comment before it,
    // else it goes last inside the element, as does a comment that stood after the last child.
    struct Comment {
        QString text;
        // The anchors of the children it stood between (0: none there, or one without anchor).
        int before = 0;
        int after = 0;
        // The tags of those children (empty: none there), and how many children of each tag
        // stood before that one.
        QString beforeTag;
        int beforeOccurrence = 0;
        QString afterTag;
        int afterOccurrence = 0;
        bool operator==(const Comment &) const = default;
    };

    QList<Attribute> attributes;
    QList<Child> children;
    QList<AbsentAttribute> absent;
    // Child elements the file did not have, for which the reader supplied an empty value: they
    // stay out while the value is empty.
    QStringList absentChildren;
    // Child elements the file had empty, which the writer leaves out when empty: they are written
    // empty while the value is empty.
    QStringList emptyChildren;
    // The file had the element, so it is written even when it says nothing.
    bool present = false;
    // The comments that stood among its children, in file order.
    QList<Comment> comments;
    // What finds the element among its siblings when a comment stood next to it: a number
    // unique in the document it was read from (0: none).
    int anchor = 0;

    bool isEmpty() const
    {
        return attributes.isEmpty() && children.isEmpty() && absent.isEmpty() &&
               absentChildren.isEmpty() && emptyChildren.isEmpty() && !present &&
               comments.isEmpty() && anchor == 0;
    }
    // Whether a child holding `value` is left out although the writer writes it: the file had
    // none and the value is still empty.
    bool leavesOut(QStringView tag, QStringView value) const
    {
        return value.isEmpty() && absentChildren.contains(tag);
    }
    // Whether an empty child is written although the writer leaves it out: the file had it empty.
    bool keepsEmpty(QStringView tag) const { return emptyChildren.contains(tag); }
    // Whether the file left the attribute out and the value it inherited is not `value`: the
    // writer then writes `value` although it is the one it usually leaves out.
    bool inheritsOtherThan(QStringView name, QStringView value) const
    {
        for (const AbsentAttribute &a : absent) {
            if (a.name == name)
                return a.value != value;
        }
        return false;
    }
    // The value of a kept attribute, or null.
    const QString *attribute(QStringView name) const;
    // Removes the kept attribute; whether there was one.
    bool removeAttribute(QStringView name);
    // Removes the file's identifiers (`uuid` attributes) here and inside the kept children, and
    // the anchor comments beside the element find it by, so that a copy does not repeat them.
    void removeUuids();
    // The element text without the `uuid` attributes of its elements; unchanged when it holds
    // none or does not parse.
    static QString withoutUuids(const QString &xml);
    // Gives back the room its lists hold beyond what they hold now (a reader reserves room).
    void squeeze();

    bool operator==(const KeptXml &) const = default;
};

// The kept content of one model value, by part: the value's own XML element (the empty key)
// and the elements inside it that the reader maps onto its fields ("box", "box/pen").
class KeptParts {
public:
    // The part, or an empty one.
    const KeptXml &part(QStringView key) const;
    // Sets the part; an empty part is removed.
    void setPart(const QString &key, KeptXml xml);
    // Adds a part under a key the value has no part for yet (a reader filling a new value),
    // without looking for one; an empty part is not added.
    void addPart(const QString &key, KeptXml &&xml);

    bool isEmpty() const { return parts_.isEmpty(); }
    // The keys of the parts there are, in order.
    QStringList keys() const;
    // KeptXml::removeUuids on every part.
    void removeUuids();
    // Gives back the room its lists hold beyond what they hold now: a value read from a file is
    // kept for as long as the report is open.
    void squeeze();
    bool operator==(const KeptParts &) const = default;

private:
    struct Part {
        QString key;
        KeptXml xml;
        bool operator==(const Part &) const = default;
    };
    QList<Part> parts_;
};
