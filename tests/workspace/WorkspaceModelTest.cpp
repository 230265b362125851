#include "workspace/WorkspaceModel.h"
#include "AppTestSupport.h"
#include "document/ElementClipboard.h"
#include "workspace/AppSettings.h"

#include <QCoreApplication>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class WorkspaceModelTest : public apptest::SandboxTest {
protected:
    QUrl url(const QString &filePath) const { return QUrl::fromLocalFile(filePath); }

    QStringList names() const
    {
        QStringList out;
        for (const DocumentStore *store : workspace.tabs())
            out.append(store->fileURL() ? QFileInfo(store->fileURL()->toLocalFile()).baseName()
                                        : u"untitled"_s);
        return out;
    }

    void openAll(const QStringList &fileNames)
    {
        for (const QString &name : fileNames)
            workspace.openTab(url(writeReport(name + u".jrxml"_s)));
    }

    static void makeDirty(DocumentStore *store) { store->setIsDirty(true); }

    WorkspaceModel workspace;
};

TEST_F(WorkspaceModelTest, OpenReplacesOnlyALoneUntouchedTabAndActivatesAnOpenFile)
{
    const QString a = writeReport(u"A.jrxml"_s);
    workspace.openTab(url(a));
    EXPECT_EQ(names(), QStringList{u"A"_s}) << "the untouched untitled tab is replaced";
    EXPECT_EQ(workspace.tabs().first()->clipboard(), workspace.clipboard());

    workspace.newTab(300, 400);
    EXPECT_EQ(names(), (QStringList{u"A"_s, u"untitled"_s}));
    EXPECT_EQ(workspace.activeStore()->document().pageWidth, 300);

    makeDirty(workspace.tabs().first());
    workspace.openTab(url(a));
    EXPECT_EQ(workspace.activeTabIndex(), 0) << "activated, not reloaded";
    EXPECT_TRUE(workspace.tabs().first()->isDirty());

    // Another spelling of the same file: relative, with "..", through a symbolic link.
    const QString link = path(u"link.jrxml"_s);
    ASSERT_TRUE(QFile::link(a, link));
    workspace.setActiveTabIndex(1);
    workspace.openTab(url(path(u"sub/../A.jrxml"_s)));
    EXPECT_EQ(workspace.activeTabIndex(), 0);
    workspace.setActiveTabIndex(1);
    workspace.openTab(url(link));
    EXPECT_EQ(workspace.activeTabIndex(), 0);
    workspace.setActiveTabIndex(1);
    const QString current = QDir::currentPath();
    QDir::setCurrent(dir.path());
    workspace.openTab(QUrl::fromLocalFile(u"A.jrxml"_s));
    QDir::setCurrent(current);
    EXPECT_EQ(workspace.activeTabIndex(), 0);
    EXPECT_EQ(workspace.tabs().size(), 2);
}

TEST_F(WorkspaceModelTest, AFileThatFailsToOpenChangesNothing)
{
    const QString broken = writeText(u"broken.jrxml"_s, "<jasperReport");
    const QString other = writeText(u"other.jrxml"_s, "<html/>");
    DocumentStore *first = workspace.activeStore();
    EXPECT_ANY_THROW(workspace.openTab(url(broken)));
    EXPECT_ANY_THROW(workspace.openTab(url(other)));
    EXPECT_ANY_THROW(workspace.openTab(url(path(u"missing.jrxml"_s))));
    EXPECT_EQ(workspace.tabs(), QList<DocumentStore *>{first});
}

