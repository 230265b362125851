#include "FriendlyErrorTranslator.h"

#include "PrivateWorkFolder.h"
#include "document/ExpressionUses.h"
#include "model/ReportDocument.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QChar groupSeparator(0x0001);

QString undeclaredAdvice(const QString &kind, const QString &name)
{
    return u"The report uses a " + kind + u" named \"" + name +
           u"\" that isn't declared. Check the spelling, or add a " + kind +
           u" with that name in the Report Data sheet (the Data button).";
}

QString undeclaredInDatasetAdvice(const QString &name, const QString &dataset)
{
    return u"The sub-dataset \"" + dataset +
           u"\", which a list or table runs, uses a field named \"" + name +
           u"\" that it doesn't declare. Check the spelling, or add a field with that name "
           u"to \"" +
           dataset +
           u"\" in the Subdatasets card of the Report Data sheet (the Data "
           u"button).";
}

QString serverDownAdvice(const QString &server)
{
    return u"The database server at " + server +
           u" does not answer: it may not be running, or the connection's host or port may be "
           u"wrong. Check the connection in the Report Data sheet (the Data button).";
}

// Where the engine looked for a file it names by `location`: there, when that is absolute, or in
// the report's folder.
QString lookedFor(const QString &location)
{
    const bool absolute = location.startsWith(u'/') || location.contains(u":/");
    return absolute ? QString(u"at " + location)
                    : QString(u"as \"" + location + u"\" in the report's folder");
}

const QString missingSubreportAdvice = QStringLiteral(
    "A subreport file couldn't be found. Check the subreport's file path/expression, and make "
    "sure it's been compiled (its .jasper file exists next to this report).");

// What the report calls each kind of declaration the engine finds twice, and where it is edited.
struct DuplicateKind {
    QString engineWord;
    QString noun;
    QString where;
};

const QList<DuplicateKind> &duplicateKinds()
{
    static const QString dataSheet = QStringLiteral("the Report Data sheet (the Data button)");
    static const QList<DuplicateKind> kinds = {
        {QStringLiteral("report style"), QStringLiteral("style"),
         QStringLiteral("the Styles card of ") + dataSheet},
        {QStringLiteral("template style"), QStringLiteral("style"),
         QStringLiteral("the style template the report uses")},
        {QStringLiteral("subreport parameter"), QStringLiteral("subreport parameter"),
         QStringLiteral("the subreport's parameters in the Inspector")},
        {QStringLiteral("dataset parameter"), QStringLiteral("dataset parameter"),
         QStringLiteral("the element's dataset parameters in the Inspector")},
        {QStringLiteral("dataset"), QStringLiteral("sub-dataset"), dataSheet},
        {QStringLiteral("parameter"), QStringLiteral("parameter"), dataSheet},
        {QStringLiteral("field"), QStringLiteral("field"), dataSheet},
        {QStringLiteral("variable"), QStringLiteral("variable"), dataSheet},
        {QStringLiteral("group"), QStringLiteral("group"), dataSheet},
        {QStringLiteral("sort field"), QStringLiteral("sort field"), dataSheet},
        {QStringLiteral("scriptlet"), QStringLiteral("scriptlet"), dataSheet},
    };
    return kinds;
}

// The advice for a class that `subject` ("The report", "The chapter \"A.jrxml\" of this book")
// names itself and that the engine does not have; `whose` is its word for that report: "report",
// "chapter" or "subreport". `importedAs`: the report's import of the class, if it has one.
QString ownClassAdvice(const QString &subject, const QString &whose, const QString &name,
                       const QString &importedAs = {})
{
    const bool imported = !importedAs.isEmpty();
    const QString which = imported && importedAs != name
                              ? QString(u", which it imports as " + importedAs + u" and which")
                              : u", which"_s;
    const QString toPreview = whose == u"report"    ? u" to preview it."_s
                              : whose == u"chapter" ? u" to preview the book."_s
                                                    : u" to preview this report."_s;
    return subject + u" needs the class \"" + name + u'"' + which +
           u" is not on the report engine's class path: it is the " + whose +
           u"'s own (a chart customizer or a scriptlet, say), not part of Quillmark. The engine "
           u"here runs only the classes it comes with, so take the class's name " +
           (imported ? u"and its import "_s : u""_s) + u"out of the " + whose + toPreview;
}

