#include "app/SettingsView.h"
#include "AppTestSupport.h"
#include "WheelTurns.h"
#include "app/SettingsAboutCard.h"
#include "app/SettingsWindow.h"
#include "app/UpdateChecker.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/Stepper.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppClock.h"
#include "workspace/AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class SettingsViewTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        view = std::make_unique<SettingsView>(*settings, checker, VersionInfo{u"1.4"_s, {}, {}});
    }
    template <typename W> W *child(const QString &name) const
    {
        W *widget = view->findChild<W *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    template <typename W> W *withText(const QString &text) const
    {
        for (W *widget : view->findChildren<W *>()) {
            if (widget->text() == text)
                return widget;
        }
        ADD_FAILURE() << "no control " << text.toStdString();
        return nullptr;
    }
    QComboBox *combo(int index) const { return view->findChildren<QComboBox *>().value(index); }
    QComboBox *pageSize() const { return combo(1); }
    static void commit(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QVariant stored(const QString &key) const { return QSettings().value(key); }

    FixedClock clock{QDateTime::currentDateTimeUtc()};
    ScriptedDialogs dialogs;
    RecordingUrlOpener opener;
    UpdateChecker checker{clock, dialogs, opener, VersionInfo{u"1.4"_s, {}, {}}};
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<SettingsView> view;
};

TEST_F(SettingsViewTest, EveryControlWritesItsKeyAtOnce)
{
    EXPECT_EQ(view->size(), QSize(460, 480));
    const std::tuple<const char *, std::function<void()>, QVariant> cases[] = {
        {"appearance", [&] { withText<QToolButton>(u"Dark"_s)->click(); }, u"Dark"_s},
        {"measurementUnit", [&] { choose(combo(0), 1); }, u"Inches"_s},
        {"isSnapToGridEnabled", [&] { withText<QCheckBox>(u"Snap to Grid"_s)->click(); }, false},
        {"defaultBlankWhenNull",
         [&] { withText<QCheckBox>(u"Blank when value is null"_s)->click(); }, false},
        {"defaultPageWidth", [&] { commit(child<QLineEdit>(u"pageWidth"_s), u"600"_s); }, 600.0},
        {"defaultPageHeight", [&] { commit(child<QLineEdit>(u"pageHeight"_s), u"700"_s); }, 700.0},
        {"defaultFontName",
         [&] {
             auto *field = view->findChildren<QLineEdit *>().last();
             field->clear();
             QTest::keyClicks(field, u"DejaVu"_s);
         },
         u"DejaVu"_s},
        {"defaultFontSize", [&] { child<Stepper>(u"fontSize"_s)->stepUp(); }, 11.0},
        {"gridSize",
         [&] {
             settings->setIsSnapToGridEnabled(true);
             child<Stepper>(u"gridSize"_s)->stepDown();
         },
         9.0},
    };
    for (const auto &[key, act, expected] : cases) {
        act();
        EXPECT_EQ(stored(QString::fromLatin1(key)).toString(), expected.toString()) << key;
    }
    // Changes made elsewhere show in the window.
    settings->setMeasurementUnit(MeasurementUnit::meters);
    EXPECT_EQ(combo(0)->currentText(), u"Meters"_s);
}

// A wheel turned to scroll the window passes over the unit and page size pickers and the
// steppers without changing a setting.
TEST_F(SettingsViewTest, TheWheelScrollsTheWindowOverEveryControl)
{
    const MeasurementUnit unit = settings->measurementUnit();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    const auto keys = [] {
        QSettings stored;
        QStringList lines;
        for (const QString &key : stored.allKeys())
            lines.append(key + u'=' + stored.value(key).toString());
        return lines.join(u'\n');
    };
    int tried = 0;
    EXPECT_EQ(
        testsupport::controlsTakingTheWheel(view.get(), testsupport::stillAsItWas(keys), &tried),
        QStringList());
    EXPECT_GE(tried, 2);
    EXPECT_EQ(settings->measurementUnit(), unit);
}

TEST_F(SettingsViewTest, PageSizePickerMatchesExactlyAndSetsBothLengths)
{
    QLineEdit *width = child<QLineEdit>(u"pageWidth"_s);
    QLineEdit *height = child<QLineEdit>(u"pageHeight"_s);
    EXPECT_EQ(pageSize()->currentText(), u"A4 (595×842)"_s);
    commit(width, u"600"_s);
    EXPECT_EQ(pageSize()->currentText(), u"Custom"_s);

    choose(pageSize(), 1);
    EXPECT_EQ(settings->defaultPageWidth(), 612);
    EXPECT_EQ(settings->defaultPageHeight(), 792);
    EXPECT_EQ(width->text(), u"612"_s);
    EXPECT_EQ(height->text(), u"792"_s);
    EXPECT_EQ(pageSize()->currentText(), u"Letter (612×792)"_s);

    choose(pageSize(), 3);
    EXPECT_EQ(settings->defaultPageWidth(), 612);
    EXPECT_EQ(pageSize()->currentText(), u"Letter (612×792)"_s);

    settings->setDefaultPageWidth(595.4);
    settings->setDefaultPageHeight(842);
    EXPECT_EQ(pageSize()->currentText(), u"Custom"_s);
    EXPECT_EQ(width->text(), u"595"_s);
    // The unit of the rulers does not reach these fields.
    settings->setMeasurementUnit(MeasurementUnit::inches);
    EXPECT_EQ(height->text(), u"842"_s);
}

TEST_F(SettingsViewTest, PageLengthsOfZeroOrLessAreRefused)
{
    QLineEdit *width = child<QLineEdit>(u"pageWidth"_s);
    QLineEdit *height = child<QLineEdit>(u"pageHeight"_s);
    for (const QString &typed : {u"0"_s, u"-20"_s, u"wide"_s}) {
        commit(width, typed);
        commit(height, typed);
        EXPECT_EQ(settings->defaultPageWidth(), 595) << typed.toStdString();
        EXPECT_EQ(settings->defaultPageHeight(), 842) << typed.toStdString();
        EXPECT_EQ(width->text(), u"595"_s);
        EXPECT_EQ(height->text(), u"842"_s);
    }
    commit(width, u"0.5"_s);
    EXPECT_EQ(settings->defaultPageWidth(), 0.5);
}

TEST_F(SettingsViewTest, SteppersKeepTheirRangesAndGridFollowsSnapping)
{
    auto *grid = child<Stepper>(u"gridSize"_s);
    auto *font = child<Stepper>(u"fontSize"_s);
    const std::tuple<Stepper *, double, double, QString> cases[] = {{grid, 2, 50, u"50 pt"_s},
                                                                    {font, 6, 96, u"96"_s}};
    for (const auto &[stepper, low, high, topText] : cases) {
        for (int i = 0; i < 100; ++i)
            stepper->stepDown();
        EXPECT_EQ(stepper->value(), low);
        for (int i = 0; i < 100; ++i)
            stepper->stepUp();
        EXPECT_EQ(stepper->value(), high);
        EXPECT_EQ(stepper->text(), topText);
    }
    EXPECT_EQ(settings->gridSize(), 50);
    EXPECT_EQ(settings->defaultFontSize(), 96);

    withText<QCheckBox>(u"Snap to Grid"_s)->click();
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_TRUE(withText<QLabel>(u"Grid Size"_s)->isEnabled());
    grid->stepDown();
    EXPECT_EQ(settings->gridSize(), 50);
    settings->setIsSnapToGridEnabled(true);
    EXPECT_TRUE(grid->isEnabled());
    settings->setGridSize(7.8);
    EXPECT_EQ(grid->text(), u"7 pt"_s);
}

TEST(SettingsAboutCard, VersionTextFallsBack)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"1.4", "27", "1.4 (27)"}, {"1.4", "", "1.4"}, {"", "27", "0.0 (27)"}, {"", "", "0.0"}};
    for (const auto &[shortVersion, build, expected] : cases) {
        EXPECT_EQ(SettingsAboutCard::appVersion(VersionInfo{
                      QString::fromLatin1(shortVersion), QString::fromLatin1(build), {}}),
                  QString::fromLatin1(expected));
    }
}

