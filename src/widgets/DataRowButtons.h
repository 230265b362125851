#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class DocumentStore;
class QPushButton;
class QToolButton;

// The up and down chevrons at the end of a list row. A click hands -1 (up) or +1 (down) to the
// action. The up button is disabled on the first row and the down button on the last, so a
// row's buttons follow its place as rows come and go.
class MoveButtons : public QWidget {
    Q_OBJECT

public:
    explicit MoveButtons(std::function<void(int offset)> action, QWidget *parent = nullptr);

    // The row's index and the length of its list.
    void setPlace(int index, int count);

    QToolButton *up() const { return up_; }
    QToolButton *down() const { return down_; }

private:
    QToolButton *up_;
    QToolButton *down_;
};

namespace DataRowButtons {

// The destructive minus button at the end of a list row. A click runs the action, which
// answers whether the removal went ahead (it may ask first); then it marks the store's report
// dirty (when the store is still there).
QToolButton *removeButton(DocumentStore *store, std::function<bool()> action,
                          QWidget *parent = nullptr);

// The button under a card's rows: the title with the symbol ("plus", or "plus.circle" for a
// nested list); a click runs the action and nothing else.
QPushButton *addButton(const QString &title, std::function<void()> action,
                       QWidget *parent = nullptr, const QString &symbol = QStringLiteral("plus"));

} // namespace DataRowButtons
