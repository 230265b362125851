#include "StoreTestSupport.h"

#include "model/JrxmlCodec.h"

#include <QFile>
#include <memory>

using namespace storetest;

namespace {

// Runs `replace` once, on the first change signal the store sends from now on: a view that
// rebuilds on it replaces the value it handed to the operation.
void onFirstSignal(DocumentStore &store, QObject &context, std::function<void()> replace)
{
    auto pending = std::make_shared<std::function<void()>>(std::move(replace));
    const auto fire = [pending] {
        if (*pending)
            std::exchange(*pending, {})();
    };
    for (auto signal :
         {&DocumentStore::documentChanged, &DocumentStore::undoStacksChanged,
          &DocumentStore::selectedElementIDsChanged, &DocumentStore::selectedDataItemChanged,
          &DocumentStore::selectedFieldIDsChanged, &DocumentStore::isReportRootSelectedChanged,
          &DocumentStore::activeBandTargetChanged, &DocumentStore::fileURLChanged,
          &DocumentStore::isDirtyChanged})
        QObject::connect(&store, signal, &context, fire);
}

} // namespace

using DocumentStoreHeldArguments = StoreTest;

// Every operation that removes or replaces something acts on its arguments as they were when
// it was called, also when the value handed in changes while it runs. Each store starts without
// undo history, so that its first snapshot already announces itself.
TEST_F(DocumentStoreHeldArguments, OperationsActOnTheArgumentsTheyWereCalledWith)
{
    const QUuid first = newId(), second = newId();
    const ReportParameter firstParameter{.id = first}, secondParameter{.id = second};
    const ReportGroup firstGroup{.id = first}, secondGroup{.id = second};
    const struct {
        const char *name;
        std::function<void(DocumentStore &, QObject &)> run;
    } cases[] = {
        {"remove a detail band",
         [&](DocumentStore &s, QObject &context) {
             editDocument(s, [&](ReportDocument &d) {
                 d.detailBands = {ReportBand{.id = first, .type = BandType::detail},
                                  ReportBand{.id = second, .type = BandType::detail}};
             });
             s.setActiveBandTarget(BandTarget::detailBand(second));
             QUuid held = second;
             onFirstSignal(s, context, [&] { held = first; });
             s.removeDetailBand(held);
             EXPECT_EQ(ids(s.document().detailBands), QList<QUuid>{first});
             EXPECT_EQ(s.activeBandTarget(), BandTarget::detailBand(first));
         }},
        {"remove a list item",
         [&](DocumentStore &s, QObject &context) {
             editDocument(s, [&](ReportDocument &d) {
                 d.parameters = {firstParameter, secondParameter};
             });
             QUuid held = second;
             onFirstSignal(s, context, [&] { held = first; });
             s.removeParameter(held);
             EXPECT_EQ(ids(s.document().parameters), QList<QUuid>{first});
         }},
        {"remove a group",
         [&](DocumentStore &s, QObject &context) {
             editDocument(s, [&](ReportDocument &d) { d.groups = {firstGroup, secondGroup}; });
             QUuid held = second;
             onFirstSignal(s, context, [&] { held = first; });
             s.removeGroup(held);
             EXPECT_EQ(ids(s.document().groups), QList<QUuid>{first});
         }},
        {"reapply a style",
         [&](DocumentStore &s, QObject &context) {
             ReportStyle style;
             style.name = u"Heading"_s;
             style.fontSize = 14;
             ReportElement named = textField();
             named.styleName = style.name;
             editDocument(s, [&](ReportDocument &d) {
                 d.styles = {style};
                 d.detailBands.first().elements = {named};
             });
             ReportStyle held = style;
             onFirstSignal(s, context, [&] { held.fontSize = 30; });
             s.reapplyStyle(held);
             EXPECT_EQ(s.element(named.id)->fontSize, 14);
         }},
        {"select elements",
         [&](DocumentStore &s, QObject &context) {
             s.setIsReportRootSelected(true);
             QSet<QUuid> held{first};
             onFirstSignal(s, context, [&] { held.clear(); });
             s.setSelectedElementIDs(held);
             EXPECT_EQ(s.selectedElementIDs(), QSet<QUuid>{first});
             EXPECT_FALSE(s.isReportRootSelected());
         }},
        {"toggle an element of another band",
         [&](DocumentStore &s, QObject &context) {
             QUuid held = first;
             onFirstSignal(s, context, [&] { held = second; });
             s.toggleSelection(held, BandTarget::standard(BandType::title));
             EXPECT_EQ(s.selectedElementIDs(), QSet<QUuid>{first});
         }},
        {"select a field",
         [&](DocumentStore &s, QObject &context) {
             s.setSelectedElementIDs({newId()});
             QUuid held = first;
             onFirstSignal(s, context, [&] { held = second; });
             s.selectField(held);
             EXPECT_EQ(s.selectedFieldIDs(), QSet<QUuid>{first});
             EXPECT_EQ(s.selectedDataItem(), InspectorDataSelection::field(first));
         }},
        {"toggle a field",
         [&](DocumentStore &s, QObject &context) {
             s.setSelectedElementIDs({newId()});
             QUuid held = first;
             onFirstSignal(s, context, [&] { held = second; });
             s.toggleFieldSelection(held);
             EXPECT_EQ(s.selectedFieldIDs(), QSet<QUuid>{first});
         }},
        {"select a parameter",
         [&](DocumentStore &s, QObject &context) {
             s.setSelectedElementIDs({newId()});
             QUuid held = first;
             onFirstSignal(s, context, [&] { held = second; });
             s.selectParameter(held);
             EXPECT_EQ(s.selectedDataItem(), InspectorDataSelection::parameter(first));
         }},
        {"load a file",
         [&](DocumentStore &s, QObject &context) {
             QUrl files[2];
             for (int i = 0; i < 2; ++i) {
                 ReportDocument report = DocumentStore::defaultDocument();
                 report.name = QString::number(i);
                 const QString path = settingsDir.filePath(report.name + u".jrxml"_s);
                 QFile file(path);
                 ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                 file.write(JrxmlCodec::serialize(report));
                 files[i] = QUrl::fromLocalFile(path);
             }
             QUrl held = files[0];
             onFirstSignal(s, context, [&] { held = files[1]; });
             s.load(held);
             EXPECT_EQ(s.document().name, u"0"_s);
             EXPECT_EQ(s.fileURL(), files[0]);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentStore s;
        QObject context;
        c.run(s, context);
    }
}

// An id read from the store's own document lives in the element that the update replaces. Only
// a build with AddressSanitizer sees the read after that element is freed; other builds may
// read what the freed memory still holds.
TEST_F(DocumentStoreHeldArguments, AnUpdateByAnIdReadFromTheDocumentGrowsTheBand)
{
    const BandTarget title = BandTarget::standard(BandType::title);
    store.performAddElement(textField(0, 0, 100, 20), title);
    const ReportBand &band = store.document().bands.at(1);
    ASSERT_EQ(band.type, BandType::title);
    const QUuid &inDocument = band.elements.at(0).id;
    EXPECT_TRUE(store.performUpdateElement(inDocument, [](ReportElement &e) { e.height = 60; }));
    EXPECT_EQ(store.height(title), 60);
}
