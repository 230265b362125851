// The evaluation time and group of images and subreports: read into the model, written as the
// model holds them, and a file's own spelling back unchanged on a save without edits.

#include "CodecTestSupport.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

const QByteArray groups = "<group name=\"Region\"/><group name=\"A &amp; B\"/>";

QByteArray image(const QByteArray &attrs)
{
    return "<image" + attrs +
           "><reportElement x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
           "<imageExpression><![CDATA[\"a.png\"]]></imageExpression></image>";
}

QByteArray subreport(const QByteArray &attrs)
{
    return "<subreport" + attrs +
           "><reportElement x=\"0\" y=\"20\" width=\"10\" height=\"10\"/>"
           "<subreportExpression><![CDATA[\"s.jasper\"]]></subreportExpression></subreport>";
}

const ReportElement &titleElement(const ReportDocument &d, int index)
{
    return d.bands[1].elements[index];
}

} // namespace

TEST(JrxmlEvaluationTime, ImagesAndSubreportsHoldTheFilesValues)
{
    const QByteArray in = reportWithTitle(
        image(" scaleImage=\"RetainShape\" evaluationTime=\"Group\" "
              "evaluationGroup=\"A &amp; B\"") +
            image(" evaluationTime=\"Report\"") + image({}) + subreport(" evaluationTime=\"Page\""),
        groups);
    const ReportDocument d = JrxmlCodec::parse(in);
    ASSERT_EQ(d.bands[1].elements.size(), 4);
    EXPECT_EQ(titleElement(d, 0).evaluationTime, "Group");
    EXPECT_EQ(titleElement(d, 0).evaluationGroup, QStringLiteral("A & B"));
    EXPECT_EQ(titleElement(d, 1).evaluationTime, "Report");
    EXPECT_EQ(titleElement(d, 1).evaluationGroup, std::nullopt);
    EXPECT_EQ(titleElement(d, 2).evaluationTime, "Now");
    EXPECT_EQ(titleElement(d, 3).evaluationTime, "Page");

    // A save without edits writes each value once, as the file spelled it.
    const QByteArray out = roundTrip(in);
    EXPECT_EQ(roundTrip(out), out);
    EXPECT_EQ(out.count("evaluationTime=\"Group\" evaluationGroup=\"A &amp; B\""), 1)
        << out.toStdString();
    EXPECT_EQ(out.count("scaleImage=\"RetainShape\""), 1);
    EXPECT_EQ(out.count("evaluationTime=\"Report\""), 1);
    EXPECT_EQ(out.count("evaluationTime=\"Page\""), 1);
    EXPECT_EQ(out.count("evaluationTime="), 3);
}

TEST(JrxmlEvaluationTime, SpelledOutDefaultsStayUntilChanged)
{
    const QByteArray in =
        reportWithTitle(image(" evaluationTime=\"Now\" evaluationGroup=\"Region\"") +
                            subreport(" evaluationTime=\"Now\""),
                        groups);
    const QByteArray out = roundTrip(in);
    EXPECT_EQ(out.count("evaluationTime=\"Now\""), 2) << out.toStdString();
    // A group beside another time than Group is kept as the file had it.
    EXPECT_EQ(out.count("evaluationGroup=\"Region\""), 1);

    ReportDocument d = JrxmlCodec::parse(in);
    d.bands[1].elements[0].evaluationTime = QStringLiteral("Group");
    const QByteArray edited = JrxmlCodec::serialize(d);
    EXPECT_EQ(edited.count("evaluationTime=\"Group\" evaluationGroup=\"Region\""), 1)
        << edited.toStdString();
    EXPECT_EQ(edited.count("evaluationTime=\"Now\""), 1);
}

TEST(JrxmlEvaluationTime, TheUsersChoiceIsWritten)
{
    ReportDocument d =
        JrxmlCodec::parse(reportWithTitle(image(" evaluationTime=\"Report\"") + image({}), groups));
    d.bands[1].elements[0].evaluationTime = QStringLiteral("Now");
    d.bands[1].elements[1].evaluationTime = QStringLiteral("Group");
    d.bands[1].elements[1].evaluationGroup = QStringLiteral("Region");
    const QByteArray out = JrxmlCodec::serialize(d);
    EXPECT_FALSE(out.contains("evaluationTime=\"Report\"")) << out.toStdString();
    EXPECT_EQ(out.count("<image evaluationTime=\"Group\" evaluationGroup=\"Region\">"), 1)
        << out.toStdString();

    const ReportDocument back = JrxmlCodec::parse(out);
    EXPECT_EQ(back.bands[1].elements[0].evaluationTime, "Now");
    EXPECT_EQ(back.bands[1].elements[1].evaluationTime, "Group");
    EXPECT_EQ(back.bands[1].elements[1].evaluationGroup, QStringLiteral("Region"));
}
