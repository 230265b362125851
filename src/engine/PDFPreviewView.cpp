#include "engine/PDFPreviewView.h"

#include <QBuffer>
#include <QFile>
#include <QFutureWatcher>
#include <QPdfDocument>
#include <QPdfView>
#include <QThread>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>
#include <utility>

namespace {

// A loaded document on its way from the loading thread to the view. One that the view does not
// take (it was destroyed, or a newer reload started) is deleted in the view's thread.
struct Handover {
    QPdfDocument *document = nullptr;
    Handover() = default;
    Handover(const Handover &) = delete;
    Handover &operator=(const Handover &) = delete;
    ~Handover()
    {
        if (document)
            document->deleteLater();
    }
};
using LoadedDocument = std::shared_ptr<Handover>;

// Reads the file at `path`, makes a document of its bytes and measures every page, so that the
// view's layout of the pages finds them ready; runs on a background thread. The document, with
// the buffer it reads from as its child, is handed over to `target`'s thread. No document when
// the file cannot be read or holds no PDF with pages.
LoadedDocument loadDocument(const QString &path, QThread *target)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    file.close();

    auto document = std::make_unique<QPdfDocument>();
    auto *buffer = new QBuffer(document.get());
    buffer->setData(bytes);
    if (!buffer->open(QIODevice::ReadOnly))
        return {};
    document->load(buffer);
    if (document->status() != QPdfDocument::Status::Ready || document->pageCount() == 0)
        return {};
    for (int page = 0; page < document->pageCount(); ++page)
        document->pagePointSize(page);
    document->moveToThread(target);
    auto loaded = std::make_shared<Handover>();
    loaded->document = document.release();
    return loaded;
}

} // namespace

PDFPreviewView::PDFPreviewView(QWidget *parent) : QWidget(parent), pdfView_(new QPdfView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pdfView_);
    pdfView_->setPageMode(QPdfView::PageMode::MultiPage);
    pdfView_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
}

PDFPreviewView::~PDFPreviewView()
{
    clearDocument();
}

void PDFPreviewView::setUrl(const QUrl &url)
{
    url_ = url;
    reload();
}

void PDFPreviewView::reload()
{
    const quint64 generation = ++generation_;
    clearDocument();
    if (url_.isEmpty() || !url_.isLocalFile()) {
        isLoading_ = false;
        emit loaded();
        return;
    }
    isLoading_ = true;
    auto *watcher = new QFutureWatcher<LoadedDocument>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        const LoadedDocument outcome = watcher->result();
        watcher->deleteLater();
        if (generation != generation_)
            return; // a newer reload has started; it shows its own outcome
        isLoading_ = false;
        if (outcome) {
            QPdfDocument *document = std::exchange(outcome->document, nullptr);
            document->setParent(this);
            document_ = document;
            pdfView_->setDocument(document);
        }
        emit loaded();
    });
    watcher->setFuture(QtConcurrent::run(loadDocument, url_.toLocalFile(), thread()));
}

void PDFPreviewView::clearDocument()
{
    pdfView_->setDocument(nullptr);
    if (!document_)
        return;
    // Closing a large document takes about as long as measuring its pages: that happens in the
    // background too. Out of every thread, it can be deleted by any.
    QPdfDocument *closing = std::exchange(document_, nullptr);
    closing->setParent(nullptr);
    closing->moveToThread(nullptr);
    QThreadPool::globalInstance()->start([closing] { delete closing; });
}
