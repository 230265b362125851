#include "app/FileCommands.h"

#include "app/PreviewRun.h"
#include "app/WindowHistory.h"
#include "document/DocumentStore.h"
#include "document/ReportFile.h"
#include "editors/CodeEditorView.h"
#include "engine/ChapterFit.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/LiveConnection.h"
#include "engine/PDFSizeLimit.h"
#include "engine/RequestCancel.h"
#include "engine/SidecarModel.h"
#include "engine/ZipService.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"
#include "navigators/ExplorerFileActions.h"
#include "setup/ReportBookBuilder.h"
#include "setup/ReportBookChapters.h"
#include "widgets/Dialogs.h"
#include "widgets/TextInputFocus.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtConcurrent>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString jrxmlExtension = u"jrxml"_s;

} // namespace

FileCommands::FileCommands(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                           SidecarModel *engine, ConnectionPresetStore *connectionStore,
                           QObject *parent)
    : QObject(parent), workspace_(workspace), settings_(settings), dialogs_(dialogs),
      engine_(engine), connectionStore_(connectionStore),
      history_(new WindowHistory(workspace, this))
{
    connect(history_, &WindowHistory::changed, this, &FileCommands::undoStateChanged);
    compileStep_ = [this](const OpenTab &tab, QObject *context,
                          std::function<void(const std::optional<QString> &)> done) {
        if (!engine_) {
            done(u"The report engine is not available."_s);
            return;
        }
        engine_->compileTab(tab.document, tab.savedURL, context, std::move(done),
                            compileAllCancel_);
    };
    zipStep_ = [](const QString &directory, const QString &destination,
                  const std::atomic<bool> &cancelled) {
        ZipService::zipContents(directory, destination, QString::fromLatin1(ZipService::zipTool),
                                &cancelled);
    };
    // Every tab's store asks here when work needs its report saved first.
    workspace_.setSavePanel([self = QPointer<FileCommands>(this)](
                                const SavePanelRequest &request) -> std::optional<QUrl> {
        if (!self)
            return std::nullopt;
        FilePanelRequest panel;
        panel.message = request.message;
        panel.proposedFileName = request.proposedFileName;
        panel.fileExtensions = {request.fileExtension};
        panel.directory = self->panelFolder(nullptr);
        panel.confirmsReplace = false;
        const std::optional<QUrl> chosen = self->dialogs_.runSavePanel(panel);
        if (!chosen || !self || !self->confirmReplace(nullptr, *chosen))
            return std::nullopt;
        return chosen;
    });
}

QString FileCommands::proposedReportFileName(const ReportDocument &document)
{
    return fileNameComponent(document.name) + u".jrxml"_s;
}

QString FileCommands::proposedExportFileName(const ReportDocument &document,
                                             const std::optional<QUrl> &file, ExportFormat format)
{
    const QString base =
        file ? QFileInfo(file->toLocalFile()).completeBaseName() : fileNameComponent(document.name);
    return base + u'.' + rawValue(format);
}

QString FileCommands::panelFolder(const DocumentStore *store) const
{
    if (store && store->fileURL())
        return QFileInfo(store->fileURL()->toLocalFile()).absolutePath();
    return settings_.projectRootPath().value_or(QString());
}

FilePanelRequest FileCommands::reportSavePanel(const DocumentStore *store) const
{
    FilePanelRequest panel;
    panel.fileExtensions = {jrxmlExtension};
    panel.proposedFileName = proposedReportFileName(store->document());
    panel.directory = panelFolder(store);
    panel.confirmsReplace = false;
    return panel;
}

QString FileCommands::exportTitle(ExportFormat format)
{
    switch (format) {
    case ExportFormat::pdf:
        return u"PDF"_s;
    case ExportFormat::rtf:
        return u"Rich Text (RTF)"_s;
    case ExportFormat::xlsx:
        return u"Excel (XLSX)"_s;
    case ExportFormat::html:
        return u"HTML"_s;
    case ExportFormat::csv:
        return u"CSV"_s;
    case ExportFormat::xml:
        return u"XML"_s;
    case ExportFormat::odt:
        return u"OpenDocument Text (ODT)"_s;
    }
    return {};
}

