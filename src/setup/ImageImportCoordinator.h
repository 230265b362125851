#pragma once

#include "setup/ImageImportOptions.h"
#include "setup/ImageImportService.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class DocumentStore;

// The window's one image import. A band drop or the inspector's browse button begins an
// import with the picture and what to do with the expression; the window shows the "Add Image"
// sheet while an import is pending, and the sheet's Import runs it against the active report.
// A report that was never saved is saved first, through a save panel, because pictures are
// stored beside the report file. A picture that is resized or converted is decoded off the
// window's thread: the import is busy meanwhile, and its result is dropped when the import has
// been cancelled or replaced, or its report closed, before it arrives; the decode then gives up.
// Main thread only.
class ImageImportCoordinator : public QObject {
    Q_OBJECT

public:
    using Completion = std::function<void(const QString &expression)>;

    struct PendingImport {
        QUuid id;
        QUrl sourceURL;
        // Called once, after a successful import, with the image expression.
        Completion onImported;
    };

    explicit ImageImportCoordinator(Dialogs &dialogs, QObject *parent = nullptr);
    ~ImageImportCoordinator() override;

    const std::optional<PendingImport> &pending() const { return pending_; }
    void setPending(const std::optional<PendingImport> &pending);
    const ImageImportOptions &options() const { return options_; }
    void setOptions(const ImageImportOptions &options);
    const std::optional<QString> &errorMessage() const { return errorMessage_; }
    void setErrorMessage(const std::optional<QString> &message);

    // Starts an import with fresh options and no message; a pending one is replaced.
    void begin(const QUrl &sourceURL, Completion onImported);

    // The sheet's Import: copies the picture beside `store`'s report, declares SUBREPORT_DIR,
    // hands the expression to the pending completion and ends the import. An unsaved report is
    // saved first (promptSaveThenRetry); any other failure becomes the error message and the
    // import stays pending. A picture that is decoded finishes later, while the import is busy;
    // an Import while busy does nothing.
    void performImport(DocumentStore &store);
    // Whether the pending import's picture is being decoded.
    bool isBusy() const { return running_.has_value(); }
    // Asks where to save the report; after a successful save the import runs again. A cancelled
    // panel changes nothing; a failed save becomes the error message.
    void promptSaveThenRetry(DocumentStore &store);
    // The sheet's Cancel: ends the import without calling its completion and clears the message.
    void cancel();

    // The open panel of the inspector's browse button: one image file of an accepted type.
    std::optional<QUrl> chooseImageFile();

signals:
    void pendingChanged();
    void optionsChanged();
    void errorMessageChanged();
    void busyChanged();

private:
    // Stores the picture beside the report and hands its expression to the import's completion.
    void complete(DocumentStore &store, const PendingImport &pending,
                  const ImageImportService::ProcessedImage &processed);
    void setRunning(const std::optional<QUuid> &id);

    Dialogs &dialogs_;
    // The import whose picture is being decoded.
    std::optional<QUuid> running_;
    std::optional<PendingImport> pending_;
    ImageImportOptions options_;
    std::optional<QString> errorMessage_;
    // Set when nobody waits for the running decode any more: it gives up.
    std::shared_ptr<std::atomic_bool> givenUp_;
};
