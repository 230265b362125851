#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWidget>

class QBuffer;
class QPdfDocument;
class QPdfView;

// Shows the PDF of a finished preview render: every page, one below the other, each fitted to
// the view's width. The whole file is read into memory on every update, so a new render written
// to the same place shows as soon as the hosting sheet updates the view; the file is never held
// open. A missing or unreadable file, or bytes that are not a PDF, show an empty view.
class PDFPreviewView : public QWidget {
    Q_OBJECT

public:
    explicit PDFPreviewView(QWidget *parent = nullptr);
    ~PDFPreviewView() override;

    // The PDF file to show; an empty URL shows nothing. Setting it reloads the file, even when
    // it is the same location as before.
    void setUrl(const QUrl &url);
    const QUrl &url() const { return url_; }

    // Reads the file at url() afresh and shows it.
    void reload();

    // The hosted display view; its document is null while nothing is shown.
    QPdfView *pdfView() const { return pdfView_; }

private:
    void clearDocument();

    QUrl url_;
    QPdfView *pdfView_;
    QPdfDocument *document_;
    // The bytes of the shown file; the document reads its pages from them.
    QBuffer *buffer_;
};
