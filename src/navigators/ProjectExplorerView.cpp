#include "navigators/ProjectExplorerView.h"

#include "document/DocumentStore.h"
#include "navigators/ExplorerFileActions.h"
#include "navigators/ExplorerListing.h"
#include "navigators/ExplorerMenus.h"
#include "navigators/ExplorerTreeView.h"
#include "navigators/FileRevealer.h"
#include "navigators/ProjectExplorerState.h"
#include "widgets/CardText.h"
#include "widgets/Dialogs.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMetaMethod>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr double titlePointSize = 12;

QToolButton *headerButton(const QString &symbol, const QString &tooltip, const QString &name,
                          QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setIconSize({14, 14});
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    button->setToolTip(tooltip);
    return button;
}

// Counts a file action in progress for as long as it runs.
class ActionScope {
public:
    explicit ActionScope(int &depth) : depth_(depth) { ++depth_; }
    ~ActionScope() { --depth_; }
    ActionScope(const ActionScope &) = delete;
    ActionScope &operator=(const ActionScope &) = delete;

private:
    int &depth_;
};

} // namespace

ProjectExplorerView::ProjectExplorerView(WorkspaceModel &workspace, AppSettings &settings,
                                         Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), workspace_(workspace), settings_(settings), dialogs_(dialogs),
      state_(new ProjectExplorerState(this))
{
    setObjectName(u"ProjectExplorerView"_s);
    setMinimumWidth(90);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QWidget(this);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(8, 6, 8, 6);
    headerLayout->setSpacing(2);
    title_ = new QLabel(header);
    title_->setObjectName(u"explorer.title"_s);
    title_->setTextFormat(Qt::PlainText);
    QFont titleFont = CardText::sized(title_->font(), titlePointSize);
    titleFont.setWeight(QFont::DemiBold);
    title_->setFont(titleFont);
    headerLayout->addWidget(title_);
    headerLayout->addStretch(1);
    revealActive_ = headerButton(u"scope"_s, u"Reveal current report in Project Explorer"_s,
                                 u"explorer.revealActive"_s, header);
    revealRoot_ =
        headerButton(u"arrow.up.forward.square"_s, ExplorerMenus::revealProjectFolderTooltip(),
                     u"explorer.revealRoot"_s, header);
    chooseRoot_ = headerButton(u"folder.badge.plus"_s, u"Choose project folder"_s,
                               u"explorer.chooseRoot"_s, header);
    for (QToolButton *button : {revealActive_, revealRoot_, chooseRoot_})
        headerLayout->addWidget(button);
    layout->addWidget(header);

    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    model_ = new ExplorerModel(this);
    tree_ = new ExplorerTreeView(model_, this);
    tree_->setObjectName(u"explorer.tree"_s);
    layout->addWidget(tree_, 1);
    empty_ = new QLabel(u"No folder chosen."_s, this);
    empty_->setObjectName(u"explorer.empty"_s);
    empty_->setFont(CardText::sized(empty_->font(), CardText::captionPointSize));
    empty_->setContentsMargins(8, 8, 8, 8);
    empty_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    empty_->setAutoFillBackground(true);
    empty_->setBackgroundRole(QPalette::Base);
    CardText::makeSecondary(empty_);
    layout->addWidget(empty_, 1);

    // The tree's rows hand their clicks, menus and drops to the file actions.
    connect(tree_, &ExplorerTreeView::itemClicked, this, [this](const ExplorerItem &item) {
        clickRow(item.url(), item.isDirectory, item.isRoot);
    });
    connect(tree_, &ExplorerTreeView::menuRequested, this,
            [this](const ExplorerItem &item, const QPoint &at) {
                showMenu(item.url(), item.isDirectory, item.isRoot, at);
            });
    tree_->setDropHandler(
        [this](const QUrl &folder, const QMimeData &data) { return dropOnFolder(folder, data); });

    connect(revealActive_, &QToolButton::clicked, this,
            &ProjectExplorerView::revealActiveFileInTree);
    connect(revealRoot_, &QToolButton::clicked, this, [this] {
        if (const auto root = settings_.projectRootPath())
            showInFileManager(QUrl::fromLocalFile(*root));
    });
    connect(chooseRoot_, &QToolButton::clicked, this, &ProjectExplorerView::chooseFolder);

    // Every announcement of the settings, the workspace and the state draws the tree again.
    const QMetaMethod refresh =
        staticMetaObject.method(staticMetaObject.indexOfSlot("scheduleRefresh()"));
    const QMetaObject &settingsMeta = AppSettings::staticMetaObject;
    for (int i = settingsMeta.methodOffset(); i < settingsMeta.methodCount(); ++i) {
        const QMetaMethod method = settingsMeta.method(i);
        if (method.methodType() == QMetaMethod::Signal && method.parameterCount() == 0)
            connect(&settings_, method, this, refresh);
    }
    connect(&workspace_, &WorkspaceModel::tabsChanged, this, [this] {
        followActiveStore();
        scheduleRefresh();
    });
    connect(&workspace_, &WorkspaceModel::activeTabIndexChanged, this, [this] {
        followActiveStore();
        scheduleRefresh();
    });
    connect(state_, &ProjectExplorerState::changed, this, &ProjectExplorerView::scheduleRefresh);
    followActiveStore();
    rebuild();
}

