#include "widgets/SheetDialog.h"

#include "widgets/SheetModality.h"

#include <QKeyEvent>
#include <QLayout>

SheetDialog::SheetDialog(QWidget *window, std::function<void()> onDismiss)
    : QDialog(window), onDismiss_(std::move(onDismiss))
{
    setWindowModality(Qt::WindowModal);
}

void SheetDialog::setEditsActiveReport(bool editsActiveReport)
{
    editsActiveReport_ = editsActiveReport;
    setWindowModality(editsActiveReport ? Qt::NonModal : Qt::WindowModal);
}

void SheetDialog::setShown(bool shown)
{
    if (shown == isVisible())
        return;
    if (shown) {
        setResult(0);
        show();
        return;
    }
    closingFromFlag_ = true;
    QDialog::done(Rejected);
    closingFromFlag_ = false;
}

void SheetDialog::openWith(QWidget *content, const QSize &size)
{
    delete content_;
    content_ = content;
    layout()->addWidget(content);
    resize(size);
    setShown(true);
}

void SheetDialog::closeAndDiscard()
{
    setShown(false);
    if (content_) {
        content_->hide();
        content_->deleteLater();
        content_ = nullptr;
    }
}

void SheetDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SheetDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (editsActiveReport_)
        SheetModality::sheetShown(this);
}

void SheetDialog::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A sheet minimised by the window system still covers its window.
    if (editsActiveReport_ && !event->spontaneous())
        SheetModality::sheetHidden(this);
}

void SheetDialog::done(int result)
{
    if (closesOnlyByFlag_ && !closingFromFlag_) {
        if (onDismiss_)
            onDismiss_();
        return;
    }
    QDialog::done(result);
    if (!closingFromFlag_ && onDismiss_)
        onDismiss_();
}
