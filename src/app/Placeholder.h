#pragma once

#include <QWidget>

// An empty region of the window that a later view fills: it has the view's object name and
// takes the view's room, and draws nothing.
class Placeholder : public QWidget {
    Q_OBJECT

public:
    Placeholder(const QString &objectName, const QSize &idealSize, QWidget *parent = nullptr);

    QSize sizeHint() const override { return idealSize_; }

private:
    QSize idealSize_;
};
