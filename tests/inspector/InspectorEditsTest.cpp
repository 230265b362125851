#include "edits/InspectorEdits.h"

#include "StoreTestSupport.h"

using namespace storetest;

namespace {

class InspectorEdits : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store.setClock([this] { return now; });
    }

    // The undo steps the store holds once the pending run has ended.
    qsizetype undoSteps()
    {
        store.flushPendingUndoSnapshot();
        return store.undoStack().size();
    }

    // Types `text` into the print-when expression one character at a time, `gapMs` apart, with a
    // longer pause before the character at `pauseBefore`.
    void typePrintWhen(const ElementWriter &writer, const QString &text, qint64 gapMs,
                       qsizetype pauseBefore = -1, qint64 pauseMs = 0)
    {
        for (qsizetype i = 1; i <= text.size(); ++i) {
            now += (i - 1 == pauseBefore) ? pauseMs : gapMs;
            const QString typed = text.left(i);
            EXPECT_TRUE(writer.update([&](ReportElement &e) {
                e.printWhenExpression = ::InspectorEdits::optionalText(typed);
            }));
        }
    }

    qint64 now = 1'000'000;
};

TEST_F(InspectorEdits, KeystrokesInOneFieldCoalesceUntilAPause)
{
    const ReportElement element = textField();
    placeSelected({element});
    const ElementWriter writer(&store, element);

    typePrintWhen(writer, u"$P{a}"_s, 200);
    EXPECT_EQ(store.element(element.id)->printWhenExpression, u"$P{a}"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1) << "five quick keystrokes are one undo step";

    now += 5000;
    typePrintWhen(writer, u"$P{b}"_s, 200, 3, 1200);
    EXPECT_EQ(undoSteps(), 3) << "a pause of 1.2 s splits the next five into two steps";
    store.undo();
    EXPECT_EQ(store.element(element.id)->printWhenExpression, u"$P{"_s);

    // Clearing the text stores no value, not an empty text.
    now += 5000;
    writer.update(
        [](ReportElement &e) { e.printWhenExpression = ::InspectorEdits::optionalText({}); });
    EXPECT_EQ(store.element(element.id)->printWhenExpression, std::nullopt);
    EXPECT_EQ(::InspectorEdits::optionalText(u" "_s), u" "_s) << "blanks are kept untrimmed";
}

TEST_F(InspectorEdits, WritesWithoutTheElementAsTheOneSelectedAreDropped)
{
    const ReportElement a = textField();
    const ReportElement b = textField(0, 30);
    place({a, b});
    store.setSelectedElementIDs({a.id});
    const ElementWriter writer(&store, a);
    const ReportDocument before = store.document();
    const auto moveTo = [&](double x) { return writer.update([x](ReportElement &e) { e.x = x; }); };

    for (const QSet<QUuid> &selection :
         {QSet<QUuid>{}, QSet<QUuid>{a.id, b.id}, QSet<QUuid>{b.id}}) {
        store.setSelectedElementIDs(selection);
        EXPECT_FALSE(writer.acceptsWrites());
        EXPECT_FALSE(moveTo(77)) << selection.size() << " selected";
        EXPECT_FALSE(writer.current());
    }
    EXPECT_EQ(store.document(), before) << "neither the card's element nor another changed";
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(undoSteps(), 0);

    store.setSelectedElementIDs({a.id});
    EXPECT_TRUE(moveTo(77));
    EXPECT_EQ(store.element(a.id)->x, 77);
    EXPECT_EQ(store.element(b.id)->x, 0);
}

TEST_F(InspectorEdits, KindWritesNeedTheKindTheCardWasBuiltFor)
{
    const ReportElement field = textField();
    placeSelected({field});
    const ElementWriter writer(&store, field);
    const auto setExpression = [&](const QString &text) {
        return writer.updatePayload<ElementKind::TextField>(
            [&](ElementKind::TextField &p) { p.expression = text; });
    };
    EXPECT_TRUE(setExpression(u"$F{total}"_s));
    EXPECT_EQ(store.element(field.id)->kind, ElementKind(ElementKind::TextField{u"$F{total}"_s}));

    // The element meanwhile became a static text (another card, the canvas, the source sheet).
    store.updateElement(field.id,
                        [](ReportElement &e) { e.kind = ElementKind::StaticText{u"Total"_s}; });
    const ReportDocument before = store.document();
    EXPECT_FALSE(setExpression(u"$F{late}"_s));
    EXPECT_FALSE(writer.updateOfKind(
        [](ReportElement &e) { e.kind = ElementKind::TextField{u"$F{late}"_s}; }));
    EXPECT_EQ(store.document(), before) << "the static text keeps its text and its kind";
    EXPECT_TRUE(writer.update([](ReportElement &e) { e.width = 50; }))
        << "a field every element has is still written";
    EXPECT_EQ(store.element(field.id)->width, 50);
}

TEST_F(InspectorEdits, AWriterOutlivingItsStoreWritesNothing)
{
    auto owned = std::make_unique<DocumentStore>();
    const ReportElement element = textField();
    owned->performAddElement(element,
                             BandTarget::detailBand(owned->document().detailBands.first().id));
    owned->setSelectedElementIDs({element.id});
    const ElementWriter writer(owned.get(), element);
    EXPECT_TRUE(writer.acceptsWrites());
    owned.reset();
    EXPECT_FALSE(writer.acceptsWrites());
    EXPECT_FALSE(writer.update([](ReportElement &e) { e.x = 1; }));
}