DocumentStore *FileCommands::store() const
{
    return workspace_.activeStore();
}

bool FileCommands::isEngineBusy() const
{
    return engine_ && engine_->isBusy();
}

// --- Files -----------------------------------------------------------------------------------

void FileCommands::openDocument()
{
    FilePanelRequest panel;
    panel.fileExtensions = {jrxmlExtension};
    panel.directory = panelFolder(store());
    const QList<QUrl> urls = dialogs_.runOpenPanel(panel);
    if (urls.isEmpty())
        return;
    openRecent(urls.first().toLocalFile());
}

void FileCommands::openRecent(const QString &path)
{
    ExplorerFileActions::open(QUrl::fromLocalFile(path), workspace_, settings_, dialogs_);
}

void FileCommands::clearRecentFiles()
{
    settings_.setRecentFilePaths({});
}

bool FileCommands::confirmOverwrite(const DocumentStore *store, const QUrl &url)
{
    if (store->fileURL() != url || !store->hasFileChangedOnDisk())
        return true;
    AlertRequest question{AlertRequest::Style::warning,
                          QFileInfo(url.toLocalFile()).fileName() +
                              u" was changed by another program since you opened it."_s,
                          u"Overwriting it replaces those changes with the report as it is here."_s,
                          {{u"Overwrite"_s, AlertRequest::Role::destructive},
                           {u"Cancel"_s, AlertRequest::Role::cancel}},
                          1};
    return dialogs_.runAlert(question) == 0;
}

bool FileCommands::confirmReplace(const DocumentStore *saving, const QUrl &url)
{
    if (!url.isLocalFile() || !QFileInfo::exists(url.toLocalFile()))
        return true;
    const int showing = workspace_.tabShowing(url);
    const DocumentStore *other = showing >= 0 ? workspace_.tabs().at(showing) : nullptr;
    if (other == saving && saving)
        return true; // its own file: Save as it is
    const QString name = QFileInfo(url.toLocalFile()).fileName();
    const QString consequence =
        other ? u"It is open in another tab. Replacing it leaves that tab's report without a file: "
                u"the tab stays open, marked as changed, until you save it under another name "
                u"or close it."_s
              : u"Replacing it overwrites what it holds."_s;
    AlertRequest question{AlertRequest::Style::warning,
                          u"\u201C%1\u201D already exists. Replace it?"_s.arg(name),
                          consequence,
                          {{u"Replace"_s, AlertRequest::Role::destructive},
                           {u"Cancel"_s, AlertRequest::Role::cancel}},
                          1};
    return dialogs_.runAlert(question) == 0;
}

bool FileCommands::saveTo(DocumentStore *store, const QUrl &url)
{
    if (!confirmOverwrite(store, url))
        return false;
    try {
        store->save(url);
        return true;
    } catch (const DocumentFileError &error) {
        dialogs_.presentError(error.message());
        return false;
    }
}

bool FileCommands::saveWithPanel(DocumentStore *store)
{
    const std::optional<QUrl> url = dialogs_.runSavePanel(reportSavePanel(store));
    return url && confirmReplace(store, *url) && saveTo(store, *url);
}

void FileCommands::saveActiveDocument()
{
    DocumentStore *active = store();
    if (active->fileURL())
        saveTo(active, *active->fileURL());
    else
        saveWithPanel(active);
}

void FileCommands::saveActiveDocumentAs()
{
    saveWithPanel(store());
}

