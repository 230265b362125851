// Reports in the older form, with a DOCTYPE line and no namespace, through what the user does in
// the window: an add that form cannot hold turns the file to the namespace form, the bar above the
// working area says so, and an undo turns it back; the engine compiles every save, where it is
// at hand.

#include "EngineJudge.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "app/ReaderWarningsBar.h"
#include "canvas/BandHeaderButton.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/PaletteView.h"
#include "datapanel/DataPanelSheet.h"
#include "datapanel/DataPanelView.h"
#include "document/DocumentStore.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The window's parts are reached by the adds of the table below.
class OlderFormTest : public apptest::WindowTest {
public:
    // Opens a copy of the fixture in a tab of its own: its store.
    DocumentStore *open(const QString &fixture)
    {
        const QString copy = writeText(fixture + u".jrxml"_s,
                                       testsupport::readFile(testsupport::sourceDir() +
                                                             u"/tests/tools/roundtrip-fixtures/"_s +
                                                             fixture + u".jrxml"_s));
        workspace.openTab(QUrl::fromLocalFile(copy));
        return workspace.activeStore();
    }

    // Saves the report as the designer does and has the engine compile the file: the text saved.
    QByteArray saveAndCompile(DocumentStore &store, const QString &name)
    {
        const QString file = path(name + u".jrxml"_s);
        store.save(QUrl::fromLocalFile(file));
        const QByteArray text = testsupport::readFile(file);
        EXPECT_FALSE(text.isEmpty()) << name.toStdString();
        const std::optional<QString> error = judge.compileError(text);
        EXPECT_FALSE(error) << name.toStdString() << ": "
                            << error.value_or(QString()).toStdString();
        return text;
    }

    QString barText() const
    {
        QCoreApplication::processEvents();
        return view->findChild<ReaderWarningsBar *>()->text();
    }

    // The data panel's Sort Fields card: adds a sort field and, given one, chooses its type.
    void addSortField(DocumentStore &store, const QString &type = {})
    {
        workspace.setIsDataPanelVisible(true);
        QCoreApplication::processEvents();
        DataPanelView *panel = view->dataPanelSheet()->view();
        ASSERT_TRUE(panel);
        auto *add = panel->findChild<QPushButton *>(u"datapanel.sortFields.add"_s);
        ASSERT_TRUE(add);
        add->click();
        QCoreApplication::processEvents();
        if (type.isEmpty())
            return;
        const QString row = u"datapanel.sortFields.row"_s +
                            QString::number(store.document().sortFields.size() - 1) + u".type"_s;
        auto *picker = panel->findChild<QComboBox *>(row);
        ASSERT_TRUE(picker) << row.toStdString();
        const int index = picker->findText(type);
        ASSERT_GE(index, 0);
        picker->setCurrentIndex(index);
        emit picker->activated(index);
    }

    testsupport::JudgeWhereAtHand judge;
};

// One add as the user makes it, on one of the reports in the older form, and what it adds that
// the older form cannot hold, as the bar names it; empty where the older form holds it.
struct OlderFormAdd {
    const char *what;
    QString fixture;
    std::function<void(OlderFormTest &, DocumentStore &)> add;
    QString refusal;
};

bool inOlderForm(const QByteArray &text)
{
    return text.contains("<!DOCTYPE jasperReport PUBLIC") && !text.contains("xmlns");
}

bool inNamespaceForm(const QByteArray &text)
{
    return !text.contains("<!DOCTYPE") &&
           text.contains("<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                         "jasperreports\"\n              xmlns:xsi=");
}

} // namespace

