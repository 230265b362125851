#include "ReportDocument.h"

#include <QRegularExpression>

const QStringList ReportDocument::languages = {QStringLiteral("java"), QStringLiteral("groovy"),
                                               QStringLiteral("javascript")};
const QStringList ReportDocument::queryLanguages = {
    QStringLiteral("sql"),   QStringLiteral("hql"),    QStringLiteral("ejbql"),
    QStringLiteral("xpath"), QStringLiteral("xpath2"), QStringLiteral("csv"),
    QStringLiteral("json"),  QStringLiteral("empty")};

qsizetype ReportDocument::queryLanguageIndex(const QString &language)
{
    for (qsizetype i = 0; i < queryLanguages.size(); ++i)
        if (queryLanguages[i].compare(language, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

// Space separators and the tab; line breaks are kept.
bool isTrimmedSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

void collectSubreportExpressions(const ElementList &elements, QStringList &out)
{
    for (const ReportElement &element : elements) {
        if (const auto *subreport = element.kind.as<ElementKind::Subreport>())
            out.append(subreport->expression);
        else if (const auto *children = element.kind.children())
            collectSubreportExpressions(*children, out);
    }
}

} // namespace

std::optional<QString> ReportParameter::literalDefaultDisplayValue() const
{
    if (!defaultValueExpression)
        return std::nullopt;
    const QString &text = *defaultValueExpression;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(text.at(end - 1)))
        --end;
    const QString trimmed = text.mid(begin, end - begin);
    if (trimmed.isEmpty())
        return std::nullopt;
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
        trimmed.endsWith(QLatin1Char('"')))
        return trimmed.mid(1, trimmed.size() - 2);
    if (trimmed == QLatin1String("true") || trimmed == QLatin1String("false"))
        return trimmed;
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (number.match(trimmed).hasMatch())
        return trimmed;
    return std::nullopt;
}

std::optional<ReportBand> ReportDocument::band(BandType type) const
{
    if (const ReportBand *found = findBand(type))
        return *found;
    return std::nullopt;
}

const ReportBand *ReportDocument::findBand(BandType type) const
{
    for (const ReportBand &b : bands) {
        if (b.type == type)
            return &b;
    }
    return nullptr;
}

QStringList ReportDocument::allSubreportExpressions() const
{
    QStringList out;
    for (const ReportBand &b : bands)
        collectSubreportExpressions(b.elements, out);
    for (const ReportBand &b : detailBands)
        collectSubreportExpressions(b.elements, out);
    for (const ReportGroup &g : groups) {
        collectSubreportExpressions(g.headerElements, out);
        collectSubreportExpressions(g.footerElements, out);
    }
    return out;
}
