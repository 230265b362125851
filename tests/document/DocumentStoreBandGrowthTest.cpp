#include "ModelBuilders.h"
#include "StoreTestSupport.h"
#include "model/PageLayout.h"

using namespace storetest;

namespace {

// A store whose detail band is 13 points high, with one 10-point text field at its top left
// and a frame beside it, both inside the band.
struct LowBand {
    LowBand()
    {
        store.setClock([] { return qint64(0); });
        editDocument(store, [](ReportDocument &d) { d.detailBands[0].height = 13; });
        store.performAddElement(field, detail());
        store.performAddElement(holder, detail());
        store.setActiveBandTarget(detail());
    }
    BandTarget detail() const
    {
        return BandTarget::detailBand(store.document().detailBands.first().id);
    }

    DocumentStore store;
    ReportElement field = textField(0, 0, 100, 10);
    ReportElement holder = element(ElementKind::Frame{{textField(0, 0, 50, 5)}}, 200, 0, 100, 12);
};

} // namespace

using DocumentStoreBandGrowth = StoreTest;

TEST_F(DocumentStoreBandGrowth, EditsThatLeaveAnElementBelowItsBandGrowTheBandInTheSameStep)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    const struct {
        const char *name;
        std::function<void(LowBand &)> edit;
        // The detail band's height afterwards; the title's when `inTitle` is set.
        double height;
        bool inTitle = false;
    } cases[] = {
        {"an insert of 20 points at y 10",
         [](LowBand &b) { b.store.addElement(textField(10, 10, 150, 20), b.detail()); }, 30},
        {"a paste 15 points lower",
         [](LowBand &b) {
             b.store.setSelectedElementIDs({b.field.id});
             b.store.copySelectedElements();
             b.store.pasteClipboard();
         },
         25},
        {"a duplicate 10 points lower",
         [](LowBand &b) {
             b.store.setSelectedElementIDs({b.field.id});
             b.store.duplicateSelectedElement();
         },
         20},
        {"a move of one element",
         [](LowBand &b) { b.store.updateElement(b.field.id, [](auto &e) { e.y = 8; }); }, 18},
        {"a resize of one element",
         [](LowBand &b) { b.store.updateElement(b.field.id, [](auto &e) { e.height = 30; }); }, 30},
        {"a move of several elements",
         [](LowBand &b) {
             b.store.setSelectedElementIDs({b.field.id, b.holder.id});
             b.store.updateSelectedElements([](auto &e) { e.y += 4; });
         },
         16},
        {"a composite field",
         [](LowBand &b) { b.store.insertComposite(CompositeElement::pageNumber, b.detail()); }, 30},
        {"a columnar layout, below the band's lowest element (12) and 20 high",
         [](LowBand &b) {
             b.store.generateColumnarLayout({{.name = u"a"_s}}, b.detail(), false, std::nullopt);
         },
         32},
        {"a place the file rounds up: 13.5 + 20.5 is written as 14 + 21",
         [](LowBand &b) {
             b.store.updateElement(b.field.id, [](auto &e) {
                 e.y = 13.5;
                 e.height = 20.5;
             });
         },
         34.5},
        {"an element moved to another band",
         [title](LowBand &b) {
             b.store.setSelectedElementIDs({b.field.id});
             b.store.moveSelectedElementsToNewBand(title, 0, 25);
         },
         35, true},
        {"an edit that keeps the element inside",
         [](LowBand &b) { b.store.updateElement(b.field.id, [](auto &e) { e.x = 40; }); }, 13},
        {"a child moved below its frame: the frame and the band stay",
         [](LowBand &b) {
             const QUuid child = b.holder.kind.children()->first().id;
             b.store.updateElement(child, [](auto &e) { e.y = 40; });
         },
         13},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LowBand band;
        const ReportDocument before = band.store.document();
        c.edit(band);
        EXPECT_EQ(band.store.height(c.inTitle ? title : band.detail()), c.height);
        if (!c.inTitle) {
            EXPECT_EQ(band.store.height(title), before.band(BandType::title)->height);
        }
        band.store.flushPendingUndoSnapshot();
        EXPECT_EQ(band.store.undoStack().size(), 1);
        band.store.undo();
        EXPECT_EQ(band.store.document(), before) << "undone with the edit that grew it";
    }
}

