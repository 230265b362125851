#include "widgets/AppPalettes.h"
#include "widgets/DisabledWhile.h"
#include "widgets/PlainToolTip.h"
#include "widgets/Stepper.h"
#include "widgets/SymbolIcons.h"
#include "widgets/ThemeIcons.h"
#include "widgets/ToolbarToggleIcon.h"
#include "widgets/TreeGuides.h"
#include "widgets/WidgetDialogs.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// An alert shows its texts as they are, and a button with the cancel role is what Escape and the
// close button choose.
TEST(WidgetDialogs, AlertsShowPlainTextAndEscapeOrCloseChooseCancel)
{
    QWidget window;
    window.show();
    WidgetDialogs dialogs(&window);
    const AlertRequest alert{AlertRequest::Style::warning,
                             u"<b>Total</b>"_s,
                             u"<i>Sales</i> & more"_s,
                             {{u"Continue Anyway"_s}, {u"Cancel"_s, AlertRequest::Role::cancel}}};
    QStringList seen;
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "closed");
        QTimer::singleShot(0, &window, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (const QLabel *label : box->findChildren<QLabel *>()) {
                if (label->text().isEmpty())
                    continue;
                seen.append(label->text());
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
            }
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        EXPECT_EQ(dialogs.runAlert(alert), 1);
    }
    EXPECT_TRUE(seen.contains(u"<b>Total</b>"_s));
    EXPECT_TRUE(seen.contains(u"<i>Sales</i> & more"_s));
}

TEST(SymbolIcons, EverySymbolResolvesToAnIconOfTheTheme)
{
    SymbolIcons::useIconTheme(false);
    for (const QString &symbol : SymbolIcons::symbols()) {
        EXPECT_TRUE(QIcon::hasThemeIcon(SymbolIcons::themeName(symbol)))
            << symbol.toStdString() << " -> " << SymbolIcons::themeName(symbol).toStdString();
        EXPECT_FALSE(SymbolIcons::icon(symbol).pixmap(16).isNull()) << symbol.toStdString();
    }
    EXPECT_TRUE(SymbolIcons::icon(u"no.such.symbol"_s).isNull());
}

// Icons read from their files once are the toolkit's theme icons, pixel for pixel: the file it
// picks for each size, the size it reports, each look and the pictures painted at any ratio, in
// the light theme and the dark one, at the sizes the window uses and at random ones.
TEST(SymbolIcons, IconsReadOnceAreDrawnAsTheToolkitDrawsThem)
{
    std::mt19937 random(20261208);
    QList<int> sides{8, 12, 14, 16, 18, 19, 20, 22, 23, 24, 28, 32, 48};
    for (int i = 0; i < 12; ++i)
        sides.append(std::uniform_int_distribution(1, 96)(random));
    const qreal ratios[] = {1, 1.25, 1.5, 2, 3};
    const QIcon::Mode modes[] = {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected};
    int readHere = 0;
    for (const bool dark : {false, true}) {
        SymbolIcons::useIconTheme(dark);
        for (const QString &symbol : SymbolIcons::symbols()) {
            const QString name = SymbolIcons::themeName(symbol);
            const QIcon ours = SymbolIcons::icon(symbol);
            const QIcon toolkit = ThemeIcons::toolkitIcon(name);
            ASSERT_EQ(ours.isNull(), toolkit.isNull()) << name.toStdString();
            readHere += ThemeIcons::readsFiles(name) ? 1 : 0;
            for (const int side : sides) {
                const QSize size(side, side);
                const qreal ratio = ratios[std::uniform_int_distribution(0, 4)(random)];
                const QIcon::Mode mode = modes[std::uniform_int_distribution(0, 3)(random)];
                const std::string where = name.toStdString() + " at " + std::to_string(side) +
                                          " x" + std::to_string(ratio) + " in mode " +
                                          std::to_string(int(mode)) + (dark ? " (dark)" : "");
                ASSERT_EQ(ours.actualSize(size, mode), toolkit.actualSize(size, mode)) << where;
                const QPixmap a = ours.pixmap(size, ratio, mode);
                const QPixmap b = toolkit.pixmap(size, ratio, mode);
                ASSERT_EQ(a.devicePixelRatio(), b.devicePixelRatio()) << where;
                ASSERT_EQ(a.toImage(), b.toImage()) << where;
                const auto painted = [&](const QIcon &icon) {
                    QImage image(QSize(side + 6, side + 4) * ratio,
                                 QImage::Format_ARGB32_Premultiplied);
                    image.setDevicePixelRatio(ratio);
                    image.fill(Qt::transparent);
                    QPainter painter(&image);
                    icon.paint(&painter, QRect(1, 2, side + 4, side), Qt::AlignCenter, mode);
                    return image;
                };
                ASSERT_EQ(painted(ours), painted(toolkit)) << where << " (painted)";
            }
        }
    }
    // Every symbol is a Breeze icon: each was read here, none left to the toolkit.
    EXPECT_EQ(readHere, 2 * SymbolIcons::symbols().size());
    SymbolIcons::useIconTheme(false);
}

