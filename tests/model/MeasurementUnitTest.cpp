#include "model/MeasurementUnit.h"

#include <gtest/gtest.h>

using namespace measurement;

TEST(MeasurementUnit, NamesAndFactors)
{
    EXPECT_EQ(enumFromRaw<MeasurementUnit>(u"millimeters"), std::nullopt);
    EXPECT_EQ(enumFromRaw<MeasurementUnit>(u"Millimeters"), MeasurementUnit::millimeters);
    EXPECT_EQ(allCases<MeasurementUnit>().size(), 5);
    EXPECT_DOUBLE_EQ(pointsPerUnit(MeasurementUnit::millimeters), 2.834645669291339);
    EXPECT_DOUBLE_EQ(pointsPerUnit(MeasurementUnit::meters), 2834.645669291339);
}

TEST(MeasurementUnit, FormatsInTheUnitWithItsDecimals)
{
    const QLocale c(QLocale::C);
    EXPECT_EQ(format(20, MeasurementUnit::millimeters, c), QStringLiteral("7.06"));
    EXPECT_EQ(format(20, MeasurementUnit::inches, c), QStringLiteral("0.28"));
    EXPECT_EQ(format(20, MeasurementUnit::pixels, c), QStringLiteral("20"));
    EXPECT_EQ(format(595, MeasurementUnit::millimeters, c), QStringLiteral("209.90"));
    EXPECT_EQ(format(595, MeasurementUnit::centimeters, c), QStringLiteral("20.99"));
    EXPECT_EQ(format(20000, MeasurementUnit::pixels, c), QStringLiteral("20000")) << "no grouping";
    EXPECT_EQ(format(20, MeasurementUnit::millimeters, QLocale(QLocale::German)),
              QStringLiteral("7,06"));
}

TEST(MeasurementUnit, CommitReportsOnlyChangedParsableLengths)
{
    const QLocale c(QLocale::C);
    EXPECT_DOUBLE_EQ(*committedPoints(QStringLiteral("10"), 0, MeasurementUnit::millimeters, c),
                     28.34645669291339);
    EXPECT_EQ(committedPoints(QStringLiteral("1"), 0, MeasurementUnit::inches, c), 72.0);
    // The shortened text shown for 20 points reads back as a different length.
    EXPECT_DOUBLE_EQ(*committedPoints(QStringLiteral("7.06"), 20, MeasurementUnit::millimeters, c),
                     20.012598425196853);
    EXPECT_EQ(committedPoints(QStringLiteral("1"), 72, MeasurementUnit::inches, c), std::nullopt);
    EXPECT_EQ(committedPoints(QStringLiteral("abc"), 20, MeasurementUnit::pixels, c), std::nullopt);
    EXPECT_EQ(committedPoints(QString(), 20, MeasurementUnit::pixels, c), std::nullopt);
    EXPECT_EQ(committedPoints(QStringLiteral("7,5"), 0, MeasurementUnit::centimeters,
                              QLocale(QLocale::German)),
              7.5 * pointsPerUnit(MeasurementUnit::centimeters));
}

TEST(MeasurementUnit, CommitRefusesWhatNoLengthCanBe)
{
    const QLocale c(QLocale::C);
    for (const char *text : {"inf", "-inf", "nan", "infinity", "1e400"})
        EXPECT_EQ(committedPoints(QString::fromLatin1(text), 20, MeasurementUnit::pixels, c),
                  std::nullopt)
            << text;
    // Finite as typed, infinite once turned into points.
    EXPECT_EQ(committedPoints(QStringLiteral("1e306"), 20, MeasurementUnit::meters, c),
              std::nullopt);
    EXPECT_EQ(committedPoints(QStringLiteral("1e306"), 20, MeasurementUnit::pixels, c), 1e306);
}
