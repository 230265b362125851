#pragma once

#include "app/ContentView.h"
#include "app/MainWindow.h"
#include "app/QuillmarkApp.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSize>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>
#include <utility>

// The whole designer window in a sandbox of its own (settings, reports folder), with scripted
// dialogs and no engine, for the benchmarks that time what a user does in it. The window is as
// large as a user keeps it on a desktop screen.
class DesignerWindow {
public:
    // The window's size (a common desktop screen's, less the room the system takes).
    static constexpr QSize windowSize{1600, 1000};

    // The reports a user had open when the designer last quit, reopened as it starts: each file
    // name with its text, and the tab that was active.
    struct Session {
        QList<std::pair<QString, QByteArray>> reports;
        int activeTab = 0;
    };

    DesignerWindow() : DesignerWindow(Session{}) {}
    explicit DesignerWindow(const Session &session)
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        QSettings settings;
        settings.setValue(QStringLiteral("projectRootPath"), path(QStringLiteral("Reports")));
        QStringList restored;
        for (const auto &[fileName, jrxml] : session.reports) {
            if (write(fileName, jrxml))
                restored.append(path(fileName));
        }
        if (!restored.isEmpty()) {
            settings.setValue(QStringLiteral("lastOpenTabPaths"), restored);
            settings.setValue(QStringLiteral("lastActiveTabIndex"), session.activeTab);
        }
        settings.sync();
        app_ = std::make_unique<QuillmarkApp>(std::make_unique<ScriptedDialogs>(),
                                              std::make_unique<InMemoryKeychain>());
        app_->setLaunchChecks({}, {});
        app_->engine().setLocationProvider([this] {
            return SidecarClient::Location{path(QStringLiteral("no-java")),
                                           path(QStringLiteral("no-sidecar.jar"))};
        });
        app_->start();
        app_->mainWindow()->resize(windowSize);
        settle();
    }

    QString path(const QString &name) const { return dir_.filePath(name); }
    QuillmarkApp &app() const { return *app_; }
    QWidget *canvasViewport() const
    {
        return app_->contentView()->canvas()->graphicsView()->viewport();
    }
    // Whether the window has the size a user gives it; a benchmark that times what it shows
    // is skipped otherwise (a platform whose screen is smaller keeps the window smaller). The
    // benchmark's label names the sizes after `what`.
    bool checkSize(benchmark::State &state, const QString &what = QString()) const
    {
        const QSize size = app_->mainWindow()->size();
        const QSize canvas = canvasViewport()->size();
        QString label = QStringLiteral("window %1x%2, canvas %3x%4")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(canvas.width())
                            .arg(canvas.height());
        if (!what.isEmpty())
            label.prepend(what + QStringLiteral(", "));
        state.SetLabel(label.toStdString());
        if (size == windowSize)
            return true;
        state.SkipWithError("the window did not take the size of a user's window");
        return false;
    }
    DocumentStore *store() const { return app_->workspace().activeStore(); }

    // Writes the report file and opens it in a tab, as File > Open does; the seconds it took
    // until the window had drawn it.
    double open(const QByteArray &jrxml, const QString &fileName = QStringLiteral("Bench.jrxml"))
    {
        if (!write(fileName, jrxml))
            return -1;
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
    bool write(const QString &fileName, const QByteArray &jrxml) const
    {
        QFile file(path(fileName));
        return file.open(QIODevice::WriteOnly) && file.write(jrxml) == jrxml.size();
    }

    QTemporaryDir dir_;
    std::unique_ptr<QuillmarkApp> app_;
};
