#pragma once

#include <QFrame>

class QLabel;
class QLayout;
class QVBoxLayout;

// The titled card every section of the inspector stands in: the title in capitals in the
// accent colour, then the content, on a lightly filled and outlined rounded rectangle.
class SectionCard : public QFrame {
    Q_OBJECT

public:
    static constexpr int spacing = 7;
    static constexpr int padding = 10;
    static constexpr qreal cornerRadius = 8;

    // `title` in mixed case ("Frame"), as given; the card shows it in capitals.
    explicit SectionCard(const QString &title, QWidget *parent = nullptr);

    void addWidget(QWidget *widget);
    void addLayout(QLayout *layout);
    QLabel *titleLabel() const { return title_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *column_;
    QLabel *title_;
};
