#include "app/ActionsRow.h"

#include "app/CrashDetection.h"
#include "app/FileCommands.h"
#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "widgets/HeldTyping.h"
#include "widgets/SheetModality.h"
#include "widgets/Spinner.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(16);
    return line;
}

QString appearanceSymbol(AppAppearance appearance)
{
    switch (appearance) {
    case AppAppearance::light:
        return u"sun.max"_s;
    case AppAppearance::dark:
        return u"moon"_s;
    case AppAppearance::system:
        break;
    }
    return u"circle.lefthalf.filled"_s;
}

} // namespace

ActionsRow::ActionsRow(FileCommands &commands, WorkspaceModel &workspace, AppSettings &settings,
                       QWidget *parent)
    : QWidget(parent), commands_(commands), workspace_(workspace), settings_(settings)
{
    setObjectName(u"ActionsRow"_s);
    setFixedHeight(34);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(14);

    row->addWidget(addButton(u"doc.badge.plus"_s, u"New Report"_s,
                             [this] { workspace_.setIsNewReportWizardVisible(true); }));
    row->addWidget(addButton(u"folder"_s, u"Open..."_s, [this] { commands_.openDocument(); }));
    row->addWidget(separator(this));
    // Undo and Redo also reach the report while a sheet that edits it covers the window, and
    // reach the typing a field holds before it.
    for (QToolButton *button :
         {addButton(u"arrow.uturn.backward"_s, u"Undo"_s, [this] { commands_.undo(); }),
          addButton(u"arrow.uturn.forward"_s, u"Redo"_s, [this] { commands_.redo(); })}) {
        SheetModality::letThrough(button);
        HeldTyping::keepTypingFor(button);
        row->addWidget(button);
    }
    row->addWidget(separator(this));
    row->addWidget(addButton(u"square.and.arrow.down"_s, u"Save"_s,
                             [this] { commands_.saveActiveDocument(); }));
    row->addWidget(addButton(u"square.and.arrow.down.on.square"_s, u"Save As..."_s,
                             [this] { commands_.saveActiveDocumentAs(); }));
    row->addWidget(addButton(u"square.stack.3d.down.right"_s, u"Save All"_s,
                             [this] { commands_.saveAllDocuments(); }));
    compileStack_ = withSpinner(addButton(
        u"hammer"_s, u"Compile All Open Reports (refreshes each one's .jasper - no preview)"_s,
        [this] { commands_.compileAllDocuments(); }));
    row->addWidget(compileStack_);
    zipStack_ = withSpinner(
        addButton(u"doc.zipper"_s, QString(), [this] { commands_.zipReportForUpload(); }));
    row->addWidget(zipStack_);
    row->addWidget(separator(this));
    row->addWidget(addButton(u"doc.richtext"_s, u"Page Setup"_s,
                             [this] { workspace_.setIsPageSetupVisible(true); }));
    row->addStretch(1);
    row->addWidget(addButton(u"ladybug"_s,
                             u"Report a Bug (opens a pre-filled email to "_s +
                                 CrashDetection::supportAddress + u")"_s,
                             [this] {
                                 if (reportBug_)
                                     reportBug_();
                             }));
    QToolButton *appearance = addButton(appearanceSymbol(settings_.appearance()), QString(),
                                        [this] { commands_.cycleAppearance(); });
    appearance->setObjectName(u"appearance"_s);
    row->addWidget(appearance);

    connect(&workspace_, &WorkspaceModel::activeTabIndexChanged, this,
            &ActionsRow::followActiveStore);
    connect(&workspace_, &WorkspaceModel::tabsChanged, this, &ActionsRow::followActiveStore);
    connect(&settings_, &AppSettings::appearanceChanged, this, &ActionsRow::refreshAppearance);
    connect(&commands_, &FileCommands::isZippingChanged, this, &ActionsRow::refresh);
    connect(&commands_, &FileCommands::undoStateChanged, this, &ActionsRow::refresh);
    if (SidecarModel *engine = commands_.engine()) {
        connect(engine, &SidecarModel::isBusyChanged, this, &ActionsRow::refresh);
        connect(engine, &SidecarModel::isCompilingAllChanged, this, &ActionsRow::refresh);
    }
    followActiveStore();
    refreshAppearance();
}