// The share of the pixel's colour that is the palette's accent, roughly: how blue it is.
QColor pixel(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

TEST(ToolbarToggleIcon, DrawsOnAndOffAndLeavesItsStateToTheCaller)
{
    SymbolIcons::useIconTheme(false);
    int clicks = 0;
    ToolbarToggleIcon on(u"bold"_s, true, u"Bold"_s, [&] { ++clicks; });
    ToolbarToggleIcon off(u"bold"_s, false, u"Bold"_s, [&] { ++clicks; });
    EXPECT_EQ(on.size(), QSize(24, 22));
    EXPECT_EQ(on.toolTip(), u"Bold"_s);
    EXPECT_EQ(on.property(SymbolIcons::symbolProperty).toString(), u"bold"_s);

    const QImage onImage = on.grab().toImage();
    const QImage offImage = off.grab().toImage();
    const QString shots = QDir(QStringLiteral(QUILLMARK_BINARY_DIR)).filePath(u"screenshots"_s);
    QDir().mkpath(shots);
    onImage.scaled(96, 88).save(shots + u"/toolbar-toggle-on.png"_s);
    offImage.scaled(96, 88).save(shots + u"/toolbar-toggle-off.png"_s);

    // A corner pixel inside the rounded background: pale accent when on, the window behind
    // when off.
    const QColor accent = on.palette().color(QPalette::Highlight);
    const QColor window = off.palette().color(QPalette::Window);
    const QColor onFill = pixel(onImage, 3, 11);
    const QColor offFill = pixel(offImage, 3, 11);
    EXPECT_GT(onFill.blue() - onFill.red(), 10) << "tinted with the accent";
    EXPECT_EQ(offFill, window);
    EXPECT_NE(accent, window);

    const ToolbarToggleButtonStyle onStyle{true};
    const ToolbarToggleButtonStyle offStyle{false};
    const QPalette palette = on.palette();
    EXPECT_NEAR(onStyle.look(false, palette).fill.alphaF(), 0.20, 0.01);
    EXPECT_NEAR(onStyle.look(true, palette).fill.alphaF(), 0.30, 0.01);
    EXPECT_NEAR(offStyle.look(true, palette).fill.alphaF(), 0.12, 0.01);
    EXPECT_NEAR(offStyle.look(true, palette).label.alphaF(), 0.90, 0.01);
    EXPECT_EQ(offStyle.look(false, palette).outline.alpha(), 0);

    QTest::mouseClick(&off, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(off.isOn()) << "the caller sets the new state";
}

TEST(TreeGuides, IndentsFourteenPointsPerLevel)
{
    EXPECT_EQ(TreeGuides(0).size(), QSize(0, 20));
    EXPECT_EQ(TreeGuides(3).size(), QSize(42, 20));
}

} // namespace

namespace {

// A count read from a damaged file shows a whole number whatever it holds, and a step brings it
// back into the range.
TEST(Stepper, AValueBeyondAnyWholeNumberIsShownDefinedAndSteppedIntoTheRange)
{
    Stepper stepper(1, 20, u" columns"_s);
    stepper.setValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(stepper.text(), u"9223372036854775807 columns"_s);
    stepper.stepDown();
    EXPECT_EQ(stepper.value(), 20);
    stepper.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(stepper.text(), u"0 columns"_s);
    stepper.stepUp();
    EXPECT_EQ(stepper.value(), 1);
    stepper.setValue(-1e300);
    EXPECT_EQ(stepper.text(), u"-9223372036854775808 columns"_s);
    stepper.stepUp();
    EXPECT_EQ(stepper.value(), 1);
}

} // namespace

namespace {

// A widget with a style sheet, such as the inspector's text editors, follows a change of
// appearance made while it is shown.
TEST(AppPalettes, StyledWidgetsTakeTheNewAppearance)
{
    QPlainTextEdit editor;
    editor.setStyleSheet(u"QPlainTextEdit { border: 1px solid gray; border-radius: 4px; }"_s);
    editor.show();
    AppPalettes::apply(AppAppearance::light);
    EXPECT_EQ(editor.palette().color(QPalette::Base), AppPalettes::light().color(QPalette::Base));
    AppPalettes::apply(AppAppearance::dark);
    EXPECT_EQ(editor.palette().color(QPalette::Base), AppPalettes::dark().color(QPalette::Base));
    EXPECT_EQ(editor.palette().color(QPalette::Text), AppPalettes::dark().color(QPalette::Text));
    AppPalettes::apply(AppAppearance::light);
    EXPECT_EQ(editor.palette().color(QPalette::Base), AppPalettes::light().color(QPalette::Base));
}

} // namespace

namespace {

// While a call waits in a local event loop, a click on a guarded button does nothing; afterwards
// every widget has its own state back, and one deleted meanwhile is passed over.
TEST(DisabledWhile, BlocksClicksDuringALocalLoopAndRestoresEachWidget)
{
    QWidget window;
    auto *run = new QPushButton(u"Run"_s, &window);
    auto *off = new QPushButton(u"Off"_s, &window);
    off->setEnabled(false);
    auto *box = new QWidget(&window);
    box->setEnabled(false);
    auto *inBox = new QPushButton(u"In box"_s, box);
    auto *gone = new QPushButton(u"Gone"_s, &window);
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    int runs = 0;
    QObject::connect(run, &QPushButton::clicked, run, [&] { ++runs; });
    {
        const DisabledWhile guard{run, off, inBox, gone, nullptr};
        EXPECT_FALSE(run->isEnabled());
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            QTest::mouseClick(run, Qt::LeftButton);
            delete gone;
            loop.quit();
        });
        loop.exec();
    }
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(run->isEnabled());
    EXPECT_FALSE(off->isEnabled());
    EXPECT_FALSE(inBox->isEnabled());
    box->setEnabled(true);
    EXPECT_TRUE(inBox->isEnabled());

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
}

} // namespace

namespace {

// What a tooltip shows: Qt renders a text that looks like markup as rich text.
QString shownToolTip(const QString &toolTip)
{
    if (!Qt::mightBeRichText(toolTip))
        return toolTip;
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText();
}

// Names and messages from a report show in tooltips exactly as they are written; ordinary texts
// are left alone, so they keep their own line breaks.
TEST(PlainToolTip, ShowsMarkupLikeTextsLiterally)
{
    for (const QString &text : {u"<b>Total</b>"_s, u"Data: live (<i>Sales</i>)"_s,
                                u"<u>Total</u> & <more>"_s, u"<html>x</html>"_s}) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(Qt::mightBeRichText(text));
        EXPECT_EQ(shownToolTip(plainToolTip(text)), text);
    }
    for (const QString &text :
         {u"Sales.2024 \u2014 Edited"_s, u"a < b && c"_s, u"one\ntwo"_s, QString()})
        EXPECT_EQ(plainToolTip(text), text);
}

} // namespace
