#pragma once

#include <QWidget>
#include <functional>

class AppSettings;
class DocumentStore;
class FileCommands;
class QToolButton;
class QStackedWidget;
class WorkspaceModel;

// The row of file and project buttons at the top of the main window. Each button calls its
// command of FileCommands, shared with the menus; compile all and the zip show a spinner in
// place of their button while they run.
class ActionsRow : public QWidget {
    Q_OBJECT

public:
    ActionsRow(FileCommands &commands, WorkspaceModel &workspace, AppSettings &settings,
               QWidget *parent = nullptr);

    // What the bug button does: the pre-filled bug report mail of the main window.
    void setReportBug(std::function<void()> reportBug) { reportBug_ = std::move(reportBug); }
    QToolButton *button(const QString &symbol) const;

private:
    QToolButton *addButton(const QString &symbol, const QString &help,
                           std::function<void()> action);
    // Puts the button in a stack with a spinner in its place.
    QStackedWidget *withSpinner(QToolButton *button);
    void followActiveStore();
    // The undo, compile and zip buttons: they follow the report, the engine and the zip.
    void refresh();
    // The appearance button's symbol and tooltip.
    void refreshAppearance();

    FileCommands &commands_;
    WorkspaceModel &workspace_;
    AppSettings &settings_;
    QStackedWidget *compileStack_ = nullptr;
    QStackedWidget *zipStack_ = nullptr;
    DocumentStore *observed_ = nullptr;
    QList<QMetaObject::Connection> storeConnections_;
    std::function<void()> reportBug_;
};
