#include "canvas/SnippetsMenu.h"

#include "canvas/PaletteActions.h"
#include "canvas/SnippetLibrary.h"
#include "canvas/SnippetSheetState.h"
#include "widgets/SymbolIcons.h"

#include <QMenu>

using namespace Qt::StringLiterals;

SnippetsMenu::SnippetsMenu(SnippetLibrary &library, SnippetSheetState &sheet, QWidget *parent)
    : QToolButton(parent), library_(library), sheet_(sheet)
{
    const QString symbol = u"square.stack"_s;
    setIcon(SymbolIcons::icon(symbol));
    setIconSize({16, 16});
    setProperty(SymbolIcons::symbolProperty, symbol);
    setAccessibleName(u"Snippets"_s);
    setToolTip(u"Reusable elements (or a Frame with several elements inside) saved once, "
               "insertable into any report"_s);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setPopupMode(QToolButton::InstantPopup);
    setMenu(new QMenu(this));
    // Built when it opens: an item must never be deleted while its own action runs.
    connect(menu(), &QMenu::aboutToShow, this, &SnippetsMenu::rebuild);
    rebuild();
}

void SnippetsMenu::setStore(DocumentStore *store)
{
    store_ = store;
}

void SnippetsMenu::rebuild()
{
    QMenu *items = menu();
    items->clear();
    QAction *save = items->addAction(u"Save Selection as Snippet..."_s, this, [this] {
        sheet_.setName(QString());
        sheet_.setIsVisible(true);
    });
    save->setEnabled(store_ && store_->selectedElementID().has_value());
    if (library_.snippets().isEmpty())
        return;
    items->addSeparator();
    for (const Snippet &snippet : library_.snippets()) {
        // A menu reads "&" as the mark of its access key: "R&D" would show as "RD".
        QMenu *entry = items->addMenu(QString(snippet.name).replace(u'&', u"&&"_s));
        entry->addAction(u"Insert"_s, this, [this, snippet] {
            if (store_)
                PaletteActions::insertSnippet(*store_, library_, snippet);
        });
        entry->addAction(u"Delete"_s, this, [this, id = snippet.id] { library_.remove(id); });
    }
}