// Whatever edit takes an element lower than its band may grow keeps the band within the page:
// a move stops where the band may grow no further, a resize stops there with the top kept, and
// bands printed on one page share what it holds.
TEST_F(DocumentStoreBandGrowth, EditsStopWhereTheBandMayGrowNoFurther)
{
    LowBand band;
    DocumentStore &s = band.store;
    const double largest = PageLayout::largestBandHeight(s.document(), band.detail());
    const auto frameOf = [&s](const QUuid &id) {
        const ReportElement e = s.element(id).value();
        return QRectF(e.x, e.y, e.width, e.height);
    };
    s.updateElement(band.field.id, [](auto &e) { e.y = 5000; });
    EXPECT_EQ(frameOf(band.field.id), QRectF(0, largest - 10, 100, 10));
    EXPECT_EQ(s.height(band.detail()), largest);
    s.updateElement(band.field.id, [](auto &e) {
        e.y = 20;
        e.height = 5000;
    });
    EXPECT_EQ(frameOf(band.field.id), QRectF(0, 0, 100, largest))
        << "a new place and height: moved up, then cut";
    s.updateElement(band.field.id, [](auto &e) {
        e.y = 20;
        e.height = 10;
    });
    s.updateElement(band.field.id, [](auto &e) { e.height = 5000.5; });
    EXPECT_EQ(frameOf(band.field.id), QRectF(0, 20, 100, largest - 20)) << "the top stays";

    // A page header element and the detail band's field moved down at once: the two bands are
    // printed on one page, and the second moved gets what the first left of it.
    const BandTarget header = BandTarget::standard(BandType::pageHeader);
    const ReportElement heading = textField(0, 0, 100, 10);
    s.performAddElement(heading, header);
    s.updateElement(band.field.id, [](auto &e) { e.height = 10; });
    s.setSelectedElementIDs({band.field.id, heading.id});
    s.updateSelectedElements([](auto &e) { e.y += 5000; });
    EXPECT_EQ(PageLayout::neededPageHeight(s.document()), s.document().pageHeight)
        << "together they fill the page, and no more";

    // A move into another band of an element taller than that band may grow moves nothing.
    QList<std::pair<BandTarget, double>> refused;
    QObject::connect(&s, &DocumentStore::insertRefused,
                     [&](const BandTarget &target, double height) {
                         refused.append({target, height});
                     });
    const ReportElement tall = textField(300, 0, 100, 600);
    editDocument(s, [&](ReportDocument &d) {
        for (ReportBand &b : d.bands) {
            if (b.type == BandType::background) {
                b.height = 600;
                b.elements.append(tall);
            }
        }
    });
    s.flushPendingUndoSnapshot();
    const ReportDocument before = s.document();
    const qsizetype steps = s.undoStack().size();
    s.setSelectedElementIDs({tall.id});
    s.moveSelectedElementsToNewBand(header, 0, 0);
    EXPECT_EQ(s.document(), before);
    EXPECT_EQ(s.undoStack().size(), steps);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.at(0), std::pair(header, 600.0));
}

TEST_F(DocumentStoreBandGrowth, TheLeastHeightThatHoldsTheElementsAndFittingToIt)
{
    EXPECT_EQ(store.heightToHoldElements(detail()), 0);
    place({textField(0, 2, 50, 10), textField(0, 13.5, 50, 20.5)});
    EXPECT_EQ(store.heightToHoldElements(detail()), 34.5);
    store.setHeight(10, detail());
    EXPECT_EQ(store.height(detail()), 10) << "a band height set directly is taken as given";
    store.fitBandToContent(detail());
    EXPECT_EQ(store.height(detail()), 34.5);
}

TEST_F(DocumentStoreBandGrowth, PageWideBandsOfAMultiColumnReport)
{
    editDocument(store, [](ReportDocument &d) {
        testsupport::makeTwoColumns(d);
        d.groups.append(ReportGroup{});
    });
    const QUuid group = store.document().groups.first().id;
    for (const BandType type : bandDisplayOrder()) {
        const bool columnWide = type == BandType::columnHeader || type == BandType::detail ||
                                type == BandType::columnFooter;
        SCOPED_TRACE(rawValue(type).toStdString());
        EXPECT_EQ(store.width(BandTarget::standard(type)), columnWide ? 270 : 555);
    }
    EXPECT_EQ(store.width(detail()), 270);
    EXPECT_EQ(store.width(BandTarget::groupHeader(group)), 270);
    EXPECT_EQ(store.width(BandTarget::groupFooter(group)), 270);

    // Aligned to the right of its band, a title element lands at the page's right margin.
    const BandTarget title = BandTarget::standard(BandType::title);
    const ReportElement heading = textField(0, 0, 100, 10);
    store.performAddElement(heading, title);
    store.setActiveBandTarget(title);
    store.setSelectedElementIDs({heading.id});
    store.alignSelectedToContainer(DocumentStore::AlignEdge::right);
    EXPECT_EQ(store.element(heading.id)->x, 455);

    // A column wider than its page never makes a band narrower than the column.
    editDocument(store, [](ReportDocument &d) { d.columnWidth = 700; });
    EXPECT_EQ(store.width(title), 700);
}
