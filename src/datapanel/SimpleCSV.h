#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Comma-separated text read in one pass: double quotes (anywhere in a field) start and end a
// quoted stretch in which commas and line breaks are kept and a doubled quote stands for one;
// LF, CR and CRLF each end a row; an unterminated quote runs to the end of the text. Fields are
// neither trimmed nor padded, and rows holding one empty field (blank lines) are dropped.
namespace SimpleCSV {

QList<QStringList> parse(const QString &text);

// The first rows of a file, or why they could not be read.
struct Head {
    QList<QStringList> rows;
    std::optional<QString> error;
};

// The most a file's first rows may take; beyond it the rows are taken for a stray quote.
inline constexpr qint64 headByteLimit = 1024 * 1024;

// Reads a file's first `rowLimit` rows as `parse` finds them, as strict UTF-8 (a byte-order mark
// is not part of the text), and nothing after them: whatever follows them, however long or
// malformed, is never read. Rows that together take more than `headByteLimit` are an error.
Head readHead(const QString &path, qsizetype rowLimit);

} // namespace SimpleCSV