ProjectExplorerView::~ProjectExplorerView() = default;

QList<ExplorerItem> ProjectExplorerView::rows() const
{
    return model_->rows();
}

std::optional<ExplorerItem> ProjectExplorerView::row(const QString &path) const
{
    if (const ExplorerItem *item = model_->row(model_->indexOf(path)))
        return *item;
    return std::nullopt;
}

QTreeView *ProjectExplorerView::tree() const
{
    return tree_;
}

QRect ProjectExplorerView::rowRect(const QString &path) const
{
    return tree_->visualRect(model_->indexOf(path));
}

std::optional<QUrl> ProjectExplorerView::activeFile() const
{
    return workspace_.activeStore()->fileURL();
}

void ProjectExplorerView::followActiveStore()
{
    DocumentStore *store = workspace_.activeStore();
    if (store == activeStore_)
        return;
    if (activeStore_)
        disconnect(activeStore_, nullptr, this, nullptr);
    activeStore_ = store;
    // A save under a new name moves the highlight.
    connect(store, &DocumentStore::fileURLChanged, this, &ProjectExplorerView::scheduleRefresh);
}

void ProjectExplorerView::scheduleRefresh()
{
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued_ = false;
        if (actionDepth_ > 0) {
            // Drawn again once the action is over.
            scheduleRefresh();
            return;
        }
        rebuild();
    });
}

void ProjectExplorerView::refreshNow()
{
    rebuild();
}

void ProjectExplorerView::updateHeader()
{
    const std::optional<QString> root = settings_.projectRootPath();
    QString title = u"Project"_s;
    if (root) {
        const QString clean = ExplorerFileActions::standardizedPath(QUrl::fromLocalFile(*root));
        title = QFileInfo(clean).fileName().isEmpty() ? clean : QFileInfo(clean).fileName();
    }
    title_->setText(title);
    revealActive_->setEnabled(root && activeFile());
    revealRoot_->setEnabled(root.has_value());
}

void ProjectExplorerView::rebuild()
{
    updateHeader();
    const std::optional<QString> root = settings_.projectRootPath();
    std::optional<QString> open;
    if (const std::optional<QUrl> file = activeFile())
        open = ExplorerFileActions::standardizedPath(*file);
    model_->refresh(root, state_->expandedFolders(), open);
    // Whatever the model holds is shown: a collapsed folder's children are not listed.
    tree_->expandParents(model_->parentsOfRows());
    tree_->setVisible(root.has_value());
    empty_->setVisible(!root);
    if (!pendingScrollPath_.isEmpty())
        QTimer::singleShot(0, this, &ProjectExplorerView::scrollToPendingRow);
}

void ProjectExplorerView::clickRow(const QUrl &url, bool isDirectory, bool isRoot)
{
    if (!isDirectory) {
        const ActionScope scope(actionDepth_);
        ExplorerFileActions::open(url, workspace_, settings_, dialogs_);
        return;
    }
    const QString path = ExplorerFileActions::standardizedPath(url);
    if (isRoot || state_->isExpanded(path))
        state_->collapse(path);
    else
        state_->expand(path);
}

void ProjectExplorerView::showMenu(const QUrl &url, bool isDirectory, bool isRoot,
                                   const QPoint &globalPosition)
{
    QMenu menu(this);
    menu.setObjectName(u"explorer.menu"_s);
    const QList<ExplorerMenus::Entry> entries =
        isDirectory ? ExplorerMenus::folderMenu(isRoot) : ExplorerMenus::fileMenu(url);
    for (const ExplorerMenus::Entry &entry : entries) {
        if (entry.hasDividerAbove)
            menu.addSeparator();
        QAction *action = menu.addAction(entry.title);
        action->setData(int(entry.action));
        if (entry.isDestructive)
            action->setProperty("isDestructive", true);
    }
    QAction *chosen = menuRunner_ ? menuRunner_(menu, globalPosition) : menu.exec(globalPosition);
    if (chosen)
        runMenuEntry(url, isDirectory, chosen->data().toInt());
}

