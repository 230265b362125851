#include "workspace/WorkspaceModel.h"

#include "document/DocumentStore.h"
#include "document/ElementClipboard.h"
#include "workspace/AppSettings.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The cleaned absolute path of a file URL, for opening.
QString absoluteFilePath(const QUrl &url)
{
    return QDir::cleanPath(QFileInfo(url.toLocalFile()).absoluteFilePath());
}

// What identifies a file whatever the spelling of its path: symbolic links, "..", relative
// paths. A file that does not exist falls back to its cleaned absolute path.
QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

WorkspaceModel::WorkspaceModel(QObject *parent)
    : QObject(parent), clipboard_(new ElementClipboard(this))
{
    tabs_ = {makeStore()};
}

DocumentStore *WorkspaceModel::makeStore()
{
    auto *store = new DocumentStore(this);
    store->setClipboard(clipboard_);
    store->setSavePanel(savePanel_);
    connect(store, &DocumentStore::fileURLChanged, this, [this, store] { letOthersGoOf(store); });
    return store;
}

void WorkspaceModel::letOthersGoOf(const DocumentStore *store)
{
    const std::optional<QUrl> &url = store->fileURL();
    if (!url || !url->isLocalFile() || !tabs_.contains(store))
        return;
    const QString identity = fileIdentity(url->toLocalFile());
    for (DocumentStore *tab : std::as_const(tabs_)) {
        const std::optional<QUrl> &other = tab->fileURL();
        if (tab != store && other && other->isLocalFile() &&
            fileIdentity(other->toLocalFile()) == identity)
            tab->followFile(std::nullopt);
    }
}

void WorkspaceModel::setSavePanel(SavePanel panel)
{
    savePanel_ = std::move(panel);
    for (DocumentStore *store : std::as_const(tabs_))
        store->setSavePanel(savePanel_);
}

DocumentStore *WorkspaceModel::loadStore(const QUrl &url)
{
    DocumentStore *store = makeStore();
    try {
        if (const std::optional<ReportFile> file = readAhead_.take(url.toLocalFile()))
            store->load(url, *file);
        else
            store->load(url);
    } catch (...) {
        delete store;
        throw;
    }
    return store;
}

void WorkspaceModel::setTabs(const QList<DocumentStore *> &tabs, int activeIndex)
{
    for (DocumentStore *old : std::as_const(tabs_)) {
        if (!tabs.contains(old))
            old->deleteLater();
    }
    const bool indexChanged = activeTabIndex_ != activeIndex;
    tabs_ = tabs;
    activeTabIndex_ = activeIndex;
    emit tabsChanged();
    if (indexChanged)
        emit activeTabIndexChanged();
}

void WorkspaceModel::setActiveTabIndex(int index)
{
    if (index < 0 || index >= tabs_.size() || index == activeTabIndex_)
        return;
    activeTabIndex_ = index;
    emit activeTabIndexChanged();
}

void WorkspaceModel::setFlag(bool &flag, bool value, void (WorkspaceModel::*changed)())
{
    if (flag == value)
        return;
    flag = value;
    emit(this->*changed)();
}

void WorkspaceModel::setIsNewReportWizardVisible(bool visible)
{
    setFlag(isNewReportWizardVisible_, visible, &WorkspaceModel::isNewReportWizardVisibleChanged);
}

void WorkspaceModel::setIsDataPanelVisible(bool visible)
{
    setFlag(isDataPanelVisible_, visible, &WorkspaceModel::isDataPanelVisibleChanged);
}

void WorkspaceModel::setIsPageSetupVisible(bool visible)
{
    setFlag(isPageSetupVisible_, visible, &WorkspaceModel::isPageSetupVisibleChanged);
}

void WorkspaceModel::setIsSourceVisible(bool visible)
{
    if (!visible && isSourceVisible_ && sourceCloseCheck_ && !sourceCloseCheck_())
        return;
    setFlag(isSourceVisible_, visible, &WorkspaceModel::isSourceVisibleChanged);
}

void WorkspaceModel::setIsParameterPromptVisible(bool visible)
{
    setFlag(isParameterPromptVisible_, visible, &WorkspaceModel::isParameterPromptVisibleChanged);
}

bool WorkspaceModel::isAnySheetOpen() const
{
    return isNewReportWizardVisible_ || isDataPanelVisible_ || isPageSetupVisible_ ||
           isSourceVisible_ || isParameterPromptVisible_;
}

