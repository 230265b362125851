#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class DocumentStoreBands : public StoreTest {
protected:
    ReportGroup addGroup(const QString &name)
    {
        ReportDocument doc = store.document();
        ReportGroup group;
        group.name = name;
        group.headerHeight = 30;
        doc.groups.append(group);
        store.setDocument(doc);
        return group;
    }
};

} // namespace

TEST_F(DocumentStoreBands, LabelsAndQueries)
{
    const ReportGroup region = addGroup(QStringLiteral("Region"));
    const ReportGroup unnamed = addGroup(QString());
    const QUuid missing = newId();
    const BandTarget first = detail();
    EXPECT_EQ(store.label(first), QStringLiteral("Detail"));
    store.addDetailBand();
    const BandTarget second = store.activeBandTarget();

    const QList<std::pair<BandTarget, QString>> cases = {
        {BandTarget::standard(BandType::pageHeader), QStringLiteral("Page Header")},
        {BandTarget::standard(BandType::lastPageFooter), QStringLiteral("Last Page Footer")},
        {BandTarget::standard(BandType::noData), QStringLiteral("No Data")},
        {first, QStringLiteral("Detail 1")},
        {second, QStringLiteral("Detail 2")},
        {BandTarget::detailBand(missing), QStringLiteral("Detail 1")},
        {BandTarget::groupHeader(region.id), QStringLiteral("Region Header")},
        {BandTarget::groupFooter(unnamed.id), QStringLiteral(" Footer")},
        {BandTarget::groupHeader(missing), QStringLiteral("Group Header")},
    };
    for (const auto &[target, text] : cases)
        EXPECT_EQ(store.label(target), text) << target.id().toStdString();

    EXPECT_EQ(store.height(BandTarget::groupHeader(region.id)), 30);
    EXPECT_EQ(store.height(BandTarget::groupHeader(missing)), 20);
    EXPECT_EQ(store.height(BandTarget::standard(BandType::detail)), 20);
    EXPECT_TRUE(store.elements(BandTarget::groupFooter(missing)).isEmpty());
}

TEST_F(DocumentStoreBands, SetsHeightsAsOneRunPerBand)
{
    store.setHeight(40, detail());
    EXPECT_FALSE(store.isDirty());
    for (double h = 41; h <= 60; ++h) {
        now += 100;
        store.setHeight(h, detail());
    }
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(store.height(detail()), 60);
    store.undo();
    EXPECT_EQ(store.height(detail()), 40);

    // A band that does not exist changes nothing and leaves no step behind.
    store.setHeight(70, BandTarget::groupHeader(newId()));
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), 0);
}

TEST_F(DocumentStoreBands, ShowsAndHidesStandardBands)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    const BandTarget pageHeader = BandTarget::standard(BandType::pageHeader);
    for (double start : {0.0, -5.0, 35.0}) {
        store.setHeight(start, title);
        store.setBandPresent(BandType::title, false);
        store.setBandPresent(BandType::title, true);
        EXPECT_EQ(store.height(title), start > 0 ? start : 20) << start;
        EXPECT_TRUE(store.document().band(BandType::title)->isPresent);
    }

    store.setActiveBandTarget(pageHeader);
    store.setBandPresent(BandType::summary, false);
    EXPECT_EQ(store.activeBandTarget(), pageHeader);
    store.setBandPresent(BandType::pageHeader, false);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_FALSE(store.document().band(BandType::pageHeader)->isPresent);

    // Two band types are two runs, even within the window.
    store.flushPendingUndoSnapshot();
    const qsizetype steps = store.undoStack().size();
    store.setBandPresent(BandType::summary, true);
    store.setBandPresent(BandType::noData, false);
    store.flushPendingUndoSnapshot();
    EXPECT_EQ(store.undoStack().size(), steps + 2);
}

TEST_F(DocumentStoreBands, FitsABandToItsContent)
{
    struct Case {
        QList<ReportElement> elements;
        double height;
    };
    const QList<Case> cases = {
        {{textField(0, 10, 50, 27.5), textField(0, 0, 50, 5)}, 37.5},
        {{}, 4},
        {{textField(0, 0, 50, 3)}, 4},
    };
    for (const Case &c : cases) {
        DocumentStore s;
        const BandTarget target = BandTarget::standard(BandType::summary);
        for (const ReportElement &e : c.elements)
            s.performAddElement(e, target);
        s.fitBandToContent(target);
        EXPECT_EQ(s.height(target), c.height);
    }
}

TEST_F(DocumentStoreBands, AddsAndRemovesDetailBands)
{
    // One detail band is never removed.
    store.removeDetailBand(detail().uuid());
    EXPECT_EQ(store.document().detailBands.size(), 1);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_FALSE(store.isDirty());

    store.setHeight(55, detail());
    const QUuid first = detail().uuid();
    store.addDetailBand();
    store.addDetailBand();
    auto detailIds = [&] {
        QList<QUuid> out;
        for (const ReportBand &b : store.document().detailBands)
            out.append(b.id);
        return out;
    };
    QList<QUuid> order = detailIds();
    ASSERT_EQ(order.size(), 3);
    EXPECT_EQ(store.document().detailBands[2].height, 55);

    // While the first is active, a new band goes right after it.
    store.setActiveBandTarget(BandTarget::detailBand(first));
    store.addDetailBand();
    EXPECT_EQ(detailIds().at(1), store.activeBandTarget().uuid());
    // While a standard band is active, it goes to the end.
    store.setActiveBandTarget(BandTarget::standard(BandType::title));
    store.addDetailBand();
    EXPECT_EQ(detailIds().last(), store.activeBandTarget().uuid());
    EXPECT_EQ(detailIds().size(), 5);

    // Removing another band leaves the active one; removing the active one picks the first.
    const BandTarget active = store.activeBandTarget();
    store.removeDetailBand(first);
    EXPECT_EQ(store.activeBandTarget(), active);
    store.removeDetailBand(active.uuid());
    EXPECT_EQ(store.activeBandTarget(), BandTarget::detailBand(detailIds().first()));
    EXPECT_EQ(detailIds().size(), 3);

    const qsizetype steps = store.undoStack().size();
    store.removeDetailBand(newId());
    EXPECT_EQ(store.undoStack().size(), steps + 1) << "recorded before the band is looked for";
}
