#include "AppInstanceTest.h"
#include "app/ActionsRow.h"
#include "app/AppMenus.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "document/DocumentStore.h"
#include "setup/PageSetupView.h"
#include "widgets/MeasurementField.h"
#include "widgets/SheetDialog.h"
#include "widgets/SheetModality.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class PageSetupAndBookTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    }

    WorkspaceModel &workspace() const { return app->workspace(); }
    DocumentStore *store() const { return workspace().activeStore(); }
    FileCommands &commands() const { return app->fileCommands(); }
    ContentView *content() const { return app->contentView(); }
    SheetDialog *sheet() const { return content()->findChild<SheetDialog *>(u"PageSetupSheet"_s); }
    QStringList fileMenu() const
    {
        QStringList titles;
        for (const QAction *action : app->menus().fileMenu()->actions())
            titles.append(action->isSeparator() ? u"-"_s : action->text());
        return titles;
    }
};

} // namespace

TEST_F(PageSetupAndBookTest, ThePageSetupButtonOpensTheSheetOnTheActiveReport)
{
    auto *row = qobject_cast<ActionsRow *>(content()->actionsRow());
    ASSERT_NE(row, nullptr);
    auto *layout = qobject_cast<QHBoxLayout *>(row->layout());
    EXPECT_EQ(layout->spacing(), 14);
    EXPECT_EQ(layout->contentsMargins(), QMargins(12, 6, 12, 6));
    QToolButton *button = row->button(u"doc.richtext"_s);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), u"Page Setup"_s);
    // It stands after the zip button and a separator, before the space that pushes the last two
    // buttons to the end.
    const int at = layout->indexOf(button);
    EXPECT_EQ(layout->indexOf(row->button(u"doc.zipper"_s)->parentWidget()), at - 2);
    EXPECT_TRUE(qobject_cast<QFrame *>(layout->itemAt(at - 1)->widget()));
    EXPECT_NE(layout->itemAt(at + 1)->spacerItem(), nullptr);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(workspace().isPageSetupVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet()->isVisible(); }));
    EXPECT_TRUE(SheetModality::covers(app->mainWindow())) << "modal to the window";
    EXPECT_GE(sheet()->width(), 420);
    EXPECT_GE(sheet()->height(), 480);
    auto *view = sheet()->findChild<PageSetupView *>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->store(), store());

    // Landscape turns the report that is shown, as one undo step.
    view->findChild<QPushButton *>(u"pagesetup.page.landscape"_s)->click();
    EXPECT_EQ(store()->document().pageWidth, 842);
    EXPECT_TRUE(store()->canUndo());
    EXPECT_TRUE(store()->isDirty());

    view->findChild<QPushButton *>(u"pagesetup.close"_s)->click();
    EXPECT_FALSE(workspace().isPageSetupVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet()->isVisible(); }));
    EXPECT_EQ(store()->document().pageWidth, 842) << "closing keeps the change";

    workspace().newTab(300, 400);
    EXPECT_EQ(view->store(), store()) << "the sheet follows the active tab";
}

// A refusal under a length of the sheet answers the typing for the report shown: it goes once
// the sheet shows another report, once the length changes otherwise (an undo) and once the sheet
// opens anew.
TEST_F(PageSetupAndBookTest, ARefusalUnderAPageLengthBelongsToItsReportAndTyping)
{
    workspace().setIsPageSetupVisible(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet() && sheet()->isVisible(); }));
    auto *view = sheet()->findChild<PageSetupView *>();
    ASSERT_TRUE(view);
    const auto width = [view] {
        return view->findChild<MeasurementField *>(u"pagesetup.page.width"_s);
    };
    ASSERT_TRUE(width());
    const auto typeWidth = [&](const QString &text) {
        QLineEdit *edit = width()->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    const auto refuse = [&] {
        const ReportDocument before = store()->document();
        typeWidth(u"100000"_s);
        EXPECT_EQ(store()->document(), before);
        EXPECT_TRUE(width()->message().startsWith(u"Wider than a PDF page"_s))
            << width()->message().toStdString();
    };
    DocumentStore *first = store();

    refuse();
    workspace().newTab(300, 400);
    ASSERT_EQ(view->store(), store());
    EXPECT_EQ(width()->message(), QString()) << "another report";
    workspace().setActiveTabIndex(int(workspace().tabs().indexOf(first)));
    ASSERT_EQ(view->store(), first);
    EXPECT_EQ(width()->message(), QString()) << "and back: the typing is long gone";

    view->findChild<QPushButton *>(u"pagesetup.page.landscape"_s)->click();
    refuse();
    store()->undo();
    EXPECT_EQ(width()->message(), QString()) << "the width it answered for is undone";

    refuse();
    workspace().setIsPageSetupVisible(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet()->isVisible(); }));
    workspace().setIsPageSetupVisible(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet()->isVisible(); }));
    EXPECT_EQ(width()->message(), QString()) << "the sheet opened anew";
}