void WorkspaceModel::setPendingParameterValues(const ParameterValues &values)
{
    if (pendingParameterValues_ == values)
        return;
    pendingParameterValues_ = values;
    emit pendingParameterValuesChanged();
}

void WorkspaceModel::setPendingCloseTabIndex(std::optional<int> index)
{
    if (pendingCloseTabIndex_ == index)
        return;
    pendingCloseTabIndex_ = index;
    emit pendingCloseTabIndexChanged();
}

int WorkspaceModel::tabShowing(const QUrl &url) const
{
    return url.isLocalFile() ? tabShowing(absoluteFilePath(url)) : -1;
}

int WorkspaceModel::tabShowing(const QString &filePath) const
{
    const QString identity = fileIdentity(filePath);
    for (qsizetype i = 0; i < tabs_.size(); ++i) {
        const std::optional<QUrl> &url = tabs_.at(i)->fileURL();
        if (url && url->isLocalFile() && fileIdentity(url->toLocalFile()) == identity)
            return int(i);
    }
    return -1;
}

namespace {

// Where a path that is `from` or lies below it stands after `from` moved to `to`; no value for
// any other path.
std::optional<QString> movedPath(const QString &path, const QString &from, const QString &to)
{
    const QString clean = QDir::cleanPath(path);
    const QString source = QDir::cleanPath(from);
    if (clean == source)
        return QDir::cleanPath(to);
    if (clean.startsWith(source + u'/'))
        return QDir::cleanPath(to) + clean.mid(source.size());
    return std::nullopt;
}

} // namespace

void WorkspaceModel::followMovedItem(const QString &fromPath, const QString &toPath,
                                     AppSettings &settings)
{
    for (DocumentStore *tab : std::as_const(tabs_)) {
        const std::optional<QUrl> &url = tab->fileURL();
        if (!url || !url->isLocalFile())
            continue;
        if (const std::optional<QString> moved = movedPath(url->toLocalFile(), fromPath, toPath))
            tab->followFile(QUrl::fromLocalFile(*moved));
    }
    QStringList recent = settings.recentFilePaths();
    for (QString &path : recent)
        path = movedPath(path, fromPath, toPath).value_or(path);
    settings.setRecentFilePaths(recent);
}

void WorkspaceModel::forgetTrashedItem(const QString &path)
{
    for (DocumentStore *tab : std::as_const(tabs_)) {
        const std::optional<QUrl> &url = tab->fileURL();
        if (url && url->isLocalFile() && movedPath(url->toLocalFile(), path, path))
            tab->followFile(std::nullopt);
    }
}

void WorkspaceModel::openTab(const QUrl &url)
{
    const QString path = absoluteFilePath(url);
    if (const int existing = tabShowing(path); existing >= 0) {
        setActiveTabIndex(existing);
        return;
    }
    DocumentStore *store = loadStore(QUrl::fromLocalFile(path));
    if (tabs_.size() == 1 && !tabs_.first()->fileURL() && !tabs_.first()->isDirty()) {
        setTabs({store}, 0);
        return;
    }
    setTabs(tabs_ + QList<DocumentStore *>{store}, int(tabs_.size()));
}

void WorkspaceModel::newTab(double pageWidth, double pageHeight)
{
    DocumentStore *store = makeStore();
    store->newDocument(pageWidth, pageHeight);
    setTabs(tabs_ + QList<DocumentStore *>{store}, int(tabs_.size()));
}

void WorkspaceModel::openDocumentTab(const ReportDocument &document)
{
    DocumentStore *store = makeStore();
    store->setDocument(document);
    if (!document.detailBands.isEmpty())
        store->setActiveBandTarget(BandTarget::detailBand(document.detailBands.first().id));
    setTabs(tabs_ + QList<DocumentStore *>{store}, int(tabs_.size()));
}

void WorkspaceModel::readLastSessionAhead(const AppSettings &settings)
{
    readAhead_.start(settings.lastOpenTabPaths());
}

