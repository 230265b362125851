#include "widgets/SymbolIcons.h"

#include "widgets/ThemeIcons.h"

#include <QHash>
#include <QPainter>
#include <QStandardPaths>

namespace {

using namespace Qt::StringLiterals;

const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> names = {
        {u"align.horizontal.center"_s, u"align-horizontal-center"_s},
        {u"align.horizontal.left"_s, u"align-horizontal-left"_s},
        {u"align.horizontal.right"_s, u"align-horizontal-right"_s},
        {u"align.vertical.bottom"_s, u"align-vertical-bottom"_s},
        {u"align.vertical.center"_s, u"align-vertical-center"_s},
        {u"align.vertical.top"_s, u"align-vertical-top"_s},
        {u"arrow.left.and.right"_s, u"distribute-horizontal-x"_s},
        {u"arrow.turn.down.left"_s, u"insert-page-break"_s},
        {u"arrow.turn.down.right"_s, u"go-next"_s},
        {u"arrow.up.and.down"_s, u"distribute-vertical-y"_s},
        {u"arrow.up.forward.square"_s, u"document-open-folder"_s},
        {u"arrow.uturn.backward"_s, u"edit-undo"_s},
        {u"arrow.uturn.forward"_s, u"edit-redo"_s},
        {u"at"_s, u"code-variable"_s},
        {u"barcode"_s, u"view-barcode"_s},
        {u"bold"_s, u"format-text-bold"_s},
        {u"calendar"_s, u"view-calendar"_s},
        {u"chart.bar.xaxis"_s, u"office-chart-bar"_s},
        {u"checkmark"_s, u"checkmark"_s},
        {u"checkmark.circle.fill"_s, u"dialog-ok-apply"_s},
        {u"chevron.down"_s, u"go-down"_s},
        {u"chevron.left.forwardslash.chevron.right"_s, u"text-xml"_s},
        {u"chevron.right"_s, u"go-next"_s},
        {u"chevron.up"_s, u"go-up"_s},
        {u"circle.lefthalf.filled"_s, u"contrast"_s},
        {u"clock"_s, u"clock"_s},
        {u"curlybraces"_s, u"code-context"_s},
        {u"curlybraces.square"_s, u"code-block"_s},
        {u"cylinder.split.1x2"_s, u"server-database"_s},
        {u"doc"_s, u"text-x-generic"_s},
        {u"doc.badge.plus"_s, u"document-new"_s},
        {u"doc.on.clipboard"_s, u"edit-paste"_s},
        {u"doc.on.doc"_s, u"edit-copy"_s},
        {u"doc.plaintext"_s, u"text-plain"_s},
        {u"doc.richtext"_s, u"document-properties"_s},
        {u"doc.text"_s, u"text-xml"_s},
        {u"doc.zipper"_s, u"application-zip"_s},
        {u"exclamationmark.triangle"_s, u"dialog-warning"_s},
        {u"exclamationmark.triangle.fill"_s, u"dialog-warning"_s},
        {u"eye"_s, u"view-visible"_s},
        {u"eye.slash"_s, u"view-hidden"_s},
        {u"folder"_s, u"folder"_s},
        {u"folder.badge.plus"_s, u"folder-new"_s},
        {u"grid"_s, u"show-grid"_s},
        {u"hammer"_s, u"run-build"_s},
        {u"italic"_s, u"format-text-italic"_s},
        {u"ladybug"_s, u"tools-report-bug"_s},
        {u"line.diagonal"_s, u"draw-line"_s},
        {u"list.bullet.rectangle"_s, u"format-list-unordered"_s},
        {u"minus.circle"_s, u"list-remove"_s},
        {u"minus.magnifyingglass"_s, u"zoom-out"_s},
        {u"moon"_s, u"weather-clear-night"_s},
        {u"number"_s, u"format-list-ordered"_s},
        {u"number.square"_s, u"insert-math-expression"_s},
        {u"oval"_s, u"draw-ellipse"_s},
        {u"paintbrush.fill"_s, u"format-fill-color"_s},
        {u"photo"_s, u"insert-image"_s},
        {u"play.fill"_s, u"media-playback-start"_s},
        {u"plus"_s, u"list-add"_s},
        {u"plus.circle"_s, u"list-add"_s},
        {u"plus.magnifyingglass"_s, u"zoom-in"_s},
        {u"plus.square.on.square"_s, u"edit-duplicate"_s},
        {u"puzzlepiece"_s, u"plugins"_s},
        {u"rectangle"_s, u"draw-rectangle"_s},
        {u"rectangle.stack"_s, u"object-group"_s},
        {u"ruler"_s, u"measure"_s},
        {u"scope"_s, u"crosshairs"_s},
        {u"slash.circle"_s, u"dialog-cancel"_s},
        {u"square.2.layers.3d.bottom.filled"_s, u"object-order-lower"_s},
        {u"square.2.layers.3d.top.filled"_s, u"object-order-raise"_s},
        {u"square.3.layers.3d.bottom.filled"_s, u"object-order-back"_s},
        {u"square.3.layers.3d.top.filled"_s, u"object-order-front"_s},
        {u"square.and.arrow.down"_s, u"document-save"_s},
        {u"square.and.arrow.down.on.square"_s, u"document-save-as"_s},
        {u"square.dashed"_s, u"select-rectangular"_s},
        {u"square.stack"_s, u"edit-paste-style"_s},
        {u"square.stack.3d.down.right"_s, u"document-save-all"_s},
        {u"sun.max"_s, u"weather-clear"_s},
        {u"tablecells"_s, u"insert-table"_s},
        {u"tablecells.badge.ellipsis"_s, u"labplot-spreadsheet"_s},
        {u"text.aligncenter"_s, u"format-justify-center"_s},
        {u"text.alignleft"_s, u"format-justify-left"_s},
        {u"text.alignright"_s, u"format-justify-right"_s},
        {u"text.badge.plus"_s, u"insert-text"_s},
        {u"textformat"_s, u"draw-text"_s},
        {u"trash"_s, u"edit-delete"_s},
        {u"tray.and.arrow.down"_s, u"document-import"_s},
        {u"underline"_s, u"format-text-underline"_s},
        {u"wand.and.stars"_s, u"tools-wizard"_s},
        {u"xmark"_s, u"edit-delete-remove"_s},
        {u"xmark.circle.fill"_s, u"edit-clear"_s},
        {u"xmark.octagon.fill"_s, u"dialog-error"_s},
    };
    return names;
}

} // namespace

