#pragma once

#include "workspace/VersionInfo.h"

#include <QObject>
#include <QPointer>

class AppSettings;
class SettingsView;
class UpdateChecker;
class QWidget;

// Owns the one preferences window: opening it again brings the open one to the front. The window
// and its view are made when it opens and go away when it is closed; the settings outlast it.
class SettingsWindow : public QObject {
    Q_OBJECT

public:
    inline static const QString windowTitle = QStringLiteral("Settings");

    // `settings` and `checker` must outlive this object.
    SettingsWindow(AppSettings &settings, UpdateChecker &checker, const VersionInfo &version,
                   QObject *parent = nullptr);
    ~SettingsWindow() override;

    void showOrRaise();
    // Closes the open window, as quitting does; nothing when it is closed.
    void close();
    // The open window's view; null while the window is closed.
    SettingsView *view() const;

private:
    AppSettings &settings_;
    UpdateChecker &checker_;
    VersionInfo version_;
    QPointer<SettingsView> view_;
};
