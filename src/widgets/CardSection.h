#pragma once

#include <QFrame>
#include <QString>
#include <optional>

class QLayout;
class QVBoxLayout;

// A titled card that groups the controls of one topic: the title, an optional explanatory line
// and the card's content in one column, 10 points apart, on a lightly filled and outlined rounded
// rectangle. Texts inside that set no font of their own use the 11-point system font.
class CardSection : public QFrame {
    Q_OBJECT

public:
    static constexpr int spacing = 10;
    static constexpr int padding = 12;
    static constexpr qreal cornerRadius = 8;

    explicit CardSection(const QString &title, const std::optional<QString> &subtitle = {},
                         QWidget *parent = nullptr);

    // Appends one view, or a row of views, to the card's column.
    void addWidget(QWidget *widget);
    void addLayout(QLayout *layout);
    QVBoxLayout *column() const { return column_; }

    // Paints the card's look over the whole of `card`: black at 3 % in a rounded rectangle,
    // outlined in grey at 15 %. Other cards of the same look paint themselves with it.
    static void paintCard(QWidget *card, qreal cornerRadius);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *column_;
};
