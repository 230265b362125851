#pragma once

#include <QList>
#include <QString>
#include <QUuid>

// A ready-made piece of expression the builder offers as a button.
struct ExpressionSnippet {
    QUuid id;
    QString label;
    QString templateText;
    bool operator==(const ExpressionSnippet &) const = default;
};

// The twelve built-in snippets, in the order the builder shows them; their ids are drawn once.
const QList<ExpressionSnippet> &expressionSnippets();
