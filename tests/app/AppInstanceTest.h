#pragma once

#include "AppTestSupport.h"
#include "app/QuillmarkApp.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"

#include <QSettings>
#include <memory>

namespace apptest {

// A whole application in a sandbox: scripted dialogs, an in-memory keychain, no launch checks,
// and an engine that fails to start as with a missing jar. The window is not shown yet.
class AppInstanceTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        QSettings().setValue(QStringLiteral("projectRootPath"), path(QStringLiteral("Reports")));
        launch();
    }

    // Builds the application (again, as a new launch does). With `realDialogs` its alerts and
    // panels are the program's own, answered by key presses, and `dialogs` is null.
    void launch(bool realDialogs = false)
    {
        app.reset();
        dialogs = nullptr;
        std::unique_ptr<Dialogs> given;
        if (!realDialogs) {
            auto scripted = std::make_unique<ScriptedDialogs>();
            dialogs = scripted.get();
            given = std::move(scripted);
        }
        auto memory = std::make_unique<InMemoryKeychain>();
        keychain = memory.get();
        app = std::make_unique<QuillmarkApp>(std::move(given), std::move(memory));
        app->setLaunchChecks({}, {});
        app->engine().setLocationProvider([this] {
            return SidecarClient::Location{path(QStringLiteral("no-java")),
                                           path(QStringLiteral("no-sidecar.jar"))};
        });
    }

    void TearDown() override { app.reset(); }

    ScriptedDialogs *dialogs = nullptr;
    // The application's keychain.
    InMemoryKeychain *keychain = nullptr;
    std::unique_ptr<QuillmarkApp> app;
};

} // namespace apptest
