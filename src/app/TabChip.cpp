#include "app/TabChip.h"

#include "app/TabBarView.h"
#include "document/DocumentStore.h"
#include "widgets/BoundedText.h"
#include "widgets/PlainToolTip.h"
#include "widgets/SymbolIcons.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

// The 5-point dot of a tab with unsaved changes.
class DirtyDot : public QWidget {
public:
    explicit DirtyDot(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("TabChipDirtyDot"));
        setFixedSize(5, 5);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::PlaceholderText));
        painter.drawEllipse(rect());
    }
};

} // namespace

TabChip::TabChip(DocumentStore *store, QWidget *parent)
    : QWidget(parent), store_(store), dot_(new DirtyDot(this)), title_(new QLabel(this)),
      close_(new QToolButton(this))
{
    setObjectName(QStringLiteral("TabChip"));
    setMaximumWidth(maximumWidth);
    title_->setObjectName(QStringLiteral("TabChipTitle"));
    title_->setTextFormat(Qt::PlainText);
    // 11 points of the layout, which are pixels here: in typographic points the chip grows
    // taller than the strip's 24 points inside its padding and is cut at top and bottom.
    QFont font = title_->font();
    font.setPixelSize(11);
    title_->setFont(font);

    close_->setObjectName(QStringLiteral("TabChipClose"));
    close_->setAutoRaise(true);
    close_->setProperty(SymbolIcons::symbolProperty, QStringLiteral("xmark"));
    close_->setIconSize(QSize(9, 9));
    close_->setFixedSize(14, 14);
    close_->setGraphicsEffect(new QGraphicsOpacityEffect(close_));
    paintCloseMark();
    connect(close_, &QToolButton::clicked, this, [this] { emit closeRequested(index_); });

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 5, 10, 5);
    row->setSpacing(6);
    row->addWidget(dot_);
    row->addWidget(title_, 1);
    row->addWidget(close_);

    connect(store, &DocumentStore::fileURLChanged, this, &TabChip::refresh);
    connect(store, &DocumentStore::documentChanged, this, &TabChip::refresh);
    connect(store, &DocumentStore::isDirtyChanged, this, &TabChip::refresh);
    refresh();
}

void TabChip::setPlace(int index, bool isActive)
{
    index_ = index;
    if (isActive_ == isActive)
        return;
    isActive_ = isActive;
    static_cast<QGraphicsOpacityEffect *>(close_->graphicsEffect())
        ->setOpacity(isActive ? 0.8 : 0.4);
    update();
}

QString TabChip::title() const
{
    return fullTitle_;
}

bool TabChip::showsDirtyDot() const
{
    return !dot_->isHidden();
}

void TabChip::refresh()
{
    const QString title = TabBarView::title(*store_);
    if (title != fullTitle_) {
        fullTitle_ = title;
        // What is left of the chip's 180 points after padding, dot and close mark.
        const int room = maximumWidth - 20 - 5 - 6 - 14 - 6;
        title_->setText(BoundedText::elided(title_->fontMetrics(), title, room));
        updateGeometry();
        emit titleChanged();
    }
    dot_->setVisible(store_->isDirty());
    setToolTip(plainToolTip(store_->windowTitle()));
    static_cast<QGraphicsOpacityEffect *>(close_->graphicsEffect())
        ->setOpacity(isActive_ ? 0.8 : 0.4);
}

void TabChip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintCloseMark();
}

void TabChip::paintCloseMark()
{
    // The mark is drawn in the text colour, as a plain cross.
    close_->setIcon(SymbolIcons::tintedPixmap(QStringLiteral("xmark"), close_->iconSize(),
                                              devicePixelRatioF(),
                                              palette().color(QPalette::WindowText)));
}

void TabChip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit activated(index_);
}

void TabChip::paintEvent(QPaintEvent *)
{
    if (!isActive_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor accent = palette().color(QPalette::Highlight);
    accent.setAlphaF(0.15f);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    painter.fillPath(shape, accent);
}
