#include "workspace/AppSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>

namespace {

using namespace Qt::StringLiterals;

const QString pageWidthKey = u"defaultPageWidth"_s;
const QString pageHeightKey = u"defaultPageHeight"_s;
const QString fontNameKey = u"defaultFontName"_s;
const QString fontSizeKey = u"defaultFontSize"_s;
const QString projectRootKey = u"projectRootPath"_s;
const QString recentFilesKey = u"recentFilePaths"_s;
const QString openTabsKey = u"lastOpenTabPaths"_s;
const QString activeTabKey = u"lastActiveTabIndex"_s;
const QString unitKey = u"measurementUnit"_s;
const QString appearanceKey = u"appearance"_s;
const QString snapKey = u"isSnapToGridEnabled"_s;
const QString gridSizeKey = u"gridSize"_s;
const QString blankWhenNullKey = u"defaultBlankWhenNull"_s;

// A settings file keeps no types: a value written in this session comes back as it was set, one
// read from the file as text. Both read here; anything that is not of the kind gives no value.
std::optional<double> readDouble(const QVariant &value)
{
    bool ok = false;
    double number = 0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        number = value.toDouble(&ok);
        break;
    case QMetaType::QString:
        number = value.toString().toDouble(&ok);
        break;
    default:
        break;
    }
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// A whole number: "2.5" is not an index.
std::optional<int> readInt(const QVariant &value)
{
    const std::optional<double> number = readDouble(value);
    if (!number || *number != std::trunc(*number) || std::abs(*number) > 1e9)
        return std::nullopt;
    return int(*number);
}

std::optional<bool> readBool(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == "true"_L1)
            return true;
        if (text == "false"_L1)
            return false;
    }
    return std::nullopt;
}

std::optional<QString> readText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? std::optional(value.toString()) : std::nullopt;
}

// A list of one text is stored as that text.
QStringList readTextList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QString)
        return value.toStringList();
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList texts;
        for (const QVariant &item : value.toList()) {
            if (item.typeId() != QMetaType::QString)
                return {};
            texts.append(item.toString());
        }
        return texts;
    }
    return {};
}

QString pathText(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

double roundHalfAwayFromZero(double value)
{
    return std::round(value);
}

} // namespace

AppSettings::AppSettings(QObject *parent) : AppSettings(std::nullopt, parent) {}

AppSettings::AppSettings(const std::optional<QString> &documentsFolder, QObject *parent)
    : QObject(parent)
{
    read();
    if (!projectRootPath_)
        createDefaultProjectFolder(documentsFolder);
}

void AppSettings::read()
{
    const QSettings stored;
    auto value = [&](const QString &key) { return stored.value(key); };
    defaultPageWidth_ = readDouble(value(pageWidthKey)).value_or(defaultPageWidth_);
    defaultPageHeight_ = readDouble(value(pageHeightKey)).value_or(defaultPageHeight_);
    defaultFontSize_ = readDouble(value(fontSizeKey)).value_or(defaultFontSize_);
    lastActiveTabIndex_ = readInt(value(activeTabKey)).value_or(lastActiveTabIndex_);
    isSnapToGridEnabled_ = readBool(value(snapKey)).value_or(isSnapToGridEnabled_);
    gridSize_ = readDouble(value(gridSizeKey)).value_or(gridSize_);
    defaultBlankWhenNull_ = readBool(value(blankWhenNullKey)).value_or(defaultBlankWhenNull_);
    defaultFontName_ = readText(value(fontNameKey)).value_or(defaultFontName_);
    projectRootPath_ = readText(value(projectRootKey));
    recentFilePaths_ = readTextList(value(recentFilesKey));
    lastOpenTabPaths_ = readTextList(value(openTabsKey));
    measurementUnit_ = enumFromRaw<MeasurementUnit>(readText(value(unitKey)).value_or(QString()))
                           .value_or(measurementUnit_);
    appearance_ = enumFromRaw<AppAppearance>(readText(value(appearanceKey)).value_or(QString()))
                      .value_or(appearance_);
}

void AppSettings::createDefaultProjectFolder(const std::optional<QString> &documentsFolder)
{
    QString documents = documentsFolder.value_or(QString());
    if (!documentsFolder) {
        const QStringList locations =
            QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
        if (locations.isEmpty())
            return;
        documents = locations.first();
    }
    const QString folder = QDir(documents).filePath(u"Reports"_s);
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder); // a failure leaves the path stored all the same
    setProjectRootPath(folder);
}

