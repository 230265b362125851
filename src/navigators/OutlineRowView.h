#pragma once

#include "navigators/OutlineRows.h"

#include <QPoint>
#include <QWidget>

class DisclosureChevron;
class TreeGuides;
class QHBoxLayout;

// One drawn line of the outline. It shows an OutlineRow and reports the user's clicks, drags
// and menu requests; it changes nothing itself. Rows are kept by their key and given new
// values in place.
class OutlineRowView : public QWidget {
    Q_OBJECT

public:
    explicit OutlineRowView(const OutlineRow &row, QWidget *parent = nullptr);

    const OutlineRow &row() const { return row_; }
    // Redraws only when the row differs from the one shown.
    void setRow(const OutlineRow &row);

    // The disclosure chevron's rectangle, in the row's coordinates; empty without one.
    QRect chevronRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The colour of an icon tint in the palette's appearance.
    static QColor tintColor(OutlineTint tint, const QPalette &palette);

signals:
    void clicked(const QString &key, Qt::KeyboardModifiers modifiers, bool onChevron);
    void dragStarted(const QString &key);
    void menuRequested(const QString &key, QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyStructure();
    QFont labelFont() const;
    QMargins padding() const;
    bool hasSelectionFill() const;

    OutlineRow row_;
    QHBoxLayout *layout_ = nullptr;
    TreeGuides *guides_ = nullptr;
    DisclosureChevron *chevron_ = nullptr;
    std::optional<QPoint> pressPosition_;
    bool dragging_ = false;
};
