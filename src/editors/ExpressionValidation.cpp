#include "ExpressionValidation.h"
#include "ExpressionScope.h"

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

template <typename List> QSet<QString> namesOf(const List &items)
{
    QSet<QString> names;
    for (const auto &item : items)
        names.insert(item.name);
    return names;
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

    const QSet<QString> fields = namesOf(document.fields);
    const QSet<QString> parameters = namesOf(document.parameters);
    QSet<QString> variables = namesOf(document.variables);
    // Every group declares the count of its rows.
    for (const ReportGroup &group : document.groups)
        variables.insert(group.name + u"_COUNT"_s);
    // Inside a list the names are the list's dataset's, and the message names it.
    const std::optional<QString> dataset = datasetOfScope(document);
    static const QRegularExpression reference(uR"(\$([PFV])!?\{([^}]*)\})"_s);
    auto it = reference.globalMatch(expression);
    while (it.hasNext()) {
        const auto match = it.next();
        const QString letter = match.captured(1);
        const QString name = trimBlanks(match.capturedView(2));
        const QSet<QString> &declared = letter == u"F"   ? fields
                                        : letter == u"P" ? parameters
                                                         : variables;
        if (name.isEmpty() || declared.contains(name) || builtInNames().contains(name))
            continue;
        const QString kind = letter == u"F"   ? u"field"_s
                             : letter == u"P" ? u"parameter"_s
                                              : u"variable"_s;
        messages.append(u"$"_s + letter + u"{"_s + name + u"} isn't a declared "_s + kind +
                        (dataset
                             ? u" of the dataset \""_s + *dataset + u"\" this element runs in."_s
                             : u" in this report."_s));
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
