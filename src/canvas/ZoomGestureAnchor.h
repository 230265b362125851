#pragma once

#include <QObject>
#include <optional>

// The zoom level at which the pinch in progress began; empty outside a pinch.
class ZoomGestureAnchor : public QObject {
    Q_OBJECT
public:
    explicit ZoomGestureAnchor(QObject *parent = nullptr) : QObject(parent) {}

    std::optional<double> startLevel() const { return startLevel_; }
    void setStartLevel(std::optional<double> level)
    {
        if (startLevel_ == level)
            return;
        startLevel_ = level;
        emit startLevelChanged();
    }

signals:
    void startLevelChanged();

private:
    std::optional<double> startLevel_;
};
