#include "setup/ImageImportCoordinator.h"
#include "document/DocumentStore.h"
#include "setup/PicturePool.h"
#include "widgets/ScriptedDialogs.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ImageImportCoordinatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::green);
        ASSERT_TRUE(image.save(path(u"logo.png"_s), "PNG"));
        logo = QUrl::fromLocalFile(path(u"logo.png"_s));
        QDir(dir.path()).mkdir(u"report"_s);
        reportURL = QUrl::fromLocalFile(path(u"report/sales.jrxml"_s));
    }

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    // Begins an import of `picture` that records every expression it is handed.
    void begin(const QUrl &picture)
    {
        coordinator.begin(picture,
                          [this](const QString &expression) { imported.append(expression); });
    }
    int subreportDirCount() const
    {
        int count = 0;
        for (const ReportParameter &p : store.document().parameters)
            count += p.name == u"SUBREPORT_DIR"_s ? 1 : 0;
        return count;
    }

    QTemporaryDir dir;
    QUrl logo;
    QUrl reportURL;
    ScriptedDialogs dialogs;
    ImageImportCoordinator coordinator{dialogs};
    DocumentStore store;
    QStringList imported;
};

} // namespace

TEST_F(ImageImportCoordinatorTest, BeginStartsAfreshAndReplacesAPendingImport)
{
    EXPECT_FALSE(coordinator.pending());
    begin(logo);
    ASSERT_TRUE(coordinator.pending());
    const QUuid first = coordinator.pending()->id;
    EXPECT_EQ(coordinator.pending()->sourceURL, logo);
    ImageImportOptions chosen;
    chosen.sizeMode = ImageImportOptions::SizeMode::resize;
    chosen.jpegQuality = 0.4;
    coordinator.setOptions(chosen);
    coordinator.setErrorMessage(u"earlier failure"_s);

    int sheetChanges = 0;
    QObject::connect(&coordinator, &ImageImportCoordinator::pendingChanged, &coordinator,
                     [&] { ++sheetChanges; });
    begin(QUrl::fromLocalFile(path(u"other.png"_s)));
    EXPECT_EQ(sheetChanges, 1) << "the sheet is shown for the new import";
    EXPECT_NE(coordinator.pending()->id, first);
    EXPECT_EQ(coordinator.options(), ImageImportOptions());
    EXPECT_FALSE(coordinator.errorMessage());

    coordinator.cancel();
    EXPECT_FALSE(coordinator.pending());
    EXPECT_TRUE(imported.isEmpty());
}

TEST_F(ImageImportCoordinatorTest, ASuccessfulImportDeclaresTheParameterOnceAndEndsTheImport)
{
    store.save(reportURL);
    begin(logo);
    const qsizetype undoDepth = store.undoStack().size();
    coordinator.performImport(store);
    EXPECT_EQ(imported, QStringList{uR"($P{SUBREPORT_DIR} + "logo.png")"_s});
    EXPECT_TRUE(QFile::exists(path(u"report/logo.png"_s)));
    EXPECT_FALSE(coordinator.pending());
    EXPECT_EQ(subreportDirCount(), 1);
    EXPECT_EQ(store.undoStack().size(), undoDepth) << "declaring the parameter is no undo step";
    EXPECT_TRUE(store.isDirty());
    const ReportParameter declared = store.document().parameters.last();
    EXPECT_EQ(declared.className, u"java.lang.String"_s);
    EXPECT_EQ(declared.defaultValueExpression, u"\"/\""_s);
    EXPECT_FALSE(declared.isForPrompting);

    // A second import leaves the declaration alone.
    const ReportDocument before = store.document();
    begin(logo);
    coordinator.performImport(store);
    EXPECT_EQ(imported.size(), 2);
    EXPECT_EQ(store.document(), before);

    // Import without a pending import does nothing.
    coordinator.performImport(store);
    EXPECT_EQ(imported.size(), 2);
}

