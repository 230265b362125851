#include "canvas/InlineElementTextField.h"
#include "widgets/TextInputFocus.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct InlineFieldFixture : ::testing::Test {
    InlineFieldFixture()
    {
        view.resize(400, 200);
        view.show();
        view.activateWindow();
        field = new InlineElementTextField(
            QStringLiteral("Total"), QFont(), Qt::AlignRight,
            [this](const QString &text) { written.append(text); }, [this] { ++ended; });
        proxy = scene.addWidget(field);
        QCoreApplication::processEvents();
    }

    QGraphicsScene scene;
    QGraphicsView view{&scene};
    InlineElementTextField *field = nullptr;
    QGraphicsProxyWidget *proxy = nullptr;
    QStringList written;
    int ended = 0;
};

} // namespace

TEST_F(InlineFieldFixture, TakesFocusWritesThroughAndEndsOnReturnEscapeOrFocusLoss)
{
    // The next turn of the event loop gave it the focus with everything selected; on the
    // canvas the key monitor counts it as a text input, so Backspace stays in the field.
    EXPECT_EQ(scene.focusItem(), proxy);
    EXPECT_TRUE(isTextInput(&view));
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), QStringLiteral("Total"));
    EXPECT_EQ(field->alignment(), Qt::AlignRight);

    QTest::keyClicks(field, QStringLiteral("Hi"));
    EXPECT_EQ(written, (QStringList{"H", "Hi"}));
    field->update(QStringLiteral("Hi"), QFont(), Qt::AlignLeft);
    EXPECT_EQ(field->text(), QStringLiteral("Hi"));
    EXPECT_EQ(field->alignment(), Qt::AlignLeft);
    field->update(QStringLiteral("Other"), QFont(), Qt::AlignLeft);
    EXPECT_EQ(field->text(), QStringLiteral("Other"));
    EXPECT_EQ(written.size(), 2);

    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete})
        QTest::keyClick(field, key);
    EXPECT_EQ(ended, 0);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &escape);
    EXPECT_TRUE(escape.isAccepted());
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(field->hasFocus());
}

TEST_F(InlineFieldFixture, ReturnAndFocusLossEndEditing)
{
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(ended, 1);

    InlineElementTextField other(QString(), QFont(), Qt::AlignLeft, {}, [this] { ++ended; });
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    other.setFocus();
    other.clearFocus();
    EXPECT_EQ(ended, 2);
}