// A second detail band from Detail's "+", a List or a Table from the palette and a sort field
// turned to a variable in the data panel: the older form cannot hold them, so the bar says the
// header changes, and the save is in the namespace form, which the engine compiles. An undo
// takes the bar away and the next save is in the older form again. A sort field on a field
// stays in the older form, without a type, and the bar says nothing.
TEST_F(OlderFormTest, AnAddTheOlderFormCannotHoldChangesTheHeaderAndSaysSo)
{
    const auto addDetailBand = [](OlderFormTest &t, DocumentStore &store) {
        const BandTarget detail = BandTarget::detailBand(store.document().detailBands.first().id);
        BandItem *band = t.view->canvas()->scene()->bandItem(detail);
        ASSERT_TRUE(band && band->addButton());
        band->addButton()->trigger();
    };
    const auto fromPalette = [](const QString &symbol) {
        return [symbol](OlderFormTest &t, DocumentStore &) {
            QToolButton *button = t.view->findChild<PaletteView *>()->button(symbol);
            ASSERT_TRUE(button) << symbol.toStdString();
            button->click();
        };
    };
    const auto sortField = [](const QString &type) {
        return [type](OlderFormTest &t, DocumentStore &store) { t.addSortField(store, type); };
    };
    const OlderFormAdd adds[] = {
        {"a second detail band", u"OlderFormOrders"_s, addDetailBand,
         u"more than one detail band"_s},
        {"a second detail band", u"OlderFormProducts"_s, addDetailBand,
         u"more than one detail band"_s},
        {"a List", u"OlderFormOrders"_s, fromPalette(u"list.bullet.rectangle"_s),
         u"a list, a table or another component"_s},
        {"a Table", u"OlderFormProducts"_s, fromPalette(u"tablecells"_s),
         u"a list, a table or another component"_s},
        {"a sort field on a variable", u"OlderFormOrders"_s, sortField(u"Variable"_s),
         u"a sort field on a variable"_s},
        {"a sort field on a variable", u"OlderFormProducts"_s, sortField(u"Variable"_s),
         u"a sort field on a variable"_s},
        {"a sort field on a field", u"OlderFormOrders"_s, sortField({}), {}},
    };
    int n = 0;
    for (const OlderFormAdd &c : adds) {
        const std::string trace = std::string(c.what) + " on " + c.fixture.toStdString();
        SCOPED_TRACE(trace);
        const QString name = u"case"_s + QString::number(++n);
        DocumentStore *store = open(c.fixture);
        ASSERT_TRUE(store);
        EXPECT_TRUE(barText().isEmpty()) << barText().toStdString();
        const ReportDocument read = store->document();
        c.add(*this, *store);
        workspace.setIsDataPanelVisible(false);
        ASSERT_NE(store->document(), read) << "the add added nothing";
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(barText().isEmpty()) << barText().toStdString();
            const QByteArray saved = saveAndCompile(*store, name);
            EXPECT_TRUE(inOlderForm(saved)) << saved.toStdString();
            EXPECT_FALSE(saved.contains("type=\"Field\"")) << saved.toStdString();
            continue;
        }
        EXPECT_EQ(barText(), u"\u201C"_s + c.fixture +
                                 u".jrxml\u201D is in the older form of a report, with a DOCTYPE "
                                 u"line and no namespace, which cannot hold "_s +
                                 c.refusal +
                                 u". Saving writes it in the namespace form instead: its "
                                 u"header changes."_s);
        const QByteArray saved = saveAndCompile(*store, name);
        EXPECT_TRUE(inNamespaceForm(saved)) << saved.toStdString();

        // One undo takes back what the older form cannot hold (the type chosen for the sort
        // field; the band or element added).
        const ReportDocument edited = store->document();
        store->undo();
        ASSERT_NE(store->document(), edited);
        EXPECT_TRUE(barText().isEmpty()) << barText().toStdString();
        const QByteArray undone = saveAndCompile(*store, name + u"-undone"_s);
        EXPECT_TRUE(inOlderForm(undone)) << undone.toStdString();
        store->redo();
        ASSERT_EQ(store->document(), edited);
        EXPECT_FALSE(barText().isEmpty()) << "a redo tells again";
    }
}

// Dismissed, the bar stays away while the report needs the namespace form for the same things;
// it tells again when it needs it for more.
TEST_F(OlderFormTest, TheHeaderChangeOnceDismissedIsToldAgainOnlyForMore)
{
    DocumentStore *store = open(u"OlderFormProducts"_s);
    ASSERT_TRUE(store);
    store->addDetailBand();
    auto *bar = view->findChild<ReaderWarningsBar *>();
    ASSERT_FALSE(barText().isEmpty());
    bar->findChild<QPushButton *>()->click();
    EXPECT_TRUE(barText().isEmpty());
    store->addDetailBand();
    EXPECT_TRUE(barText().isEmpty()) << barText().toStdString();
    view->findChild<PaletteView *>()->button(u"list.bullet.rectangle"_s)->click();
    EXPECT_TRUE(barText().contains(u"more than one detail band and a list, a table or another "
                                   u"component"_s))
        << barText().toStdString();
}
