#include "widgets/AppStyle.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <functional>

namespace {

// An icon read on first use: painting it, or asking for a pixmap or a size, reads it.
class IconOnFirstUse : public QIconEngine {
public:
    explicit IconOnFirstUse(std::function<QIcon()> read) : read_(std::move(read)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        // `size` is in device pixels already.
        QPixmap pixmap = icon().pixmap(size, 1.0, mode, state);
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // The style's own icons always exist; saying so reads nothing.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("IconOnFirstUse"); }
    QIconEngine *clone() const override { return new IconOnFirstUse(*this); }

private:
    QIcon &icon()
    {
        if (read_) {
            icon_ = read_();
            read_ = nullptr;
        }
        return icon_;
    }

    std::function<QIcon()> read_;
    QIcon icon_;
};

} // namespace

AppStyle::AppStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

QIcon AppStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                             const QWidget *widget) const
{
    const bool isOverflow = standardIcon == SP_ToolBarHorizontalExtensionButton ||
                            standardIcon == SP_ToolBarVerticalExtensionButton;
    // Without an option the icon follows the application's direction, taken now as Fusion
    // would; an option may carry more than the read could keep.
    if (!isOverflow || option)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    QStyleOption directed;
    directed.direction = QGuiApplication::layoutDirection();
    return QIcon(new IconOnFirstUse([base = QPointer<QStyle>(baseStyle()), standardIcon, directed] {
        return base ? base->standardIcon(standardIcon, &directed) : QIcon();
    }));
}
