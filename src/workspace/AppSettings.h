#pragma once

#include "model/MeasurementUnit.h"
#include "workspace/AppAppearance.h"
#include "workspace/BandSettings.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <optional>

class QVariant;

// The user's preferences and the state that outlives a session (recent files, the tabs to
// reopen). It answers the band views' questions about the grid and the defaults of new text
// fields. Each preference is read once when the object is made and written to the settings
// under its own key on every assignment. Main thread only.
class AppSettings : public QObject, public BandSettings {
    Q_OBJECT

public:
    static constexpr qsizetype recentFilesLimit = 10;

    // The default project folder is "Reports" inside `documentsFolder`, or inside the user's
    // documents folder when none is given.
    explicit AppSettings(QObject *parent = nullptr);
    AppSettings(const std::optional<QString> &documentsFolder, QObject *parent = nullptr);

    // Not stored: other views raise it to make the project explorer reload.
    int explorerRefreshTick() const { return explorerRefreshTick_; }
    void setExplorerRefreshTick(int tick);

    double defaultPageWidth() const { return defaultPageWidth_; }
    void setDefaultPageWidth(double width);
    double defaultPageHeight() const { return defaultPageHeight_; }
    void setDefaultPageHeight(double height);
    QString defaultFontName() const override { return defaultFontName_; }
    void setDefaultFontName(const QString &name);
    double defaultFontSize() const override { return defaultFontSize_; }
    void setDefaultFontSize(double size);
    // No value removes the key.
    std::optional<QString> projectRootPath() const { return projectRootPath_; }
    void setProjectRootPath(const std::optional<QString> &path);
    QStringList recentFilePaths() const { return recentFilePaths_; }
    void setRecentFilePaths(const QStringList &paths);
    QStringList lastOpenTabPaths() const { return lastOpenTabPaths_; }
    void setLastOpenTabPaths(const QStringList &paths);
    // The active tab's position within lastOpenTabPaths.
    int lastActiveTabIndex() const { return lastActiveTabIndex_; }
    void setLastActiveTabIndex(int index);
    MeasurementUnit measurementUnit() const override { return measurementUnit_; }
    void setMeasurementUnit(MeasurementUnit unit);
    AppAppearance appearance() const { return appearance_; }
    void setAppearance(AppAppearance appearance);
    bool isSnapToGridEnabled() const override { return isSnapToGridEnabled_; }
    void setIsSnapToGridEnabled(bool enabled);
    double gridSize() const override { return gridSize_; }
    void setGridSize(double size);
    bool defaultBlankWhenNull() const override { return defaultBlankWhenNull_; }
    void setDefaultBlankWhenNull(bool blank);

    // A coordinate or size on the plain grid; only rounded to a whole number while snapping is
    // off or the grid is not positive. Halves round away from zero.
    double snapped(double value) const override;
    // A coordinate on a grid stretched so that a whole number of steps fills `axisLength`.
    double snapped(double value, double axisLength) const override;

    // Newest first, no duplicates, at most ten.
    void addRecentFile(const QUrl &url);
    void removeRecentFile(const QUrl &url);

signals:
    void explorerRefreshTickChanged();
    void defaultPageWidthChanged();
    void defaultPageHeightChanged();
    void defaultFontNameChanged();
    void defaultFontSizeChanged();
    void projectRootPathChanged();
    void recentFilePathsChanged();
    void lastOpenTabPathsChanged();
    void lastActiveTabIndexChanged();
    void measurementUnitChanged();
    void appearanceChanged();
    void isSnapToGridEnabledChanged();
    void gridSizeChanged();
    void defaultBlankWhenNullChanged();

private:
    void read();
    void createDefaultProjectFolder(const std::optional<QString> &documentsFolder);
    // Stores the value and announces a change when there was one; writes through either way.
    template <typename T>
    void assign(T &field, const T &value, const QString &key, const QVariant &stored,
                void (AppSettings::*changed)());

    int explorerRefreshTick_ = 0;
    double defaultPageWidth_ = 595;
    double defaultPageHeight_ = 842;
    QString defaultFontName_ = QStringLiteral("Arial");
    double defaultFontSize_ = 10;
    std::optional<QString> projectRootPath_;
    QStringList recentFilePaths_;
    QStringList lastOpenTabPaths_;
    int lastActiveTabIndex_ = 0;
    MeasurementUnit measurementUnit_ = MeasurementUnit::millimeters;
    AppAppearance appearance_ = AppAppearance::system;
    bool isSnapToGridEnabled_ = true;
    double gridSize_ = 10;
    bool defaultBlankWhenNull_ = true;
};
