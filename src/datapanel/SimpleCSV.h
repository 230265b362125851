#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>

// Comma-separated text read in one pass: double quotes (anywhere in a field) start and end a
// quoted stretch in which commas and line breaks are kept and a doubled quote stands for one;
// LF, CR and CRLF each end a row; an unterminated quote runs to the end of the text. Fields are
// neither trimmed nor padded, and rows holding one empty field (blank lines) are dropped.
namespace SimpleCSV {

QList<QStringList> parse(const QString &text);

} // namespace SimpleCSV

// A sample file attached to preview how its columns line up with the report's fields: its
// header row and up to ten rows after it. A failed load keeps the previous file on show and
// says why in `errorMessage`. Nothing of it reaches the report or the preferences.
class QueryTestState : public QObject {
    Q_OBJECT

public:
    static constexpr int previewRowLimit = 10;

    using QObject::QObject;

    const std::optional<QString> &filePath() const { return filePath_; }
    const QStringList &headerRow() const { return headerRow_; }
    const QList<QStringList> &previewRows() const { return previewRows_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }

    // Reads the file as strict UTF-8 (a byte-order mark is not part of the text), parses it
    // and shows its first rows; on failure only the error changes.
    void load(const QString &path);
    void clear();

signals:
    void changed();

private:
    std::optional<QString> filePath_;
    QStringList headerRow_;
    QList<QStringList> previewRows_;
    std::optional<QString> errorMessage_;
};
