#include "setup/ImageImportCoordinator.h"

#include "document/DocumentStore.h"
#include "model/SubreportNaming.h"
#include "setup/ImageImportService.h"
#include "setup/PicturePool.h"
#include "widgets/Dialogs.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <variant>

using namespace Qt::StringLiterals;

ImageImportCoordinator::ImageImportCoordinator(Dialogs &dialogs, QObject *parent)
    : QObject(parent), dialogs_(dialogs)
{
}

ImageImportCoordinator::~ImageImportCoordinator()
{
    if (givenUp_)
        givenUp_->store(true);
}

void ImageImportCoordinator::setPending(const std::optional<PendingImport> &pending)
{
    const bool same =
        pending_.has_value() == pending.has_value() && (!pending_ || pending_->id == pending->id);
    pending_ = pending;
    // A picture still decoding for an import that has ended is dropped when it arrives.
    if (running_ && (!pending_ || pending_->id != *running_))
        setRunning(std::nullopt);
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

void ImageImportCoordinator::setRunning(const std::optional<QUuid> &id)
{
    if (running_ == id)
        return;
    if (givenUp_)
        givenUp_->store(true);
    givenUp_ = id ? std::make_shared<std::atomic_bool>(false) : nullptr;
    running_ = id;
    emit busyChanged();
}

void ImageImportCoordinator::performImport(DocumentStore &store)
{
    if (!pending_ || running_)
        return;
    const PendingImport pending = *pending_;
    if (!store.fileURL()) {
        promptSaveThenRetry(store);
        return;
    }
    if (!ImageImportService::decodes(options_)) {
        // Copied as it is: nothing to wait for.
        try {
            complete(store, pending, ImageImportService::processImage(pending.sourceURL, options_));
        } catch (const ImageImportError &error) {
            setErrorMessage(error.description());
        }
        return;
    }
    using Outcome = std::variant<ImageImportService::ProcessedImage, ImageImportError>;
    setErrorMessage(std::nullopt);
    setRunning(pending.id);
    auto *watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, pending, target = QPointer<DocumentStore>(&store)] {
                watcher->deleteLater();
                // Cancelled, replaced, or its report closed meanwhile: the picture is dropped.
                if (running_ != pending.id)
                    return;
                setRunning(std::nullopt);
                if (!target)
                    return cancel();
                const Outcome outcome = watcher->result();
                if (const auto *error = std::get_if<ImageImportError>(&outcome))
                    setErrorMessage(error->description());
                else
                    complete(*target, pending,
                             std::get<ImageImportService::ProcessedImage>(outcome));
            });
    watcher->setFuture(QtConcurrent::run(
        &PicturePool::instance(),
        [source = pending.sourceURL, options = options_, givenUp = givenUp_]() -> Outcome {
            try {
                return ImageImportService::processImage(source, options, [givenUp] {
                    return givenUp->load() || PicturePool::isStopping();
                });
            } catch (const ImageImportError &error) {
                return error;
            }
        }));
}

void ImageImportCoordinator::complete(DocumentStore &store, const PendingImport &pending,
                                      const ImageImportService::ProcessedImage &processed)
{
    QString expression;
    try {
        expression = ImageImportService::storeImage(processed, pending.sourceURL, store.fileURL());
    } catch (const ImageImportError &error) {
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
