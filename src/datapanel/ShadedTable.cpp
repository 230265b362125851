#include "datapanel/ShadedTable.h"

#include "widgets/CardText.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

namespace ShadedTable {
namespace {

// The margin the item views leave between a cell's edge and its text.
int textMargin(const QWidget *widget)
{
    return widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

// Cells of one line with the column spacing after them; a database NULL in the secondary colour.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(columnSpacing, 0);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(nullRole).toBool())
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                option->palette.setColor(group, QPalette::Text,
                                         CardText::secondaryColor(option->palette, group));
    }
};

// The column names in bold over a divider, drawn flat on the shaded box; a name the model gives
// a colour of its own (Qt::ForegroundRole) is drawn in it.
class Header : public QHeaderView {
public:
    explicit Header(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
    {
        QFont bold = CardText::sized(font(), 10);
        bold.setBold(true);
        setFont(bold);
        setSectionsClickable(false);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Interactive);
        viewport()->setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(viewport());
        // Only the sections in view.
        const int first = std::max(visualIndexAt(0), 0);
        const int last = visualIndexAt(viewport()->width() - 1);
        for (int visual = first; visual < count() && (last < 0 || visual <= last); ++visual) {
            const int logical = logicalIndex(visual);
            if (isSectionHidden(logical))
                continue;
            paintSection(&painter,
                         QRect(sectionViewportPosition(logical), 0, sectionSize(logical), height()),
                         logical);
        }
        painter.setPen(palette().color(QPalette::Mid));
        const int right = std::min(viewport()->width(), length() - offset());
        painter.drawLine(0, height() - 1, right, height() - 1);
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        const int margin = textMargin(this);
        painter->setFont(font());
        const QVariant own = model()->headerData(logicalIndex, Qt::Horizontal, Qt::ForegroundRole);
        painter->setPen(own.isValid() ? own.value<QColor>()
                                      : palette().color(QPalette::WindowText));
        painter->drawText(rect.adjusted(margin, 0, -margin, -rowSpacing),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          model()->headerData(logicalIndex, Qt::Horizontal).toString());
    }

    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        const QString text = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text) + 2 * textMargin(this) + columnSpacing,
                metrics.height() + rowSpacing + 1};
    }
};

} // namespace

QTableView *make(QAbstractItemModel *model, const QString &objectName, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setObjectName(objectName);
    table->setModel(model);
    table->setHorizontalHeader(new Header(table));
    table->setItemDelegate(new CellDelegate(table));
    table->verticalHeader()->hide();
    QFont cells = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    cells.setPointSizeF(10);
    table->setFont(cells);
    const int rowHeight = QFontMetrics(cells).height() + rowSpacing;
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideNone);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setFocusPolicy(Qt::NoFocus);
    table->setFrameShape(QFrame::NoFrame);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->viewport()->setAutoFillBackground(false);
    return table;
}

void fitColumns(QTableView *table, int rows)
{
    const QAbstractItemModel *model = table->model();
    QHeaderView *header = table->horizontalHeader();
    const QFontMetrics bold(header->font());
    const QFontMetrics cells(table->font());
    const int margins = 2 * textMargin(table) + columnSpacing;
    const int charWidth = cells.horizontalAdvance(QLatin1Char('0'));
    const int shown = std::min(rows, model->rowCount());
    for (int column = 0; column < model->columnCount(); ++column) {
        qsizetype longest = 0;
        for (int row = 0; row < shown; ++row)
            longest = std::max(longest, model->index(row, column).data().toString().size());
        const int name =
            bold.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString());
        header->resizeSection(column, std::max(name, int(longest) * charWidth) + margins);
    }
}

} // namespace ShadedTable
