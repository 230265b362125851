// A table or list whose components the file writes under a prefix other than "jr" (bound to the
// components namespace) is a table or list to the inspector, and an edit keeps the file's prefix.

#include "InspectorViewFixture.h"
#include "TestSupport.h"

#include <QTemporaryDir>

using namespace storetest;

namespace {

class PrefixedComponentCardsTest : public InspectorViewTest {
protected:
    // Loads a corpus report as it stands and selects its first element of the kind.
    template <typename P> std::optional<ReportElement> loadAndSelect(const QString &report)
    {
        store.load(QUrl::fromLocalFile(testsupport::corpusDir() + u"/jrxml-samples/"_s + report));
        std::optional<ReportElement> found;
        store.forEveryElementInDocument([&](const ReportElement &e) {
            if (!found && e.kind.is<P>())
                found = e;
        });
        if (found)
            store.setSelectedElementIDs({found->id});
        QApplication::processEvents();
        return found;
    }
    QString savedText()
    {
        const QString path = dir.filePath(u"r.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        return QString::fromUtf8(testsupport::readFile(path));
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(PrefixedComponentCardsTest, ATableUnderItsOwnPrefixShowsTheTableInspector)
{
    QUILLMARK_REQUIRE_CORPUS();
    const std::optional<ReportElement> table =
        loadAndSelect<ElementKind::Table>(u"table/TableReport.jrxml"_s);
    ASSERT_TRUE(table) << "the c:table is read as a table";
    EXPECT_EQ(table->kind.displayName(), u"Table"_s);
    ASSERT_TRUE(find<QLineEdit>(u"inspector.table.dataset"_s));
    EXPECT_EQ(find<QLineEdit>(u"inspector.table.dataset"_s)->text(), u"TableData"_s);
    ASSERT_TRUE(find<QLineEdit>(u"inspector.columns.column0.width"_s));

    type(find<QLineEdit>(u"inspector.table.dataset"_s), u"Other"_s);
    const QString saved = savedText();
    EXPECT_TRUE(saved.contains(u"<c:table xmlns:c="_s)) << saved.toStdString();
    EXPECT_TRUE(saved.contains(u"<c:column "_s)) << saved.toStdString();
    EXPECT_TRUE(saved.contains(u"subDataset=\"Other\""_s)) << saved.toStdString();
    EXPECT_FALSE(saved.contains(u"jr:"_s)) << saved.toStdString();
}

TEST_F(PrefixedComponentCardsTest, AListUnderItsOwnPrefixShowsTheListInspector)
{
    QUILLMARK_REQUIRE_CORPUS();
    const std::optional<ReportElement> list =
        loadAndSelect<ElementKind::List>(u"list/ListReport.jrxml"_s);
    ASSERT_TRUE(list) << "the c:list is read as a list";
    EXPECT_EQ(list->kind.displayName(), u"List"_s);
    ASSERT_TRUE(find<QComboBox>(u"inspector.list.dataset"_s));
    EXPECT_FALSE(find<QComboBox>(u"inspector.list.dataset"_s)->currentText().isEmpty());
    EXPECT_TRUE(find(u"inspector.listNote"_s));
    EXPECT_TRUE(savedText().contains(u"<c:listContents"_s));
}
