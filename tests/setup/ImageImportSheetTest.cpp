#include "TestSupport.h"
#include "WheelTurns.h"
#include "document/DocumentStore.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportOptionsSheet.h"
#include "widgets/ScriptedDialogs.h"
#include "workspace/WorkspaceModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ImageImportSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        window.resize(800, 600);
        window.show();
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        ASSERT_TRUE(image.save(path(u"Logo.png"_s), "PNG"));
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"out"_s));
        workspace.activeStore()->save(QUrl::fromLocalFile(path(u"out/report.jrxml"_s)));
    }

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }
    void begin(const QString &name)
    {
        coordinator.begin(QUrl::fromLocalFile(path(name)),
                          [this](const QString &expression) { imported.append(expression); });
    }
    static void choose(QComboBox *picker, const QString &text)
    {
        const int index = picker->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        picker->setCurrentIndex(index);
        emit picker->activated(index);
    }
    static QStringList entries(const QComboBox *picker)
    {
        QStringList texts;
        for (int i = 0; i < picker->count(); ++i)
            texts.append(picker->itemText(i));
        return texts;
    }

    QTemporaryDir dir;
    QWidget window;
    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    ImageImportCoordinator coordinator{dialogs};
    ImageImportOptionsSheet sheet{coordinator, workspace, &window};
    QStringList imported;
};

} // namespace

TEST_F(ImageImportSheetTest, ShowsThePendingImportWithItsChoices)
{
    EXPECT_FALSE(sheet.isVisible());
    begin(u"Logo.png"_s);
    ASSERT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.width(), 380);
    EXPECT_EQ(sheet.fileNameLabel()->text(), u"Logo.png"_s);
    EXPECT_EQ(entries(sheet.sizePicker()), (QStringList{u"Keep Original Size"_s, u"Resize"_s}));
    EXPECT_EQ(entries(sheet.formatPicker()),
              (QStringList{u"Keep Original Format"_s, u"Convert to PNG"_s, u"Convert to JPEG"_s}));
    EXPECT_EQ(sheet.sizePicker()->currentText(), u"Keep Original Size"_s);
    EXPECT_FALSE(sheet.maxDimensionRow()->isVisible());
    EXPECT_FALSE(sheet.jpegQualityRow()->isVisible());
    EXPECT_FALSE(sheet.errorRow()->isVisible());
    EXPECT_TRUE(sheet.importButton()->isDefault());

    choose(sheet.sizePicker(), u"Resize"_s);
    EXPECT_TRUE(sheet.maxDimensionRow()->isVisible());
    EXPECT_EQ(sheet.maxDimensionStepper()->text(), u"800 px"_s);
    EXPECT_TRUE(sheet.aspectToggle()->isChecked());
    EXPECT_EQ(sheet.maxDimensionStepper()->minimum(), 50);
    EXPECT_EQ(sheet.maxDimensionStepper()->maximum(), 4000);
    sheet.maxDimensionStepper()->stepUp();
    EXPECT_EQ(coordinator.options().maxDimension, 850);
    sheet.aspectToggle()->click();
    EXPECT_FALSE(coordinator.options().preserveAspectRatio);
    // Hidden again, the values stay until the sheet closes.
    choose(sheet.sizePicker(), u"Keep Original Size"_s);
    EXPECT_FALSE(sheet.maxDimensionRow()->isVisible());
    choose(sheet.sizePicker(), u"Resize"_s);
    EXPECT_EQ(sheet.maxDimensionStepper()->text(), u"850 px"_s);
    EXPECT_FALSE(sheet.aspectToggle()->isChecked());

    choose(sheet.formatPicker(), u"Convert to JPEG"_s);
    EXPECT_TRUE(sheet.jpegQualityRow()->isVisible());
    EXPECT_EQ(sheet.jpegQualityLabel()->text(), u"85%"_s);
    EXPECT_EQ(sheet.jpegQualitySlider()->minimum(), 30);
    sheet.jpegQualitySlider()->setValue(42);
    EXPECT_EQ(sheet.jpegQualityLabel()->text(), u"42%"_s);
    EXPECT_DOUBLE_EQ(coordinator.options().jpegQuality, 0.42);

    // A new import replaces the shown one with fresh choices.
    begin(u"Other.png"_s);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.fileNameLabel()->text(), u"Other.png"_s);
    EXPECT_EQ(sheet.sizePicker()->currentText(), u"Keep Original Size"_s);
    EXPECT_FALSE(sheet.maxDimensionRow()->isVisible());
    EXPECT_FALSE(sheet.jpegQualityRow()->isVisible());
    EXPECT_EQ(sheet.maxDimensionStepper()->value(), 800);
}

// The wheel over the sheet's pickers, size stepper and quality slider changes none of them
// unless the user is in it.
TEST_F(ImageImportSheetTest, TheWheelChangesNoChoiceThePointerPassesOver)
{
    begin(u"Logo.png"_s);
    choose(sheet.sizePicker(), u"Resize"_s);
    choose(sheet.formatPicker(), u"Convert to JPEG"_s);
    QApplication::processEvents();
    int tried = 0;
    EXPECT_EQ(
        testsupport::controlsTakingTheWheel(
            &sheet, testsupport::stillAsItWas([this] { return coordinator.options(); }), &tried),
        QStringList());
    EXPECT_EQ(tried, 4);
    EXPECT_EQ(sheet.sizePicker()->currentText(), u"Resize"_s);
    EXPECT_EQ(sheet.formatPicker()->currentText(), u"Convert to JPEG"_s);
}

TEST_F(ImageImportSheetTest, ImportAnswersReturnAndFailuresShowInTheSheet)
{
    begin(u"Missing.png"_s);
    choose(sheet.formatPicker(), u"Convert to PNG"_s);
    QTest::mouseClick(sheet.importButton(), Qt::LeftButton);
    ASSERT_TRUE(testsupport::waitFor([&] { return !coordinator.isBusy(); }));
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(sheet.errorRow()->isVisible());
    EXPECT_EQ(sheet.errorLabel()->text(), u"Couldn't read or process that image."_s);
    EXPECT_EQ(sheet.formatPicker()->currentText(), u"Convert to PNG"_s);

    // Cancel clears the message: the next sheet opens without it.
    QTest::mouseClick(sheet.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet.isVisible());
    begin(u"Logo.png"_s);
    EXPECT_FALSE(sheet.errorRow()->isVisible());

    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(imported, QStringList{uR"($P{SUBREPORT_DIR} + "Logo.png")"_s});
    EXPECT_TRUE(QFile::exists(path(u"out/Logo.png"_s)));
}
