#include "setup/ImageExpression.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ImageExpression {

std::optional<QString> stringLiteral(const QString &expression)
{
    const QString trimmed = expression.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(u'"') || !trimmed.endsWith(u'"'))
        return std::nullopt;
    const QString inner = trimmed.mid(1, trimmed.size() - 2);
    // Several parts joined with blanks round the plus sign.
    if (inner.contains("\" +"_L1) || inner.contains("+ \""_L1))
        return std::nullopt;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == u'\\')
            ++i; // the escaped character is part of the pair
        else if (inner.at(i) == u'"')
            return std::nullopt; // an unescaped quote ends the literal early
    }
    QString value = inner;
    value.replace("\\\""_L1, "\""_L1);
    value.replace("\\\\"_L1, "\\"_L1);
    return value;
}

std::optional<QString> subreportDirLiteral(const QString &expression)
{
    static const QString prefix = u"$P{SUBREPORT_DIR} +"_s;
    const QString trimmed = expression.trimmed();
    if (!trimmed.startsWith(prefix))
        return std::nullopt;
    return stringLiteral(trimmed.mid(prefix.size()));
}

std::optional<QUrl> resolve(const QString &expression, const std::optional<QUrl> &reportURL)
{
    std::optional<QString> value = stringLiteral(expression);
    if (!value)
        value = subreportDirLiteral(expression);
    if (!value)
        return std::nullopt;
    const QString lower = value->toLower();
    if (lower.startsWith("http://"_L1) || lower.startsWith("https://"_L1)) {
        const QUrl url(*value, QUrl::StrictMode);
        if (!url.isValid())
            return std::nullopt;
        return url;
    }
    if (value->startsWith(u'/'))
        return QUrl::fromLocalFile(*value);
    if (!reportURL)
        return std::nullopt;
    const QString folder = QFileInfo(reportURL->toLocalFile()).path();
    if (value->isEmpty())
        return QUrl::fromLocalFile(folder);
    return QUrl::fromLocalFile(QDir(folder).filePath(*value));
}

} // namespace ImageExpression
