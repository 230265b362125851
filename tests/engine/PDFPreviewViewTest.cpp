#include "engine/PDFPreviewView.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace {

void writePdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        painter.drawText(QPointF(200, 200), QStringLiteral("Page %1").arg(page));
        if (page < pages)
            writer.newPage();
    }
}

// The shown document's page count, or -1 when nothing is shown.
int shownPages(const PDFPreviewView &view)
{
    const QPdfDocument *document = view.pdfView()->document();
    return document ? document->pageCount() : -1;
}

bool isOpenInProcess(const QString &path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == QFileInfo(path).canonicalFilePath())
            return true;
    return false;
}

// Waits until the view has shown the outcome of its last reload.
bool settled(const PDFPreviewView &view)
{
    return testsupport::waitFor([&] { return !view.isLoading(); });
}

} // namespace

TEST(PDFPreviewView, ShowsEveryPageFittedToWidthReadAfreshAndNothingForBadFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preview.pdf"));
    writePdf(path, 2);
    PDFPreviewView view;
    EXPECT_EQ(shownPages(view), -1);
    EXPECT_EQ(view.pdfView()->pageMode(), QPdfView::PageMode::MultiPage);
    EXPECT_EQ(view.pdfView()->zoomMode(), QPdfView::ZoomMode::FitToWidth);

    view.setUrl(QUrl::fromLocalFile(path));
    ASSERT_TRUE(settled(view));
    EXPECT_EQ(shownPages(view), 2);
    EXPECT_FALSE(isOpenInProcess(path)) << "the view keeps the bytes, not the file";
    writePdf(path, 3);
    view.reload();
    EXPECT_EQ(shownPages(view), -1) << "the old document goes at once";
    ASSERT_TRUE(settled(view));
    EXPECT_EQ(shownPages(view), 3) << "a new render at the same place shows on the next update";

    for (const QByteArray &bytes : {QByteArray(), QByteArray("not a pdf"),
                                    QByteArray("%PDF-1.4\n%broken\n"), QByteArray(4096, '\0')}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        view.reload();
        ASSERT_TRUE(settled(view));
        EXPECT_EQ(shownPages(view), -1) << bytes.left(20).toStdString();
        writePdf(path, 2);
        view.reload();
        ASSERT_TRUE(settled(view));
        ASSERT_EQ(shownPages(view), 2) << "a good file shows again after bad bytes";
    }

    QFile::remove(path);
    view.reload();
    ASSERT_TRUE(settled(view));
    EXPECT_EQ(shownPages(view), -1) << "a deleted file";
    writePdf(path, 1);
    for (const QUrl &url : {QUrl(), QUrl(QStringLiteral("https://example.invalid/Preview.pdf")),
                            QUrl::fromLocalFile(dir.path())}) {
        view.setUrl(url);
        ASSERT_TRUE(settled(view));
        EXPECT_EQ(shownPages(view), -1) << url.toString().toStdString();
    }
}

TEST(PDFPreviewView, LoadsInTheBackgroundAndShowsOnlyTheLatestUpdate)
{
    QTemporaryDir dir;
    const QString many = dir.filePath(QStringLiteral("Many.pdf"));
    const QString two = dir.filePath(QStringLiteral("Two.pdf"));
    writePdf(many, 400);
    writePdf(two, 2);
    PDFPreviewView view;
    QSignalSpy loaded(&view, &PDFPreviewView::loaded);

    // The call returns before the document is read; the first update is overtaken by the second,
    // so only the second is shown.
    view.setUrl(QUrl::fromLocalFile(many));
    EXPECT_TRUE(view.isLoading());
    EXPECT_EQ(shownPages(view), -1);
    view.setUrl(QUrl::fromLocalFile(two));
    ASSERT_TRUE(settled(view));
    EXPECT_EQ(shownPages(view), 2);
    QTest::qWait(100); // the overtaken load finishes meanwhile
    EXPECT_EQ(shownPages(view), 2);
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(view.pdfView()->document()->thread(), view.thread())
        << "the document belongs to the view's thread";

    // A view that goes while it loads leaves its load to finish alone.
    auto *leaving = new PDFPreviewView;
    leaving->setUrl(QUrl::fromLocalFile(many));
    delete leaving;
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
