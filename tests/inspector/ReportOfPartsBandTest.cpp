#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"
#include "model/ReportParts.h"

using namespace storetest;

// A band of the book sample, a report of parts: its inspector says that it takes no elements in
// place of pointing to the palette, and its Height field refuses a height, which would write a
// band the engine refuses, with the reason under it.
TEST_F(InspectorViewTest, ABandOfAReportOfPartsTakesNoElementsAndNoHeight)
{
    QUILLMARK_REQUIRE_CORPUS();
    store.setDocument(JrxmlCodec::parse(testsupport::readFile(
        testsupport::corpusDir() + u"/jrxml-samples/book/BookReport.jrxml"_s)));
    store.setActiveBandTarget(detail());
    QApplication::processEvents();
    EXPECT_EQ(text(u"inspector.band.hint"_s), ReportParts::noElementsMessage(u"Detail"_s));
    const ReportDocument loaded = store.document();
    QLineEdit *height = length(u"inspector.band.height"_s);
    ASSERT_TRUE(height);
    type(height, u"10"_s);
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(find<MeasurementField>(u"inspector.band.height"_s)->message(),
              ReportParts::noBandMessage(u"Detail"_s));
    EXPECT_EQ(store.document(), loaded);
    EXPECT_FALSE(store.isDirty());

    // A report of bands points to the palette, as before.
    store.setDocument(DocumentStore::defaultDocument());
    store.setActiveBandTarget(detail());
    QApplication::processEvents();
    EXPECT_TRUE(text(u"inspector.band.hint"_s).contains(u"use the palette"_s));
}
