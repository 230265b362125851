#pragma once

#include <QList>
#include <QString>
#include <pugixml.hpp>

// The engine's grammar for a report whose root has no namespace, the older form of JRXML that a
// file with the DOCTYPE line of the report document type has: which elements an element holds, in
// which order and how often, and which attributes with which values. The engine refuses to
// compile such a report when its XML breaks these rules, whether or not the DOCTYPE line stands
// above it.
namespace DocumentTypeGrammar {

// One thing the grammar refuses.
struct Refusal {
    // What kind of content it is, the same wherever in the report it stands:
    //   "detail>band"                     an element its parent does not take at that place
    //   "band>"                           an element that ends before the content it needs
    //   "sortField@type"                  an attribute the element does not have
    //   "reportElement@stretchType=ContainerHeight"   a value the attribute does not take
    //   "sortField@name!"                 an attribute the element needs, missing
    QString key;
    // The same in the user's words: "more than one detail band".
    QString words;
    bool operator==(const Refusal &) const = default;
};

// What the grammar refuses in `element` and below it, each key once, in document order. Namespace
// declarations and the schema instance's attributes are not the grammar's and are let be.
QList<Refusal> refusals(pugi::xml_node element);

} // namespace DocumentTypeGrammar
