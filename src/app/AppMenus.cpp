#include "app/AppMenus.h"

#include "app/FileCommands.h"
#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "widgets/HeldTyping.h"
#include "widgets/SheetModality.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

QAction *addItem(QMenu *menu, const QString &title, const QKeySequence &keys,
                 std::function<void()> run)
{
    QAction *item = menu->addAction(title);
    item->setShortcut(keys);
    item->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(item, &QAction::triggered, menu, [run = std::move(run)] { run(); });
    return item;
}

} // namespace

AppMenus::AppMenus(QMenuBar *bar, FileCommands &commands, WorkspaceModel &workspace,
                   AppSettings &settings, QObject *parent)
    : QObject(parent), commands_(commands), workspace_(workspace), settings_(settings), bar_(bar)
{
    buildFile();
    buildEdit();
    buildView();
    connect(&settings_, &AppSettings::recentFilePathsChanged, this, &AppMenus::rebuildOpenRecent);
    connect(&settings_, &AppSettings::appearanceChanged, this, &AppMenus::rebuildAppearance);
    connect(&workspace_, &WorkspaceModel::activeTabIndexChanged, this,
            &AppMenus::followActiveStore);
    connect(&workspace_, &WorkspaceModel::tabsChanged, this, &AppMenus::followActiveStore);
    connect(&commands_, &FileCommands::undoStateChanged, this, &AppMenus::refresh);
    if (SidecarModel *engine = commands_.engine())
        connect(engine, &SidecarModel::isBusyChanged, this, &AppMenus::refresh);
    followActiveStore();
}

QAction *AppMenus::action(const QMenu *menu, const QString &title)
{
    for (QAction *item : menu->actions()) {
        if (item->text() == title)
            return item;
    }
    return nullptr;
}

void AppMenus::buildFile()
{
    file_ = bar_->addMenu(u"File"_s);
    addItem(file_, u"New..."_s, QKeySequence(u"Ctrl+N"_s),
            [this] { workspace_.setIsNewReportWizardVisible(true); });
    addItem(file_, u"New Report Book..."_s, {}, [this] { commands_.newReportBook(); });
    addItem(file_, u"Open..."_s, QKeySequence(u"Ctrl+O"_s), [this] { commands_.openDocument(); });
    openRecent_ = file_->addMenu(u"Open Recent"_s);
    rebuildOpenRecent();
    file_->addSeparator();
    addItem(file_, u"Save"_s, QKeySequence(u"Ctrl+S"_s),
            [this] { commands_.saveActiveDocument(); });
    addItem(file_, u"Save As..."_s, QKeySequence(u"Ctrl+Shift+S"_s),
            [this] { commands_.saveActiveDocumentAs(); });
    export_ = file_->addMenu(u"Export As"_s);
    for (ExportFormat format : allCases<ExportFormat>()) {
        addItem(export_, FileCommands::exportTitle(format), {},
                [this, format] { commands_.exportDocument(format); });
    }
    file_->addSeparator();
    QAction *quitItem = addItem(file_, u"Quit"_s, QKeySequence(u"Ctrl+Q"_s), [this] {
        if (quit_)
            quit_();
    });
    quitItem->setMenuRole(QAction::QuitRole);
}

void AppMenus::setSettingsAction(QAction *settings)
{
    settings->setMenuRole(QAction::PreferencesRole);
    edit_->addSeparator();
    edit_->addAction(settings);
}

