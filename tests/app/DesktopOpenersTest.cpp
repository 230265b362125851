#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/ContentView.h"
#include "canvas/SnippetLibrary.h"
#include "engine/SidecarModel.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFile>
#include <QScopeGuard>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The window's content with the program's own opener, where xdg-open is a stand-in on the PATH
// that notes what it was given and ends as the test says: 0 when it handed the URL to a program,
// 3 or 4 when it found none (the usual desktop without a mail program) or the program failed.
class DesktopOpenersTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path(u"bin"_s)));
        ASSERT_TRUE(QDir().mkpath(path(u"root"_s)));
        // The code is read before the URL is noted: the test changes it once the URL is there.
        const QString script = writeText(u"bin/xdg-open"_s, "#!/bin/sh\n"
                                                            "code=\"$(cat '" +
                                                                path(u"exit"_s).toUtf8() +
                                                                "')\"\n"
                                                                "printf '%s\\n' \"$1\" >>'" +
                                                                path(u"given"_s).toUtf8() +
                                                                "'\n"
                                                                "exit \"$code\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
        qputenv("PATH", path(u"bin"_s).toUtf8() + ':' + savedPath);
        // Without a session bus, Show in Folder goes straight to the opener.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        settings->setProjectRootPath(path(u"root"_s));
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->setBugReporting(opener, {QString(), QString(), u"Linux"_s});
    }
    void TearDown() override
    {
        qputenv("PATH", savedPath);
        if (!savedBus.isNull())
            qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus);
    }

    void endWith(int code) { writeText(u"exit"_s, QByteArray::number(code)); }
    QStringList given() const
    {
        QFile file(path(u"given"_s));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    const QByteArray savedPath = qgetenv("PATH");
    const QByteArray savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    SidecarModel engine{PrivateWorkFolder(dir.path())};
    QSettings snippetSettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    DesktopUrlOpener opener;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ContentView> view;
};

} // namespace

// Report a Bug and Show in Folder offer to copy the address or the path when xdg-open finds no
// program, as when it is missing; a handed-over URL says nothing more.
TEST_F(DesktopOpenersTest, AnOpenerThatFindsNoProgramOffersToCopy)
{
    const struct {
        const char *action;
        std::function<void()> run;
        QString opens;
        QString alert;
        QString copyTitle;
    } actions[] = {
        {"Report a Bug", [this] { view->reportBug(); }, u"mailto:support@quillmark.app?"_s,
         u"Can't Open a Mail Program"_s, u"Copy Address"_s},
        {"Show in Folder",
         [this] { view->findChild<QToolButton *>(u"explorer.revealRoot"_s)->click(); },
         QUrl::fromLocalFile(path(u"root"_s)).toString(QUrl::FullyEncoded),
         u"Can't Show \"root\""_s, u"Copy Path"_s},
    };
    for (const auto &action : actions) {
        SCOPED_TRACE(action.action);
        const qsizetype alertsBefore = dialogs.alerts().size();
        const qsizetype givenBefore = given().size();

        endWith(0);
        action.run();
        ASSERT_TRUE(testsupport::waitFor([&] { return given().size() == givenBefore + 1; }));
        EXPECT_TRUE(given().last().startsWith(action.opens)) << given().last().toStdString();

        endWith(3);
        action.run();
        ASSERT_TRUE(testsupport::waitFor([&] { return dialogs.alerts().size() > alertsBefore; }));
        ASSERT_EQ(given().size(), givenBefore + 2);
        ASSERT_EQ(dialogs.alerts().size(), alertsBefore + 1) << "the handed-over URL said nothing";
        const AlertRequest &alert = dialogs.alerts().last();
        EXPECT_EQ(alert.message, action.alert);
        ASSERT_FALSE(alert.buttons.isEmpty());
        EXPECT_EQ(alert.buttons[0].title, action.copyTitle);
    }
}
