#include "engine/PDFPreviewView.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Writes a PDF of `pages` A4 pages to `path`.
void writePdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawText(QPointF(200, 200), QStringLiteral("Page %1").arg(page + 1));
    }
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

int shownPages(const PDFPreviewView &view)
{
    QPdfDocument *document = view.pdfView()->document();
    return document ? document->pageCount() : -1;
}

// Whether the process holds the file open.
bool isOpenInProcess(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target)
            return true;
    return false;
}

} // namespace

TEST(PDFPreviewView, ShowsEveryPageFittedToWidthAndReadsTheFileAfreshOnEveryUpdate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preview.pdf"));
    writePdf(path, 2);

    PDFPreviewView view;
    EXPECT_EQ(shownPages(view), -1) << "nothing is shown before a location is given";
    EXPECT_EQ(view.pdfView()->pageMode(), QPdfView::PageMode::MultiPage);
    EXPECT_EQ(view.pdfView()->zoomMode(), QPdfView::ZoomMode::FitToWidth);

    view.setUrl(QUrl::fromLocalFile(path));
    EXPECT_EQ(shownPages(view), 2);
    EXPECT_FALSE(isOpenInProcess(path)) << "the view keeps the bytes, not the file";

    // A new render written to the same place shows on the next update.
    writePdf(path, 3);
    view.reload();
    EXPECT_EQ(shownPages(view), 3);
    view.setUrl(QUrl::fromLocalFile(path));
    EXPECT_EQ(shownPages(view), 3);

    view.setUrl(QUrl());
    EXPECT_EQ(shownPages(view), -1);
}

TEST(PDFPreviewView, IsEmptyForBadBytesAMissingFileAndAnythingButALocalFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preview.pdf"));
    writePdf(path, 2);
    PDFPreviewView view;
    view.setUrl(QUrl::fromLocalFile(path));
    ASSERT_EQ(shownPages(view), 2);

    const QByteArray badBytes[] = {QByteArray(), QByteArray("not a pdf at all"),
                                   QByteArray("%PDF-1.4\n%broken\n"), QByteArray(4096, '\0')};
    for (const QByteArray &bytes : badBytes) {
        writeBytes(path, bytes);
        view.reload();
        EXPECT_EQ(shownPages(view), -1) << bytes.left(20).toStdString();

        writePdf(path, 2);
        view.reload();
        ASSERT_EQ(shownPages(view), 2) << "a good file shows again after bad bytes";
    }

    QFile::remove(path);
    view.reload();
    EXPECT_EQ(shownPages(view), -1) << "a deleted file shows nothing";

    writePdf(path, 1);
    view.setUrl(QUrl(QStringLiteral("https://example.invalid/Preview.pdf")));
    EXPECT_EQ(shownPages(view), -1);
    view.setUrl(QUrl::fromLocalFile(dir.path()));
    EXPECT_EQ(shownPages(view), -1) << "a folder is not a PDF";
}