TEST_F(WorkspaceModelTest, ClosingClampsTheActiveIndex)
{
    struct Case {
        int close;
        QStringList left;
        QString active;
    };
    const Case cases[] = {
        {0, {u"B"_s, u"C"_s}, u"C"_s},
        {2, {u"A"_s, u"B"_s}, u"B"_s},
        {1, {u"A"_s, u"C"_s}, u"C"_s},
    };
    for (const Case &c : cases) {
        WorkspaceModel fresh;
        for (const QString &name : {u"A"_s, u"B"_s, u"C"_s})
            fresh.openTab(url(writeReport(name + u".jrxml"_s)));
        fresh.setActiveTabIndex(1);
        fresh.closeTab(c.close);
        QStringList left;
        for (const DocumentStore *store : fresh.tabs())
            left.append(QFileInfo(store->fileURL()->toLocalFile()).baseName());
        EXPECT_EQ(left, c.left) << "closing " << c.close;
        EXPECT_EQ(left.at(fresh.activeTabIndex()), c.active) << "closing " << c.close;
    }

    workspace.closeTab(0);
    ASSERT_EQ(workspace.tabs().size(), 1) << "the last tab gives way to a fresh one";
    EXPECT_FALSE(workspace.activeStore()->fileURL());
    EXPECT_EQ(workspace.activeStore()->clipboard(), workspace.clipboard());
}

TEST_F(WorkspaceModelTest, RequestingToCloseADirtyTabWaitsForConfirmation)
{
    openAll({u"A"_s, u"B"_s});
    makeDirty(workspace.tabs().at(1));
    workspace.requestCloseTab(1);
    EXPECT_EQ(workspace.tabs().size(), 2);
    EXPECT_EQ(workspace.pendingCloseTabIndex(), 1);
    workspace.requestCloseTab(7);
    EXPECT_EQ(workspace.pendingCloseTabIndex(), 1) << "an index outside the tabs is ignored";

    QPointer<DocumentStore> closed = workspace.tabs().first();
    workspace.requestCloseTab(0);
    EXPECT_EQ(names(), QStringList{u"B"_s});
    EXPECT_TRUE(workspace.hasUnsavedChanges());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull()) << "a closed tab's store goes";
}

TEST_F(WorkspaceModelTest, RestoresTheFilesThatLoadAndTheActiveTabAmongThem)
{
    const QString a = writeReport(u"A.jrxml"_s);
    const QString b = writeReport(u"B.jrxml"_s);
    const QString broken = writeText(u"broken.jrxml"_s, "not xml");
    const QString missing = path(u"missing.jrxml"_s);
    AppSettings settings(path(u"Docs"_s));
    struct Case {
        QStringList paths;
        int stored;
        QStringList tabs;
        int active;
    };
    const Case cases[] = {
        {{missing, broken, a, b}, 5, {u"A"_s, u"B"_s}, 1},
        {{missing, broken, a, b}, -1, {u"A"_s, u"B"_s}, 0},
        {{missing, broken, a, b}, 3, {u"A"_s, u"B"_s}, 1},
        {{a, missing, b}, 2, {u"A"_s, u"B"_s}, 1},
        {{a, missing, b}, 1, {u"A"_s, u"B"_s}, 1},
        {{a, b, path(u"x/../A.jrxml"_s)}, 2, {u"A"_s, u"B"_s}, 0},
    };
    for (const Case &c : cases) {
        WorkspaceModel fresh;
        settings.setLastOpenTabPaths(c.paths);
        settings.setLastActiveTabIndex(c.stored);
        fresh.restoreLastSession(settings);
        QStringList tabs;
        for (const DocumentStore *store : fresh.tabs())
            tabs.append(QFileInfo(store->fileURL()->toLocalFile()).baseName());
        EXPECT_EQ(tabs, c.tabs) << c.paths.join(u", "_s).toStdString();
        EXPECT_EQ(fresh.activeTabIndex(), c.active) << "stored index " << c.stored;
    }

    DocumentStore *initial = workspace.activeStore();
    settings.setLastOpenTabPaths({missing, broken});
    workspace.restoreLastSession(settings);
    EXPECT_EQ(workspace.tabs(), QList<DocumentStore *>{initial})
        << "nothing loaded: nothing changes";
}

