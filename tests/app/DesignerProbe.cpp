// The designer as the program builds it, driven to a state that tests then end from outside:
//
//   app_designerprobe sheet REPORT NAME   opens REPORT, waits for the engine, opens the sheet NAME
//                                         (data, pagesetup, source, wizard, parameters, preview),
//                                         types into each of its editors, leaves an unsaved
//                                         change and prints "ready"
//   app_designerprobe zip REPORT ARCHIVE  opens REPORT, waits for the engine, zips the report's
//                                         folder into ARCHIVE and prints "zipping" once the zip
//                                         runs
//
// Then it runs until it is ended, as the program does.

#include "app/AppMenus.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"
#include "app/SourceSheet.h"
#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "widgets/AppStyle.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/ApplicationIdentity.h"
#include "workspace/WorkspaceModel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// The window shown over the main window, if any.
QWidget *shownSheet(const QWidget *mainWindow)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != mainWindow && window->isVisible() && qobject_cast<QDialog *>(window))
            return window;
    }
    return nullptr;
}

// Types a character into every editor of `sheet` that takes text, one after another.
void typeIntoEditors(QWidget *sheet)
{
    QList<QPointer<QWidget>> editors;
    for (QWidget *widget : sheet->findChildren<QWidget *>()) {
        if (!widget->isVisible() || !widget->isEnabled())
            continue;
        const auto *line = qobject_cast<QLineEdit *>(widget);
        const auto *spin = qobject_cast<QAbstractSpinBox *>(widget);
        const auto *plain = qobject_cast<QPlainTextEdit *>(widget);
        const auto *rich = qobject_cast<QTextEdit *>(widget);
        if ((line && !line->isReadOnly() && !qobject_cast<QAbstractSpinBox *>(line->parent())) ||
            (spin && !spin->isReadOnly()) || (plain && !plain->isReadOnly()) ||
            (rich && !rich->isReadOnly()))
            editors.append(widget);
    }
    for (const QPointer<QWidget> &editor : std::as_const(editors)) {
        if (!editor || !editor->isVisible())
            continue; // a row rebuilt by an earlier edit
        editor->setFocus();
        QTest::keyClicks(editor, u"7"_s);
        QCoreApplication::processEvents();
    }
}

QToolButton *previewButton(QWidget *window)
{
    for (QToolButton *button : window->findChildren<QToolButton *>()) {
        if (button->property("symbolName").toString() == u"play.fill"_s)
            return button;
    }
    return nullptr;
}

// Runs `step` every 50 ms until it returns true.
void repeatUntilDone(QObject *context, std::function<bool()> step)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, step] {
        if (step())
            timer->deleteLater();
    });
    timer->start(50);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    quillmark::applyApplicationIdentity();
    QApplication::setStyle(new AppStyle);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: app_designerprobe sheet|zip REPORT NAME|ARCHIVE\n");
        return 2;
    }
    const QString mode = arguments[1];
    const QString target = arguments[3];

    std::unique_ptr<Dialogs> dialogs;
    if (mode == u"zip"_s) {
        auto scripted = std::make_unique<ScriptedDialogs>();
        scripted->answerSavePanel(QUrl::fromLocalFile(target));
        dialogs = std::move(scripted);
    }
    QuillmarkApp app(std::move(dialogs));
    app.setLaunchChecks({}, {});
    app.setLaunchFiles({arguments[2]});

    enum class Stage { engine, opening, typing, done } stage = Stage::engine;
    QObject::connect(&app, &QuillmarkApp::sessionRestored, &app, [&] {
        repeatUntilDone(&app, [&] {
            DocumentStore *store = app.store();
            WorkspaceModel &workspace = app.workspace();
            switch (stage) {
            case Stage::engine:
                if (!app.engine().sidecar().isRunning())
                    return false;
                stage = Stage::opening;
                if (mode == u"zip"_s) {
                    app.fileCommands().zipReportForUpload();
                    return false;
                }
                store->addField(); // rows in the lists, and an unsaved change
                if (target == u"data"_s)
                    workspace.setIsDataPanelVisible(true);
                else if (target == u"pagesetup"_s)
                    workspace.setIsPageSetupVisible(true);
                else if (target == u"source"_s)
                    app.contentView()->sourceSheet()->openFromActiveReport();
                else if (target == u"wizard"_s)
                    workspace.setIsNewReportWizardVisible(true);
                else {
                    if (target == u"parameters"_s)
                        store->addParameter();
                    previewButton(app.mainWindow())->click();
                }
                return false;
            case Stage::opening:
                if (mode == u"zip"_s) {
                    if (!app.fileCommands().isZipping())
                        return false;
                    say("zipping");
                    return true;
                }
                if (!shownSheet(app.mainWindow()))
                    return false;
                stage = Stage::typing;
                return false;
            case Stage::typing:
                typeIntoEditors(shownSheet(app.mainWindow()));
                // The preview saved the report before it ran; this change stays unsaved.
                store->addVariable();
                stage = Stage::done;
                say("ready");
                return true;
            case Stage::done:
                break;
            }
            return true;
        });
    });
    return app.run();
}
