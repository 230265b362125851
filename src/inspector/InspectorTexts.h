#pragma once

#include "model/ReportElement.h"

#include <QString>
#include <QStringList>
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

// The text cards.
QString expressionHint();
QString patternPlaceholder();
QString hyperlinkPlaceholder();
// The evaluation times offered, in order; each is its own label and stored text.
QStringList evaluationTimes();
QString evaluationTimeHelp();
// The times the picker offers for an element of the kind holding `current`: all of them, but for
// a subreport only "Now", which is all the engine takes there, and the time its file spelled.
QStringList offeredEvaluationTimes(const ElementKind &kind, const QString &current);
// Whether choosing `time` can be stored: it is offered, and "Group" only while the report has
// groups (the engine refuses it without one).
bool isEvaluationTimeOffered(const ElementKind &kind, const QString &time, const QString &current,
                             bool reportHasGroups);
// The note under a subreport's evaluation time.
QString subreportEvaluationNote();
QString overflowLabel(TextAdjust adjust);
QString overflowHelp();
// What choosing the overflow stores: the choice itself, "Stretch Height" too (no value is what
// the engine does with a text field that sets none: it cuts the text).
std::optional<TextAdjust> storedOverflow(TextAdjust adjust);
QString markupHelp();

// One markup kind of the picker: its label and what choosing it stores.
struct MarkupChoice {
    QString label;
    std::optional<QString> stored;
};
QList<MarkupChoice> markupChoices();
// The entry shown for the stored markup: "None" for no value and for "none"; -1 for a markup
// that is none of the offered kinds.
int markupIndex(const std::optional<QString> &markup);

// The graphic cards.
QString imageExpressionPlaceholder();
QString imageBrowseHelp();
QString breakLabel(BreakType type);
QString breakExplanation(BreakType type);

} // namespace InspectorTexts
