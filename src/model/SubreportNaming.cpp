#include "SubreportNaming.h"

#include <QRegularExpression>

std::optional<QString> candidateSubreportBaseName(const QString &expression)
{
    std::optional<QString> name = subreportBaseName(expression);
    if (name)
        *name = name->toLower();
    return name;
}

std::optional<QString> subreportBaseName(const QString &expression)
{
    static const QRegularExpression literal(QStringLiteral("\"([^\"]*)\""));
    QString quoted;
    bool found = false;
    QRegularExpressionMatchIterator matches = literal.globalMatch(expression);
    while (matches.hasNext()) {
        quoted = matches.next().captured(1);
        found = true;
    }
    if (!found)
        return std::nullopt;
    const QString component = quoted.mid(quoted.lastIndexOf(QLatin1Char('/')) + 1);
    if (component.isEmpty())
        return std::nullopt;
    return withoutPathExtension(component);
}

QString withoutPathExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

QString fileNameComponent(const QString &name, const QString &fallback)
{
    constexpr qsizetype maximumBytes = 200;
    QString component = name;
    component.replace(QLatin1Char('/'), QLatin1Char('_'))
        .replace(QLatin1Char('\\'), QLatin1Char('_'))
        .replace(QChar(0), QLatin1Char('_'));
    if (component.toUtf8().size() > maximumBytes) {
        // Whole characters only: a surrogate pair is never split.
        qsizetype bytes = 0;
        qsizetype end = 0;
        while (end < component.size()) {
            const qsizetype width = component[end].isHighSurrogate() ? 2 : 1;
            const qsizetype size = component.mid(end, width).toUtf8().size();
            if (bytes + size > maximumBytes)
                break;
            bytes += size;
            end += width;
        }
        component.truncate(end);
    }
    if (component.isEmpty() || component == QLatin1String(".") || component == QLatin1String(".."))
        return fallback;
    return component;
}

QString javaStringLiteral(const QString &text)
{
    QString literal = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            literal += QChar(u'\\');
        if (c == u'\n')
            literal += QStringLiteral("\\n");
        else if (c == u'\r')
            literal += QStringLiteral("\\r");
        else
            literal += c;
    }
    return literal + u'"';
}

QString subreportDirExpression(const QString &fileName)
{
    return QStringLiteral("$P{SUBREPORT_DIR} + ") + javaStringLiteral(fileName);
}
