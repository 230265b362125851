#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

// The window modality of the sheets that edit the active report, kept by hand. Qt drops every
// click on a window under a window-modal dialog, its Undo and Redo among them; such a sheet
// opens without Qt's modality instead, and while it shows, this filter keeps the input of the
// window under it away as Qt would (clicks, keys, wheel, hovering, drops, closing) and hands the
// activation back to the sheet. Only what the window marked as reaching past its sheets gets
// through: its Undo and Redo buttons, its Edit menu's title and the menu's Undo and Redo.
class SheetModality : public QObject {
    Q_OBJECT

public:
    // Marks a widget or menu action of a window as one that works while a sheet covers it.
    static void letThrough(QObject *object);

    // The sheet shows over its parent's window, or no longer does.
    static void sheetShown(QWidget *sheet);
    static void sheetHidden(QWidget *sheet);

    // Whether a shown sheet covers the window.
    static bool covers(const QWidget *window);
    // The sheet shown over a window, if any.
    static QWidget *shownSheet();
    // Whether the sheet shows over its window.
    static bool isShown(const QWidget *sheet);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SheetModality();
    static SheetModality *instance();

    QWidget *sheetOver(const QWidget *window) const;
    // The covered window that owns the menu, if any.
    QWidget *coveredOwner(const QMenu *menu) const;
    bool filterCoveredWindow(QWidget *window, QEvent *event);
    bool filterMenu(QMenu *menu, QEvent *event) const;
    static bool overridesShortcutOf(const QWidget *window, QKeyEvent *event);
    bool gatedMenuIsOpen() const;

    QList<QPointer<QWidget>> sheets_;
    bool pressPassed_ = false;
};