namespace SymbolIcons {

QStringList symbols()
{
    QStringList all = table().keys();
    all.sort();
    return all;
}

QString themeName(const QString &symbol)
{
    return table().value(symbol);
}

QIcon icon(const QString &symbol)
{
    const QString name = themeName(symbol);
    return name.isEmpty() ? QIcon() : ThemeIcons::icon(name);
}

QPixmap tintedPixmap(const QString &symbol, const QSize &size, qreal devicePixelRatio,
                     const QColor &color)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    icon(symbol).paint(&painter, QRect(QPoint(), size));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(), size), color);
    return pixmap;
}

void useIconTheme(bool dark)
{
    // Not every platform plugin names the system's icon folders (the offscreen one does not).
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QStringList systemFolders = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, u"icons"_s, QStandardPaths::LocateDirectory);
    for (const QString &folder : systemFolders) {
        if (!searchPaths.contains(folder))
            searchPaths.append(folder);
    }
    QIcon::setThemeSearchPaths(searchPaths);

    const QString breeze = dark ? u"breeze-dark"_s : u"breeze"_s;
    static const QString platformTheme = QIcon::themeName();
    const bool own = platformTheme.isEmpty() || platformTheme == "hicolor"_L1;
    if (own)
        QIcon::setThemeName(breeze);
    QIcon::setFallbackThemeName(breeze);
    ThemeIcons::setOwnTheme(own);
}

} // namespace SymbolIcons
