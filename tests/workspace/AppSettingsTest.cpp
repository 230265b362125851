#include "workspace/AppSettings.h"
#include "AppTestSupport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

class AppSettingsTest : public apptest::SandboxTest {
protected:
    // A fresh object that reads what is stored, with its documents folder in the sandbox.
    std::unique_ptr<AppSettings> settings()
    {
        return std::make_unique<AppSettings>(path(u"Docs"_s));
    }
};

TEST_F(AppSettingsTest, StartsWithTheDefaultsAndCreatesTheProjectFolderOnce)
{
    auto s = settings();
    EXPECT_EQ(s->defaultPageWidth(), 595);
    EXPECT_EQ(s->defaultPageHeight(), 842);
    EXPECT_EQ(s->defaultFontName(), u"Arial"_s);
    EXPECT_EQ(s->defaultFontSize(), 10);
    EXPECT_TRUE(s->recentFilePaths().isEmpty());
    EXPECT_TRUE(s->lastOpenTabPaths().isEmpty());
    EXPECT_EQ(s->lastActiveTabIndex(), 0);
    EXPECT_EQ(s->measurementUnit(), MeasurementUnit::millimeters);
    EXPECT_EQ(s->appearance(), AppAppearance::system);
    EXPECT_TRUE(s->isSnapToGridEnabled());
    EXPECT_EQ(s->gridSize(), 10);
    EXPECT_TRUE(s->defaultBlankWhenNull());

    const QString reports = path(u"Docs/Reports"_s);
    EXPECT_EQ(s->projectRootPath(), reports);
    EXPECT_TRUE(QFileInfo(reports).isDir());
    EXPECT_EQ(QSettings().allKeys(), QStringList{u"projectRootPath"_s})
        << "creation writes only the project folder";

    ASSERT_TRUE(QDir(reports).removeRecursively());
    EXPECT_EQ(settings()->projectRootPath(), reports);
    EXPECT_FALSE(QFileInfo::exists(reports)) << "a stored folder is never re-created";
}

TEST_F(AppSettingsTest, WritesEachPreferenceUnderItsKeyAndReadsItBack)
{
    {
        auto s = settings();
        s->setDefaultPageWidth(612);
        s->setDefaultPageHeight(792);
        s->setDefaultFontName(u"DejaVu Sans"_s);
        s->setDefaultFontSize(12.5);
        s->setProjectRootPath(u"/reports"_s);
        s->setLastOpenTabPaths({u"/a.jrxml"_s});
        s->setLastActiveTabIndex(3);
        s->setMeasurementUnit(MeasurementUnit::inches);
        s->setAppearance(AppAppearance::dark);
        s->setIsSnapToGridEnabled(false);
        s->setGridSize(7.5);
        s->setDefaultBlankWhenNull(false);
        s->setExplorerRefreshTick(4);
    }
    QSettings raw;
    raw.sync();
    EXPECT_EQ(raw.value(u"measurementUnit"_s).toString(), u"Inches"_s);
    EXPECT_EQ(raw.value(u"appearance"_s).toString(), u"Dark"_s);
    EXPECT_EQ(raw.value(u"gridSize"_s).toDouble(), 7.5);
    EXPECT_FALSE(raw.contains(u"explorerRefreshTick"_s));

    auto s = settings();
    EXPECT_EQ(s->defaultPageWidth(), 612);
    EXPECT_EQ(s->defaultPageHeight(), 792);
    EXPECT_EQ(s->defaultFontName(), u"DejaVu Sans"_s);
    EXPECT_EQ(s->defaultFontSize(), 12.5);
    EXPECT_EQ(s->projectRootPath(), u"/reports"_s);
    EXPECT_EQ(s->lastOpenTabPaths(), QStringList{u"/a.jrxml"_s}) << "a list of one survives";
    EXPECT_EQ(s->lastActiveTabIndex(), 3);
    EXPECT_EQ(s->measurementUnit(), MeasurementUnit::inches);
    EXPECT_EQ(s->appearance(), AppAppearance::dark);
    EXPECT_FALSE(s->isSnapToGridEnabled());
    EXPECT_EQ(s->gridSize(), 7.5);
    EXPECT_FALSE(s->defaultBlankWhenNull());
    EXPECT_EQ(s->explorerRefreshTick(), 0);

    s->setProjectRootPath(std::nullopt);
    EXPECT_FALSE(QSettings().contains(u"projectRootPath"_s));
}

