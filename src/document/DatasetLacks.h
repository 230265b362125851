#pragma once

#include "model/ReportDocument.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What the expressions of elements name ($F{…}, $P{…}, $V{…}) that the dataset they run in does
// not declare, and the variables their return values go into there that it does not declare (a
// subreport's, a list's or table's run's): an element of a band runs in the report's main dataset,
// one inside a list or a table cell in the sub-dataset the innermost list or table runs; what a
// chart, crosstab or other component runs over a sub-dataset (a chart's series, a map's markers)
// runs in that one. A paste, a duplicate or a snippet keeps expressions as they are, and so does a
// list or table switched to another dataset: what they then name that their dataset lacks is said
// (the store's namesLacked()), the canvas marks the elements, and the expression editor says it of
// a typed name. A dataset the report does not declare says nothing here (the engine's own message
// names it).
namespace DatasetLacks {

// A name an expression refers to: the letter (F, P or V) and the name between the braces,
// without the blanks around it.
struct Reference {
    QChar letter;
    QString name;
    // "$F{Street}"
    QString text() const;
    bool operator==(const Reference &) const = default;
};

// The references of an expression, each once, in order of first appearance ($P!{…} is a
// parameter's too); empty names are none.
QList<Reference> referencesIn(const QString &expression);

// What the expression editor says of a reference that the dataset lacks: "$F{Street} isn't a
// declared field of the dataset "Addresses" this element runs in." (the report's main dataset:
// "… in this report.").
QString note(const Reference &reference, const std::optional<QString> &dataset);
// The same of the variable a return value of the element goes into: "This element returns a
// value into $V{Total}, which isn't a declared variable of the dataset "Addresses" it runs in."
QString returnNote(const Reference &variable, const std::optional<QString> &dataset);

// The names a dataset declares for the expressions that run in it: its fields, parameters and
// variables, each group's count of records, and the names the engine gives every dataset.
class Declared {
public:
    Declared(const QList<ReportField> &fields, const QList<ReportParameter> &parameters,
             const QList<ReportVariable> &variables, const QStringList &groups);
    bool declares(const Reference &reference) const;

private:
    QSet<QString> fields_;
    QSet<QString> parameters_;
    QSet<QString> variables_;
};

// One element whose expressions name what the dataset they run in lacks (a component's may run
// in two: where it stands and the sub-dataset it runs). What a table's cells name
// stands under the table, whose cells the user edits with it.
struct Lack {
    QUuid element;
    // The sub-dataset; empty for the report's main dataset.
    QString dataset;
    // "$F{Street}", each once, in order.
    QStringList references;
    // The variables its return values go into, "$V{Total}", each once, in order.
    QStringList returns;
    bool operator==(const Lack &) const = default;
};

// Finds lacks in one report, each dataset's declarations gathered once.
class Finder {
public:
    explicit Finder(const ReportDocument &document);

    // What an element of a band (at any depth, with what it holds) names that its dataset lacks.
    QList<Lack> within(const ReportElement &topLevel);
    // What the elements of `ids`, at any depth, and what they hold name that their datasets lack.
    QList<Lack> of(const QSet<QUuid> &ids);
    // What the contents of the list or table `container` (its elements, its cells) name that
    // the dataset it runs lacks.
    QList<Lack> inside(const QUuid &container);

private:
    enum class Count { none, contents, all };
    using Choose = std::function<Count(const ReportElement &)>;
    void visit(const ReportElement &element, const QString &dataset, Count count,
               const Choose &choose, QList<Lack> &found);
    void visitTable(const ReportElement &table, Count count, const Choose &choose,
                    QList<Lack> &found);
    QList<Lack> everywhere(const Choose &choose);
    // Appends what the body of a chart, crosstab or other component names that the dataset
    // each expression is evaluated over lacks (ExpressionUses::visitBody): what runs over the
    // sub-dataset the component runs, and what is evaluated where it stands, in `dataset`.
    void noteBody(const ReportElement &element, const QString &dataset, QList<Lack> &found);
    // Appends the references of `texts` that the dataset lacks under `element`.
    void note(const QUuid &element, const QString &dataset, const QStringList &texts,
              QList<Lack> &found);
    // Appends the variables of `returned` (return values' destinations) that the dataset lacks.
    void noteReturns(const QUuid &element, const QString &dataset, const QStringList &returned,
                     QList<Lack> &found);
    // The lack of `element` in `dataset` in `found`, made when it has none yet.
    Lack &lackOf(const QUuid &element, const QString &dataset, QList<Lack> &found);
    const Declared *declared(const QString &dataset);

    const ReportDocument &document_;
    QHash<QString, std::optional<Declared>> declared_;
    // Where each element's lacks stand in the list being found, by dataset: one look-up however
    // many elements lack names.
    QHash<QUuid, QHash<QString, qsizetype>> noted_;
};

// What the condition `expression` of a conditional style of the style `style` names that a
// crosstab of the report lacks. The engine checks the conditions of the report's default style
// in the main dataset and in the cells of every crosstab, whatever styles its cells take; those
// run over no dataset: they declare no fields, only the crosstab's parameters, the names the
// engine gives every dataset as parameters, and the crosstab's groups, measures and their totals
// as variables. The warnings, each once, in order; none for another style.
QStringList conditionNotes(const ReportDocument &document, const QString &style,
                           const QString &expression);

// The bar's words for what an edit put where its dataset lacks what it names or returns into:
// `subject` names what the edit placed ("The pasted element", "The list's elements"), `plural`
// whether it is several. Each dataset's clause lists at most `kListedNames` references and counts
// the rest ("… and 40 more"); the variables return values go into have clauses of their own
// ("… returns into $V{Total}, which the dataset "Orders" does not declare"). Empty for no lacks.
inline constexpr qsizetype kListedNames = 12;
QString words(const QList<Lack> &lacks, const QString &subject, bool plural);

} // namespace DatasetLacks
