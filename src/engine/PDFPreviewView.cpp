#include "engine/PDFPreviewView.h"

#include <QBuffer>
#include <QFile>
#include <QPdfDocument>
#include <QPdfView>
#include <QVBoxLayout>

PDFPreviewView::PDFPreviewView(QWidget *parent)
    : QWidget(parent), pdfView_(new QPdfView(this)), document_(new QPdfDocument(this)),
      buffer_(new QBuffer(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pdfView_);
    pdfView_->setPageMode(QPdfView::PageMode::MultiPage);
    pdfView_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
}

PDFPreviewView::~PDFPreviewView()
{
    // The document reads from the buffer until it is closed.
    pdfView_->setDocument(nullptr);
    document_->close();
}

void PDFPreviewView::setUrl(const QUrl &url)
{
    url_ = url;
    reload();
}

void PDFPreviewView::reload()
{
    clearDocument();
    if (url_.isEmpty() || !url_.isLocalFile())
        return;
    QFile file(url_.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    file.close();

    buffer_->setData(bytes);
    if (!buffer_->open(QIODevice::ReadOnly))
        return;
    document_->load(buffer_);
    if (document_->status() != QPdfDocument::Status::Ready || document_->pageCount() == 0) {
        clearDocument();
        return;
    }
    pdfView_->setDocument(document_);
}

void PDFPreviewView::clearDocument()
{
    pdfView_->setDocument(nullptr);
    document_->close();
    buffer_->close();
    buffer_->setData(QByteArray());
}