QToolButton *ActionsRow::addButton(const QString &symbol, const QString &help,
                                   std::function<void()> action)
{
    auto *button = new QToolButton(this);
    button->setObjectName(symbol);
    button->setAutoRaise(true);
    button->setFixedSize(22, 22);
    button->setIconSize({16, 16});
    button->setIcon(SymbolIcons::icon(symbol));
    button->setProperty("symbolName", symbol);
    button->setToolTip(help);
    button->setAccessibleName(help);
    connect(button, &QToolButton::clicked, this, [action = std::move(action)] { action(); });
    return button;
}

QStackedWidget *ActionsRow::withSpinner(QToolButton *button)
{
    auto *stack = new QStackedWidget(this);
    stack->setFixedSize(22, 22);
    stack->addWidget(button);
    auto *holder = new QWidget(stack);
    auto *centre = new QHBoxLayout(holder);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(new Spinner(16, holder), 0, Qt::AlignCenter);
    stack->addWidget(holder);
    return stack;
}

QToolButton *ActionsRow::button(const QString &symbol) const
{
    if (symbol == u"circle.lefthalf.filled"_s || symbol == u"sun.max"_s || symbol == u"moon"_s)
        return findChild<QToolButton *>(u"appearance"_s);
    return findChild<QToolButton *>(symbol);
}

void ActionsRow::followActiveStore()
{
    DocumentStore *active = workspace_.activeStore();
    if (active != observed_) {
        for (const QMetaObject::Connection &connection : storeConnections_)
            disconnect(connection);
        storeConnections_.clear();
        observed_ = active;
        storeConnections_ = {
            connect(active, &DocumentStore::undoStacksChanged, this, &ActionsRow::refresh),
            connect(active, &DocumentStore::fileURLChanged, this, &ActionsRow::refresh),
            connect(active, &QObject::destroyed, this, [this] { observed_ = nullptr; })};
    }
    refresh();
}

void ActionsRow::refresh()
{
    findChild<QToolButton *>(u"arrow.uturn.backward"_s)->setEnabled(commands_.canUndo());
    findChild<QToolButton *>(u"arrow.uturn.forward"_s)->setEnabled(commands_.canRedo());

    const DocumentStore *active = workspace_.activeStore();
    const bool busy = commands_.isEngineBusy();
    const SidecarModel *engine = commands_.engine();
    findChild<QToolButton *>(u"hammer"_s)->setEnabled(!busy);
    compileStack_->setCurrentIndex(engine && engine->isCompilingAll() ? 1 : 0);

    auto *zip = findChild<QToolButton *>(u"doc.zipper"_s);
    const bool hasFile = active->fileURL().has_value();
    zip->setEnabled(!busy && hasFile);
    zip->setToolTip(hasFile ? u"Zip Report Files for Server Upload - every file in this report's "
                              u"own folder, flat (no wrapping folder), same names and subfolders "
                              u"as on disk"_s
                            : u"Zip Report Files for Server Upload (save the report first)"_s);
    zipStack_->setCurrentIndex(commands_.isZipping() ? 1 : 0);
}

void ActionsRow::refreshAppearance()
{
    QToolButton *appearance = findChild<QToolButton *>(u"appearance"_s);
    const QString symbol = appearanceSymbol(settings_.appearance());
    appearance->setIcon(SymbolIcons::icon(symbol));
    appearance->setProperty("symbolName", symbol);
    appearance->setToolTip(u"Appearance: "_s + rawValue(settings_.appearance()) +
                           u" (click to cycle)"_s);
}
