#include "setup/ImageImportCoordinator.h"

#include "document/DocumentStore.h"
#include "model/SubreportNaming.h"
#include "setup/ImageImportService.h"
#include "widgets/Dialogs.h"

using namespace Qt::StringLiterals;

ImageImportCoordinator::ImageImportCoordinator(Dialogs &dialogs, QObject *parent)
    : QObject(parent), dialogs_(dialogs)
{
}

void ImageImportCoordinator::setPending(const std::optional<PendingImport> &pending)
{
    const bool same =
        pending_.has_value() == pending.has_value() && (!pending_ || pending_->id == pending->id);
    pending_ = pending;
    if (!same)
        emit pendingChanged();
}

void ImageImportCoordinator::setOptions(const ImageImportOptions &options)
{
    if (options_ == options)
        return;
    options_ = options;
    emit optionsChanged();
}

void ImageImportCoordinator::setErrorMessage(const std::optional<QString> &message)
{
    if (errorMessage_ == message)
        return;
    errorMessage_ = message;
    emit errorMessageChanged();
}

void ImageImportCoordinator::begin(const QUrl &sourceURL, Completion onImported)
{
    setErrorMessage(std::nullopt);
    setOptions(ImageImportOptions());
    setPending(PendingImport{QUuid::createUuid(), sourceURL, std::move(onImported)});
}

void ImageImportCoordinator::performImport(DocumentStore &store)
{
    if (!pending_)
        return;
    const PendingImport pending = *pending_;
    QString expression;
    try {
        expression = ImageImportService::importImage(pending.sourceURL, store.fileURL(), options_);
    } catch (const ImageImportError &error) {
        if (error.kind() == ImageImportError::Kind::reportNotSaved)
            promptSaveThenRetry(store);
        else
            setErrorMessage(error.description());
        return;
    }
    store.ensureSubreportDirParameter();
    if (pending.onImported)
        pending.onImported(expression);
    // The completion may have begun another import; only this one ends here.
    if (pending_ && pending_->id == pending.id)
        setPending(std::nullopt);
}

void ImageImportCoordinator::promptSaveThenRetry(DocumentStore &store)
{
    FilePanelRequest request;
    request.proposedFileName = fileNameComponent(store.document().name) + u".jrxml"_s;
    request.fileExtensions = {u"jrxml"_s};
    const std::optional<QUrl> chosen = dialogs_.runSavePanel(request);
    if (!chosen || chosen->isEmpty())
        return;
    try {
        store.save(*chosen);
    } catch (const DocumentFileError &error) {
        setErrorMessage(error.message());
        return;
    }
    // Saved: the import now finds the report's folder.
    if (store.fileURL())
        performImport(store);
}

void ImageImportCoordinator::cancel()
{
    setPending(std::nullopt);
    setErrorMessage(std::nullopt);
}

std::optional<QUrl> ImageImportCoordinator::chooseImageFile()
{
    FilePanelRequest request;
    request.fileExtensions = ImageImportService::acceptedFileExtensions();
    const QList<QUrl> chosen = dialogs_.runOpenPanel(request);
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return chosen.first();
}
