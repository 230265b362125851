#pragma once

#include <QTimer>
#include <QWidget>

// A turning arc, the size of a control's progress indicator; it turns only while shown.
class Spinner : public QWidget {
public:
    explicit Spinner(int size = 16, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer timer_;
    int angle_ = 0;
};
