#include "canvas/SubreportOpener.h"
#include "AppTestSupport.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

using Outcome = SubreportOpener::Outcome;

class SubreportOpenerTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings.setDefaultPageWidth(612);
        settings.setDefaultPageHeight(792);
    }

    // The master report saved in a folder of the sandbox.
    void saveMaster()
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"reports"_s));
        master.save(QUrl::fromLocalFile(path(u"reports/master.jrxml"_s)));
    }

    Outcome open(const QString &expression, bool listingFails = false)
    {
        SubreportOpener opener(master, workspace, settings, dialogs);
        if (listingFails)
            opener.setFolderLister([](const QString &) { return std::nullopt; });
        return opener.openSubreport(expression);
    }

    QString activePath() const
    {
        const std::optional<QUrl> url = workspace.activeStore()->fileURL();
        return url ? QFileInfo(url->toLocalFile()).canonicalFilePath() : QString();
    }

    QString lastAlert() const
    {
        if (dialogs.alerts().isEmpty())
            return {};
        EXPECT_EQ(dialogs.alerts().last().message, u"Can't Open Subreport"_s);
        EXPECT_EQ(dialogs.alerts().last().style, AlertRequest::Style::informational);
        return dialogs.alerts().last().informativeText;
    }

    AppSettings settings{path(u"Docs"_s)};
    ScriptedDialogs dialogs;
    WorkspaceModel workspace;
    DocumentStore master;
};

TEST_F(SubreportOpenerTest, AlertsWithoutASavedMasterOrAQuotedName)
{
    const qsizetype tabs = workspace.tabs().size();
    EXPECT_EQ(open(uR"("sub.jasper")"_s), Outcome::failed);
    EXPECT_EQ(lastAlert(), u"Save the master report first - a subreport needs a saved file "
                           "location to resolve its relative path against."_s);

    saveMaster();
    EXPECT_EQ(open(u"$P{SUB}"_s), Outcome::failed);
    EXPECT_EQ(lastAlert(), u"Couldn't find a quoted filename in this subreport's expression:\n\n"
                           "$P{SUB}\n\nEdit it directly in the Inspector (e.g. "
                           "\"SubreportName.jasper\"), then try again."_s);
    EXPECT_EQ(workspace.tabs().size(), tabs);
    EXPECT_FALSE(master.isDirty());
}

TEST_F(SubreportOpenerTest, OpensAnExistingReportWhateverItsCase)
{
    saveMaster();
    const QString existing = writeReport(u"reports/ORDERS_Sub.JRXML"_s);
    EXPECT_EQ(open(uR"($P{SUBREPORT_DIR} + "orders_sub.jasper")"_s), Outcome::openedExisting);
    EXPECT_EQ(activePath(), QFileInfo(existing).canonicalFilePath());
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    writeText(u"reports/broken.jrxml"_s, "not a report");
    EXPECT_EQ(open(uR"("Broken.jasper")"_s), Outcome::failed);
    EXPECT_TRUE(lastAlert().startsWith(u"Found \"broken.jrxml\" but couldn't open it:\n\n"_s))
        << lastAlert().toStdString();
    EXPECT_GT(lastAlert().size(), u"Found \"broken.jrxml\" but couldn't open it:\n\n"_s.size())
        << "the error's description follows";
}

TEST_F(SubreportOpenerTest, OpensTheCandidateWhenTheFolderCannotBeListed)
{
    saveMaster();
    const QString candidate = writeReport(u"reports/Items.jrxml"_s);
    EXPECT_EQ(open(uR"("Items.jasper")"_s, true), Outcome::openedCandidate);
    EXPECT_EQ(activePath(), QFileInfo(candidate).canonicalFilePath());

    writeText(u"reports/Bad.jrxml"_s, "<oops");
    EXPECT_EQ(open(uR"("Bad.jasper")"_s, true), Outcome::failed);
    EXPECT_TRUE(lastAlert().startsWith(u"\"Bad.jrxml\" exists but couldn't be opened:\n\n"_s))
        << lastAlert().toStdString();
}

TEST_F(SubreportOpenerTest, CreatesAMissingSubreportWithTheExpressionsSpelling)
{
    saveMaster();
    const qsizetype tabs = workspace.tabs().size();
    const int tick = settings.explorerRefreshTick();
    EXPECT_EQ(open(uR"($P{SUBREPORT_DIR} + "Orders_Sub.jasper")"_s), Outcome::created);

    const QString created = path(u"reports/Orders_Sub.jrxml"_s);
    EXPECT_TRUE(QFileInfo::exists(created));
    EXPECT_FALSE(QFileInfo::exists(path(u"reports/orders_sub.jrxml"_s)))
        << "named as the expression spells it, so the compiled file matches it";
    ASSERT_EQ(workspace.tabs().size(), tabs + 1);
    const DocumentStore *tab = workspace.tabs().last();
    EXPECT_EQ(tab->document().name, u"Orders_Sub"_s);
    EXPECT_EQ(tab->document().pageWidth, 612);
    EXPECT_EQ(tab->document().pageHeight, 792);
    EXPECT_FALSE(tab->isDirty());
    EXPECT_EQ(settings.recentFilePaths().value(0), created);
    EXPECT_EQ(settings.explorerRefreshTick(), tick + 1);
    EXPECT_TRUE(dialogs.alerts().isEmpty());

    // A second double click finds it (ignoring case) instead of creating another.
    EXPECT_EQ(open(uR"("ORDERS_SUB.jasper")"_s), Outcome::openedExisting);
}

TEST_F(SubreportOpenerTest, KeepsTheNewTabWhenItCannotBeSaved)
{
    saveMaster();
    ASSERT_TRUE(QDir(path(u"reports"_s)).removeRecursively());
    const qsizetype tabs = workspace.tabs().size();
    EXPECT_EQ(open(uR"("Lost.jasper")"_s), Outcome::failed);
    const QString candidate = path(u"reports/Lost.jrxml"_s);
    EXPECT_TRUE(lastAlert().startsWith(u"Created the subreport tab but couldn't save it to \""_s %
                                       candidate % u"\":\n\n"_s))
        << lastAlert().toStdString();
    ASSERT_EQ(workspace.tabs().size(), tabs + 1);
    EXPECT_FALSE(workspace.tabs().last()->fileURL());
    EXPECT_TRUE(settings.recentFilePaths().isEmpty());
}

} // namespace
