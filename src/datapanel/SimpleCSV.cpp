#include "datapanel/SimpleCSV.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace SimpleCSV {

QList<QStringList> parse(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool inQuotes = false;
    const auto endRow = [&] {
        row.append(field);
        rows.append(row);
        row.clear();
        field.clear();
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != u'"')
                field.append(c);
            else if (i + 1 < size && text[i + 1] == u'"')
                field.append(text[i++]);
            else
                inQuotes = false;
        } else if (c == u'"') {
            inQuotes = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                ++i;
            endRow();
        } else {
            field.append(c);
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        endRow();
    rows.removeIf([](const QStringList &r) { return r.size() == 1 && r.front().isEmpty(); });
    return rows;
}

} // namespace SimpleCSV

namespace {

struct FileText {
    QString text;
    std::optional<QString> error;
};

FileText readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    // Stateless: a sequence cut off at the end is an error too, not kept for more input. The
    // decoder drops a leading byte-order mark.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return {{}, u"\"%1\" isn't valid UTF-8 text."_s.arg(QFileInfo(path).fileName())};
    return {std::move(text), std::nullopt};
}

} // namespace

void QueryTestState::load(const QString &path)
{
    errorMessage_.reset();
    const FileText read = readUtf8(path);
    if (read.error) {
        errorMessage_ = read.error;
        emit changed();
        return;
    }
    const QList<QStringList> rows = SimpleCSV::parse(read.text);
    if (rows.isEmpty()) {
        errorMessage_ = u"File is empty."_s;
        emit changed();
        return;
    }
    filePath_ = path;
    headerRow_ = rows.front();
    previewRows_ = rows.mid(1, previewRowLimit);
    emit changed();
}

void QueryTestState::clear()
{
    filePath_.reset();
    headerRow_.clear();
    previewRows_.clear();
    errorMessage_.reset();
    emit changed();
}
