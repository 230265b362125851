#pragma once

#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"
#include "document/DocumentStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <memory>

// The whole designer window in a sandbox of its own (settings, reports folder), with scripted
// dialogs and no engine, for the benchmarks that time what a user does in it.
class DesignerWindow {
public:
    DesignerWindow()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        QSettings().setValue(QStringLiteral("projectRootPath"), path(QStringLiteral("Reports")));
        app_ = std::make_unique<QuillmarkApp>(std::make_unique<ScriptedDialogs>(),
                                              std::make_unique<InMemoryKeychain>());
        app_->setLaunchChecks({}, {});
        app_->engine().setLocationProvider([this] {
            return SidecarClient::Location{path(QStringLiteral("no-java")),
                                           path(QStringLiteral("no-sidecar.jar"))};
        });
        app_->start();
        settle();
    }

    QString path(const QString &name) const { return dir_.filePath(name); }
    // The window as large as a full-HD screen, as a user who works in it keeps it.
    void fillScreen() const
    {
        app_->mainWindow()->resize(1920, 1080);
        settle();
    }
    QuillmarkApp &app() const { return *app_; }
    DocumentStore *store() const { return app_->workspace().activeStore(); }

    // Writes the report file and opens it in a tab, as File > Open does; the seconds it took
    // until the window had drawn it.
    double open(const QByteArray &jrxml, const QString &fileName = QStringLiteral("Bench.jrxml"))
    {
        QFile file(path(fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(jrxml) != jrxml.size())
            return -1;
        file.close();
        QElapsedTimer clock;
        clock.start();
        app_->workspace().openTab(QUrl::fromLocalFile(path(fileName)));
        settle();
        return double(clock.nsecsElapsed()) / 1e9;
    }

    // Lets the window take its posted events and draw what changed, as it does before it
    // answers the next input.
    static void settle()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    template <typename T> static T *find(const QString &name)
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (T *found = top->findChild<T *>(name))
                return found;
        }
        return nullptr;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QuillmarkApp> app_;
};
