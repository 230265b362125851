#include "widgets/ThemeIcons.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>

namespace {

using namespace Qt::StringLiterals;

bool ownTheme = false;
// Changes whenever the theme may have: icons look their files up again.
int generation = 0;

// A folder of a theme's icons, as its index file describes it.
struct Directory {
    enum class Type { fixed, scalable, threshold };
    QString path;
    int size = 0;
    int scale = 1;
    Type type = Type::threshold;
    int minSize = 0;
    int maxSize = 0;
    int threshold = 2;

    bool matches(int iconSize, int iconScale) const
    {
        if (scale != iconScale)
            return false;
        switch (type) {
        case Type::fixed:
            return size == iconSize;
        case Type::scalable:
            return minSize <= iconSize && iconSize <= maxSize;
        case Type::threshold:
            return size - threshold <= iconSize && iconSize <= size + threshold;
        }
        return false;
    }

    int distance(int iconSize, int iconScale) const
    {
        const int scaled = iconSize * iconScale;
        switch (type) {
        case Type::fixed:
            return std::abs(size * scale - scaled);
        case Type::scalable:
            if (scaled < minSize * scale)
                return minSize * scale - scaled;
            if (scaled > maxSize * scale)
                return scaled - maxSize * scale;
            return 0;
        case Type::threshold:
            if (scaled < (size - threshold) * scale)
                return minSize * scale - scaled;
            if (scaled > (size + threshold) * scale)
                return scaled - maxSize * scale;
            return 0;
        }
        return 0;
    }
};

// The sections of a theme's index file that describe a folder of icons, ordered by their keys
// as the toolkit's settings reader orders them.
QList<Directory> readIndex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    std::map<QString, QHash<QString, QString>> sections;
    QHash<QString, QString> *section = nullptr;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = &sections[line.sliced(1, line.size() - 2)];
        } else if (const qsizetype equals = line.indexOf(u'='); section && equals > 0) {
            section->insert(line.first(equals).trimmed(), line.sliced(equals + 1).trimmed());
        }
    }
    std::map<QString, Directory> byKey;
    for (const auto &[name, values] : sections) {
        const auto number = [&](const QString &key, int otherwise) {
            bool ok = false;
            const int value = values.value(key).toInt(&ok);
            return ok ? value : otherwise;
        };
        const int size = number(u"Size"_s, 0);
        if (size == 0)
            continue;
        Directory directory;
        directory.path = name;
        directory.size = size;
        const QString type = values.value(u"Type"_s);
        directory.type = type == "Fixed"_L1      ? Directory::Type::fixed
                         : type == "Scalable"_L1 ? Directory::Type::scalable
                                                 : Directory::Type::threshold;
        directory.threshold = number(u"Threshold"_s, 2);
        directory.minSize = number(u"MinSize"_s, size);
        directory.maxSize = number(u"MaxSize"_s, size);
        directory.scale = number(u"Scale"_s, 1);
        byKey.emplace(name + u"/Size"_s, directory);
    }
    QList<Directory> directories;
    for (const auto &entry : byKey)
        directories.append(entry.second);
    return directories;
}

// The icon cache a theme folder may hold: which of the theme's folders hold an icon, in the
// cache's own order, which the toolkit's lookup follows where the cache is current.
class IconCache {
public:
    explicit IconCache(const QString &folder)
    {
        const QFileInfo info(folder + u"/icon-theme.cache"_s);
        if (!info.exists() || info.lastModified() < QFileInfo(folder).lastModified())
            return;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return;
        data_ = file.readAll();
        if (data_.size() < 12 || read16(0) != 1 || read16(2) != 0) {
            data_.clear();
            return;
        }
        const quint32 list = read32(8);
        const quint32 count = read32(list);
        for (quint32 i = 0; i < count && valid(); ++i) {
            const std::optional<QString> name = string(read32(list + 4 + 4 * i));
            if (!name || info.lastModified() < QFileInfo(folder + u'/' + *name).lastModified())
                data_.clear();
            else
                directories_.append(*name);
        }
    }

    bool valid() const { return !data_.isEmpty(); }

