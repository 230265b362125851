#include "ExpressionValidation.h"
#include "ExpressionScope.h"

#include "document/DatasetLacks.h"
#include "document/DatasetRuns.h"
#include "model/ReportDocument.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;

namespace {

// Spaces and tabs only: a line break inside the braces stays part of the name.
QString trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.sliced(from, to - from).toString();
}

// The bracket checks over the expression's characters (grapheme clusters).
void checkBrackets(const QString &expression, QStringList &messages)
{
    bool inString = false;
    bool escaped = false;
    QString stack;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, expression);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        const QStringView cluster = QStringView(expression).sliced(start, end - start);
        start = end;
        if (cluster.size() != 1) {
            // A multi-unit cluster is never a quote, backslash or bracket.
            if (inString)
                escaped = false;
            continue;
        }
        const QChar c = cluster.front();
        if (inString) {
            if (c == u'"') {
                inString = escaped;
                escaped = false;
            } else if (c == u'\\') {
                escaped = !escaped;
            } else {
                escaped = false;
            }
            continue;
        }
        if (c == u'"') {
            inString = true;
        } else if (c == u'(' || c == u'{' || c == u'[') {
            stack.append(c);
        } else if (c == u')' || c == u'}' || c == u']') {
            const QChar opening = c == u')' ? u'(' : c == u'}' ? u'{' : u'[';
            if (!stack.isEmpty() && stack.back() == opening)
                stack.chop(1);
            else
                messages.append(u"Unmatched \""_s + c + u"\" - check your brackets/parentheses."_s);
        }
    }
    if (inString)
        messages.append(u"Unclosed string literal - missing a closing \"."_s);
    if (!stack.isEmpty())
        messages.append(u"Unclosed \""_s + stack.back() +
                        u"\" - missing a closing bracket/parenthesis."_s);
}

} // namespace

const QSet<QString> &expressions::builtInNames()
{
    return DatasetRuns::builtInNames();
}

QStringList expressions::validateExpression(const QString &expression,
                                            const ReportDocument &document)
{
    QStringList messages;
    if (expression.isEmpty())
        return messages;
    checkBrackets(expression, messages);

    QStringList groups;
    for (const ReportGroup &group : document.groups)
        groups.append(group.name);
    const DatasetLacks::Declared declared(document.fields, document.parameters, document.variables,
                                          groups);
    // Inside a list the names are the list's dataset's, and the message names it.
    const std::optional<QString> dataset = datasetOfScope(document);
    for (const DatasetLacks::Reference &reference : DatasetLacks::referencesIn(expression)) {
        if (!declared.declares(reference))
            messages.append(DatasetLacks::note(reference, dataset));
    }
    return messages;
}

QStringList expressions::referencedTokens(const QString &expression, const QString &prefix)
{
    const QRegularExpression pattern(u"\\$"_s + prefix + uR"(\{([^}]*)\})"_s);
    QStringList names;
    if (!pattern.isValid())
        return names;
    auto it = pattern.globalMatch(expression);
    while (it.hasNext()) {
        const QString name = trimBlanks(it.next().capturedView(1));
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}
