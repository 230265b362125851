#pragma once

#include "widgets/ToolbarToggleButtonStyle.h"

#include <QAbstractButton>
#include <functional>

// An icon button with an on and an off look (the format toolbar's bold, italic, underline and
// grid). A click runs the action once; the button never changes its own state: the caller sets
// the new one with setOn. The symbol name stays on the widget (SymbolIcons::symbolProperty).
class ToolbarToggleIcon : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int frameWidth = 24;
    static constexpr int frameHeight = 22;

    ToolbarToggleIcon(const QString &systemImage, bool isOn, const QString &help,
                      std::function<void()> action, QWidget *parent = nullptr);

    QString systemImage() const { return systemImage_; }
    bool isOn() const { return style_.isOn; }
    void setOn(bool isOn);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString systemImage_;
    ToolbarToggleButtonStyle style_;
    std::function<void()> action_;
};
