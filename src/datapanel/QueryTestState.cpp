#include "datapanel/QueryTestState.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent>

using namespace Qt::StringLiterals;

void QueryTestState::load(const QString &path)
{
    dropPendingLoad();
    // The header and the rows after it.
    constexpr qsizetype rowLimit = previewRowLimit + 1;
    // A missing file or a folder fails at once; a pipe or a device may make its reader wait.
    const QFileInfo file(path);
    const bool mayTakeLong =
        file.isFile() ? file.size() > largeFileSize : file.exists() && !file.isDir();
    if (!mayTakeLong) {
        show(path, SimpleCSV::readHead(path, rowLimit));
        return;
    }
    pendingLoad_ = new QFutureWatcher<SimpleCSV::Head>(this);
    QFutureWatcher<SimpleCSV::Head> *watcher = pendingLoad_;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        pendingLoad_ = nullptr;
        watcher->deleteLater();
        show(path, watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run([path, rowLimit] { return SimpleCSV::readHead(path, rowLimit); }));
}

void QueryTestState::show(const QString &path, const SimpleCSV::Head &head)
{
    errorMessage_.reset();
    if (head.error)
        errorMessage_ = head.error;
    else if (head.rows.isEmpty())
        errorMessage_ = u"File is empty."_s;
    if (!errorMessage_) {
        filePath_ = path;
        headerRow_ = head.rows.front();
        previewRows_ = head.rows.mid(1, previewRowLimit);
    }
    emit changed();
}

void QueryTestState::clear()
{
    dropPendingLoad();
    filePath_.reset();
    headerRow_.clear();
    previewRows_.clear();
    errorMessage_.reset();
    emit changed();
}

void QueryTestState::dropPendingLoad()
{
    if (!pendingLoad_)
        return;
    // Its read runs to its end on the worker (it stops after the rows shown), unheard.
    pendingLoad_->disconnect(this);
    pendingLoad_->deleteLater();
    pendingLoad_ = nullptr;
}
