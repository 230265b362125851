#include "widgets/AppStyle.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

QImage drawn(const QIcon &icon, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(16, 16), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The overflow buttons' icons are read late but are Fusion's own: the same pictures at every
// size, in every mode and in both directions; every other icon comes from Fusion as it is.
TEST(AppStyleTest, OverflowIconsAreFusionsOwn)
{
    AppStyle style;
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    for (QStyle::StandardPixmap overflow :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QIcon late = style.standardIcon(overflow);
        const QIcon own = fusion->standardIcon(overflow);
        EXPECT_FALSE(late.isNull());
        EXPECT_EQ(late.availableSizes(), own.availableSizes());
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_EQ(drawn(late, mode), drawn(own, mode));
        EXPECT_EQ(late.pixmap(QSize(32, 32), 2.0).size(), own.pixmap(QSize(32, 32), 2.0).size());
        EXPECT_EQ(late.actualSize(QSize(64, 64)), own.actualSize(QSize(64, 64)));

        QStyleOption rightToLeft;
        rightToLeft.direction = Qt::RightToLeft;
        EXPECT_EQ(drawn(style.standardIcon(overflow, &rightToLeft)),
                  drawn(fusion->standardIcon(overflow, &rightToLeft)));
    }
    QApplication::setLayoutDirection(Qt::RightToLeft);
    const QIcon mirrored = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    const QIcon ownMirrored = fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QApplication::setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(drawn(mirrored), drawn(ownMirrored))
        << "the direction of the moment the icon was asked for";
    EXPECT_EQ(drawn(style.standardIcon(QStyle::SP_DialogOkButton)),
              drawn(fusion->standardIcon(QStyle::SP_DialogOkButton)));
    EXPECT_EQ(style.baseStyle()->name(), QStringLiteral("fusion"));
}

} // namespace