template <typename T>
void AppSettings::assign(T &field, const T &value, const QString &key, const QVariant &stored,
                         void (AppSettings::*changed)())
{
    const bool differs = !(field == value);
    field = value;
    QSettings().setValue(key, stored);
    if (differs)
        emit(this->*changed)();
}

void AppSettings::setExplorerRefreshTick(int tick)
{
    if (explorerRefreshTick_ == tick)
        return;
    explorerRefreshTick_ = tick;
    emit explorerRefreshTickChanged();
}

void AppSettings::setDefaultPageWidth(double width)
{
    assign(defaultPageWidth_, width, pageWidthKey, width, &AppSettings::defaultPageWidthChanged);
}

void AppSettings::setDefaultPageHeight(double height)
{
    assign(defaultPageHeight_, height, pageHeightKey, height,
           &AppSettings::defaultPageHeightChanged);
}

void AppSettings::setDefaultFontName(const QString &name)
{
    assign(defaultFontName_, name, fontNameKey, name, &AppSettings::defaultFontNameChanged);
}

void AppSettings::setDefaultFontSize(double size)
{
    assign(defaultFontSize_, size, fontSizeKey, size, &AppSettings::defaultFontSizeChanged);
}

void AppSettings::setProjectRootPath(const std::optional<QString> &path)
{
    const bool differs = projectRootPath_ != path;
    projectRootPath_ = path;
    if (path)
        QSettings().setValue(projectRootKey, *path);
    else
        QSettings().remove(projectRootKey);
    if (differs)
        emit projectRootPathChanged();
}

void AppSettings::setRecentFilePaths(const QStringList &paths)
{
    assign(recentFilePaths_, paths, recentFilesKey, paths, &AppSettings::recentFilePathsChanged);
}

void AppSettings::setLastOpenTabPaths(const QStringList &paths)
{
    assign(lastOpenTabPaths_, paths, openTabsKey, paths, &AppSettings::lastOpenTabPathsChanged);
}

void AppSettings::setLastActiveTabIndex(int index)
{
    assign(lastActiveTabIndex_, index, activeTabKey, index,
           &AppSettings::lastActiveTabIndexChanged);
}

void AppSettings::setMeasurementUnit(MeasurementUnit unit)
{
    assign(measurementUnit_, unit, unitKey, rawValue(unit), &AppSettings::measurementUnitChanged);
}

void AppSettings::setAppearance(AppAppearance appearance)
{
    assign(appearance_, appearance, appearanceKey, rawValue(appearance),
           &AppSettings::appearanceChanged);
}

void AppSettings::setIsSnapToGridEnabled(bool enabled)
{
    assign(isSnapToGridEnabled_, enabled, snapKey, enabled,
           &AppSettings::isSnapToGridEnabledChanged);
}

void AppSettings::setGridSize(double size)
{
    assign(gridSize_, size, gridSizeKey, size, &AppSettings::gridSizeChanged);
}

void AppSettings::setDefaultBlankWhenNull(bool blank)
{
    assign(defaultBlankWhenNull_, blank, blankWhenNullKey, blank,
           &AppSettings::defaultBlankWhenNullChanged);
}

double AppSettings::snapped(double value) const
{
    if (!isSnapToGridEnabled_ || !(gridSize_ > 0))
        return roundHalfAwayFromZero(value);
    return roundHalfAwayFromZero(value / gridSize_) * gridSize_;
}

double AppSettings::snapped(double value, double axisLength) const
{
    if (!isSnapToGridEnabled_ || !(gridSize_ > 0) || !(axisLength > 0))
        return roundHalfAwayFromZero(value);
    const double steps = std::max(roundHalfAwayFromZero(axisLength / gridSize_), 1.0);
    const double step = axisLength / steps;
    return step * roundHalfAwayFromZero(value / step);
}

void AppSettings::addRecentFile(const QUrl &url)
{
    const QString path = pathText(url);
    QStringList paths = recentFilePaths_;
    paths.removeAll(path);
    paths.prepend(path);
    if (paths.size() > recentFilesLimit)
        paths.resize(recentFilesLimit);
    setRecentFilePaths(paths);
}

void AppSettings::removeRecentFile(const QUrl &url)
{
    QStringList paths = recentFilePaths_;
    paths.removeAll(pathText(url));
    setRecentFilePaths(paths);
}