    // The folders that hold `name`; empty where none does.
    QStringList lookup(const QString &name) const
    {
        const QByteArray key = name.toUtf8();
        if (!valid() || key.isEmpty())
            return {};
        quint32 hash = quint32(qint32(static_cast<signed char>(key.at(0))));
        for (qsizetype i = 1; i < key.size(); ++i)
            hash = (hash << 5) - hash + quint32(qint32(static_cast<signed char>(key.at(i))));
        const quint32 table = read32(4);
        const quint32 buckets = read32(table);
        if (buckets == 0)
            return {};
        // Chains are bounded by the file's size, so a damaged cache cannot loop for ever.
        quint32 chain = read32(table + 4 + 4 * (hash % buckets));
        for (qsizetype steps = 0; chain != 0xffffffff && steps < data_.size(); ++steps) {
            if (string(read32(chain + 4)) == name) {
                const quint32 images = read32(chain + 8);
                const quint32 count = read32(images);
                QStringList folders;
                for (quint32 i = 0; i < count && i < quint32(data_.size()); ++i) {
                    const quint16 index = read16(images + 4 + 8 * i);
                    if (index < directories_.size())
                        folders.append(directories_.at(index));
                }
                return folders;
            }
            chain = read32(chain);
        }
        return {};
    }

private:
    quint16 read16(quint32 at) const
    {
        if (qsizetype(at) + 2 > data_.size())
            return 0;
        return quint16(uchar(data_[at]) << 8 | uchar(data_[at + 1]));
    }
    quint32 read32(quint32 at) const
    {
        if (qsizetype(at) + 4 > data_.size())
            return 0xffffffff;
        return quint32(uchar(data_[at])) << 24 | quint32(uchar(data_[at + 1])) << 16 |
               quint32(uchar(data_[at + 2])) << 8 | quint32(uchar(data_[at + 3]));
    }
    std::optional<QString> string(quint32 at) const
    {
        if (qsizetype(at) >= data_.size())
            return std::nullopt;
        const qsizetype end = data_.indexOf('\0', at);
        if (end < 0)
            return std::nullopt;
        return QString::fromUtf8(data_.sliced(at, end - at));
    }

    QByteArray data_;
    QStringList directories_;
};

// The theme set now: its folders on the search paths and what its index describes.
struct Theme {
    QString name;
    QStringList folders;
    QList<std::shared_ptr<IconCache>> caches;
    QList<Directory> directories;
};

const Theme *currentTheme()
{
    static std::optional<Theme> theme;
    static int readFor = -1;
    if (readFor == generation && theme && theme->name == QIcon::themeName())
        return theme->directories.isEmpty() ? nullptr : &*theme;
    readFor = generation;
    theme = Theme{QIcon::themeName(), {}, {}, {}};
    bool indexed = false;
    for (const QString &searchPath : QIcon::themeSearchPaths()) {
        const QString folder = QDir(searchPath).path() + u'/' + theme->name;
        if (QFileInfo(folder).isDir()) {
            theme->folders.append(folder);
            theme->caches.append(std::make_shared<IconCache>(folder));
        }
        if (!indexed && QFile::exists(folder + u"/index.theme"_s)) {
            indexed = true;
            theme->directories = readIndex(folder + u"/index.theme"_s);
        }
    }
    return theme->directories.isEmpty() ? nullptr : &*theme;
}

// An SVG file of an icon and the folder it is in.
struct Entry {
    Directory directory;
    QString file;
};

// The SVG files of icon `name` in the theme, in the order the toolkit's lookup has them; none
// where the toolkit would find the icon otherwise than as such files of this theme.
QList<Entry> entriesOf(const QString &name)
{
    const Theme *theme = currentTheme();
    if (!ownTheme || !theme || name.isEmpty())
        return {};
    QList<Entry> entries;
    for (qsizetype i = 0; i < theme->folders.size(); ++i) {
        QList<Directory> directories = theme->directories;
        if (const IconCache &cache = *theme->caches.at(i); cache.valid()) {
            directories.clear();
            for (const QString &path : cache.lookup(name)) {
                const auto found = std::find_if(
                    theme->directories.cbegin(), theme->directories.cend(),
                    [&](const Directory &directory) { return directory.path == path; });
                if (found != theme->directories.cend())
                    directories.append(*found);
            }
        }
        for (const Directory &directory : std::as_const(directories)) {
            const QString folder = theme->folders.at(i) + u'/' + directory.path + u'/';
            // A PNG comes before every SVG in the toolkit's lookup: its icon is the toolkit's.
            if (QFile::exists(folder + name + u".png"_s))
                return {};
            if (const QString svg = folder + name + u".svg"_s; QFile::exists(svg))
                entries.append({directory, svg});
        }
    }
    return entries;
}

// Each SVG file read once.
std::shared_ptr<QSvgRenderer> rendererOf(const QString &file)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    std::shared_ptr<QSvgRenderer> &renderer = renderers[file];
    if (!renderer)
        renderer = std::make_shared<QSvgRenderer>(file);
    return renderer;
}

class ThemeIconEngine : public QIconEngine {
public:
    explicit ThemeIconEngine(const QString &name) : name_(name) {}