// A class an expression or an import of the report names and the compiler does not find, in
// the words of the Java compiler or of Groovy's: the class, and the import that names it where
// the compiler's text shows one. A lower-case name standing alone is a variable rather than a
// class.
std::optional<QString> unresolvedClassAdvice(const QString &raw)
{
    static const QRegularExpression imports(
        QStringLiteral(
            "(?:Only a type can be imported\\. ([\\w.$]+) resolves to a package|The import "
            "([\\w.$]+) cannot be resolved|unable to resolve class ([\\w.$]+)[^\\n]*\\n[^\\n]*\\n"
            "\\s*import )"),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression uses(
        QStringLiteral("(?:^|\\n|: )(?:([\\w.$]+) cannot be resolved( to a type)?|unable to "
                       "resolve class ([\\w.$]+)), in the expression: ([^\\n]*)"),
        QRegularExpression::UseUnicodePropertiesOption);
    QString imported;
    if (const QRegularExpressionMatch match = imports.match(raw); match.hasMatch())
        imported = match.captured(1) + match.captured(2) + match.captured(3);
    QString name;
    QString expression;
    for (auto it = uses.globalMatch(raw); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString candidate = match.captured(1) + match.captured(3);
        const bool typeNamed = !match.captured(2).isEmpty() || !match.captured(3).isEmpty();
        if (typeNamed || candidate.contains(u'.') || candidate.front().isUpper()) {
            name = candidate;
            expression = match.captured(4);
            break;
        }
    }
    if (name.isEmpty() && imported.isEmpty())
        return std::nullopt;
    if (name.isEmpty()) {
        return u"The report imports the class \"" + imported +
               u"\", which is not on the report engine's class path: it is the report's own (a "
               u"library of its own, say), not part of Quillmark. The engine here runs only the "
               u"classes it comes with, so take the import out of the report's JRXML (the </> "
               u"button) to preview it.";
    }
    if (imported != name && !imported.endsWith(u'.' + name))
        imported.clear(); // the import of another class
    return ownClassAdvice(u"The report"_s, u"report"_s, name, imported) +
           u"\nThe expression that names it: " + expression;
}

const QString missingComponentAdvice = QStringLiteral(
    "Quillmark is missing an optional component needed for this feature. Try the Report a Bug "
    "button on the toolbar so this can be looked into.");

// The rules that need nothing but a plain, case-sensitive substring test, in their turn after the
// pattern rules that come first.
struct ContainsRule {
    QString text;
    QString advice;
    // The rule does not count the text where this stands right before it.
    QString notAfter = {};

    bool matches(const QString &raw) const
    {
        for (qsizetype at = raw.indexOf(text); at >= 0; at = raw.indexOf(text, at + 1)) {
            if (notAfter.isEmpty() || !QStringView(raw).first(at).endsWith(notAfter))
                return true;
        }
        return false;
    }
};

const QList<ContainsRule> &containsRulesAfterOperator()
{
    static const QList<ContainsRule> rules = {
        {QStringLiteral("insert \")\" to complete Expression"),
         QStringLiteral("The expression is missing a closing parenthesis \")\".")},
        {QStringLiteral("Syntax error"),
         QStringLiteral("The expression has a syntax error - check for a missing value, a stray "
                        "or missing operator, or a typo.")},
        {QStringLiteral("FileNotFoundException"), missingSubreportAdvice},
        {QStringLiteral("Could not load object from location"), missingSubreportAdvice},
        {QStringLiteral("NoClassDefFoundError"), missingComponentAdvice},
        {QStringLiteral("ClassNotFoundException"), missingComponentAdvice},
        {QStringLiteral("NumberFormatException"),
         QStringLiteral("A value couldn't be converted to a number - check that the field or "
                        "parameter actually contains numeric data, or that a pattern/format mask "
                        "matches the real data.")},
        // The XML parser's exception is about the report file, not about a value.
        {QStringLiteral("ParseException"),
         QStringLiteral("A value couldn't be parsed as a date/number - check that the pattern "
                        "(e.g. \"MM/dd/yyyy\") matches what the actual data looks like."),
         QStringLiteral("SAX")},
        {QStringLiteral("NullPointerException"),
         QStringLiteral("Something the report needed turned out to be empty (null) - likely a "
                        "field, parameter, or variable with no value. Consider a null check in "
                        "the expression (e.g. $F{x} == null ? \"\" : $F{x}.toString()) or "
                        "turning on \"Blank When Null\".")},
    };
    return rules;
}

} // namespace

