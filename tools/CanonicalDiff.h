#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Compares two XML documents in canonical form: the same elements in the same order, with the
// same attributes and values and the same texts. Attribute order, indentation (text of blanks
// only between elements), comments and the form of character data (escaped or in a character
// data section) do not count.
namespace canonicaldiff {

struct Difference {
    enum class Kind {
        missingAttribute, // the first document has it, the second does not
        addedAttribute,   // the second has it, the first does not
        changedAttribute, // both have it, with other values
        missingChild,
        addedChild,
        changedText,
    };
    Kind kind = Kind::missingAttribute;
    // "/jasperReport/group[2]/groupHeader/band@height": each element with its number among the
    // siblings of its name (when there are several), an attribute after "@".
    QString path;
    // The values, for a changed attribute or text: "before -> after".
    QString detail;
    bool operator==(const Difference &) const = default;
};

// How many differences there are of each kind.
struct Counts {
    int missingAttributes = 0;
    int addedAttributes = 0;
    int changedAttributes = 0;
    int missingChildren = 0;
    int addedChildren = 0;
    int changedTexts = 0;

    int total() const
    {
        return missingAttributes + addedAttributes + changedAttributes + missingChildren +
               addedChildren + changedTexts;
    }
    Counts &operator+=(const Counts &other);
};

// The differences from `before` to `after`. Throws std::runtime_error when either does not parse.
QList<Difference> compare(const QByteArray &before, const QByteArray &after);

Counts count(const QList<Difference> &differences);

// "missing attribute /jasperReport@columnWidth", "changed text /jasperReport/... (a -> b)".
QString describe(const Difference &difference);

// "2 missing attributes, 1 added child …" (kinds without a difference left out); "no
// difference".
QString describe(const Counts &counts);

} // namespace canonicaldiff
