#pragma once

#include <vector>

// The facts of the engine's grammar for a report whose root has no namespace (the older form of
// JRXML, under the DOCTYPE line of the report document type): for each element, which elements
// it holds, in which order and how often, or whether it holds text or nothing; and which
// attributes it takes, with the values they take and the value the engine gives one that is left
// out. DocumentTypeGrammar checks a report against them.
namespace DocumentTypeGrammar {

using Names = std::vector<const char *>;

// How often a step of an element's content stands.
enum class Times {
    once,
    maybe,
    many,
    some
}; // exactly once, at most once, any number, at least once

// One step of an element's content: one of the elements named, as often as `times` says.
struct Step {
    Names anyOf;
    Times times = Times::once;
};

enum class Holds { nothing, text, elements };

// What an element holds: nothing, text, or elements in steps, one after the other.
struct Content {
    Holds holds = Holds::nothing;
    std::vector<Step> steps;
};

// Whether an attribute must be given, may be left out, or is given a value when it is left out.
enum class Use { required, implied, given };

struct AttributeFact {
    const char *name;
    Use use = Use::implied;
    const char *given = nullptr; // the value the engine takes when it is left out (Use::given)
    bool isToken = false;        // one name token: a number or a word, no blanks inside
    Names values;                // the values it takes; empty for any text (or any token)
};

struct ElementFact {
    const char *name;
    Content content;
    std::vector<AttributeFact> attributes;
};

// Every element of the grammar, in the order the engine's document type declares them.
const std::vector<ElementFact> &elementFacts();

// The fact of the element of that name; null for a name the grammar lacks.
const ElementFact *elementFact(const char *name);

} // namespace DocumentTypeGrammar
