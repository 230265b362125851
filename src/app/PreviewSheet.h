#pragma once

#include "engine/SidecarModelTypes.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class PDFPreviewView;
class QLabel;
class QScrollArea;
class QStackedWidget;
class SidecarModel;
struct ReportDocument;

// The preview sheet's content. It follows the engine model: progress while a preview renders,
// then the engine's error explained where possible, or the run's figures above the PDF.
class PreviewSheet : public QWidget {
    Q_OBJECT

public:
    explicit PreviewSheet(SidecarModel &engine, QWidget *parent = nullptr);

    // The texts of the figures row: "12 pages", "Compiled in 840ms", "Filled in 95ms".
    static QStringList reportStateTexts(const RenderStats &stats);

    // The report the previews are of (the active tab's), which an error's explanation may name
    // what of; null while there is none.
    void setReport(std::function<const ReportDocument *()> report) { report_ = std::move(report); }

    enum class Body { progress, error, result };
    Body body() const;
    QWidget *statsRow() const { return statsRow_; }
    QList<QLabel *> statsLabels() const { return statsLabels_; }
    QScrollArea *errorArea() const { return errorArea_; }
    PDFPreviewView *pdfView() const { return pdfView_; }

private:
    void refresh();
    QWidget *buildProgress();
    QWidget *buildResult();

    SidecarModel &engine_;
    std::function<const ReportDocument *()> report_;
    QStackedWidget *body_;
    QScrollArea *errorArea_;
    QString shownError_;
    QWidget *statsRow_ = nullptr;
    QWidget *statsDivider_ = nullptr;
    QList<QLabel *> statsLabels_;
    PDFPreviewView *pdfView_ = nullptr;
};