TEST_F(PageSetupAndBookTest, NewReportBookChainsTheChosenReportsAndCompilesEachChapter)
{
    const QStringList titles = fileMenu();
    ASSERT_GE(titles.size(), 3);
    EXPECT_EQ(titles.mid(0, 3), QStringList({u"New..."_s, u"New Report Book..."_s, u"Open..."_s}));
    EXPECT_TRUE(
        AppMenus::action(app->menus().fileMenu(), u"New Report Book..."_s)->shortcut().isEmpty());

    const QString a = writeReport(u"A.jrxml"_s, u"Alpha"_s);
    const QString broken = writeText(u"Broken.jrxml"_s, "<jasperReport");
    const QString b = writeReport(u"B.jrxml"_s, u"Beta"_s);
    QStringList compiled;
    commands().setCompileStep([&](const OpenTab &tab, QObject *context, auto done) {
        compiled.append(tab.document.name + u'@' + tab.savedURL.value_or(QUrl()).fileName());
        QTimer::singleShot(0, context, [done, fails = compiled.size() == 1] {
            done(fails ? std::optional<QString>(u"boom"_s) : std::nullopt);
        });
    });

    // One file does nothing.
    const int tabsBefore = int(workspace().tabs().size());
    dialogs->answerOpenPanel({QUrl::fromLocalFile(a)});
    AppMenus::action(app->menus().fileMenu(), u"New Report Book..."_s)->trigger();
    ASSERT_EQ(dialogs->openPanels().size(), 1);
    const FilePanelRequest &panel = dialogs->openPanels()[0];
    EXPECT_EQ(panel.title, u"Choose Report Book Chapters"_s);
    EXPECT_EQ(panel.message, u"Pick the reports to chain together, in order."_s);
    EXPECT_EQ(panel.fileExtensions, QStringList({u"jrxml"_s}));
    EXPECT_TRUE(panel.allowsMultipleSelection);
    EXPECT_FALSE(panel.choosesDirectories);
    EXPECT_EQ(workspace().tabs().size(), tabsBefore);

    dialogs->answerOpenPanel(
        {QUrl::fromLocalFile(b), QUrl::fromLocalFile(broken), QUrl::fromLocalFile(a)});
    AppMenus::action(app->menus().fileMenu(), u"New Report Book..."_s)->trigger();
    ASSERT_EQ(workspace().tabs().size(), tabsBefore + 1);
    EXPECT_EQ(workspace().activeTabIndex(), tabsBefore);
    const ReportDocument &book = store()->document();
    EXPECT_EQ(book.name, u"ReportBook"_s);
    EXPECT_EQ(book.pageWidth, 595);
    EXPECT_EQ(book.columnWidth, 535);
    ASSERT_EQ(book.detailBands.size(), 5) << "three chapters in the panel's order";
    EXPECT_EQ(book.detailBands[0].elements.at(0).kind.as<ElementKind::Subreport>()->expression,
              u"$P{SUBREPORT_DIR} + \"B.jasper\""_s);
    EXPECT_EQ(store()->activeBandTarget(), BandTarget::detailBand(book.detailBands[0].id));
    EXPECT_FALSE(store()->fileURL());
    EXPECT_FALSE(store()->isDirty());
    EXPECT_FALSE(store()->canUndo());

    // The chapters that read are compiled beside their files, one after another; the broken one
    // and a failing compile are passed over quietly.
    EXPECT_TRUE(QTest::qWaitFor([&] { return compiled.size() == 2; }));
    QTest::qWait(20);
    EXPECT_EQ(compiled, QStringList({u"Beta@B.jrxml"_s, u"Alpha@A.jrxml"_s}));
    EXPECT_TRUE(dialogs->alerts().isEmpty());
}
