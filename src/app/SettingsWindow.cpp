#include "app/SettingsWindow.h"
#include "app/SettingsView.h"

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
