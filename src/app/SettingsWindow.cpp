#include "app/SettingsWindow.h"
#include "app/SettingsView.h"

#include <QAction>

SettingsWindow::SettingsWindow(AppSettings &settings, UpdateChecker &checker,
                               const VersionInfo &version, QObject *parent)
    : QObject(parent), settings_(settings), checker_(checker), version_(version)
{
}

SettingsWindow::~SettingsWindow()
{
    delete view_.data();
}

SettingsView *SettingsWindow::view() const
{
    return view_;
}

void SettingsWindow::showOrRaise()
{
    if (!view_) {
        view_ = new SettingsView(settings_, checker_, version_);
        view_->setAttribute(Qt::WA_DeleteOnClose);
        view_->setWindowTitle(windowTitle);
        // Escape closes it, as it closes such windows on Linux; the window has nothing to
        // confirm, every control writes at once.
        auto *closeOnEscape = new QAction(view_);
        closeOnEscape->setShortcut(QKeySequence(Qt::Key_Escape));
        closeOnEscape->setShortcutContext(Qt::WindowShortcut);
        connect(closeOnEscape, &QAction::triggered, view_, &QWidget::close);
        view_->addAction(closeOnEscape);
    }
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void SettingsWindow::close()
{
    if (view_)
        view_->close();
}
