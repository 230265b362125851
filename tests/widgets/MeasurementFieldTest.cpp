#include "widgets/MeasurementField.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(MeasurementField, CommitsOnceWithTheLengthInPoints)
{
    QLocale::setDefault(QLocale::c());
    QList<double> committed;
    MeasurementField field(QStringLiteral("Width"), 20, MeasurementUnit::millimeters, 60,
                           [&](double v) { committed << v; });
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("7.06"));

    // Leaving the field without typing commits nothing, although "7.06" reads back as another
    // length than the 20 points held.
    emit field.lineEdit()->editingFinished();
    EXPECT_TRUE(committed.isEmpty());

    field.lineEdit()->setText(QStringLiteral("10"));
    field.lineEdit()->setModified(true);
    emit field.lineEdit()->editingFinished();
    ASSERT_EQ(committed.size(), 1);
    EXPECT_DOUBLE_EQ(committed.first(), 28.34645669291339);

    field.lineEdit()->setText(QStringLiteral("ten"));
    field.lineEdit()->setModified(true);
    emit field.lineEdit()->editingFinished();
    EXPECT_EQ(committed.size(), 1) << "text that does not read as a number changes nothing";
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("10.00"));

    field.setUnit(MeasurementUnit::pixels);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("28"));
}

// A length no report file carries is refused with a message under the field; a check may refuse
// others or take the nearest length the report holds. Return on a refused length stays in the
// field, so a sheet's default button is not pressed for it.
TEST(MeasurementField, RefusedLengthsShowWhyAndKeepReturnInTheField)
{
    QLocale::setDefault(QLocale::c());
    QList<double> committed;
    QWidget sheet;
    MeasurementField field(
        QStringLiteral("Height"), 20, MeasurementUnit::pixels, 60,
        [&](double v) { committed << v; }, &sheet);
    field.setObjectName(QStringLiteral("height"));
    int returnsOutside = 0;
    struct Counter : QObject {
        int *count;
        explicit Counter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress)
                ++*count;
            return false;
        }
    } counter(&returnsOutside);
    sheet.installEventFilter(&counter);
    const auto enter = [&](const QString &text) {
        field.lineEdit()->setText(text);
        field.lineEdit()->setModified(true);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(field.lineEdit(), &press);
    };

    enter(QStringLiteral("3000000015"));
    EXPECT_TRUE(committed.isEmpty());
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("20"));
    EXPECT_FALSE(field.message().isEmpty());
    EXPECT_TRUE(field.findChild<QLabel *>(QStringLiteral("height.message")));

    field.setCheck([](double points, MeasurementUnit) {
        if (points < 0)
            return LengthVerdict::refuse(QStringLiteral("not below 0"));
        if (points < 10)
            return LengthVerdict::adjust(10, QStringLiteral("stops at 10"));
        return LengthVerdict::accept(points);
    });
    enter(QStringLiteral("-4"));
    EXPECT_TRUE(committed.isEmpty());
    EXPECT_EQ(field.message(), QStringLiteral("not below 0"));
    EXPECT_EQ(returnsOutside, 0) << "a refused Return stays in the field";

    enter(QStringLiteral("4"));
    EXPECT_EQ(committed, QList<double>{10});
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("10"));
    EXPECT_EQ(field.message(), QStringLiteral("stops at 10"));

    enter(QStringLiteral("30"));
    EXPECT_EQ(committed, (QList<double>{10, 30}));
    EXPECT_TRUE(field.message().isEmpty());
    EXPECT_GT(returnsOutside, 0) << "a taken Return goes on to the sheet";
}
