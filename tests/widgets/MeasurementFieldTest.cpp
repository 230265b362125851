#include "widgets/MeasurementField.h"

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
