#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <optional>

// The values the engine model takes and publishes.

// One presentation of the preview; each showing of it is a new session with a fresh id.
struct PreviewSession {
    QUuid id;
    bool operator==(const PreviewSession &) const = default;
};

// Figures of one render as the engine reports them.
struct RenderStats {
    qint64 pageCount = 0;
    qint64 compileMs = 0;
    qint64 fillMs = 0;
    bool operator==(const RenderStats &) const = default;
};

// Sample rows of a live query: the column names, and per row one cell per column; a cell the
// engine did not send as text has no value.
struct QueryResult {
    QStringList columns;
    QList<QList<std::optional<QString>>> rows;
    bool operator==(const QueryResult &) const = default;
};

// A result-set column of a live query: its name and the Java class of its values.
struct LiveField {
    QString name;
    QString className;
    bool operator==(const LiveField &) const = default;
};

// A field or parameter an expression refers to, with the sample value to evaluate it with.
struct ExpressionBinding {
    QString name;
    QString className;
    std::optional<QString> value;
    bool operator==(const ExpressionBinding &) const = default;
};

// Another open report tab: its report and, once saved, its file.
struct OpenTab {
    ReportDocument document;
    std::optional<QUrl> savedURL;
};

// What a background engine job hands back: its value, or the text of the error that ended it.
template <typename T> struct EngineOutcome {
    T value{};
    std::optional<QString> error;
    bool ok() const { return !error.has_value(); }
};
