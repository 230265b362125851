#pragma once

#include "model/ReportElement.h"

#include <QString>
#include <optional>

// Every text the inspector builds from the report: headings, summaries, notes and the labels of
// its pickers. Counted nouns are joined from the count, the noun and an "s" unless the count
// is exactly 1.
namespace InspectorTexts {

// The count in decimal, then the noun, then "s" unless the count is 1: "2 groups".
QString counted(qsizetype count, const QString &noun);

QString multiSelectionTitle(qsizetype count);
QString multiSelectionHint();

QString reportHeader(const QString &reportName);
QString reportSummary(qsizetype parameters, qsizetype fields, qsizetype groups);
QString reportHint();

QString bandHeader(const QString &bandLabel);
QString bandHint();

// The entry of the style picker that stands for no style.
QString noStyleEntry();
QString positionLabel(PositionType type);
QString positionHelp();
QString stretchLabel(StretchType type);
QString printWhenPlaceholder();
QString printWhenHelp();

// The note under a frame's cards, from the number of its direct children.
QString frameNote(qsizetype childCount);
// The text of the card shown for a kind kept as raw XML (chart, crosstab, other component,
// generic element); no value for every other kind.
std::optional<QString> rawKindNotice(const ElementKind &kind);

} // namespace InspectorTexts