    QIconEngine *clone() const override { return new ThemeIconEngine(name_); }
    QString key() const override { return u"QuillmarkThemeIcon"_s; }
    QString iconName() override { return name_; }

    bool isNull() override
    {
        if (const QIcon *plain = resolve())
            return plain->isNull();
        return entries_.isEmpty();
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        if (const QIcon *plain = resolve())
            return plain->availableSizes(mode, state);
        QList<QSize> sizes;
        for (const Entry &entry : std::as_const(entries_))
            sizes.append(QSize(entry.directory.size, entry.directory.size));
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (const QIcon *plain = resolve())
            return plain->actualSize(size, mode, state);
        const Entry *entry = entryFor(size, 1);
        if (!entry)
            return QSize(0, 0);
        if (entry->directory.type == Directory::Type::scalable)
            return size;
        const int side = std::min(entry->directory.size, std::min(size.width(), size.height()));
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (const QIcon *plain = resolve())
            return plain->pixmap(size, 1.0, mode, state);
        return draw(entryFor(size, 1), size, mode);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        if (const QIcon *plain = resolve()) {
            QPixmap drawn = plain->pixmap(size / scale, scale, mode, state);
            drawn.setDevicePixelRatio(1.0);
            return drawn;
        }
        const int whole = int(std::ceil(scale));
        return draw(entryFor(size / whole, whole), size, mode);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        if (const QIcon *plain = resolve()) {
            plain->paint(painter, rect, Qt::AlignCenter, mode, state);
            return;
        }
        const qreal ratio = painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

private:
    // The toolkit's icon where it finds this one otherwise; none where the files are read here.
    const QIcon *resolve()
    {
        if (resolvedFor_ != generation) {
            resolvedFor_ = generation;
            entries_ = entriesOf(name_);
            plain_ = entries_.isEmpty() ? std::optional(QIcon::fromTheme(name_)) : std::nullopt;
        }
        return plain_ ? &*plain_ : nullptr;
    }

    // The file for a size: one of a folder that matches it, the first such; else the nearest.
    const Entry *entryFor(const QSize &size, int scale) const
    {
        const int side = std::min(size.width(), size.height());
        for (const Entry &entry : entries_) {
            if (entry.directory.matches(side, scale))
                return &entry;
        }
        const Entry *nearest = nullptr;
        int least = std::numeric_limits<int>::max();
        for (const Entry &entry : entries_) {
            if (const int distance = entry.directory.distance(side, scale); distance < least) {
                least = distance;
                nearest = &entry;
            }
        }
        return nearest;
    }

    static QPixmap draw(const Entry *entry, const QSize &size, QIcon::Mode mode)
    {
        if (!entry)
            return {};
        const QString cacheKey = u"quillmark-icon:"_s + entry->file + u':' +
                                 QString::number(size.width()) + u'x' +
                                 QString::number(size.height()) + u':' + QString::number(int(mode));
        QPixmap drawn;
        if (QPixmapCache::find(cacheKey, &drawn))
            return drawn;
        const std::shared_ptr<QSvgRenderer> renderer = rendererOf(entry->file);
        if (!renderer->isValid())
            return {};
        QSize pictured = renderer->defaultSize();
        if (!pictured.isNull())
            pictured.scale(size, Qt::KeepAspectRatio);
        if (pictured.isEmpty())
            return {};
        QImage image(pictured, QImage::Format_ARGB32_Premultiplied);
        image.fill(0x00000000);
        QPainter painter(&image);
        renderer->render(&painter);
        painter.end();
        drawn = QPixmap::fromImage(image);
        if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option(0);
            option.palette = QGuiApplication::palette();
            if (const QPixmap looked =
                    QApplication::style()->generatedIconPixmap(mode, drawn, &option);
                !looked.isNull())
                drawn = looked;
        }
        QPixmapCache::insert(cacheKey, drawn);
        return drawn;
    }

    QString name_;
    int resolvedFor_ = -1;
    QList<Entry> entries_;
    std::optional<QIcon> plain_;
};

} // namespace

namespace ThemeIcons {

void setOwnTheme(bool own)
{
    ownTheme = own;
    ++generation;
}

QIcon icon(const QString &name)
{
    if (!ownTheme)
        return QIcon::fromTheme(name);
    static QHash<QString, QIcon> icons;
    auto known = icons.find(name);
    if (known == icons.end())
        known = icons.insert(name, QIcon(new ThemeIconEngine(name)));
    return *known;
}

bool readsFiles(const QString &name)
{
    return !entriesOf(name).isEmpty();
}

QIcon toolkitIcon(const QString &name)
{
    return QIcon::fromTheme(name);
}

} // namespace ThemeIcons
