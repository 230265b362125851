#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The text rules of the code editor that need no widget.
namespace codeediting {

// The names offered after "$F{", "$P{" (or "$P!{") and "$V{", asked for by trigger letter.
using TokenCompletions = std::function<QStringList(QChar letter)>;

// "F", "P" or "V" when the text just before `position` (a UTF-16 offset) opens a reference.
std::optional<QChar> triggerLetter(QStringView text, qsizetype position);

// The candidates whose lower-cased form begins with the lower-cased partial word, in order; all
// candidates when the partial word is empty or nothing matches.
QStringList filterCompletions(const QStringList &candidates, const QString &partialWord);

// What inserting `token` after `before` (none at the very start) types: the token alone after a
// space, "(" or "+"; otherwise " + " before a reference, a string or a "new " expression, and a
// single space before anything else.
QString joinedInsertion(const QString &token, std::optional<QChar> before);

// The start of the word being completed that ends at `position`: letters, digits and underscores.
qsizetype partialWordStart(QStringView text, qsizetype position);

} // namespace codeediting
