#include "CodecTestSupport.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace codectest {

namespace {

QString goldenPath(const QString &name)
{
    return testsupport::sourceDir() + QStringLiteral("/tests/model/golden/") + name;
}

void clearIds(QList<ReportElement> &elements);

void clearIds(ReportElement &e)
{
    e.id = QUuid();
    if (auto *children = e.kind.children())
        clearIds(*children);
    if (auto *subreport = e.kind.as<ElementKind::Subreport>()) {
        for (SubreportParameter &p : subreport->parameters)
            p.id = QUuid();
    }
    if (auto *list = e.kind.as<ElementKind::List>()) {
        for (SubreportParameter &p : list->parameters)
            p.id = QUuid();
    }
    if (auto *table = e.kind.as<ElementKind::Table>()) {
        for (SubreportParameter &p : table->parameters)
            p.id = QUuid();
        for (ReportTableColumn &c : table->columns) {
            c.id = QUuid();
            for (auto *cell :
                 {&c.columnHeaderElement, &c.detailCellElement, &c.columnFooterElement})
                cell->modify([](ReportElement &inner) { clearIds(inner); });
        }
    }
}

void clearIds(QList<ReportElement> &elements)
{
    for (ReportElement &e : elements)
        clearIds(e);
}

template <typename T> void clearListIds(QList<T> &items)
{
    for (T &item : items)
        item.id = QUuid();
}

} // namespace

QByteArray golden(const QString &name)
{
    return testsupport::readFile(goldenPath(name));
}

void expectGolden(const QByteArray &actual, const QString &name)
{
    if (qEnvironmentVariableIntValue("QUILLMARK_UPDATE_GOLDEN") == 1) {
        QFile file(goldenPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(actual);
        return;
    }
    const QByteArray expected = golden(name);
    EXPECT_EQ(actual.toStdString(), expected.toStdString()) << "golden file " << name.toStdString();
}

ReportElement withoutIds(ReportElement element)
{
    clearIds(element);
    return element;
}

ReportDocument withoutIds(ReportDocument d)
{
    for (ReportBand &b : d.bands) {
        b.id = QUuid();
        clearIds(b.elements);
    }
    for (ReportBand &b : d.detailBands) {
        b.id = QUuid();
        clearIds(b.elements);
    }
    for (ReportGroup &g : d.groups) {
        g.id = QUuid();
        clearIds(g.headerElements);
        clearIds(g.footerElements);
    }
    for (ReportStyle &s : d.styles) {
        s.id = QUuid();
        clearListIds(s.conditionalStyles);
    }
    for (ReportSubDataset &s : d.subDatasets) {
        s.id = QUuid();
        clearListIds(s.parameters);
        clearListIds(s.fields);
        clearListIds(s.variables);
    }
    clearListIds(d.parameters);
    clearListIds(d.fields);
    clearListIds(d.variables);
    clearListIds(d.sortFields);
    clearListIds(d.scriptlets);
    clearListIds(d.reportTemplates);
    return d;
}

QByteArray roundTrip(const QByteArray &jrxml, QStringList *warnings)
{
    QStringList notes;
    return JrxmlCodec::serialize(JrxmlCodec::parse(jrxml, warnings ? warnings : &notes));
}

QByteArray reportWithTitle(const QByteArray &elements, const QByteArray &head)
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\">" + head +
           "<title><band height=\"50\">" + elements + "</band></title></jasperReport>";
}

} // namespace codectest
