#include "EngineJudge.h"
#include "EngineTestSupport.h"
#include "StoreTestSupport.h"
#include "datapanel/RemovalQuestions.h"
#include "document/ExpressionUses.h"
#include "edits/DataListEdits.h"
#include "model/JrxmlCodec.h"
#include "widgets/ScriptedDialogs.h"

using namespace storetest;

namespace {

// Sorted by the field Country, by the variable Country (a variable may share a field's name)
// and by City, which a second field named City shares.
const QByteArray report = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Sorted" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
	<field name="Country" class="java.lang.String"/>
	<field name="City" class="java.lang.String"/>
	<sortField name="Country"/>
	<sortField name="Country" type="Variable"/>
	<variable name="Country" class="java.lang.Integer" calculation="Count">
		<variableExpression><![CDATA[$F{City}]]></variableExpression>
	</variable>
	<detail>
		<band height="20">
			<textField>
				<reportElement x="0" y="0" width="100" height="20"/>
				<textFieldExpression><![CDATA[$F{City}]]></textFieldExpression>
			</textField>
		</band>
	</detail>
</jasperReport>
)";

class SortFieldRename : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.setDocument(JrxmlCodec::parse(report));
    }
    // Types the name as a row's field writes it: one write per keystroke.
    template <typename T>
    void typeName(QList<T> ReportDocument::*list, qsizetype index, const QString &name)
    {
        const DataListEdits::RowWriter<T> writer(&store, list, (store.document().*list)[index].id);
        for (qsizetype n = 1; n <= name.size(); ++n)
            writer.write([&](T &item) { item.name = name.left(n); });
    }
    QList<std::pair<QString, SortFieldType>> sorts() const
    {
        QList<std::pair<QString, SortFieldType>> out;
        for (const ReportSortField &sort : store.document().sortFields)
            out.append({sort.name, sort.type});
        return out;
    }
};

using Sorts = QList<std::pair<QString, SortFieldType>>;

} // namespace

// A rename takes along the sort fields of its kind that name it, in the one undo step of the
// typing, and the engine compiles the report so renamed; a sort field of the other kind stays.
TEST_F(SortFieldRename, ARenamedFieldOrVariableKeepsItsSortFieldsAndTheReportCompiles)
{
    typeName(&ReportDocument::fields, 0, u"Nation"_s);
    EXPECT_EQ(sorts(), (Sorts{{u"Nation"_s, SortFieldType::field},
                              {u"Country"_s, SortFieldType::variable}}));
    typeName(&ReportDocument::variables, 0, u"Cities"_s);
    EXPECT_EQ(sorts(),
              (Sorts{{u"Nation"_s, SortFieldType::field}, {u"Cities"_s, SortFieldType::variable}}));

    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(store.document()), std::nullopt);

    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"Nation"_s);
    EXPECT_EQ(store.document().variables[0].name, u"Country"_s) << "one undo step per rename";
    EXPECT_EQ(sorts(), (Sorts{{u"Nation"_s, SortFieldType::field},
                              {u"Country"_s, SortFieldType::variable}}));
    store.undo();
    EXPECT_EQ(store.document().fields[0].name, u"Country"_s);
    EXPECT_EQ(sorts(), (Sorts{{u"Country"_s, SortFieldType::field},
                              {u"Country"_s, SortFieldType::variable}}));
}

// While another field still has the old name, the sort fields keep naming that one.
TEST_F(SortFieldRename, ASharedNameStaysWithTheFieldThatKeepsIt)
{
    typeName(&ReportDocument::fields, 1, u"Country"_s);
    typeName(&ReportDocument::fields, 1, u"Town"_s);
    EXPECT_EQ(sorts(), (Sorts{{u"Country"_s, SortFieldType::field},
                              {u"Country"_s, SortFieldType::variable}}));
}

// The question before a removal counts the sort fields naming the field or variable.
TEST_F(SortFieldRename, TheRemovalQuestionCountsSortFields)
{
    ScriptedDialogs dialogs; // unanswered questions are cancelled
    using Declaration = RemovalQuestions::Declaration;
    EXPECT_FALSE(RemovalQuestions::mayRemove(&dialogs, store, Declaration::field,
                                             store.document().fields[0].id));
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts().last().message, u"$F{Country} is used in 1 sort field."_s);
    EXPECT_FALSE(RemovalQuestions::mayRemove(&dialogs, store, Declaration::variable,
                                             store.document().variables[0].id));
    ASSERT_EQ(dialogs.alerts().size(), 2);
    EXPECT_EQ(dialogs.alerts().last().message, u"$V{Country} is used in 1 sort field."_s);
    const ExpressionUses::Declaration country{ExpressionUses::Declaration::Kind::field,
                                              u"Country"_s};
    EXPECT_EQ(ExpressionUses::message(country, {.expressions = 2, .sortFields = 1}),
              u"$F{Country} is used in 2 expressions and 1 sort field."_s);
    EXPECT_EQ(ExpressionUses::message(country, {.expressions = 1, .sortFields = 2}),
              u"$F{Country} is used in 1 expression and 2 sort fields."_s);
}
