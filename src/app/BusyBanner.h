#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// The capsule at the bottom of the main window that names the engine job in progress, with a
// small spinner, and a Cancel button for a job that can be called off. It places itself 16
// points above its parent's bottom edge, centred.
class BusyBanner : public QWidget {
    Q_OBJECT

public:
    explicit BusyBanner(QWidget *parent);

    // Shows the text, or hides the banner for no text.
    void setMessage(const std::optional<QString> &message);
    QString message() const;
    // Shows "Cancel", which calls `cancel`; no button for an empty one.
    void setCancel(std::function<void()> cancel);

    // Keeps the banner in its place when the parent's size changes.
    void reposition();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *label_;
    QWidget *spinner_;
    QPushButton *cancelButton_;
    std::function<void()> cancel_;
};
