// The window's sheets are built the first time they are shown, and then behave as sheets built
// with the window: they show for the active tab, follow their flags and are kept.
#include "AppTestSupport.h"
#include "app/ContentView.h"
#include "app/SourceSheet.h"
#include "canvas/PaletteView.h"
#include "canvas/SaveSnippetSheet.h"
#include "canvas/SnippetLibrary.h"
#include "canvas/SnippetSheetState.h"
#include "engine/ParameterValuesSheet.h"
#include "engine/SidecarModel.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportOptionsSheet.h"
#include "setup/PageSetupView.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/SheetDialog.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class SheetsOnDemandTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->resize(1400, 900);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    template <typename T> QList<T *> all(const QString &name = {}) const
    {
        return view->findChildren<T *>(name);
    }
    static bool shows(QWidget *sheet)
    {
        return QTest::qWaitFor([sheet] { return sheet->isVisible(); });
    }
    static bool hides(QWidget *sheet)
    {
        return QTest::qWaitFor([sheet] { return !sheet->isVisible(); });
    }

    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppSettings> settings;
    QSettings snippetSettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    SidecarModel engine;
    std::unique_ptr<ContentView> view;
};

TEST_F(SheetsOnDemandTest, NoSheetIsBuiltWithTheWindow)
{
    EXPECT_TRUE(all<SheetDialog>(u"PageSetupSheet"_s).isEmpty());
    EXPECT_TRUE(all<SheetDialog>(u"SourceSheet"_s).isEmpty());
    EXPECT_TRUE(all<ParameterValuesSheet>().isEmpty());
    EXPECT_TRUE(all<ImageImportOptionsSheet>().isEmpty());
    EXPECT_TRUE(all<SaveSnippetSheet>().isEmpty());
}

TEST_F(SheetsOnDemandTest, PageSetupIsBuiltForTheActiveTabAndThenFollowsTheTabs)
{
    workspace.newTab(842, 595);
    workspace.setIsPageSetupVisible(true);
    ASSERT_EQ(all<SheetDialog>(u"PageSetupSheet"_s).size(), 1);
    SheetDialog *sheet = all<SheetDialog>(u"PageSetupSheet"_s).first();
    ASSERT_TRUE(shows(sheet));
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_GE(sheet->width(), 420);
    auto *pageSetup = sheet->findChild<PageSetupView *>();
    ASSERT_TRUE(pageSetup);
    EXPECT_EQ(pageSetup, view->pageSetup());
    EXPECT_EQ(pageSetup->store(), workspace.activeStore());

    sheet->reject(); // closing the sheet clears the flag
    EXPECT_FALSE(workspace.isPageSetupVisible());
    workspace.setActiveTabIndex(0);
    EXPECT_EQ(pageSetup->store(), workspace.activeStore());
    workspace.setIsPageSetupVisible(true);
    EXPECT_TRUE(shows(sheet));
    EXPECT_EQ(all<SheetDialog>(u"PageSetupSheet"_s).size(), 1) << "the sheet is kept";
    workspace.setIsPageSetupVisible(false);
    EXPECT_TRUE(hides(sheet));
}

TEST_F(SheetsOnDemandTest, TheSourceSheetIsBuiltByItsFlagOrByAskingForIt)
{
    workspace.setIsSourceVisible(true);
    ASSERT_EQ(all<SheetDialog>(u"SourceSheet"_s).size(), 1);
    SheetDialog *sheet = all<SheetDialog>(u"SourceSheet"_s).first();
    EXPECT_TRUE(shows(sheet));
    EXPECT_TRUE(sheet->isWorkspaceSheet());
    EXPECT_EQ(sheet->findChild<SourceSheet *>(), view->sourceSheet());
    workspace.setIsSourceVisible(false);
    EXPECT_TRUE(hides(sheet));

    // Asked for, it loads the report and shows through its flag.
    view->sourceSheet()->openFromActiveReport();
    EXPECT_TRUE(workspace.isSourceVisible());
    EXPECT_TRUE(shows(sheet));
    EXPECT_TRUE(view->sourceSheet()->text().contains(u"<jasperReport"_s));
    EXPECT_EQ(all<SheetDialog>(u"SourceSheet"_s).size(), 1);
}

TEST_F(SheetsOnDemandTest, ThePromptAndTheImageSheetCatchUpWithWhatShowedThem)
{
    DocumentStore *store = workspace.activeStore();
    ReportDocument document = store->document();
    ReportParameter parameter;
    parameter.name = u"Region"_s;
    parameter.className = u"java.lang.String"_s;
    parameter.defaultValueExpression = u"\"North\""_s;
    parameter.isForPrompting = true;
    document.parameters = {parameter};
    store->setDocument(document);
    workspace.promptForParameterValues(store, [](const WorkspaceModel::ParameterValues &) {});
    ASSERT_EQ(all<ParameterValuesSheet>().size(), 1);
    ParameterValuesSheet *prompt = all<ParameterValuesSheet>().first();
    EXPECT_TRUE(shows(prompt));
    EXPECT_TRUE(prompt->isWorkspaceSheet());
    ASSERT_EQ(prompt->rows().size(), 1);
    workspace.dismissParameterPrompt();
    EXPECT_TRUE(hides(prompt));

    view->imageImport()->begin(QUrl::fromLocalFile(path(u"logo.png"_s)), {});
    ASSERT_EQ(all<ImageImportOptionsSheet>().size(), 1);
    ImageImportOptionsSheet *images = all<ImageImportOptionsSheet>().first();
    EXPECT_TRUE(shows(images));
    EXPECT_EQ(images->fileNameLabel()->text(), u"logo.png"_s);
    view->imageImport()->cancel();
    EXPECT_TRUE(hides(images));
}

TEST_F(SheetsOnDemandTest, TheSnippetSheetIsBuiltWhenTheSelectionIsFirstSaved)
{
    SnippetSheetState *state = view->palette()->snippetSheet();
    state->setName(u"Header"_s);
    state->setIsVisible(true);
    ASSERT_EQ(all<SaveSnippetSheet>().size(), 1);
    SaveSnippetSheet *sheet = all<SaveSnippetSheet>().first();
    EXPECT_EQ(sheet, view->palette()->saveSnippetSheet());
    EXPECT_TRUE(shows(sheet));
    EXPECT_EQ(sheet->nameField()->text(), u"Header"_s);
    sheet->cancelButton()->click();
    EXPECT_FALSE(state->isVisible());
    EXPECT_TRUE(hides(sheet));
}

} // namespace