TEST_F(WorkspaceModelTest, StoresTheActiveTabAsItsPlaceAmongTheTabsWithAFile)
{
    openAll({u"A"_s});
    workspace.newTab(595, 842);
    openAll({u"B"_s, u"C"_s});
    // Tabs: A, untitled, B, C.
    workspace.setActiveTabIndex(2);
    EXPECT_EQ(workspace.openTabPaths(),
              (QStringList{path(u"A.jrxml"_s), path(u"B.jrxml"_s), path(u"C.jrxml"_s)}));
    EXPECT_EQ(workspace.activeTabPathIndex(), 1);
    workspace.setActiveTabIndex(1);
    EXPECT_EQ(workspace.activeTabPathIndex(), 0) << "an untitled active tab stores 0";

    AppSettings settings(path(u"Docs"_s));
    workspace.setActiveTabIndex(2);
    settings.setLastOpenTabPaths(workspace.openTabPaths());
    settings.setLastActiveTabIndex(workspace.activeTabPathIndex());
    WorkspaceModel next;
    next.restoreLastSession(settings);
    EXPECT_EQ(next.activeStore()->fileURL()->toLocalFile(), path(u"B.jrxml"_s));
}

TEST_F(WorkspaceModelTest, PromptPrefillsRememberedValuesBeforeLiteralDefaults)
{
    DocumentStore *store = workspace.activeStore();
    ReportDocument document = store->document();
    auto parameter = [](const QString &name, bool prompted, std::optional<QString> fallback) {
        ReportParameter p;
        p.name = name;
        p.isForPrompting = prompted;
        p.defaultValueExpression = fallback;
        return p;
    };
    document.parameters = {
        parameter(u"Hidden"_s, false, u"\"h\""_s), parameter(u"Year"_s, true, u"2024"_s),
        parameter(u"City"_s, true, u" \"Oslo\" "_s), parameter(u"Where"_s, true, u"$P{X}"_s)};
    store->setDocument(document);
    store->setParameterValues({{u"Year"_s, u"1999"_s}, {u"Other"_s, u"kept"_s}});

    QList<WorkspaceModel::ParameterValues> runs;
    workspace.promptForParameterValues(store, [&](const auto &values) { runs.append(values); });
    EXPECT_TRUE(runs.isEmpty());
    EXPECT_TRUE(workspace.isParameterPromptVisible());
    ASSERT_EQ(workspace.pendingParameters().size(), 3);
    const WorkspaceModel::ParameterValues expected = {
        {u"Year"_s, u"1999"_s}, {u"Other"_s, u"kept"_s}, {u"City"_s, u"Oslo"_s}};
    EXPECT_EQ(workspace.pendingParameterValues(), expected) << "no entry for Where";

    workspace.setPendingParameterValues({{u"Year"_s, u"2001"_s}});
    workspace.confirmParameterPrompt();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs.first().value(u"Year"_s), u"2001"_s);
    EXPECT_EQ(store->parameterValues().value(u"Year"_s), u"2001"_s) << "remembered";
    EXPECT_FALSE(workspace.isParameterPromptVisible());

    // Dismissed prompts never run; a report without prompted parameters runs at once.
    workspace.promptForParameterValues(store, [&](const auto &values) { runs.append(values); });
    workspace.dismissParameterPrompt();
    workspace.confirmParameterPrompt();
    EXPECT_EQ(runs.size(), 1);
    document.parameters = {parameter(u"Hidden"_s, false, {})};
    store->setDocument(document);
    workspace.promptForParameterValues(store, [&](const auto &values) { runs.append(values); });
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs.last(), store->parameterValues());
    EXPECT_FALSE(workspace.isParameterPromptVisible());
}

TEST_F(WorkspaceModelTest, TheRunOfAPromptOutlivesItsTab)
{
    DocumentStore *store = workspace.activeStore();
    ReportDocument document = store->document();
    document.parameters = {ReportParameter{}};
    document.parameters.first().name = u"P"_s;
    document.parameters.first().isForPrompting = true;
    store->setDocument(document);
    int runs = 0;
    workspace.promptForParameterValues(store, [&](const auto &) { ++runs; });
    workspace.closeTab(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    workspace.confirmParameterPrompt();
    EXPECT_EQ(runs, 1);
}

} // namespace