TEST_F(SettingsViewTest, ManualCheckShowsItsOutcome)
{
    SettingsAboutCard *about = view->aboutCard();
    EXPECT_EQ(view->findChild<QLabel *>(u"versionText"_s)->text(), u"Quillmark 1.4"_s);
    EXPECT_EQ(about->updateButton()->text(), u"Check for Updates…"_s);
    // A port nobody listens on.
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    checker.setFeedURLForTesting(QUrl(u"http://127.0.0.1:%1/quillmark/version.json"_s.arg(port)));
    about->checkForUpdatesNow();
    EXPECT_TRUE(about->isChecking());
    EXPECT_FALSE(about->updateButton()->isEnabled());
    EXPECT_FALSE(about->resultMessage().has_value());
    const QDeadlineTimer deadline(10000);
    while (about->isChecking() && !deadline.hasExpired())
        QTest::qWait(5);
    EXPECT_TRUE(about->updateButton()->isEnabled());
    EXPECT_EQ(about->resultMessage(),
              u"Couldn't check for updates - check your internet connection."_s);

    EXPECT_FALSE(about->components()->isVisibleTo(about));
    about->componentsDisclosure()->click();
    EXPECT_TRUE(about->components()->isVisibleTo(about));
}

TEST_F(SettingsViewTest, WindowOpensOnce)
{
    SettingsWindow window(*settings, checker, VersionInfo{});
    window.showOrRaise();
    QPointer<SettingsView> first = window.view();
    window.showOrRaise();
    EXPECT_EQ(window.view(), first.data());
    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(window.view(), nullptr);
    window.showOrRaise();
    ASSERT_NE(window.view(), nullptr);
    EXPECT_TRUE(window.view()->isVisible());
}

} // namespace