void FileCommands::saveAllDocuments()
{
    // A copy: a tab closed while a panel is open must not move the loop.
    const QList<QPointer<DocumentStore>> tabs(workspace_.tabs().cbegin(), workspace_.tabs().cend());
    for (const QPointer<DocumentStore> &tab : tabs) {
        if (!tab)
            continue;
        if (!tab->fileURL()) {
            saveWithPanel(tab);
        } else if (saveTo(tab, *tab->fileURL()) && tab->activeConnectionID()) {
            DocumentStore::persistActiveConnectionID(tab->activeConnectionID(),
                                                     tab->fileURL()->toLocalFile());
        }
    }
}

void FileCommands::compileAllDocuments()
{
    if (isEngineBusy())
        return;
    const QList<OpenTab> snapshots = PreviewRun::openTabs(workspace_);
    compileAllCancel_ = std::make_shared<RequestCancel>();
    if (engine_)
        engine_->setIsCompilingAll(true);
    compileNext(compileAllCancel_, snapshots, {});
}

void FileCommands::cancelCompileAll()
{
    const std::shared_ptr<RequestCancel> cancel = std::exchange(compileAllCancel_, nullptr);
    if (!cancel)
        return;
    if (engine_) {
        engine_->sidecar().cancel(*cancel);
        engine_->setIsCompilingAll(false);
    }
}

QString FileCommands::compileFailure(const OpenTab &tab, const QString &error)
{
    const QString name = tab.savedURL ? QFileInfo(tab.savedURL->toLocalFile()).fileName()
                         : tab.document.name.isEmpty() ? u"Untitled report"_s
                                                       : tab.document.name;
    return name + u": "_s +
           FriendlyErrorTranslator::translate(error, &tab.document).value_or(error.trimmed());
}

void FileCommands::compileNext(const std::shared_ptr<RequestCancel> &run, QList<OpenTab> remaining,
                               QStringList failures)
{
    if (run != compileAllCancel_)
        return; // called off: nothing more is compiled, nothing reported
    if (remaining.isEmpty()) {
        compileAllCancel_.reset();
        if (engine_)
            engine_->setIsCompilingAll(false);
        // A report that failed leaves no compiled file: silence would read as success.
        if (!failures.isEmpty()) {
            dialogs_.runAlert({AlertRequest::Style::warning,
                               failures.size() == 1
                                   ? u"1 Report Failed to Compile"_s
                                   : u"%1 Reports Failed to Compile"_s.arg(failures.size()),
                               failures.join(u"\n\n"_s),
                               {}});
        }
        return;
    }
    const OpenTab next = remaining.takeFirst();
    // A report's failure is noted and the next one is compiled all the same.
    compileStep_(
        next, this,
        [this, run, next, remaining, failures](const std::optional<QString> &error) mutable {
            if (error)
                failures.append(compileFailure(next, *error));
            compileNext(run, remaining, failures);
        });
}

void FileCommands::newReportBook()
{
    FilePanelRequest panel;
    panel.title = u"Choose Report Book Chapters"_s;
    panel.message = u"Pick the reports to chain together, in order."_s;
    panel.fileExtensions = {jrxmlExtension};
    panel.directory = panelFolder(store());
    panel.allowsMultipleSelection = true;
    const QList<QUrl> chapters = dialogs_.runOpenPanel(panel);
    if (chapters.size() < 2)
        return;
    const ReportDocument book =
        ReportBookBuilder::buildReportBook(u"ReportBook"_s, 595, 842, 30, 30, 20, 20, chapters);
    if (books_)
        books_->remember(book, chapters);
    workspace_.openDocumentTab(book);
    // A chapter the book's page cannot hold keeps the book from printing: it is named now.
    QList<ChapterFit::Chapter> read;
    for (const QUrl &chapter : chapters)
        read.append({chapter.toLocalFile(), std::nullopt});
    if (const QStringList misfits = ChapterFit::misfits(read, book); !misfits.isEmpty()) {
        dialogs_.runAlert({AlertRequest::Style::warning,
                           misfits.size() == 1
                               ? u"A Chapter Does Not Fit the Book's Page"_s
                               : u"%1 Chapters Do Not Fit the Book's Page"_s.arg(misfits.size()),
                           misfits.join(u"\n\n"_s),
                           {}});
    }
    compileChapters(chapters);
}

