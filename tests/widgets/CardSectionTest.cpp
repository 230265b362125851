#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/DataRowCard.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(CardSection, StacksTitleSubtitleAndContent)
{
    CardSection plain(u"Canvas"_s);
    auto *first = new QLabel(u"first"_s);
    plain.addWidget(first);
    plain.resize(300, plain.sizeHint().height());
    plain.show();
    auto *title = plain.findChild<QLabel *>(u"cardTitle"_s);
    EXPECT_EQ(plain.findChild<QLabel *>(u"cardSubtitle"_s), nullptr);
    EXPECT_EQ(title->pos(), QPoint(12, 12));
    EXPECT_EQ(first->y(), title->geometry().bottom() + 1 + 10);
    EXPECT_EQ(title->font().pointSizeF(), 12);
    EXPECT_EQ(first->font().pointSizeF(), 11);

    CardSection empty(u"Empty"_s);
    EXPECT_EQ(empty.column()->count(), 1);

    CardSection described(u"Fields"_s, u"A long explanation that goes on and on, much wider than "
                                       "the card that holds it, so it has to wrap."_s);
    described.resize(200, described.heightForWidth(200));
    described.show();
    auto *subtitle = described.findChild<QLabel *>(u"cardSubtitle"_s);
    ASSERT_NE(subtitle, nullptr);
    EXPECT_LE(subtitle->geometry().right(), 200 - 12);
    EXPECT_GT(subtitle->height(), subtitle->fontMetrics().height() * 2);
}

TEST(DataRowCard, FillsTheCardWidthWithTheControlBackground)
{
    CardSection card(u"Parameters"_s);
    auto *row = new DataRowCard;
    row->setContent(new QLabel(u"x"_s));
    card.addWidget(row);
    card.resize(320, card.sizeHint().height());
    card.show();
    EXPECT_EQ(row->width(), 320 - 2 * 12);

    const QImage image = row->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, 2), row->palette().color(QPalette::Base));
}

TEST(CardText, SecondaryTextFollowsAnAppearanceChange)
{
    const QPalette original = QApplication::palette();
    CardSection card(u"About"_s);
    QLabel *label = CardText::note(u"note"_s);
    card.addWidget(label);
    const auto shown = [&] { return label->palette().color(QPalette::WindowText); };
    EXPECT_EQ(shown().rgb(), original.color(QPalette::WindowText).rgb());
    EXPECT_LT(shown().alphaF(), 1);

    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(40, 40, 42));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    QTest::qWait(1);
    EXPECT_EQ(shown().rgb(), QColor(230, 230, 230).rgb());
    EXPECT_LT(shown().alphaF(), 1);
    QApplication::setPalette(original);
}

} // namespace
