#include "canvas/AlignDistributeToolbar.h"

#include "canvas/ToolbarParts.h"
#include "widgets/SymbolIcons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

using Edge = DocumentStore::AlignEdge;
using Axis = DocumentStore::DistributeAxis;

} // namespace

AlignDistributeToolbar::AlignDistributeToolbar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 4, 10, 4);
    row->setSpacing(6);

    row->addWidget(ToolbarParts::captionLabel(QStringLiteral("Align:"), this));
    align_ = {
        alignButton("align.horizontal.left", "Align Left Edges",
                    [](DocumentStore &s) { s.alignSelected(Edge::left); }),
        alignButton("align.horizontal.center", "Align Horizontal Centers",
                    [](DocumentStore &s) { s.alignSelected(Edge::horizontalCenter); }),
        alignButton("align.horizontal.right", "Align Right Edges",
                    [](DocumentStore &s) { s.alignSelected(Edge::right); }),
        alignButton("align.vertical.top", "Align Top Edges",
                    [](DocumentStore &s) { s.alignSelected(Edge::top); }),
        alignButton("align.vertical.center", "Align Vertical Centers",
                    [](DocumentStore &s) { s.alignSelected(Edge::verticalCenter); }),
        alignButton("align.vertical.bottom", "Align Bottom Edges",
                    [](DocumentStore &s) { s.alignSelected(Edge::bottom); }),
    };
    for (QToolButton *b : std::as_const(align_))
        row->addWidget(b);
    row->addWidget(ToolbarParts::divider(this));
    row->addWidget(ToolbarParts::captionLabel(QStringLiteral("Distribute:"), this));
    distribute_ = {
        distributeButton("arrow.left.and.right", "Distribute Horizontally",
                         [](DocumentStore &s) { s.distributeSelected(Axis::horizontal); }),
        distributeButton("arrow.up.and.down", "Distribute Vertically",
                         [](DocumentStore &s) { s.distributeSelected(Axis::vertical); }),
    };
    for (QToolButton *b : std::as_const(distribute_))
        row->addWidget(b);
    row->addWidget(ToolbarParts::divider(this));
    row->addWidget(ToolbarParts::captionLabel(QStringLiteral("Arrange:"), this));
    arrange_ = {
        arrangeButton("square.3.layers.3d.top.filled", "Bring to Front",
                      [](DocumentStore &s) { s.bringToFront(); }),
        arrangeButton("square.2.layers.3d.top.filled", "Bring Forward",
                      [](DocumentStore &s) { s.bringForward(); }),
        arrangeButton("square.2.layers.3d.bottom.filled", "Send Backward",
                      [](DocumentStore &s) { s.sendBackward(); }),
        arrangeButton("square.3.layers.3d.bottom.filled", "Send to Back",
                      [](DocumentStore &s) { s.sendToBack(); }),
    };
    for (QToolButton *b : std::as_const(arrange_))
        row->addWidget(b);
    row->addWidget(ToolbarParts::divider(this));
    delete_ = imageButton("trash", "Delete selected element",
                          [](DocumentStore &s) { s.deleteSelectedElement(); });
    duplicate_ = imageButton("plus.square.on.square", "Duplicate selected element",
                             [](DocumentStore &s) { s.duplicateSelectedElement(); });
    row->addWidget(delete_);
    row->addWidget(duplicate_);
    count_ = ToolbarParts::captionLabel(QString(), this);
    row->addWidget(count_);
    row->addStretch(1);
    refresh();
}

void AlignDistributeToolbar::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    if (store) {
        connect(store, &DocumentStore::selectedElementIDsChanged, this,
                &AlignDistributeToolbar::refresh);
        // An undo or redo keeps the selection but may take its elements away, or bring them back.
        connect(store, &DocumentStore::documentChanged, this, [this] {
            if (store_ && !store_->selectedElementIDs().isEmpty())
                refresh();
        });
    }
    refresh();
}

QToolButton *AlignDistributeToolbar::button(const QString &symbolName) const
{
    const QList<QToolButton *> buttons = findChildren<QToolButton *>();
    for (QToolButton *b : buttons) {
        if (b->property(SymbolIcons::symbolProperty).toString() == symbolName)
            return b;
    }
    return nullptr;
}

QToolButton *AlignDistributeToolbar::alignButton(const char *symbol, const char *help,
                                                 Action action)
{
    return imageButton(symbol, help, action);
}

QToolButton *AlignDistributeToolbar::distributeButton(const char *symbol, const char *help,
                                                      Action action)
{
    return imageButton(symbol, help, action);
}

QToolButton *AlignDistributeToolbar::arrangeButton(const char *symbol, const char *help,
                                                   Action action)
{
    return imageButton(symbol, help, action);
}

QToolButton *AlignDistributeToolbar::imageButton(const char *symbol, const char *help,
                                                 Action action)
{
    auto *button =
        ToolbarParts::symbolButton(QString::fromLatin1(symbol), QString::fromLatin1(help), this);
    connect(button, &QToolButton::clicked, this, [this, action] {
        if (store_)
            action(*store_);
    });
    return button;
}

void AlignDistributeToolbar::refresh()
{
    const qsizetype count = store_ ? store_->heldSelection().size() : 0;
    for (QToolButton *b : std::as_const(align_))
        b->setEnabled(count >= 2);
    for (QToolButton *b : std::as_const(distribute_))
        b->setEnabled(count >= 3);
    for (QToolButton *b : std::as_const(arrange_))
        b->setEnabled(count >= 1);
    delete_->setEnabled(count >= 1);
    duplicate_->setEnabled(count >= 1);
    count_->setVisible(count >= 1);
    count_->setText(QString::number(count) + QStringLiteral(" selected"));
}