void FileCommands::compileChapters(QList<QUrl> remaining)
{
    if (remaining.isEmpty())
        return;
    const QUrl chapter = remaining.takeFirst();
    std::optional<ReportDocument> document;
    if (const std::optional<QByteArray> bytes = ReportFile::tryReadBytes(chapter.toLocalFile())) {
        try {
            document = JrxmlCodec::parse(*bytes);
        } catch (const std::exception &) {
        }
    }
    if (!document) {
        std::fprintf(stdout, "Report book: skipped the chapter %s, which does not read\n",
                     qUtf8Printable(chapter.toLocalFile()));
        std::fflush(stdout);
        compileChapters(remaining);
        return;
    }
    compileStep_({*document, chapter}, this,
                 [this, chapter, remaining](const std::optional<QString> &error) {
                     if (error) {
                         std::fprintf(stdout, "Report book: the chapter %s did not compile: %s\n",
                                      qUtf8Printable(chapter.toLocalFile()),
                                      qUtf8Printable(error->trimmed()));
                         std::fflush(stdout);
                     }
                     compileChapters(remaining);
                 });
}

void FileCommands::setZipping(bool zipping)
{
    if (isZipping_ == zipping)
        return;
    isZipping_ = zipping;
    emit isZippingChanged();
}

void FileCommands::zipReportForUpload()
{
    DocumentStore *active = store();
    if (!active->fileURL() || isZipping_)
        return;
    const QUrl fileURL = *active->fileURL();
    // The archive must hold the edits the user sees: when they cannot be saved, say so and
    // upload nothing rather than an outdated file.
    if (active->isDirty() && !saveTo(active, fileURL))
        return;
    const QFileInfo file(fileURL.toLocalFile());
    const QString folder = file.absolutePath();
    FilePanelRequest panel;
    panel.fileExtensions = {u"zip"_s};
    panel.proposedFileName = file.completeBaseName() + u".zip"_s;
    panel.directory = QFileInfo(folder).absolutePath();
    const std::optional<QUrl> destination = dialogs_.runSavePanel(panel);
    if (!destination)
        return;
    setZipping(true);
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    zipCancelled_ = cancelled;
    auto *watcher = new QFutureWatcher<QString>(this);
    zipWatcher_ = watcher;
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, cancelled] {
        const QString error = watcher->result();
        watcher->deleteLater();
        if (!error.isEmpty() && !*cancelled)
            dialogs_.presentError(error);
        setZipping(false);
    });
    watcher->setFuture(QtConcurrent::run(
        [zip = zipStep_, folder, target = destination->toLocalFile(), cancelled]() -> QString {
            try {
                zip(folder, target, *cancelled);
                return {};
            } catch (const ZipService::ZipError &error) {
                return error.description();
            } catch (const std::exception &error) {
                return QString::fromUtf8(error.what());
            }
        }));
}

void FileCommands::cancelZip()
{
    if (!isZipping_ || !zipCancelled_)
        return;
    *zipCancelled_ = true;
    if (zipWatcher_)
        zipWatcher_->waitForFinished();
    setZipping(false);
}

