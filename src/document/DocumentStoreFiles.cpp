#include "document/DocumentStore.h"
#include "document/ReportFile.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {

const QString parameterValuesKey = QStringLiteral("com.quillmark.savedParameterValuesByPath");
const QString connectionIDsKey = QStringLiteral("com.quillmark.activeConnectionIDByPath");

bool isText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

bool isMap(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap;
}

// The stored map from report path to a map of texts (nested) or to a text; a value of any
// other shape counts as an empty map.
QVariantMap readMap(const QString &key, bool nested)
{
    const QVariant stored = QSettings().value(key);
    if (!isMap(stored))
        return {};
    const QVariantMap map = stored.toMap();
    for (const QVariant &entry : map) {
        if (!nested) {
            if (!isText(entry))
                return {};
            continue;
        }
        if (!isMap(entry))
            return {};
        const QVariantMap inner = entry.toMap();
        for (const QVariant &value : inner) {
            if (!isText(value))
                return {};
        }
    }
    return map;
}

// Stores `map` under `key` unless the settings hold it already (nothing stored holds an empty
// map): each write rewrites and syncs the whole settings file, and a load writes back what it
// has just read.
void writeMap(const QString &key, const QVariantMap &map)
{
    QSettings settings;
    const QVariant stored = settings.value(key);
    if (stored.isValid() ? isMap(stored) && stored.toMap() == map : map.isEmpty())
        return;
    settings.setValue(key, map);
}

} // namespace

void DocumentStore::load(const QUrl &location)
{
    const QUrl url = location;
    load(url, ReportFile::read(url));
}

void DocumentStore::load(const QUrl &location, const ReportFile &file)
{
    // The location may live in what the load replaces (the file URL a view hands back).
    const QUrl url = location;
    readerWarnings_ = file.warnings;

    const QString path = url.toLocalFile();
    // The history belongs to the report that was open: an undo must never bring its content
    // back under the new file's name. A pending run is dropped with it.
    pendingUndoSnapshot_.reset();
    pendingUndoKey_.reset();
    pendingUndoTimestamp_.reset();
    const bool hadHistory = !undoStack_.isEmpty() || !redoStack_.isEmpty();
    undoStack_.clear();
    redoStack_.clear();
    if (hadHistory)
        emit undoStacksChanged();
    setDocument(file.document);
    setFileURL(url);
    setSelectedElementID(std::nullopt);
    activateFirstDetailBand();
    setIsDirty(false);
    setParameterValues(loadPersistedParameterValues(path));
    setActiveConnectionID(loadPersistedActiveConnectionID(path));
    fileStamp_ = FileStamp{path, file.bytes.size(), file.hash};
}

QUrl DocumentStore::save(const QUrl &url)
{
    const QByteArray data = JrxmlCodec::serialize(document_);
    // The new text goes to a temporary file that replaces the report only once it is complete,
    // so a failed write leaves the previous file as it was. The write is unbuffered and its
    // count checked: a buffered short write (a full disk) would otherwise go unnoticed by
    // commit() and replace the report with a truncated file.
    QSaveFile file(url.toLocalFile());
    QString failure;
    if (!url.isLocalFile()) {
        failure = QStringLiteral("not a local file");
    } else if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failure = file.errorString();
    } else if (file.write(data) != data.size()) {
        failure = file.error() != QFileDevice::NoError
                      ? file.errorString()
                      : QStringLiteral("the text could not be written completely");
        file.cancelWriting();
    } else if (!file.commit()) {
        failure = file.errorString();
    }
    if (!failure.isEmpty()) {
        throw DocumentFileError(QStringLiteral("The report could not be saved to %1: %2")
                                    .arg(ReportFile::displayPath(url), failure));
    }
    setFileURL(url);
    fileStamp_ = FileStamp{url.toLocalFile(), data.size(), ReportFile::contentHash(data)};
    if (activeConnectionID_)
        persistActiveConnectionID(activeConnectionID_, url.toLocalFile());
    setIsDirty(false);
    return url;
}

void DocumentStore::followFile(const std::optional<QUrl> &url)
{
    if (url && fileStamp_)
        fileStamp_->path = url->toLocalFile();
    else
        fileStamp_.reset();
    setFileURL(url);
    if (!url)
        setIsDirty(true);
}

bool DocumentStore::hasFileChangedOnDisk() const
{
    if (!fileURL_ || !fileStamp_ || fileStamp_->path != fileURL_->toLocalFile())
        return false;
    const QFileInfo info(fileStamp_->path);
    if (!info.exists())
        return false;
    // Something other than a file put in its place (a pipe) is a change, and is not read.
    if (!info.isFile())
        return true;
    QFile file(fileStamp_->path);
    // The size first, which needs no reading; then the bytes themselves. The time is not
    // trusted either way: a touch changes it without changing the report, and a coarse clock
    // keeps it through a quick rewrite.
    if (file.size() != fileStamp_->size)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false; // the write will say what is wrong
    QCryptographicHash hash(ReportFile::hashAlgorithm);
    return !hash.addData(&file) || hash.result() != fileStamp_->hash;
}

void DocumentStore::saveIfNeededBeforeCompile()
{
    if (!isDirty_ || !fileURL_ || hasFileChangedOnDisk())
        return;
    try {
        save(*fileURL_);
    } catch (const DocumentFileError &) {
        // The compile goes ahead with the file as it is on disk.
    }
}

bool DocumentStore::promptSaveIfNeeded()
{
    if (fileURL_)
        return true;
    if (!savePanel_)
        return false;
    SavePanelRequest request;
    request.message = QStringLiteral(
        "Save this report first - a Subreport needs a real location to create its file next to.");
    request.proposedFileName = fileNameComponent(document_.name) + QStringLiteral(".jrxml");
    request.fileExtension = QStringLiteral("jrxml");
    const std::optional<QUrl> chosen = savePanel_(request);
    if (!chosen || chosen->isEmpty())
        return false;
    try {
        save(*chosen);
        return true;
    } catch (const DocumentFileError &error) {
        emit promptedSaveFailed(error.message());
        return false;
    }
}

QMap<QString, QString> DocumentStore::loadPersistedParameterValues(const QString &path)
{
    QMap<QString, QString> values;
    const QVariantMap stored = readMap(parameterValuesKey, true).value(path).toMap();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        values.insert(it.key(), it.value().toString());
    return values;
}

void DocumentStore::persistParameterValues(const QMap<QString, QString> &values,
                                           const QString &path)
{
    QVariantMap entry;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        entry.insert(it.key(), it.value());
    QVariantMap map = readMap(parameterValuesKey, true);
    map.insert(path, entry);
    writeMap(parameterValuesKey, map);
}

std::optional<QUuid> DocumentStore::loadPersistedActiveConnectionID(const QString &path)
{
    const QString text = readMap(connectionIDsKey, false).value(path).toString();
    // Only the plain 8-4-4-4-12 form counts, as it is written.
    const QUuid id = QUuid::fromString(text);
    if (text.size() != 36 || (id.isNull() && text != idText(QUuid())))
        return std::nullopt;
    return id;
}

void DocumentStore::persistActiveConnectionID(const std::optional<QUuid> &id, const QString &path)
{
    QVariantMap map = readMap(connectionIDsKey, false);
    if (id)
        map.insert(path, idText(*id));
    else
        map.remove(path);
    writeMap(connectionIDsKey, map);
}
