#include "widgets/DataRowButtons.h"

#include "document/DocumentStore.h"
#include "widgets/SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QToolButton *symbolButton(const QString &symbol, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    button->setIconSize(QSize(14, 14));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

// The minus button keeps its red mark in both appearances: the mark is painted anew whenever
// the palette changes.
class RemoveButton : public QToolButton {
public:
    RemoveButton(QWidget *parent) : QToolButton(parent)
    {
        setAutoRaise(true);
        setProperty(SymbolIcons::symbolProperty, u"minus.circle"_s);
        setIconSize(QSize(14, 14));
        setFocusPolicy(Qt::TabFocus);
        paintMark();
    }

protected:
    void changeEvent(QEvent *event) override
    {
        QToolButton::changeEvent(event);
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
            paintMark();
    }

private:
    void paintMark()
    {
        setIcon(SymbolIcons::tintedPixmap(u"minus.circle"_s, iconSize(), devicePixelRatioF(),
                                          QColor(0xFF, 0x3B, 0x30)));
    }
};

} // namespace

MoveButtons::MoveButtons(std::function<void(int offset)> action, QWidget *parent)
    : QWidget(parent), up_(symbolButton(u"chevron.up"_s, this)),
      down_(symbolButton(u"chevron.down"_s, this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(up_);
    row->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [action] { action(-1); });
    connect(down_, &QToolButton::clicked, this, [action] { action(+1); });
}

void MoveButtons::setPlace(int index, int count)
{
    up_->setEnabled(index > 0);
    down_->setEnabled(index < count - 1);
}

namespace DataRowButtons {

QToolButton *removeButton(DocumentStore *store, std::function<bool()> action, QWidget *parent)
{
    auto *button = new RemoveButton(parent);
    QObject::connect(button, &QToolButton::clicked, button,
                     [store = QPointer<DocumentStore>(store), action = std::move(action)] {
                         if (action() && store)
                             store->setIsDirty(true);
                     });
    return button;
}

QPushButton *addButton(const QString &title, std::function<void()> action, QWidget *parent,
                       const QString &symbol)
{
    auto *button = new QPushButton(SymbolIcons::icon(symbol), title, parent);
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(button, &QPushButton::clicked, button, std::move(action));
    return button;
}

} // namespace DataRowButtons
