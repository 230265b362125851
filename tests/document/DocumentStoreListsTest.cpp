#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreLists : public StoreTest {
protected:
    QStringList fieldNames() const
    {
        QStringList names;
        for (const ReportField &f : store.document().fields)
            names.append(f.name);
        return names;
    }
};

} // namespace

TEST_F(DocumentStoreLists, EveryAddIsOneStep)
{
    const struct {
        const char *list;
        void (DocumentStore::*add)();
        std::function<qsizetype(const ReportDocument &)> count;
    } cases[] = {
        {"parameters", &DocumentStore::addParameter, [](auto &d) { return d.parameters.size(); }},
        {"fields", &DocumentStore::addField, [](auto &d) { return d.fields.size(); }},
        {"sort fields", &DocumentStore::addSortField, [](auto &d) { return d.sortFields.size(); }},
        {"scriptlets", &DocumentStore::addScriptlet, [](auto &d) { return d.scriptlets.size(); }},
        {"templates", &DocumentStore::addReportTemplate,
         [](auto &d) { return d.reportTemplates.size(); }},
        {"variables", &DocumentStore::addVariable, [](auto &d) { return d.variables.size(); }},
        {"groups", &DocumentStore::addGroup, [](auto &d) { return d.groups.size(); }},
        {"datasets", &DocumentStore::addSubDataset, [](auto &d) { return d.subDatasets.size(); }},
        {"styles", &DocumentStore::addStyle, [](auto &d) { return d.styles.size(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        const qsizetype steps = store.undoStack().size();
        store.setIsDirty(false);
        (store.*c.add)();
        (store.*c.add)();
        EXPECT_EQ(c.count(store.document()), 2);
        EXPECT_EQ(store.undoStack().size(), steps + 2);
        EXPECT_TRUE(store.isDirty());
    }
    const ReportDocument &doc = store.document();
    EXPECT_TRUE(doc.parameters[1].isForPrompting);
    EXPECT_EQ(doc.parameters[1].className, QStringLiteral("java.lang.String"));
    EXPECT_EQ(doc.variables[1].name, QStringLiteral("var2"));
    EXPECT_EQ(doc.variables[1].calculation, QStringLiteral("Nothing"));
    EXPECT_EQ(doc.variables[1].resetType, QStringLiteral("Report"));
    EXPECT_EQ(doc.groups[1].name, QStringLiteral("Group2"));
    EXPECT_EQ(doc.groups[1].footerHeight, 20);
    EXPECT_EQ(doc.subDatasets[0].name, QStringLiteral("Dataset1"));
    EXPECT_EQ(doc.subDatasets[0].queryLanguage, QStringLiteral("sql"));
    EXPECT_EQ(doc.reportTemplates[0].className, QStringLiteral("java.lang.String"));
}

TEST_F(DocumentStoreLists, NamesCountTheListWithoutAvoidingTakenNames)
{
    store.addParameter();
    store.addParameter();
    store.addParameter();
    EXPECT_EQ(store.document().parameters[2].name, QStringLiteral("param3"));
    store.removeParameter(store.document().parameters[0].id);
    store.addParameter();
    EXPECT_EQ(store.document().parameters[2].name, QStringLiteral("param3"));
    EXPECT_EQ(store.document().parameters[1].name, QStringLiteral("param3"));
}

TEST_F(DocumentStoreLists, MovesExchangeTwoPlaces)
{
    store.addFieldsIfMissing({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    const qsizetype steps = store.undoStack().size();
    store.setIsDirty(false);
    for (auto [index, offset] : {std::pair{0, -1}, {2, 1}, {-1, 1}, {0, 3}}) {
        store.moveField(index, offset);
        EXPECT_EQ(fieldNames(), (QStringList{"a", "b", "c"})) << index << offset;
    }
    EXPECT_EQ(store.undoStack().size(), steps);
    EXPECT_FALSE(store.isDirty());

    store.moveField(0, 2);
    EXPECT_EQ(fieldNames(), (QStringList{"c", "b", "a"}));
    store.moveField(1, 0);
    EXPECT_EQ(store.undoStack().size(), steps + 2) << "an offset of 0 still records";
}

TEST_F(DocumentStoreLists, RemovesRecordEvenWhenNothingMatches)
{
    store.addGroup();
    store.addGroup();
    const ReportGroup first = store.document().groups[0];
    const ReportGroup second = store.document().groups[1];
    const qsizetype steps = store.undoStack().size();
    store.setIsDirty(false);
    store.removeVariable(newId());
    EXPECT_EQ(store.undoStack().size(), steps + 1);
    EXPECT_TRUE(store.isDirty());

    store.setActiveBandTarget(BandTarget::groupFooter(second.id));
    store.removeGroup(first.id);
    EXPECT_EQ(store.activeBandTarget(), BandTarget::groupFooter(second.id));
    store.removeGroup(second.id);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_TRUE(store.document().groups.isEmpty());
}

TEST_F(DocumentStoreLists, AddsAndRemovesFieldsByName)
{
    store.addFieldsIfMissing({QStringLiteral("id")});
    const qsizetype steps = store.undoStack().size();
    EXPECT_EQ(store.addFieldsIfMissing({}), 0);
    EXPECT_EQ(store.addFieldsIfMissing({QStringLiteral("id")}), 0);
    EXPECT_EQ(store.undoStack().size(), steps);

    EXPECT_EQ(store.addFieldsIfMissing({"ID", "id", "ID", "name"}), 2);
    EXPECT_EQ(fieldNames(), (QStringList{"id", "ID", "name"}));
    store.undo();
    EXPECT_EQ(fieldNames(), QStringList{"id"});

    // Two fields of the same name, as a binding may leave them.
    store.addField();
    store.addField();
    ReportDocument doc = store.document();
    doc.fields[1].name = doc.fields[2].name = QStringLiteral("x");
    store.setDocument(doc);
    const qsizetype before = store.undoStack().size();
    EXPECT_EQ(store.removeFields({QStringLiteral("nothing")}), 0);
    EXPECT_EQ(store.undoStack().size(), before);
    EXPECT_EQ(store.removeFields({QStringLiteral("x"), QStringLiteral("y")}), 2);
    EXPECT_EQ(fieldNames(), QStringList{"id"});
    EXPECT_EQ(store.undoStack().size(), before + 1);
}
