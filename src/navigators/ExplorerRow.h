#pragma once

#include <QPoint>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class QMimeData;

// One drawn line of the project explorer: a folder (indentation, disclosure chevron, folder
// symbol, name) or a file (indentation, a gap where the chevron goes, its symbol, name; dimmed
// unless it is a report; tinted while it is the active tab's file). A click, a context menu and,
// on a folder, a drop are handed to the explorer; a drag carries the item's path as plain text.
class ExplorerRow : public QWidget {
    Q_OBJECT

public:
    struct Shape {
        QUrl url;
        int depth = 0;
        bool isRoot = false;
        bool isDirectory = false;
        bool isExpanded = false;
        bool isOpen = false;
    };
    // Answers whether a drop onto this folder was taken.
    using DropHandler = std::function<bool(const QMimeData &)>;

    explicit ExplorerRow(const Shape &shape, QWidget *parent = nullptr);

    const Shape &shape() const { return shape_; }
    // A file that is not a report is drawn dimmed.
    bool isDimmed() const;
    QString symbol() const;
    void setDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }

signals:
    void clicked();
    void contextMenuRequested(const QPoint &globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void applyColours();

    Shape shape_;
    QLabel *icon_ = nullptr;
    QLabel *name_ = nullptr;
    DropHandler dropHandler_;
    QPoint pressPosition_;
    bool isPressed_ = false;
};
