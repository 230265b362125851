#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The capsule at the bottom of the main window that names the engine job in progress, with a
// small spinner. It places itself 16 points above its parent's bottom edge, centred.
class BusyBanner : public QWidget {
    Q_OBJECT

public:
    explicit BusyBanner(QWidget *parent);

    // Shows the text, or hides the banner for no text.
    void setMessage(const std::optional<QString> &message);
    QString message() const;

    // Keeps the banner in its place when the parent's size changes.
    void reposition();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *label_;
    QWidget *spinner_;
};
