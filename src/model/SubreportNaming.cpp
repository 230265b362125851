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
