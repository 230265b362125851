#include "canvas/PaletteView.h"

#include "canvas/PaletteActions.h"
#include "canvas/SaveSnippetSheet.h"
#include "canvas/SnippetSheetState.h"
#include "canvas/SnippetsMenu.h"
#include "canvas/ToolbarParts.h"
#include "widgets/SymbolIcons.h"
#include "workspace/AppSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

using PaletteActions::Kind;

struct ButtonSpec {
    const char *symbol;
    const char *help;
    Kind kind;
};

const ButtonSpec buttonSpecs[] = {
    {"textformat", "Static Text", Kind::staticText},
    {"curlybraces", "Text Field", Kind::textField},
    {"rectangle", "Rectangle", Kind::rectangle},
    {"oval", "Ellipse", Kind::ellipse},
    {"line.diagonal", "Line", Kind::line},
    {"photo", "Image", Kind::image},
    {"doc.on.doc", "Subreport", Kind::subreport},
    {"square.dashed", "Frame", Kind::frame},
    {"list.bullet.rectangle", "List", Kind::list},
    {"tablecells", "Table", Kind::table},
    {"arrow.turn.down.left", "Break", Kind::reportBreak},
};

struct CompositeSpec {
    CompositeElement composite;
    const char *symbol;
};

const CompositeSpec compositeSpecs[] = {
    {CompositeElement::pageNumber, "number"}, {CompositeElement::totalPages, "number"},
    {CompositeElement::pageXofY, "number"},   {CompositeElement::currentDate, "calendar"},
    {CompositeElement::time, "clock"},
};

} // namespace

PaletteView::PaletteView(AppSettings &settings, SnippetLibrary &snippetLibrary,
                         SidecarModel &sidecar, QWidget *parent)
    : QWidget(parent), settings_(settings), snippetLibrary_(snippetLibrary), sidecar_(sidecar),
      snippetSheet_(new SnippetSheetState(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);

    targetLabel_ = ToolbarParts::captionLabel(QString(), this);
    // The caption keeps one width whatever the band is called, so that every button stays where
    // the user last found it; a longer band name is cut short and shown whole in the tooltip.
    // Room for the longest band title and a short group name.
    targetLabel_->setFixedWidth(
        targetLabel_->fontMetrics().horizontalAdvance(u"Add to Last Page Footer:"_s) * 13 / 10);
    row->addWidget(targetLabel_);

    for (const ButtonSpec &spec : buttonSpecs) {
        QToolButton *button = ToolbarParts::symbolButton(QString::fromLatin1(spec.symbol),
                                                         QString::fromLatin1(spec.help), this);
        const Kind kind = spec.kind;
        connect(button, &QToolButton::clicked, this, [this, kind] {
            if (!store_)
                return;
            if (kind == Kind::subreport)
                PaletteActions::insertSubreport(*store_, settings_, sidecar_);
            else
                PaletteActions::insert(kind, *store_, settings_);
        });
        buttons_.append(button);
        row->addWidget(button);
    }
    row->addWidget(ToolbarParts::divider(this));
    buildCompositeMenu();
    row->addWidget(composite_);
    snippetsMenu_ = new SnippetsMenu(snippetLibrary_, *snippetSheet_, this);
    row->addWidget(snippetsMenu_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    sheet_ = OnDemand<SaveSnippetSheet>([this] {
        auto *sheet = new SaveSnippetSheet(*snippetSheet_, snippetLibrary_, this);
        sheet->setStore(store_);
        return sheet;
    });
    connect(snippetSheet_, &SnippetSheetState::isVisibleChanged, this, [this] {
        if (snippetSheet_->isVisible())
            sheet_.get();
    });
    refreshTarget();
}

SaveSnippetSheet *PaletteView::saveSnippetSheet()
{
    return sheet_.get();
}

void PaletteView::buildCompositeMenu()
{
    composite_ = new QToolButton(this);
    const QString symbol = u"number.square"_s;
    composite_->setIcon(SymbolIcons::icon(symbol));
    composite_->setIconSize({16, 16});
    composite_->setProperty(SymbolIcons::symbolProperty, symbol);
    composite_->setAccessibleName(u"Insert"_s);
    composite_->setToolTip(u"Insert a composite field (page number, date, time, ...)"_s);
    composite_->setAutoRaise(true);
    composite_->setFocusPolicy(Qt::NoFocus);
    composite_->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(composite_);
    for (const CompositeSpec &spec : compositeSpecs) {
        const CompositeElement composite = spec.composite;
        QAction *item =
            menu->addAction(SymbolIcons::icon(QString::fromLatin1(spec.symbol)),
                            rawValue(composite), this, [this, composite] {
                                if (store_)
                                    store_->insertComposite(composite, store_->activeBandTarget());
                            });
        item->setData(int(composite));
    }
    composite_->setMenu(menu);
}

void PaletteView::setStore(DocumentStore *store)
{
    for (const QMetaObject::Connection &connection : std::as_const(storeConnections_))
        disconnect(connection);
    storeConnections_.clear();
    store_ = store;
    if (store_) {
        storeConnections_ = {
            connect(store_, &DocumentStore::selectedElementIDsChanged, this,
                    &PaletteView::refreshTarget),
            connect(store_, &DocumentStore::activeBandTargetChanged, this,
                    &PaletteView::refreshTarget),
            connect(store_, &DocumentStore::documentChanged, this, &PaletteView::refreshTarget)};
    }
    snippetsMenu_->setStore(store_);
    if (SaveSnippetSheet *sheet = sheet_.ifBuilt())
        sheet->setStore(store_);
    refreshTarget();
}

QToolButton *PaletteView::button(const QString &symbol) const
{
    for (QToolButton *b : buttons_) {
        if (b->property(SymbolIcons::symbolProperty).toString() == symbol)
            return b;
    }
    return nullptr;
}

void PaletteView::refreshTarget()
{
    const PaletteActions::TargetCaption caption =
        store_ ? PaletteActions::targetCaption(*store_) : PaletteActions::TargetCaption{};
    const QString shown = targetLabel_->fontMetrics().elidedText(caption.text, Qt::ElideMiddle,
                                                                 targetLabel_->width());
    targetLabel_->setText(shown);
    targetLabel_->setToolTip(!caption.toolTip.isEmpty() ? caption.toolTip
                             : shown == caption.text    ? QString()
                                                        : caption.text);
    targetLabel_->setAccessibleName(caption.text);
}