void ProjectExplorerView::runMenuEntry(const QUrl &url, bool isDirectory, int action)
{
    const ActionScope scope(actionDepth_);
    switch (ExplorerMenus::Action(action)) {
    case ExplorerMenus::Action::open:
        ExplorerFileActions::open(url, workspace_, settings_, dialogs_);
        break;
    case ExplorerMenus::Action::reveal:
        showInFileManager(url);
        break;
    case ExplorerMenus::Action::rename:
        if (const std::optional<QUrl> renamed = ExplorerFileActions::promptRename(url, dialogs_)) {
            workspace_.followMovedItem(ExplorerFileActions::standardizedPath(url),
                                       ExplorerFileActions::standardizedPath(*renamed), settings_);
            state_->notifyChanged();
        }
        break;
    case ExplorerMenus::Action::moveToTrash:
        if (ExplorerFileActions::confirmTrashIfOpen(url, workspace_, dialogs_)) {
            if (ExplorerFileActions::moveToTrash(url, dialogs_))
                workspace_.forgetTrashedItem(ExplorerFileActions::standardizedPath(url));
            state_->notifyChanged();
        }
        break;
    case ExplorerMenus::Action::newFolder:
        if (isDirectory) {
            ExplorerFileActions::createNewFolder(url);
            state_->expand(ExplorerFileActions::standardizedPath(url));
            state_->notifyChanged();
        }
        break;
    }
}

bool ProjectExplorerView::dropOnFolder(const QUrl &folder, const QMimeData &data)
{
    const ActionScope scope(actionDepth_);
    const std::optional<QString> source = ExplorerListing::droppedPath(data);
    if (!source)
        return false;
    if (!ExplorerFileActions::confirmMoveIfOpen(QUrl::fromLocalFile(*source), workspace_, dialogs_))
        return false;
    if (!ExplorerFileActions::move(*source, folder, dialogs_))
        return false;
    const QString moved =
        ExplorerFileActions::standardizedPath(folder) + u'/' +
        QFileInfo(ExplorerFileActions::standardizedPath(QUrl::fromLocalFile(*source))).fileName();
    workspace_.followMovedItem(ExplorerFileActions::standardizedPath(QUrl::fromLocalFile(*source)),
                               moved, settings_);
    state_->expand(ExplorerFileActions::standardizedPath(folder));
    state_->notifyChanged();
    return true;
}

void ProjectExplorerView::revealActiveFileInTree()
{
    const std::optional<QString> root = settings_.projectRootPath();
    const std::optional<QUrl> file = activeFile();
    if (!root || !file)
        return;
    const std::optional<QStringList> folders = ExplorerListing::foldersToReveal(*root, *file);
    if (!folders)
        return;
    for (const QString &folder : *folders)
        state_->expand(folder);
    pendingScrollPath_ = ExplorerFileActions::standardizedPath(*file);
    state_->notifyChanged();
}

void ProjectExplorerView::scrollToPendingRow()
{
    const QModelIndex target = model_->indexOf(std::exchange(pendingScrollPath_, QString()));
    if (target.isValid())
        tree_->scrollTo(target, QAbstractItemView::PositionAtCenter);
}

void ProjectExplorerView::showInFileManager(const QUrl &url)
{
    if (!revealer_)
        return;
    revealer_->reveal(url, this, [this, url] {
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        const QString name = QFileInfo(url.toLocalFile()).fileName();
        dialogs_.offerToCopy(u"Can't Show \""_s + (name.isEmpty() ? path : name) + u'"',
                             u"No file manager is set up on this computer to show it in. It is "
                             u"at:\n"_s +
                                 path,
                             u"Copy Path"_s, path);
    });
}

void ProjectExplorerView::chooseFolder()
{
    FilePanelRequest panel;
    panel.choosesDirectories = true;
    panel.directory = settings_.projectRootPath().value_or(QString());
    const QList<QUrl> chosen = dialogs_.runOpenPanel(panel);
    if (chosen.isEmpty())
        return;
    settings_.setProjectRootPath(chosen.first().toLocalFile());
    state_->collapseAll();
}
