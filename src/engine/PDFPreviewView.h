#pragma once

#include <QUrl>
#include <QWidget>

class QPdfDocument;
class QPdfView;

// Shows the PDF of a finished preview render: every page, one below the other, each fitted to
// the view's width. The whole file is read into memory on every update, so a new render written
// to the same place shows as soon as the hosting sheet updates the view; the file is never held
// open. A missing or unreadable file, or bytes that are not a PDF, show an empty view.
//
// Reading, parsing and measuring every page happen on a background thread, so a runaway report's
// huge PDF never freezes the window; the view is empty until the document is ready. Only the
// latest update is shown: one that finishes after a newer one started is dropped.
class PDFPreviewView : public QWidget {
    Q_OBJECT

public:
    explicit PDFPreviewView(QWidget *parent = nullptr);
    ~PDFPreviewView() override;

    // The PDF file to show; an empty URL shows nothing. Setting it reloads the file, even when
    // it is the same location as before.
    void setUrl(const QUrl &url);
    const QUrl &url() const { return url_; }

    // Reads the file at url() afresh and shows it once it is loaded.
    void reload();
    // True from a reload until its outcome is shown.
    bool isLoading() const { return isLoading_; }

    // The hosted display view; its document is null while nothing is shown.
    QPdfView *pdfView() const { return pdfView_; }

signals:
    // A reload has ended: its document is shown, or the view stays empty.
    void loaded();

private:
    void clearDocument();

    QUrl url_;
    QPdfView *pdfView_;
    // The shown document, a child of this view, with the bytes it reads its pages from.
    QPdfDocument *document_ = nullptr;
    // Counts the reloads; a load's outcome is shown only while it is the latest.
    quint64 generation_ = 0;
    bool isLoading_ = false;
};
