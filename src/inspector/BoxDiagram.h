#pragma once

#include "inspector/BoxSides.h"

#include <QPointer>
#include <QWidget>
#include <functional>

// Which sides of the box an editor edits. The padding editor's is the inspector view's and lives
// as long as it, so the same sides stay chosen from one element to the next; the borders
// editor's belongs to its card, made anew for every element.
class BoxSideSelectionState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const BoxSideSet &selected() const { return selected_; }
    void setSelected(const BoxSideSet &sides);
    // Removes the side when it is there and inserts it otherwise; true when it is there now.
    bool toggle(BoxSide side);

signals:
    void selectedChanged();

private:
    BoxSideSet selected_;
};

using PaddingSideSelectionState = BoxSideSelectionState;
using BorderSideSelectionState = BoxSideSelectionState;

// A small square standing for the element, with one clickable bar on each side and the corners
// left empty. A click on a bar selects or deselects that side in the selection the diagram is
// bound to; each bar tells in its tooltip what a click does.
class BoxDiagram : public QWidget {
    Q_OBJECT

public:
    BoxDiagram(BoxSideSelectionState *selection, int centerSize, int edgeThickness,
               QWidget *parent = nullptr);

    // The element the bars show; a copy, read anew at every refresh.
    void setElement(const ReportElement &element);
    const ReportElement &element() const { return element_; }
    bool isSelected(BoxSide side) const;

    QRect barRect(BoxSide side) const;
    std::optional<BoxSide> sideAt(const QPoint &position) const;
    virtual QString helpText(BoxSide side) const = 0;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    virtual void paintBar(QPainter &painter, BoxSide side, const QRect &bar) const = 0;
    // After a click changed the selection: whether the side is selected now.
    virtual void clicked(BoxSide side, bool nowSelected);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    // The secondary colour at `opacity` of its own.
    QColor secondary(double opacity) const;

private:
    QPointer<BoxSideSelectionState> selection_;
    int centerSize_;
    int edgeThickness_;
    ReportElement element_;
    std::optional<BoxSide> pressed_;
};

// The padding diagram: each bar shows its side's padding as a whole number of points. A click
// only selects or deselects the side; the element is not touched.
class PaddingBoxDiagram : public BoxDiagram {
    Q_OBJECT

public:
    static constexpr int centerSize = 46;
    static constexpr int edgeThickness = 16;

    explicit PaddingBoxDiagram(BoxSideSelectionState *selection, QWidget *parent = nullptr);

    QString helpText(BoxSide side) const override;

protected:
    void paintBar(QPainter &painter, BoxSide side, const QRect &bar) const override;
};

// The borders diagram: each bar is drawn in its pen's colour, dimmed when the side has no pen,
// and in the accent colour while selected. A click toggles the side and hands it to `onToggle`
// with whether it is selected now.
class BorderBoxDiagram : public BoxDiagram {
    Q_OBJECT

public:
    static constexpr int centerSize = 46;
    static constexpr int edgeThickness = 7;

    BorderBoxDiagram(BoxSideSelectionState *selection, std::function<void(BoxSide, bool)> onToggle,
                     QWidget *parent = nullptr);

    QString helpText(BoxSide side) const override;
    // The colour of the side's bar when it is not selected.
    QColor penColor(BoxSide side) const;

protected:
    void paintBar(QPainter &painter, BoxSide side, const QRect &bar) const override;
    void clicked(BoxSide side, bool nowSelected) override;

private:
    std::function<void(BoxSide, bool)> onToggle_;
};
