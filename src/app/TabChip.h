#pragma once

#include <QWidget>

class DocumentStore;
class QLabel;
class QToolButton;

// One tab of the strip: the dirty dot, the title and the close mark. It follows its store's
// changes at once; the strip tells it its place and whether it is active.
class TabChip : public QWidget {
    Q_OBJECT

public:
    static constexpr int maximumWidth = 180;

    TabChip(DocumentStore *store, QWidget *parent = nullptr);

    DocumentStore *store() const { return store_; }
    void setPlace(int index, bool isActive);
    int index() const { return index_; }
    bool isActive() const { return isActive_; }

    QString title() const;
    bool showsDirtyDot() const;
    QToolButton *closeButton() const { return close_; }

signals:
    void activated(int index);
    void closeRequested(int index);
    // The title changed, and with it the chip's width.
    void titleChanged();

protected:
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void paintCloseMark();

    DocumentStore *store_;
    QWidget *dot_;
    QLabel *title_;
    QToolButton *close_;
    QString fullTitle_;
    int index_ = 0;
    bool isActive_ = false;
};
