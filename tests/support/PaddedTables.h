#pragma once

#include <QByteArray>

namespace testsupport {

// A report of tables whose cells are padded, by their own box and by their style through the
// style's parent, with a table header and footer, group
// cells, cells of two elements side by side and a column group. Beside the table, a list that
// runs another dataset and a field of the report's own. The engine compiles it as it stands.
inline const QByteArray paddedTablesReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="PaddedTables" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<style name="Base" isDefault="true" fontSize="9"/>
	<style name="CellPad"><box leftPadding="8" rightPadding="4"/></style>
	<style name="CellPadChild" style="CellPad"><box rightPadding="6"/></style>
	<subDataset name="Addresses">
		<field name="Street" class="java.lang.String"/>
		<field name="City" class="java.lang.String"/>
		<group name="CityGroup"><groupExpression><![CDATA[$F{City}]]></groupExpression></group>
	</subDataset>
	<subDataset name="Orders">
		<field name="OrderId" class="java.lang.Integer"/>
		<field name="Amount" class="java.lang.Double"/>
	</subDataset>
	<field name="Name" class="java.lang.String"/>
	<detail><band height="200">
		<textField><reportElement x="0" y="0" width="150" height="20"/>
			<textFieldExpression><![CDATA[$F{Name}]]></textFieldExpression></textField>
		<componentElement><reportElement x="0" y="30" width="400" height="100"/>
			<jr:table xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Addresses"/>
				<jr:column width="120">
					<jr:tableHeader height="25"><box leftPadding="10"/>
						<staticText><reportElement x="0" y="0" width="110" height="25"/><text><![CDATA[Addresses]]></text></staticText>
					</jr:tableHeader>
					<jr:tableFooter height="20" style="CellPadChild">
						<staticText><reportElement x="0" y="0" width="106" height="20"/><text><![CDATA[End]]></text></staticText>
					</jr:tableFooter>
					<jr:groupHeader groupName="CityGroup">
						<jr:cell height="20"><box padding="5"/>
							<textField><reportElement x="0" y="0" width="110" height="10"/><textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
						</jr:cell>
					</jr:groupHeader>
					<jr:columnHeader height="40" rowSpan="2"><box leftPadding="10"/>
						<staticText><reportElement x="0" y="0" width="50" height="20"/><text><![CDATA[No.]]></text></staticText>
						<staticText><reportElement x="50" y="0" width="60" height="20"/><text><![CDATA[Street]]></text></staticText>
					</jr:columnHeader>
					<jr:columnFooter height="20" style="CellPad">
						<staticText><reportElement x="0" y="0" width="108" height="20"/><text><![CDATA[Streets]]></text></staticText>
					</jr:columnFooter>
					<jr:detailCell height="20">
						<textField><reportElement x="0" y="0" width="120" height="20"/><textFieldExpression><![CDATA[$F{Street}]]></textFieldExpression></textField>
					</jr:detailCell>
				</jr:column>
				<jr:column width="100">
					<jr:tableHeader height="25"/>
					<jr:tableFooter height="20"/>
					<jr:groupFooter groupName="CityGroup">
						<jr:cell height="20"><box leftPadding="0" rightPadding="20"/>
							<staticText><reportElement x="0" y="0" width="40" height="20"/><text><![CDATA[City]]></text></staticText>
							<textField><reportElement x="40" y="0" width="40" height="20"/><textFieldExpression><![CDATA[$V{CityGroup_COUNT}]]></textFieldExpression></textField>
						</jr:cell>
					</jr:groupFooter>
					<jr:columnHeader height="40" rowSpan="2"/>
					<jr:detailCell height="20">
						<textField><reportElement x="0" y="0" width="100" height="20"/><textFieldExpression><![CDATA[$F{City}]]></textFieldExpression></textField>
					</jr:detailCell>
				</jr:column>
				<jr:columnGroup width="90">
					<jr:columnHeader height="20">
						<staticText><reportElement x="0" y="0" width="90" height="20"/><text><![CDATA[Sums]]></text></staticText>
					</jr:columnHeader>
					<jr:column width="90">
						<jr:columnHeader height="20"><box leftPadding="6"/>
							<staticText><reportElement x="0" y="0" width="84" height="20"/><text><![CDATA[Count]]></text></staticText>
						</jr:columnHeader>
						<jr:detailCell height="20">
							<textField><reportElement x="0" y="0" width="90" height="20"/><textFieldExpression><![CDATA[$V{REPORT_COUNT}]]></textFieldExpression></textField>
						</jr:detailCell>
					</jr:column>
				</jr:columnGroup>
			</jr:table>
		</componentElement>
		<componentElement><reportElement x="0" y="140" width="300" height="40"/>
			<jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
				<datasetRun subDataset="Orders"/>
				<jr:listContents height="40">
					<textField><reportElement x="0" y="0" width="100" height="20"/>
						<textFieldExpression><![CDATA[$F{OrderId}]]></textFieldExpression></textField>
					<textField><reportElement x="100" y="0" width="100" height="20"/>
						<textFieldExpression><![CDATA[$F{Amount}]]></textFieldExpression></textField>
				</jr:listContents>
			</jr:list>
		</componentElement>
	</band></detail>
</jasperReport>
)";

} // namespace testsupport