TEST_F(ImageImportCoordinatorTest, AFailureStaysInTheSheetUntilCancelled)
{
    store.save(reportURL);
    const QUrl broken = QUrl::fromLocalFile(path(u"broken.png"_s));
    QFile file(broken.toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture");
    file.close();
    begin(broken);
    ImageImportOptions options;
    options.formatMode = ImageImportOptions::FormatMode::png;
    coordinator.setOptions(options);
    coordinator.performImport(store);
    // The picture is decoded off the window's thread; its failure arrives later.
    ASSERT_TRUE(testsupport::waitFor([&] { return !coordinator.isBusy(); }));
    EXPECT_EQ(coordinator.errorMessage(), u"Couldn't read or process that image."_s);
    ASSERT_TRUE(coordinator.pending());
    EXPECT_EQ(coordinator.options(), options) << "the user's choices stay for another try";
    EXPECT_TRUE(imported.isEmpty());
    EXPECT_EQ(subreportDirCount(), 0);

    coordinator.cancel();
    EXPECT_FALSE(coordinator.pending());
    EXPECT_FALSE(coordinator.errorMessage());
}

TEST_F(ImageImportCoordinatorTest, AnUnsavedReportIsSavedFirst)
{
    ReportDocument document = store.document();
    document.name = u"Sales"_s;
    store.setDocument(document);
    begin(logo);

    // Cancelling the save panel keeps the sheet open, without a message.
    dialogs.answerSavePanel(std::nullopt);
    coordinator.performImport(store);
    ASSERT_EQ(dialogs.savePanels().size(), 1);
    EXPECT_EQ(dialogs.savePanels().at(0).proposedFileName, u"Sales.jrxml"_s);
    EXPECT_EQ(dialogs.savePanels().at(0).fileExtensions, QStringList{u"jrxml"_s});
    EXPECT_TRUE(coordinator.pending());
    EXPECT_FALSE(coordinator.errorMessage());
    EXPECT_FALSE(store.fileURL());
    EXPECT_TRUE(imported.isEmpty());

    // A save that fails shows its text and leaves the report unsaved.
    dialogs.answerSavePanel(QUrl::fromLocalFile(path(u"missing/folder/sales.jrxml"_s)));
    coordinator.performImport(store);
    ASSERT_TRUE(coordinator.errorMessage());
    EXPECT_TRUE(coordinator.errorMessage()->startsWith(u"The report could not be saved"_s));
    EXPECT_FALSE(store.fileURL());
    EXPECT_TRUE(coordinator.pending());

    // Saved, the import continues by itself.
    dialogs.answerSavePanel(reportURL);
    coordinator.performImport(store);
    EXPECT_EQ(store.fileURL(), reportURL);
    EXPECT_TRUE(QFile::exists(reportURL.toLocalFile()));
    EXPECT_TRUE(QFile::exists(path(u"report/logo.png"_s)));
    EXPECT_EQ(imported, QStringList{uR"($P{SUBREPORT_DIR} + "logo.png")"_s});
    EXPECT_FALSE(coordinator.pending());
    EXPECT_EQ(subreportDirCount(), 1);

    // A report without a name proposes "report.jrxml".
    DocumentStore unnamed;
    document = unnamed.document();
    document.name.clear();
    unnamed.setDocument(document);
    begin(logo);
    coordinator.performImport(unnamed);
    EXPECT_EQ(dialogs.savePanels().last().proposedFileName, u"report.jrxml"_s);
}

TEST_F(ImageImportCoordinatorTest, TheOpenPanelOffersImageFilesOnly)
{
    EXPECT_FALSE(coordinator.chooseImageFile()) << "a cancelled panel chooses nothing";
    dialogs.answerOpenPanel({logo});
    EXPECT_EQ(coordinator.chooseImageFile(), logo);
    const FilePanelRequest &request = dialogs.openPanels().last();
    EXPECT_FALSE(request.allowsMultipleSelection);
    EXPECT_FALSE(request.choosesDirectories);
    EXPECT_TRUE(request.fileExtensions.contains(u"png"_s));
    EXPECT_TRUE(request.fileExtensions.contains(u"heic"_s));
    EXPECT_FALSE(request.fileExtensions.contains(u"pdf"_s));
}

// A picture that is resized is decoded off the window's thread: the import is busy until it
// arrives and is stored. One whose import was cancelled or replaced meanwhile, or whose report
// closed, is dropped: no file, no expression.
TEST_F(ImageImportCoordinatorTest, AResizedPictureArrivesLaterUnlessItsImportHasEnded)
{
    store.save(reportURL);
    ImageImportOptions resize;
    resize.sizeMode = ImageImportOptions::SizeMode::resize;
    resize.maxDimension = 10;
    const auto importResized = [&](DocumentStore &into) {
        coordinator.setOptions(resize);
        coordinator.performImport(into);
    };
    const auto letDecodesEnd = [] {
        PicturePool::instance().waitForDone();
        QCoreApplication::processEvents();
    };

    begin(logo);
    importResized(store);
    EXPECT_TRUE(coordinator.isBusy());
    EXPECT_TRUE(coordinator.pending());
    EXPECT_TRUE(imported.isEmpty());
    EXPECT_FALSE(QFile::exists(path(u"report/logo.png"_s)));
    ASSERT_TRUE(testsupport::waitFor([&] { return !coordinator.isBusy(); }));
    EXPECT_EQ(imported, QStringList{uR"($P{SUBREPORT_DIR} + "logo.png")"_s});
    EXPECT_EQ(QImage(path(u"report/logo.png"_s)).size(), QSize(10, 7));
    EXPECT_FALSE(coordinator.pending());

    QImage photo(40, 40, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    ASSERT_TRUE(photo.save(path(u"photo.png"_s), "PNG"));
    const QUrl photoURL = QUrl::fromLocalFile(path(u"photo.png"_s));
    begin(photoURL);
    importResized(store);
    coordinator.cancel();
    EXPECT_FALSE(coordinator.isBusy());
    letDecodesEnd();
    EXPECT_EQ(imported.size(), 1) << "cancelled";
    EXPECT_FALSE(QFile::exists(path(u"report/photo.png"_s)));

    begin(photoURL);
    importResized(store);
    begin(logo);
    EXPECT_FALSE(coordinator.isBusy());
    letDecodesEnd();
    EXPECT_EQ(imported.size(), 1) << "replaced";
    EXPECT_FALSE(QFile::exists(path(u"report/photo.png"_s)));
    EXPECT_TRUE(coordinator.pending()) << "the new import waits for its own Import";
    EXPECT_FALSE(coordinator.errorMessage());

    {
        DocumentStore closing;
        closing.save(QUrl::fromLocalFile(path(u"report/other.jrxml"_s)));
        begin(photoURL);
        importResized(closing);
    }
    letDecodesEnd();
    EXPECT_EQ(imported.size(), 1) << "its report closed";
    EXPECT_FALSE(QFile::exists(path(u"report/photo.png"_s)));
    EXPECT_FALSE(coordinator.pending());
}