TEST_F(AppSettingsTest, StoredValuesOfTheWrongKindFallBackToTheDefaults)
{
    // Written as a hand-edited settings file would hold them.
    QFile file(QSettings().fileName());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\ngridSize=abc\ndefaultPageWidth=nan\nisSnapToGridEnabled=yes\n"
               "defaultBlankWhenNull=1\nlastActiveTabIndex=2.5\nmeasurementUnit=millimeters\n"
               "appearance=Purple\ndefaultFontSize=\n");
    file.close();

    auto s = settings();
    EXPECT_EQ(s->gridSize(), 10);
    EXPECT_EQ(s->defaultPageWidth(), 595);
    EXPECT_TRUE(s->isSnapToGridEnabled());
    EXPECT_TRUE(s->defaultBlankWhenNull());
    EXPECT_EQ(s->lastActiveTabIndex(), 0);
    EXPECT_EQ(s->measurementUnit(), MeasurementUnit::millimeters) << "case counts";
    EXPECT_EQ(s->appearance(), AppAppearance::system);
    EXPECT_EQ(s->defaultFontSize(), 10);
}

TEST_F(AppSettingsTest, SnapsHalvesAwayFromZero)
{
    auto s = settings();
    struct Case {
        bool snap;
        double grid, value, expected;
    };
    const Case plain[] = {
        {true, 10, 14.9, 10},  {true, 10, 15, 20},    {true, 10, -15, -20}, {true, 10, 4.99, 0},
        {false, 10, 14.5, 15}, {false, 10, 14.4, 14}, {true, 0, 14.5, 15},  {true, -5, -2.5, -3},
    };
    for (const Case &c : plain) {
        s->setIsSnapToGridEnabled(c.snap);
        s->setGridSize(c.grid);
        EXPECT_DOUBLE_EQ(s->snapped(c.value), c.expected) << c.value << " on grid " << c.grid;
    }

    struct AxisCase {
        bool snap;
        double grid, value, axis, expected;
    };
    const AxisCase axis[] = {
        {true, 10, 7, 535, 535.0 / 54}, {true, 10, 534, 535, 535}, {true, 10, 2, 4, 4},
        {true, 10, 1.9, 4, 0},          {true, 10, 14.5, 0, 15},   {true, 10, 14.4, -3, 14},
        {false, 10, 14.5, 535, 15},     {true, 0, 14.4, 535, 14},
    };
    for (const AxisCase &c : axis) {
        s->setIsSnapToGridEnabled(c.snap);
        s->setGridSize(c.grid);
        EXPECT_DOUBLE_EQ(s->snapped(c.value, c.axis), c.expected)
            << c.value << " on axis " << c.axis;
    }
}

TEST_F(AppSettingsTest, KeepsTenRecentFilesNewestFirst)
{
    auto s = settings();
    for (int i = 0; i < 11; ++i)
        s->addRecentFile(QUrl::fromLocalFile(u"/r/%1.jrxml"_s.arg(i)));
    ASSERT_EQ(s->recentFilePaths().size(), 10);
    EXPECT_EQ(s->recentFilePaths().first(), u"/r/10.jrxml"_s);
    EXPECT_EQ(s->recentFilePaths().last(), u"/r/1.jrxml"_s) << "the oldest went";

    s->addRecentFile(QUrl::fromLocalFile(u"/r/5.jrxml"_s));
    EXPECT_EQ(s->recentFilePaths().first(), u"/r/5.jrxml"_s);
    EXPECT_EQ(s->recentFilePaths().count(u"/r/5.jrxml"_s), 1);
    EXPECT_EQ(s->recentFilePaths().size(), 10);

    s->removeRecentFile(QUrl::fromLocalFile(u"/r/5.jrxml"_s));
    EXPECT_FALSE(s->recentFilePaths().contains(u"/r/5.jrxml"_s));
    EXPECT_EQ(settings()->recentFilePaths(), s->recentFilePaths());
}

} // namespace
