#pragma once

#include "document/DocumentStore.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

// One row of icon buttons acting on the selected elements: align (from 2 selected), distribute
// (from 3), arrange, delete and duplicate (from 1), and the selection count. It keeps no state:
// enabling follows the store's selection count.
class AlignDistributeToolbar : public QWidget {
    Q_OBJECT
public:
    explicit AlignDistributeToolbar(QWidget *parent = nullptr);

    void setStore(DocumentStore *store);

    // The button that carries a symbol, or null.
    QToolButton *button(const QString &symbolName) const;
    // The "<n> selected" label; hidden while nothing is selected.
    QLabel *countLabel() const { return count_; }

private:
    using Action = void (*)(DocumentStore &);
    // The three groups build the same thing: a borderless image button with a tooltip.
    QToolButton *alignButton(const char *symbol, const char *help, Action action);
    QToolButton *distributeButton(const char *symbol, const char *help, Action action);
    QToolButton *arrangeButton(const char *symbol, const char *help, Action action);
    QToolButton *imageButton(const char *symbol, const char *help, Action action);
    void refresh();

    QPointer<DocumentStore> store_;
    QList<QToolButton *> align_;
    QList<QToolButton *> distribute_;
    QList<QToolButton *> arrange_;
    QToolButton *delete_ = nullptr;
    QToolButton *duplicate_ = nullptr;
    QLabel *count_ = nullptr;
};