void AppMenus::buildEdit()
{
    edit_ = bar_->addMenu(u"Edit"_s);
    undo_ = addItem(edit_, u"Undo"_s, QKeySequence(u"Ctrl+Z"_s), [this] { commands_.undo(); });
    redo_ =
        addItem(edit_, u"Redo"_s, QKeySequence(u"Ctrl+Shift+Z"_s), [this] { commands_.redo(); });
    // The menu opens, and its Undo and Redo work, while a sheet that edits the report covers the
    // window.
    for (QObject *passing : std::initializer_list<QObject *>{edit_->menuAction(), undo_, redo_})
        SheetModality::letThrough(passing);
    // Its Undo and Redo reach the typing held in a field, its Cut, Copy and Paste work in the
    // field: opening it over a field leaves the typing held.
    HeldTyping::keepTypingUnder(edit_);
    edit_->addSeparator();
    // They, and Cut, Copy, Paste and Select All, which work in the field, act on the typing
    // itself; the other items act on the report and commit the typing first.
    QList<QAction *> inField{undo_, redo_};
    inField << addItem(edit_, u"Cut"_s, QKeySequence(u"Ctrl+X"_s), [this] { commands_.cut(); })
            << addItem(edit_, u"Copy"_s, QKeySequence(u"Ctrl+C"_s), [this] { commands_.copy(); })
            << addItem(edit_, u"Paste"_s, QKeySequence(u"Ctrl+V"_s), [this] { commands_.paste(); });
    edit_->addSeparator();
    inField << addItem(edit_, u"Select All"_s, QKeySequence(u"Ctrl+A"_s),
                       [this] { commands_.selectAll(); });
    for (QAction *item : std::as_const(inField))
        HeldTyping::keepTypingFor(item);
    edit_->addSeparator();
    duplicate_ = addItem(edit_, u"Duplicate"_s, QKeySequence(u"Ctrl+D"_s),
                         [this] { commands_.duplicate(); });
    delete_ = addItem(edit_, u"Delete"_s, {}, [this] { commands_.deleteSelection(); });
    edit_->addSeparator();
    addItem(edit_, u"Find..."_s, QKeySequence(u"Ctrl+F"_s), [this] { commands_.find(1); });
    addItem(edit_, u"Find Next"_s, QKeySequence(u"Ctrl+G"_s), [this] { commands_.find(2); });
    addItem(edit_, u"Find Previous"_s, QKeySequence(u"Ctrl+Shift+G"_s),
            [this] { commands_.find(3); });
}

void AppMenus::buildView()
{
    view_ = bar_->addMenu(u"View"_s);
    appearance_ = view_->addMenu(u"Appearance"_s);
    rebuildAppearance();
    view_->addSeparator();
    addItem(view_, u"Zoom In"_s, QKeySequence(u"Ctrl+="_s), [this] { commands_.zoomIn(); });
    addItem(view_, u"Zoom Out"_s, QKeySequence(u"Ctrl+-"_s), [this] { commands_.zoomOut(); });
    addItem(view_, u"Actual Size"_s, QKeySequence(u"Ctrl+0"_s), [this] { commands_.actualSize(); });
}

void AppMenus::rebuildOpenRecent()
{
    openRecent_->clear();
    const QStringList paths = settings_.recentFilePaths();
    if (paths.isEmpty()) {
        openRecent_->addAction(u"No Recent Files"_s)->setEnabled(false);
        return;
    }
    for (const QString &path : paths) {
        // A menu reads "&" as the mark of its access key: "R&D.jrxml" would show as "RD.jrxml".
        QAction *item = openRecent_->addAction(QFileInfo(path).fileName().replace(u'&', u"&&"_s));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { commands_.openRecent(path); });
    }
    openRecent_->addSeparator();
    connect(openRecent_->addAction(u"Clear Menu"_s), &QAction::triggered, this,
            [this] { commands_.clearRecentFiles(); });
}

void AppMenus::rebuildAppearance()
{
    appearance_->clear();
    for (AppAppearance appearance : allCases<AppAppearance>()) {
        QAction *item = appearance_->addAction(rawValue(appearance));
        if (appearance == settings_.appearance())
            item->setIcon(SymbolIcons::icon(u"checkmark"_s));
        connect(item, &QAction::triggered, this,
                [this, appearance] { settings_.setAppearance(appearance); });
    }
}

void AppMenus::followActiveStore()
{
    DocumentStore *active = workspace_.activeStore();
    if (active != observed_) {
        for (const QMetaObject::Connection &connection : storeConnections_)
            disconnect(connection);
        observed_ = active;
        storeConnections_ = {
            connect(active, &DocumentStore::undoStacksChanged, this, &AppMenus::refresh),
            connect(active, &DocumentStore::selectedElementIDsChanged, this, &AppMenus::refresh),
            connect(active, &QObject::destroyed, this, [this] { observed_ = nullptr; })};
    }
    refresh();
}

void AppMenus::refresh()
{
    const DocumentStore *active = workspace_.activeStore();
    undo_->setEnabled(commands_.canUndo());
    redo_->setEnabled(commands_.canRedo());
    const bool hasSelection = !active->selectedElementIDs().isEmpty();
    duplicate_->setEnabled(hasSelection);
    delete_->setEnabled(hasSelection);
    const bool busy = commands_.isEngineBusy();
    for (QAction *item : export_->actions())
        item->setEnabled(!busy);
}
