#pragma once

#include <QProxyStyle>

// The program's widget style: Fusion, except that the standard icons of the toolbar and menu
// bar overflow buttons are read from their files only when first drawn. Those buttons show
// only when a bar runs out of room, and reading the files makes Qt load every image format
// plugin, which would hold up the window's first showing.
class AppStyle : public QProxyStyle {
    Q_OBJECT

public:
    AppStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