TEST_F(InspectorEdits, DeclarationWritesAreUndoStepsOfTheirOwn)
{
    // A run of element edits is pending; a declaration write ends it and is a step of its own.
    const ReportElement element = textField();
    placeSelected({element});
    store.updateElement(element.id, [](ReportElement &e) { e.x = 10; });
    store.setIsDirty(false);

    EXPECT_TRUE(::InspectorEdits::writeDeclaration(
        store, u"report.name"_s, [](ReportDocument &d) { d.name = u"Invoices"_s; }));
    now += 100;
    EXPECT_TRUE(::InspectorEdits::writeDeclaration(store, u"report.name"_s,
                                                   [](ReportDocument &d) { d.name += u's'; }));
    EXPECT_TRUE(::InspectorEdits::writeDeclaration(store, u"report.pageWidth"_s,
                                                   [](ReportDocument &d) { d.pageWidth = 842; }));
    EXPECT_EQ(store.document().name, u"Invoicess"_s);
    EXPECT_EQ(store.document().pageWidth, 842);
    EXPECT_TRUE(store.isDirty());

    // Each undo takes back exactly one edit: the page width, the name typed in one run, the move.
    store.undo();
    EXPECT_EQ(store.document().pageWidth, DocumentStore::defaultDocument().pageWidth);
    EXPECT_EQ(store.document().name, u"Invoicess"_s);
    store.undo();
    EXPECT_EQ(store.document().name, DocumentStore::defaultDocument().name);
    EXPECT_EQ(store.element(element.id)->x, 10);
    store.undo();
    EXPECT_EQ(store.element(element.id)->x, 0);

    // Writing what the report already holds changes nothing and records nothing.
    store.setIsDirty(false);
    const qsizetype steps = undoSteps();
    const QString name = store.document().name;
    EXPECT_FALSE(::InspectorEdits::writeDeclaration(store, u"report.name"_s,
                                                    [&](ReportDocument &d) { d.name = name; }));
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(undoSteps(), steps);
}

TEST_F(InspectorEdits, BandHeightsCoalesceByBand)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    store.setActiveBandTarget(title);
    EXPECT_TRUE(::InspectorEdits::setBandHeight(store, title, 60));
    now += 800;
    EXPECT_TRUE(::InspectorEdits::setBandHeight(store, title, 70));
    EXPECT_EQ(store.height(title), 70);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1) << "two commits on one band within 1.2 s";

    // A group header is addressed by its group.
    editDocument(store,
                 [](ReportDocument &d) { d.groups.append(ReportGroup{.name = u"Orders"_s}); });
    const BandTarget header = BandTarget::groupHeader(store.document().groups.first().id);
    store.setActiveBandTarget(header);
    now += 100;
    EXPECT_TRUE(::InspectorEdits::setBandHeight(store, header, 33));
    EXPECT_EQ(store.document().groups.first().headerHeight, 33);
    EXPECT_EQ(store.height(title), 70);
    EXPECT_EQ(undoSteps(), 2) << "another band starts its own step";

    // A commit of the title's card that arrives after the user moved to another band.
    now += 100;
    EXPECT_FALSE(::InspectorEdits::setBandHeight(store, title, 99));
    EXPECT_EQ(store.height(title), 70);
    EXPECT_EQ(store.height(header), 33);
}

TEST_F(InspectorEdits, TheImageImportWritesIntoTheImageItWasBegunFor)
{
    const ReportElement image = element(ElementKind::Image{u"\"old.png\""_s});
    const ReportElement other = element(ElementKind::Image{u"\"other.png\""_s}, 0, 40);
    placeSelected({image});
    place({other});
    const auto complete = ::InspectorEdits::imageImportCompletion(&store, image.id);

    // The selection moved on while the import ran: the image it was begun for gets it.
    store.setSelectedElementIDs({other.id});
    complete(u"$P{REPORT_DIR} + \"logo.png\""_s);
    EXPECT_EQ(store.element(image.id)->kind,
              ElementKind(ElementKind::Image{u"$P{REPORT_DIR} + \"logo.png\""_s}));
    EXPECT_EQ(store.element(other.id)->kind, other.kind);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(undoSteps(), 1);

    // No longer an image, or gone: nothing is written.
    editDocument(store, [&](ReportDocument &d) {
        d.detailBands.first().elements.first().kind = ElementKind::StaticText{u"t"_s};
    });
    const ReportDocument before = store.document();
    complete(u"\"late.png\""_s);
    EXPECT_EQ(store.document(), before);
    editDocument(store, [](ReportDocument &d) { d.detailBands.first().elements.removeFirst(); });
    complete(u"\"late.png\""_s);
    EXPECT_EQ(store.element(other.id)->kind, other.kind);

    // A store that is gone.
    std::function<void(const QString &)> orphan;
    {
        DocumentStore closed;
        orphan = ::InspectorEdits::imageImportCompletion(&closed, image.id);
    }
    orphan(u"\"x.png\""_s);
}

} // namespace