std::optional<QString> FriendlyErrorTranslator::translate(const QString &raw,
                                                          const ReportDocument *report)
{
    // A chapter of a book: the book cannot shrink what the chapter holds. Our own words of a
    // chapter that does not fit stand as they are. A chapter the engine refuses is named, and so
    // is a subreport compiled from another tab, with the advice for what the engine says of it.
    if (raw.startsWith(u"The chapter \"") && raw.contains(u"\" does not fit the book's page: "))
        return raw.trimmed();
    if (auto named = firstMatch(raw,
                                QStringLiteral("^(The (?:chapter \"[^\"]+\" of this book|subreport "
                                               "\"[^\"]+\", open in another tab,) does not "
                                               "compile): "),
                                1)) {
        const std::optional<QString> inner = translate(raw.mid(named->size() + 2));
        const QString then = inner ? QString(u": " + *inner)
                                   : u"; the engine's words are under Technical Details."_s;
        if (named->startsWith(u"The chapter"))
            return *named + u", so the book cannot print. Open the chapter and correct it there" +
                   then;
        return *named + u", so this report cannot print. Open that tab and correct it there" + then;
    }
    // A picture or a subreport the engine did not find: which file, and where it looked.
    if (auto location = firstMatch(
            raw, QStringLiteral("Byte data not found at\\s*:?\\s*([^\\n]*[^\\s.])"), 1)) {
        return u"The image file \"" + location->section(u'/', -1) +
               u"\" was not found: the engine looked for it " + lookedFor(*location) +
               u". Put the picture there, or change the image's expression to where it is.";
    }
    if (auto location =
            firstMatch(raw, QStringLiteral("Resource not found at\\s*:?\\s*([^\\n]*[^\\s.])"), 1)) {
        return u"The subreport file \"" + location->section(u'/', -1) +
               u"\" couldn't be found: the engine looked for it " + lookedFor(*location) +
               u". Check the subreport's file path/expression, and make sure it's been compiled "
               u"(its .jasper file exists where the expression points).";
    }
    // A file the engine was to write in a folder that cannot be written, or on a disk that is
    // full.
    if (auto groups = firstMatch(raw,
                                 QStringLiteral("Cannot write \"([^\\n]+)\": (its folder cannot be "
                                                "written|the disk that holds it is full) "
                                                "\\(([^\\n]*)\\)\\."),
                                 3)) {
        const QStringList parts = groups->split(groupSeparator);
        if (parts.size() == 3) {
            const QString &file = parts[0];
            const QString folder = QFileInfo(file).path();
            const bool full = parts[1].startsWith(u"the disk");
            const QString why = full ? QString(u"the disk that holds it is full (" + parts[2] +
                                               u"). Free some space on that disk and try again")
                                     : QString(u"the folder \"" + folder +
                                               u"\" cannot be written (" + parts[2] + u')');
            if (file.endsWith(u".jasper"))
                return u"The compiled report goes beside the report, to \"" + file + u"\", but " +
                       why +
                       (full ? u", or save the report on another disk."_s
                             : u". Save the report in a folder you can write to, or make this "
                               u"folder writable."_s);
            if (full && file.contains(u'/' + PrivateWorkFolder::sessionName() + u'/'))
                return u"Quillmark's work file \"" + file + u"\" cannot be written: " + why + u'.';
            return u"\"" + file + u"\" cannot be written: " + why +
                   (full ? u", or choose a folder on another disk."_s
                         : u". Choose a folder you can write to, or make this folder writable."_s);
        }
    }
    // A host name that has no address, before the driver's words about a failed connection.
    if (auto host = firstMatch(raw, QStringLiteral("Unknown host (\\S+)\\. "), 1)) {
        return u"The database server's host name \"" + *host +
               u"\" was not found: it may be misspelt, or known only on a network this computer "
               u"is not on. Check the connection in the Report Data sheet (the Data button).";
    }
    // A database that does not answer at all, before anything about the query.
    if (auto server = firstMatch(raw, QStringLiteral("Connection to (\\S+) refused"), 1))
        return serverDownAdvice(*server);
    if (auto groups = firstMatch(
            raw, QStringLiteral("TCP/IP connection to the host ([^,]+), port (\\d+) has failed"),
            2)) {
        const QStringList parts = groups->split(groupSeparator);
        if (parts.size() == 2)
            return serverDownAdvice(parts[0] + u':' + parts[1]);
    }
    // A server that took the connection, or none at all, but never answered in time.
    if (auto server = firstMatch(raw, QStringLiteral("No answer from (\\S+)\\. "), 1)) {
        return u"The database server at " + *server +
               u" did not answer in time: the host or port may belong to another program, or a "
               u"firewall may be holding the connection. Check the connection in the Report Data "
               u"sheet (the Data button).";
    }
    // The engine's own words for a name declared twice; its loader reports it through the XML
    // parser, whose exception would otherwise read as a value that did not parse.
    if (auto groups = firstMatch(
            raw, QStringLiteral("Duplicate declaration of ([a-z ]+): ([^\\n]*[^\\n.])"), 2)) {
        const QStringList parts = groups->split(groupSeparator);
        for (const DuplicateKind &kind : duplicateKinds()) {
            if (parts.size() == 2 && parts[0] == kind.engineWord) {
                return u"The report declares the " + kind.noun + u" \"" + parts[1] +
                       u"\" twice. Rename or remove one of the two in " + kind.where + u'.';
            }
        }
    }
    // An expression that defines a class (new Object() { ... }): the engine loads only the
    // report's own expression class, not the classes compiled beside it.
    if (firstMatch(
            raw,
            QStringLiteral("(?:NoClassDefFoundError|ClassNotFoundException): [^\\n]*\\$\\d+\\b"),
            0)) {
        return QStringLiteral(
            "An expression defines a class of its own (such as new Object() { ... }), which the "
            "engine cannot load. Write the expression without defining a class - a method call "
            "or a condition (a ? b : c) usually does the same.");
    }
    // Before the class-not-found rule, which says no more than that a class is missing.
    if (auto groups = firstMatch(
            raw,
            QStringLiteral("Field \"([^\"]+)\"[^.]*? is declared with the class (\\S+), which "
                           "the engine cannot load"),
            2)) {
        const QStringList parts = groups->split(groupSeparator);
        if (parts.size() == 2) {
            return u"The field \"" + parts[0] + u"\" is declared with the class " + parts[1] +
                   u", which the engine cannot load. Change the field's class in the Report Data "
                   u"sheet (the Data button); java.lang.Object takes any value.";
        }
    }
    if (auto name = firstMatch(raw, QStringLiteral("Field not found\\s*:\\s*(\\S+)"), 1)) {
        if (const std::optional<QString> dataset =
                report ? ExpressionUses::datasetLackingField(*report, *name) : std::nullopt)
            return undeclaredInDatasetAdvice(*name, *dataset);
        return undeclaredAdvice(QStringLiteral("field"), *name);
    }
    if (auto name = firstMatch(raw, QStringLiteral("Parameter not found\\s*:\\s*(\\S+)"), 1))
        return undeclaredAdvice(QStringLiteral("parameter"), *name);
    if (auto name = firstMatch(raw, QStringLiteral("Variable not found\\s*:\\s*(\\S+)"), 1))
        return undeclaredAdvice(QStringLiteral("variable"), *name);
    if (raw.contains(u"No such property")) {
        if (auto name = firstMatch(raw, QStringLiteral("No such property:\\s*(\\w+)"), 1)) {
            return u"The report uses \"" + *name +
                   u"\", which isn't a declared field, parameter, or variable. Check the "
                   u"spelling, or add it in the Report Data sheet (the Data button).";
        }
    }
    // A class the report, a chapter of a book or a subreport names itself (the engine's own
    // classes read as a missing component). A scriptlet's class is edited in the Scriptlets card,
    // where the report declares it there.
    if (auto groups = firstMatch(raw,
                                 QStringLiteral("The (report|chapter \"[^\"]+\" of this book|"
                                                "subreport \"[^\"]+\") needs the class (\\S+), "
                                                "which is not on the engine's class path\\."),
                                 2)) {
        const QStringList parts = groups->split(groupSeparator);
        const auto declared = [&](const QString &name) {
            if (!report)
                return raw.contains(u"Error loading scriptlet class");
            return std::any_of(report->scriptlets.cbegin(), report->scriptlets.cend(),
                               [&](const ReportScriptlet &s) { return s.className == name; });
        };
        if (parts.size() == 2 && !(parts[0] == u"report" && declared(parts[1]))) {
            const QString whose = parts[0].section(u' ', 0, 0);
            return ownClassAdvice(u"The " + parts[0], whose, parts[1]);
        }
    }
    if (raw.contains(u"Error loading scriptlet class")) {
        return QStringLiteral(
            "A Scriptlet is registered with a class name that doesn't exist (or is blank). Open "
            "the Scriptlets card of the Report Data sheet (the Data button) and either fill in a "
            "real Java class name or "
            "remove that scriptlet.");
    }
    // A subreport, or a book's chapter, that the page of the report around it cannot hold:
    // its own bands and margins, not the report's, are what to lower.
    if (auto groups = firstMatch(raw,
                                 QStringLiteral("Band height validation for subreport \"([^\"]+)\" "
                                                "failed in the current page context \\(height = "
                                                "(\\d+), top margin = (\\d+), bottom margin = "
                                                "(\\d+)\\)[^\\n]*\\n\\s*1\\. ([^\\n]*[^\\n.])"),
                                 5)) {
        const QStringList parts = groups->split(groupSeparator);
        if (parts.size() == 5) {
            QString rule = parts[4];
            rule[0] = rule[0].toLower();
            return u"The subreport \"" + parts[0] +
                   u"\" does not fit the page it prints on: the engine lays it out on the page of "
                   u"the report around it, " +
                   parts[1] + u" points high, within both reports' top and bottom margins (" +
                   parts[2] + u" points above and " + parts[3] + u" below in all), and there " +
                   rule + u". Lower the subreport's bands or its own margins in its report.";
        }
    }
    if (raw.contains(u"do not fit the page height")) {
        return QStringLiteral(
            "The bands (plus margins, headers, and footers) are too tall to fit on one page. "
            "Reduce a band's height in the Inspector, or increase the page size in Page Setup.");
    }
    if (auto groups = firstMatch(
            raw,
            QStringLiteral(
                "The operator (\\S+) is undefined for the argument type\\(s\\) (\\w+), (\\w+)"),
            3)) {
        const QStringList parts = groups->split(groupSeparator);
        if (parts.size() == 3) {
            return u"The expression uses \"" + parts[0] + u"\" between a " + parts[1] + u" and a " +
                   parts[2] +
                   u" - these aren't compatible. Check the field/parameter's declared type in the "
                   u"Report Data sheet, or convert the value first (e.g. wrap it in "
                   u"Integer.parseInt(...) or .toString()).";
        }
    }
    // An expression the engine names after the compiler's message about it.
    if (auto expression = firstMatch(raw,
                                     QStringLiteral("insert \"\\)\" to complete Expression[^\\n]*, "
                                                    "in the expression: ([^\\n]*)"),
                                     1))
        return u"This expression is missing a closing parenthesis \")\":\n" + *expression;
    // The Java compiler says "Syntax error", Groovy's parser "Unexpected input" or "Unexpected
    // character".
    if (auto expression = firstMatch(raw,
                                     QStringLiteral("(?:Syntax error|Unexpected input|Unexpected "
                                                    "character)[^\\n]*, in the expression: "
                                                    "([^\\n]*)"),
                                     1)) {
        return u"This expression has a syntax error - check it for a missing value, a stray or "
               u"missing operator, or a typo:\n" +
               *expression;
    }
    // A class the report names itself, which the compiler does not find.
    if (auto advice = unresolvedClassAdvice(raw))
        return advice;
    for (const ContainsRule &rule : containsRulesAfterOperator()) {
        if (rule.matches(raw))
            return rule.advice;
    }
    if (raw.contains(u"does not exist") &&
        (raw.contains(u"column") || raw.contains(u"relation") || raw.contains(u"table"))) {
        return QStringLiteral("The query references a table or column that doesn't exist in the "
                              "database. Check the spelling against the actual database schema.");
    }
    return std::nullopt;
}

QString FriendlyErrorTranslator::annotate(const QString &raw, const ReportDocument *report)
{
    if (auto advice = translate(raw, report))
        return *advice + u"\n\n(Technical details: " + raw + u')';
    return raw;
}

std::optional<QString> FriendlyErrorTranslator::firstMatch(const QString &text,
                                                           const QString &pattern, int groupCount)
{
    // Unicode classes for \w, \s and \S, as the engine's messages may carry any script.
    const QRegularExpression expression(pattern, QRegularExpression::UseUnicodePropertiesOption);
    if (!expression.isValid())
        return std::nullopt;
    const QRegularExpressionMatch match = expression.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int groups = expression.captureCount();
    if (groupCount == 1) {
        if (groups < 1)
            return std::nullopt;
        return match.captured(1);
    }
    QStringList texts;
    for (int i = 1; i <= groupCount; ++i) {
        if (i <= groups)
            texts.append(match.captured(i));
    }
    return texts.join(groupSeparator);
}
