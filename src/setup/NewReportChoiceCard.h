#pragma once

#include "setup/PageFormatPreset.h"
#include "setup/StarterHeaderStyle.h"

#include <QColor>
#include <QSizeF>
#include <QWidget>
#include <functional>

// One choice of the new-report wizard: a sample (a page thumbnail or a header colour) above its
// name. The chosen card is tinted in the accent colour and its sample outlined in it; a click
// anywhere on the card chooses it.
class NewReportChoiceCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double thumbnailHeight = 62;
    static constexpr QSizeF swatchSize{44, 32};

    // The page's width over its height, for a thumbnail; A4's portrait ratio for a page without
    // a usable size (Custom, or a side of 0 or less).
    static double thumbnailRatio(const std::optional<PageSize> &size);
    // The largest size of `ratio` that fits `width` × `height`.
    static QSizeF fitted(double ratio, double width, double height);

    static NewReportChoiceCard *presetCard(PageFormatPreset preset, std::function<void()> onChoose,
                                           QWidget *parent = nullptr);
    static NewReportChoiceCard *headerSwatch(StarterHeaderStyle style,
                                             std::function<void()> onChoose,
                                             QWidget *parent = nullptr);

    bool isChosen() const { return isChosen_; }
    void setChosen(bool chosen);
    QString text() const { return text_; }
    // The fill the sample is painted with.
    QColor sampleFill() const { return fill_; }
    // The symbol drawn over the sample ("ruler", "slash.circle"), or empty.
    QString symbol() const { return symbol_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Look {
        QString text;
        double labelPointSize;
        int padding;
        double ratio;     // of a thumbnail fitted into `sampleHeight`
        QSizeF sampleBox; // the space the sample is fitted into (width 0: the card's width)
        qreal sampleRadius;
        QColor fill;
        QString symbol;
    };

    NewReportChoiceCard(Look look, std::function<void()> onChoose, QWidget *parent);
    QRectF sampleRect() const;
    QFont labelFont() const;
    // The height of the name wrapped into `width`.
    int labelHeight(int width) const;

    Look look_;
    QString text_;
    QColor fill_;
    QString symbol_;
    std::function<void()> onChoose_;
    bool isChosen_ = false;
};