void WorkspaceModel::restoreLastSession(const AppSettings &settings)
{
    const QStringList paths = settings.lastOpenTabPaths();
    QList<DocumentStore *> restored;
    QStringList identities;
    // The tab each stored path ended up in, or -1 when it was skipped.
    QList<int> tabOfPath;
    for (const QString &stored : paths) {
        const QString path = absoluteFilePath(QUrl::fromLocalFile(stored));
        const QString identity = fileIdentity(path);
        int tab = int(identities.indexOf(identity));
        if (tab < 0 && QFileInfo(path).isFile()) {
            try {
                restored.append(loadStore(QUrl::fromLocalFile(path)));
                identities.append(identity);
                tab = int(restored.size() - 1);
            } catch (const std::exception &) {
                // an unreadable file is left out without a word
            }
        }
        tabOfPath.append(tab);
    }
    readAhead_.clear();
    if (restored.isEmpty())
        return;
    const int stored = std::clamp(settings.lastActiveTabIndex(), 0, int(paths.size() - 1));
    int active = tabOfPath.at(stored);
    if (active < 0) {
        // The active file is gone: the tab that followed it, or the last one.
        active = int(std::count_if(tabOfPath.cbegin(), tabOfPath.cbegin() + stored,
                                   [](int tab) { return tab >= 0; }));
        active = std::min(active, int(restored.size() - 1));
    }
    setTabs(restored, active);
}

void WorkspaceModel::requestCloseTab(int index)
{
    if (index < 0 || index >= tabs_.size())
        return;
    if (tabs_.at(index)->isDirty()) {
        setPendingCloseTabIndex(index);
        return;
    }
    closeTab(index);
}

void WorkspaceModel::closeTab(int index)
{
    if (index < 0 || index >= tabs_.size())
        return;
    QList<DocumentStore *> remaining = tabs_;
    remaining.removeAt(index);
    if (remaining.isEmpty()) {
        setTabs({makeStore()}, 0);
        return;
    }
    setTabs(remaining, std::min(activeTabIndex_, int(remaining.size() - 1)));
}

bool WorkspaceModel::hasUnsavedChanges() const
{
    return std::any_of(tabs_.cbegin(), tabs_.cend(),
                       [](const DocumentStore *store) { return store->isDirty(); });
}

QStringList WorkspaceModel::openTabPaths() const
{
    QStringList paths;
    for (const DocumentStore *store : tabs_) {
        if (store->fileURL())
            paths.append(store->fileURL()->toLocalFile());
    }
    return paths;
}

int WorkspaceModel::activeTabPathIndex() const
{
    if (!activeStore()->fileURL())
        return 0;
    return int(std::count_if(tabs_.cbegin(), tabs_.cbegin() + activeTabIndex_,
                             [](const DocumentStore *store) { return bool(store->fileURL()); }));
}

void WorkspaceModel::promptForParameterValues(DocumentStore *store, const ParameterAction &then)
{
    QList<ReportParameter> prompted;
    for (const ReportParameter &parameter : store->document().parameters) {
        if (parameter.isForPrompting)
            prompted.append(parameter);
    }
    if (prompted.isEmpty()) {
        then(store->parameterValues());
        return;
    }
    ParameterValues values = store->parameterValues();
    for (const ReportParameter &parameter : std::as_const(prompted)) {
        if (values.contains(parameter.name))
            continue;
        if (const std::optional<QString> literal = parameter.literalDefaultDisplayValue())
            values.insert(parameter.name, *literal);
    }
    pendingParameters_ = prompted;
    emit pendingParametersChanged();
    setPendingParameterValues(values);
    const QPointer<DocumentStore> weakStore = store;
    pendingParameterAction_ = [weakStore, then](const ParameterValues &confirmed) {
        if (weakStore)
            weakStore->setParameterValues(confirmed);
        then(confirmed);
    };
    setIsParameterPromptVisible(true);
}

void WorkspaceModel::confirmParameterPrompt()
{
    const ParameterValues values = pendingParameterValues_;
    const ParameterAction action = std::exchange(pendingParameterAction_, {});
    setIsParameterPromptVisible(false);
    if (action)
        action(values);
}

void WorkspaceModel::dismissParameterPrompt()
{
    pendingParameterAction_ = {};
    setIsParameterPromptVisible(false);
}

bool WorkspaceModel::handleKeyDown(const KeyDown &key, bool reachesStore, bool fromSheet)
{
    const bool sheetOpen = isAnySheetOpen();
    if (key.key == Qt::Key_Escape) {
        if (key.textFieldHasFocus)
            return false;
        if (sheetOpen) {
            if (!fromSheet)
                return false;
            setIsNewReportWizardVisible(false);
            setIsDataPanelVisible(false);
            setIsPageSetupVisible(false);
            setIsSourceVisible(false);
            dismissParameterPrompt();
            return true;
        }
    } else if (sheetOpen) {
        return false;
    }
    return reachesStore && activeStore()->handleKeyDown(key);
}
