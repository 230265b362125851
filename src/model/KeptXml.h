#pragma once

#include <QList>
#include <QString>

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
    struct Child {
        // The place among the element's children, from the format's order of child tags.
        int rank = 0;
        QString xml; // the element's text, standing on its own (the prefixes it needs declared)
        bool operator==(const Child &) const = default;
    };

    QList<Attribute> attributes;
    QList<Child> children;
    // Attributes the file left out, so that their value was inherited, each with the text the
    // writer gives the value the reader supplied. While the model holds that value the attribute
    // stays out; once it holds another, it is written.
    QList<Attribute> absent;
    // The file had the element, so it is written even when it says nothing.
    bool present = false;

    bool isEmpty() const
    {
        return attributes.isEmpty() && children.isEmpty() && absent.isEmpty() && !present;
    }
    // The value of a kept attribute, or null.
    const QString *attribute(QStringView name) const;
    // Removes the kept attribute; whether there was one.
    bool removeAttribute(QStringView name);
    // Removes the file's identifiers (`uuid` attributes) here and inside the kept children, so
    // that a copy does not repeat them.
    void removeUuids();
    // The element text without the `uuid` attributes of its elements; unchanged when it holds
    // none or does not parse.
    static QString withoutUuids(const QString &xml);

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

    bool isEmpty() const { return parts_.isEmpty(); }
    // KeptXml::removeUuids on every part.
    void removeUuids();
    bool operator==(const KeptParts &) const = default;

private:
    struct Part {
        QString key;
        KeptXml xml;
        bool operator==(const Part &) const = default;
    };
    QList<Part> parts_;
};