void FileCommands::exportDocument(ExportFormat format)
{
    DocumentStore *active = store();
    if (isEngineBusy())
        return;
    if (format == ExportFormat::pdf &&
        !PDFSizeLimit::confirmIfExceeded(active->document(),
                                         PreviewRun::pageSizeQuestion(dialogs_)))
        return;
    FilePanelRequest panel;
    panel.fileExtensions = {rawValue(format)};
    panel.proposedFileName = proposedExportFileName(active->document(), active->fileURL(), format);
    panel.directory = panelFolder(active);
    const std::optional<QUrl> destination = dialogs_.runSavePanel(panel);
    if (!destination)
        return;
    active->saveIfNeededBeforeCompile();
    const QList<OpenTab> others = PreviewRun::openTabs(workspace_, active);
    const QPointer<DocumentStore> target(active);
    workspace_.promptForParameterValues(active, [this, target, format, url = *destination, others](
                                                    const WorkspaceModel::ParameterValues &values) {
        if (!target || !engine_)
            return;
        std::optional<LiveConnection> connection;
        if (connectionStore_)
            connection = resolveLiveConnection(*target, *connectionStore_);
        // The wait for the keyring may have been called off, and the tab closed meanwhile.
        if (calledOff(connection) || !target || !engine_)
            return;
        engine_->exportReport(
            PreviewRun::engineDocument(*target, books_, others, connection.has_value()), format,
            url, target->fileURL(), others, values, connection,
            books_ ? books_->chapterFiles(target->document(), target->fileURL())
                   : QList<ChapterFile>());
    });
}

// --- Edit ------------------------------------------------------------------------------------

void FileCommands::setWindow(QWidget *window)
{
    history_->setWindow(window);
}

void FileCommands::undo()
{
    history_->undo();
}

void FileCommands::redo()
{
    history_->redo();
}

bool FileCommands::canUndo() const
{
    return history_->canUndo();
}

bool FileCommands::canRedo() const
{
    return history_->canRedo();
}

bool FileCommands::sendToTextField(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (!isTextInputFocused())
        return false;
    QObject *target = focus;
    if (auto *combo = qobject_cast<QComboBox *>(focus); combo && combo->lineEdit())
        target = combo->lineEdit();
    if (QMetaObject::invokeMethod(target, slot))
        return true;
    // Editors without the slot (a spin box, text on a graphics scene) get the standard key.
    static const QHash<QByteArray, QKeySequence::StandardKey> keys = {
        {"cut", QKeySequence::Cut},
        {"copy", QKeySequence::Copy},
        {"paste", QKeySequence::Paste},
        {"selectAll", QKeySequence::SelectAll}};
    const QList<QKeySequence> sequences = QKeySequence::keyBindings(keys.value(slot));
    if (sequences.isEmpty())
        return true;
    const QKeyCombination combination = sequences.first()[0];
    QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
    QApplication::sendEvent(focus, &press);
    return true;
}

void FileCommands::cut()
{
    if (sendToTextField("cut"))
        return;
    store()->copySelectedElements();
    store()->deleteSelectedElement();
}

void FileCommands::copy()
{
    if (!sendToTextField("copy"))
        store()->copySelectedElements();
}

void FileCommands::paste()
{
    if (!sendToTextField("paste"))
        store()->pasteClipboard();
}

void FileCommands::selectAll()
{
    if (!sendToTextField("selectAll"))
        store()->selectAllInActiveBand();
}

void FileCommands::duplicate()
{
    store()->duplicateSelectedElement();
}

void FileCommands::deleteSelection()
{
    store()->deleteSelectedElement();
}

void FileCommands::find(int tag)
{
    if (CodeEditorView *editor = CodeEditorView::enclosing(QApplication::focusWidget()))
        editor->performFindAction(CodeEditorView::FindAction(tag));
}

// --- View ------------------------------------------------------------------------------------

void FileCommands::zoomIn()
{
    store()->zoomIn();
}

void FileCommands::zoomOut()
{
    store()->zoomOut();
}

void FileCommands::actualSize()
{
    store()->setZoomLevel(1.0);
}

void FileCommands::cycleAppearance()
{
    switch (settings_.appearance()) {
    case AppAppearance::system:
        settings_.setAppearance(AppAppearance::light);
        break;
    case AppAppearance::light:
        settings_.setAppearance(AppAppearance::dark);
        break;
    case AppAppearance::dark:
        settings_.setAppearance(AppAppearance::system);
        break;
    }
}
