#include "ChapterFit.h"

#include "document/ReportFile.h"
#include "model/JrxmlCodec.h"
#include "model/PageLayout.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;
using PageLayout::asWritten;

namespace ChapterFit {

std::optional<QString> misfit(const ReportDocument &chapter, const QString &fileName,
                              const ReportDocument &book)
{
    // The chapter as the engine checks it: on the book's page, within both reports' margins.
    ReportDocument placed = chapter;
    placed.pageHeight = asWritten(book.pageHeight);
    placed.topMargin = asWritten(chapter.topMargin) + asWritten(book.topMargin);
    placed.bottomMargin = asWritten(chapter.bottomMargin) + asWritten(book.bottomMargin);
    const double needed = PageLayout::neededPageHeight(placed);
    if (needed <= placed.pageHeight)
        return std::nullopt;
    const auto points = [](double value) { return QString::number(value); };
    return u"The chapter \""_s + fileName +
           u"\" does not fit the book's page: the book prints it within its own margins ("_s +
           points(asWritten(book.topMargin)) + u" points above, "_s +
           points(asWritten(book.bottomMargin)) + u" below) and the chapter's ("_s +
           points(asWritten(chapter.topMargin)) + u" and "_s +
           points(asWritten(chapter.bottomMargin)) + u"), and with those its bands need "_s +
           points(needed) + u" points of the page's "_s + points(placed.pageHeight) +
           u". Lower the chapter's bands or margins by "_s + points(needed - placed.pageHeight) +
           u" points in its own report."_s;
}

QStringList misfits(const QList<Chapter> &chapters, const ReportDocument &book)
{
    QStringList words;
    for (const Chapter &chapter : chapters) {
        std::optional<QByteArray> jrxml = chapter.held;
        if (!jrxml)
            jrxml = ReportFile::tryReadBytes(chapter.jrxmlPath);
        if (!jrxml)
            continue;
        try {
            if (const std::optional<QString> said = misfit(
                    JrxmlCodec::parse(*jrxml), QFileInfo(chapter.jrxmlPath).fileName(), book))
                words.append(*said);
        } catch (const std::exception &) {
        }
    }
    return words;
}

} // namespace ChapterFit
