#include "datapanel/SimpleCSV.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Splits UTF-8 text into rows as its bytes arrive, in pieces of any size. The marks that count
// (quote, comma, CR, LF) are ASCII, which UTF-8 never uses inside a longer sequence, so the bytes
// are split first and a field is decoded once it is whole. Takes no byte past the end of the
// last row wanted.
class RowSplitter {
public:
    explicit RowSplitter(qsizetype rowLimit) : rowLimit_(rowLimit) {}

    bool isFull() const { return rows_.size() >= rowLimit_; }

    // Returns how many of the bytes it took.
    qsizetype feed(QByteArrayView bytes)
    {
        qsizetype taken = 0;
        while (taken < bytes.size() && !isFull())
            take(bytes[taken++]);
        return taken;
    }

    // The end of the text: a quote waiting for its next character just closes the quoted
    // stretch, and an unfinished row counts unless it is still empty.
    QList<QStringList> finish()
    {
        if (!isFull() && (!field_.isEmpty() || !row_.isEmpty()))
            endRow();
        return std::move(rows_);
    }

private:
    void take(char c)
    {
        if (quoteInQuotes_) {
            quoteInQuotes_ = false;
            if (c == '"') {
                field_.append(c);
                return;
            }
            inQuotes_ = false; // the quote closed the stretch; `c` is read outside it
        }
        if (inQuotes_) {
            if (c == '"')
                quoteInQuotes_ = true;
            else
                field_.append(c);
        } else if (c == '"') {
            inQuotes_ = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\n' || c == '\r') {
            // The LF of a CRLF ends a row that is empty, and so dropped like a blank line: the
            // pair counts as one line break.
            endRow();
        } else {
            field_.append(c);
        }
    }

    void endField()
    {
        // A byte-order mark inside the text is a character like any other.
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::Stateless |
                                   QStringConverter::Flag::ConvertInitialBom);
        row_.append(decoder(field_));
        field_.clear();
    }

    void endRow()
    {
        endField();
        // A blank line, or one holding only an empty quoted field, is no row.
        if (row_.size() != 1 || !row_.front().isEmpty())
            rows_.append(row_);
        row_.clear();
    }

    const qsizetype rowLimit_;
    QByteArray field_;
    QStringList row_;
    QList<QStringList> rows_;
    bool inQuotes_ = false;
    bool quoteInQuotes_ = false; // a quote inside quotes, which the next character explains
};

constexpr qint64 readPieceSize = 64 * 1024;

} // namespace

namespace SimpleCSV {

QList<QStringList> parse(const QString &text)
{
    RowSplitter splitter(std::numeric_limits<qsizetype>::max());
    splitter.feed(text.toUtf8());
    return splitter.finish();
}

Head readHead(const QString &path, qsizetype rowLimit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    if (file.peek(3) == "\xEF\xBB\xBF")
        file.skip(3);
    RowSplitter splitter(rowLimit);
    // The bytes the rows were read from, which must be UTF-8 throughout.
    QByteArray taken;
    QByteArray piece(readPieceSize, Qt::Uninitialized);
    while (!splitter.isFull()) {
        const qint64 read =
            file.read(piece.data(), std::min(readPieceSize, headByteLimit + 1 - taken.size()));
        if (read < 0)
            return {{}, file.errorString()};
        if (read == 0)
            break;
        const QByteArrayView bytes(piece.constData(), read);
        taken.append(bytes.first(splitter.feed(bytes)));
        if (!splitter.isFull() && taken.size() > headByteLimit)
            return {{},
                    u"\"%1\" can't be previewed: its header and first rows take up more than "
                    u"%2 MB. A quotation mark left open makes the rest of the file one field."_s
                        .arg(QFileInfo(path).fileName())
                        .arg(headByteLimit / (1024 * 1024))};
    }
    // Stateless: a sequence cut off at the end of the file is an error too.
    QStringDecoder check(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = check(taken);
    if (check.hasError())
        return {{}, u"\"%1\" isn't valid UTF-8 text."_s.arg(QFileInfo(path).fileName())};
    return {splitter.finish(), std::nullopt};
}

} // namespace SimpleCSV
