#include "CodeEditing.h"

using namespace Qt::StringLiterals;

std::optional<QChar> codeediting::triggerLetter(QStringView text, qsizetype position)
{
    if (position < 1 || position > text.size())
        return std::nullopt;
    const qsizetype from = std::max<qsizetype>(0, position - 4);
    const QStringView before = text.sliced(from, position - from);
    if (before.endsWith(u"$F{"))
        return QChar(u'F');
    if (before.endsWith(u"$P{") || before.endsWith(u"$P!{"))
        return QChar(u'P');
    if (before.endsWith(u"$V{"))
        return QChar(u'V');
    return std::nullopt;
}

QStringList codeediting::filterCompletions(const QStringList &candidates,
                                           const QString &partialWord)
{
    if (partialWord.isEmpty())
        return candidates;
    const QString prefix = partialWord.toLower();
    QStringList matching;
    for (const QString &candidate : candidates) {
        if (candidate.toLower().startsWith(prefix))
            matching.append(candidate);
    }
    return matching.isEmpty() ? candidates : matching;
}

QString codeediting::joinedInsertion(const QString &token, std::optional<QChar> before)
{
    if (!before || *before == u' ' || *before == u'(' || *before == u'+')
        return token;
    if (token.startsWith(u'$') || token.startsWith(u'"') || token.startsWith(u"new "))
        return u" + "_s + token;
    return u" "_s + token;
}

qsizetype codeediting::partialWordStart(QStringView text, qsizetype position)
{
    qsizetype start = std::clamp<qsizetype>(position, 0, text.size());
    while (start > 0 && (text[start - 1].isLetterOrNumber() || text[start - 1] == u'_'))
        --start;
    return start;
}
