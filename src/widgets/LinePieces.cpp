#include "widgets/LinePieces.h"

namespace linepieces {

namespace {

// The mark of a paragraph that continues the line of the one before it.
constexpr int continuesProperty = QTextFormat::UserProperty + 1;

} // namespace

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuesProperty);
}

QTextBlockFormat continuing()
{
    QTextBlockFormat format;
    format.setProperty(continuesProperty, true);
    return format;
}

qsizetype pieceEnd(QStringView line, qsizetype from)
{
    qsizetype end = std::min(line.size(), from + piece);
    if (end < line.size() && end > from + 1 && line.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

} // namespace linepieces
