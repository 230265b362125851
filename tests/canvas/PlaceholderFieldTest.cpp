#include "AppTestSupport.h"
#include "EngineJudge.h"
#include "canvas/PaletteActions.h"
#include "engine/FriendlyErrorTranslator.h"
#include "model/JrxmlCodec.h"
#include "workspace/AppSettings.h"

using namespace Qt::StringLiterals;
using Kind = PaletteActions::Kind;

// A text field from the palette names a field its dataset declares: the first one, or, where the
// dataset declares none, the placeholder declared there with it in the same undo step. The
// engine compiles the report saved after each insert.

namespace {

class PlaceholderFieldTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        store.setActiveBandTarget(BandTarget::standard(BandType::title));
    }

    std::optional<QString> compiled() { return judge.compileError(store.document()); }

    QString insertedExpression() const
    {
        const std::optional<ReportElement> e = store.element(*store.selectedElementID());
        return e && e->kind.is<ElementKind::TextField>()
                   ? e->kind.as<ElementKind::TextField>()->expression
                   : u"(no text field)"_s;
    }

    static QStringList names(const QList<ReportField> &fields)
    {
        QStringList list;
        for (const ReportField &field : fields)
            list.append(field.name + u':' + field.className);
        return list;
    }

    std::unique_ptr<AppSettings> settings;
    DocumentStore store;
    testsupport::JudgeWhereAtHand judge;
};

} // namespace

TEST_F(PlaceholderFieldTest, ATextFieldNamesAFieldItsDatasetDeclares)
{
    // The report declares no field: the text field comes with its own, in one step.
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(insertedExpression(), u"$F{fieldName}"_s);
    EXPECT_EQ(names(store.document().fields), QStringList{u"fieldName:java.lang.String"_s});
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(compiled(), std::nullopt);
    // A second one names the field now declared, and declares nothing more.
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(insertedExpression(), u"$F{fieldName}"_s);
    EXPECT_EQ(store.document().fields.size(), 1);
    store.undo();
    store.undo();
    EXPECT_TRUE(store.document().fields.isEmpty()) << "one undo takes the field with the element";

    // A list from the palette runs a new, empty Dataset1: a text field in it, and in a frame in
    // it, names a field of Dataset1, declared there; the report's own fields stay as they are.
    PaletteActions::insert(Kind::list, store, *settings);
    const QUuid list = *store.selectedElementID();
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(insertedExpression(), u"$F{fieldName}"_s);
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    EXPECT_EQ(names(store.document().subDatasets.first().fields),
              QStringList{u"fieldName:java.lang.String"_s});
    EXPECT_TRUE(store.document().fields.isEmpty());
    EXPECT_EQ(compiled(), std::nullopt);
    store.setSelectedElementIDs({list});
    PaletteActions::insert(Kind::frame, store, *settings);
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(store.document().subDatasets.first().fields.size(), 1);
    EXPECT_EQ(compiled(), std::nullopt);

    // Where the dataset declares fields, the first is named and nothing is declared.
    store.editDocument([](ReportDocument &d) {
        d.fields = {ReportField{newId(), u"amount"_s, u"java.lang.Double"_s, {}, {}},
                    ReportField{newId(), u"name"_s, u"java.lang.String"_s, {}, {}}};
    });
    store.setSelectedElementIDs({});
    PaletteActions::insert(Kind::textField, store, *settings);
    EXPECT_EQ(insertedExpression(), u"$F{amount}"_s);
    EXPECT_EQ(store.document().fields.size(), 2);
    EXPECT_EQ(compiled(), std::nullopt);
}

// The advice for a field a sub-dataset lacks names that dataset, and where to declare the field
// in it; without the report, or for a field the report's own dataset lacks, it names the report.
TEST_F(PlaceholderFieldTest, TheAdviceForAMissingFieldNamesTheDatasetThatLacksIt)
{
    PaletteActions::insert(Kind::list, store, *settings);
    const QUuid list = *store.selectedElementID();
    ReportElement text;
    text.id = newId();
    text.kind = ElementKind::TextField{u"$F{customer}"_s};
    store.addChildElement(text, list);
    QString raw = u"net.sf.jasperreports.engine.design.JRValidationException: Report design not "
                  u"valid : \n\t 1. Field not found : customer"_s;
    if (const std::optional<QString> engine = compiled())
        raw = *engine;
    ASSERT_TRUE(raw.contains(u"Field not found : customer"_s)) << raw.toStdString();
    const ReportDocument &report = store.document();
    EXPECT_EQ(FriendlyErrorTranslator::translate(raw, &report),
              u"The sub-dataset \"Dataset1\", which a list or table runs, uses a field named "
              u"\"customer\" that it doesn't declare. Check the spelling, or add a field with that "
              u"name to \"Dataset1\" in the Subdatasets card of the Report Data sheet (the Data "
              u"button)."_s);
    const QString reportsOwn =
        u"The report uses a field named \"customer\" that isn't declared. Check the spelling, or "
        u"add a field with that name in the Report Data sheet (the Data button)."_s;
    EXPECT_EQ(FriendlyErrorTranslator::translate(raw), reportsOwn);

    // Declared in Dataset1 and used in the title instead, the report's own fields lack it.
    store.editDocument([](ReportDocument &d) {
        d.subDatasets.first().fields.append(
            ReportField{newId(), u"customer"_s, u"java.lang.String"_s, {}, {}});
    });
    store.setSelectedElementIDs({});
    text.id = newId();
    store.addElement(text, store.activeBandTarget());
    EXPECT_EQ(FriendlyErrorTranslator::translate(raw, &store.document()), reportsOwn);
}
