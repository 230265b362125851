#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// Finds the picture of an image element without evaluating its expression. Two forms are
// understood: one lone string literal, and "$P{SUBREPORT_DIR} +" followed by a string literal
// (the parameter is taken to be the report's own folder). Everything else has no location.
namespace ImageExpression {

// A web address (http or https, any letter case), the file of an absolute path, or a path
// relative to the folder of `reportURL`. A relative path without a saved report has no
// location. Reads no file.
std::optional<QUrl> resolve(const QString &expression, const std::optional<QUrl> &reportURL);

// The value of one lone string literal, unescaped (\" and \\); no value when the text is
// anything else.
std::optional<QString> stringLiteral(const QString &expression);

// The value of the literal after "$P{SUBREPORT_DIR} +"; no value for any other text.
std::optional<QString> subreportDirLiteral(const QString &expression);

} // namespace ImageExpression
