#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "model/JrxmlCodec.h"

#include <QComboBox>
#include <QTest>

using namespace storetest;

namespace {

// A report with a group of its own and a list whose dataset has two groups of its own; the list
// holds a text field, and the title a text field of the report.
const QByteArray listReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://jasperreports.sourceforge.net/jasperreports http://jasperreports.sourceforge.net/xsd/jasperreport.xsd" name="Lists" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<subDataset name="Cities">
		<field name="Country" class="java.lang.String"/>
		<field name="City" class="java.lang.String"/>
		<group name="CountryGroup">
			<groupExpression><![CDATA[$F{Country}]]></groupExpression>
		</group>
		<group name="CityGroup">
			<groupExpression><![CDATA[$F{City}]]></groupExpression>
		</group>
	</subDataset>
	<field name="Region" class="java.lang.String"/>
	<group name="RegionGroup">
		<groupExpression><![CDATA[$F{Region}]]></groupExpression>
	</group>
	<title>
		<band height="80">
			<textField>
				<reportElement x="0" y="0" width="200" height="20"/>
				<textFieldExpression><![CDATA[$F{Region}]]></textFieldExpression>
			</textField>
			<componentElement>
				<reportElement x="0" y="30" width="400" height="40"/>
				<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components" xsi:schemaLocation="http://jasperreports.sourceforge.net/jasperreports/components http://jasperreports.sourceforge.net/xsd/components.xsd" printOrder="Vertical">
					<datasetRun subDataset="Cities">
						<dataSourceExpression><![CDATA[new net.sf.jasperreports.engine.JREmptyDataSource(1)]]></dataSourceExpression>
					</datasetRun>
					<jr:listContents height="20" width="400">
						<textField>
							<reportElement x="0" y="0" width="200" height="20"/>
							<textFieldExpression><![CDATA[$F{City}]]></textFieldExpression>
						</textField>
					</jr:listContents>
				</jr:list>
			</componentElement>
		</band>
	</title>
</jasperReport>
)";

class ListEvaluationGroupsTest : public InspectorViewTest {
protected:
    void SetUp() override
    {
        InspectorViewTest::SetUp();
        store.setDocument(JrxmlCodec::parse(listReport));
        for (const ReportBand &band : store.document().bands) {
            for (const ReportElement &element : band.elements) {
                if (const ElementList *children = element.kind.children())
                    listField = children->isEmpty() ? QUuid() : children->at(0).id;
                else
                    reportField = element.id;
            }
        }
        ASSERT_FALSE(reportField.isNull());
        ASSERT_FALSE(listField.isNull());
    }

    // Chooses an entry with the keyboard, as the user does: focus, then the arrow keys.
    static void choose(QComboBox *picker, const QString &entry)
    {
        ASSERT_TRUE(picker);
        ASSERT_GE(picker->findText(entry), 0) << entry.toStdString();
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_Home);
        for (int i = 0; i < picker->count() && picker->currentText() != entry; ++i)
            QTest::keyClick(picker, Qt::Key_Down);
        ASSERT_EQ(picker->currentText(), entry);
    }

    static QStringList entries(const QComboBox *picker)
    {
        QStringList texts;
        for (int i = 0; picker && i < picker->count(); ++i)
            texts.append(picker->itemText(i));
        return texts;
    }

    QUuid reportField;
    QUuid listField;
};

// A text field inside a list is evaluated on a group of the list's dataset: its Evaluation card
// offers those groups, not the report's, and what it stores compiles in the engine. A text field
// of the report's own section keeps the report's groups.
TEST_F(ListEvaluationGroupsTest, ATextFieldInAListIsEvaluatedOnTheGroupsOfTheListsDataset)
{
    store.setSelectedElementID(listField);
    choose(find<QComboBox>(u"inspector.format.evaluationTime"_s), u"Group"_s);
    auto *group = find<QComboBox>(u"inspector.format.group"_s);
    ASSERT_TRUE(group);
    EXPECT_EQ(entries(group), (QStringList{u"CountryGroup"_s, u"CityGroup"_s}));
    EXPECT_EQ(store.element(listField)->evaluationTime, u"Group"_s);
    EXPECT_EQ(store.element(listField)->evaluationGroup, u"CountryGroup"_s);
    choose(group, u"CityGroup"_s);
    EXPECT_EQ(store.element(listField)->evaluationGroup, u"CityGroup"_s);

    store.setSelectedElementID(reportField);
    choose(find<QComboBox>(u"inspector.format.evaluationTime"_s), u"Group"_s);
    EXPECT_EQ(entries(find<QComboBox>(u"inspector.format.group"_s)), QStringList{u"RegionGroup"_s});
    EXPECT_EQ(store.element(reportField)->evaluationGroup, u"RegionGroup"_s);

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);
    // The engine refuses a group of the report for the text field in the list.
    store.updateElement(listField, [](ReportElement &e) { e.evaluationGroup = u"RegionGroup"_s; });
    EXPECT_TRUE(engine.compileError(store.document())
                    .value_or(QString())
                    .contains(u"Unknown evaluation group 'RegionGroup'"_s));
}

} // namespace
