#pragma once

#include "AppTestSupport.h"
#include "app/ContentView.h"
#include "canvas/SnippetLibrary.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QTest>
#include <memory>

namespace apptest {

// The main window's content shown at 1400 by 900 over a workspace of its own, with the services
// the application hands it: scripted dialogs, settings and a snippet library in the test's
// folder, and an engine model that starts no engine until asked.
class WindowTest : public SandboxTest {
public:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(path(QStringLiteral("Docs")));
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->resize(1400, 900);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppSettings> settings;
    QSettings snippetSettings{path(QStringLiteral("snippets.ini")), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    SidecarModel engine;
    std::unique_ptr<ContentView> view;
};

} // namespace apptest
