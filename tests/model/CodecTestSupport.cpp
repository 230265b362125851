#include "CodecTestSupport.h"

#include "CanonicalDiff.h"

#include "TestSupport.h"
#include "model/JrxmlCodecInternal.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sstream>

namespace codectest {

namespace {

QString goldenPath(const QString &name)
{
    return testsupport::sourceDir() + QStringLiteral("/tests/model/golden/") + name;
}

void clearIds(ElementList &elements);

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

void clearIds(ElementList &elements)
{
    for (ReportElement &e : elements)
        clearIds(e);
}

bool isPassThrough(pugi::xml_node node)
{
    static const QStringList charts = {"areaChart",         "bar3DChart",       "barChart",
                                       "bubbleChart",       "candlestickChart", "highLowChart",
                                       "lineChart",         "meterChart",       "multiAxisChart",
                                       "pie3DChart",        "pieChart",         "scatterChart",
                                       "stackedBar3DChart", "stackedBarChart",  "timeSeriesChart",
                                       "xyAreaChart",       "xyBarChart",       "xyLineChart",
                                       "thermometerChart",  "ganttChart",       "stackedAreaChart"};
    const QString name = QString::fromUtf8(node.name()).section(u':', -1);
    if (name == u"componentElement") {
        int children = 0;
        for (pugi::xml_node child : node.children())
            children += child.type() == pugi::node_element &&
                        std::strcmp(child.name(), "reportElement") != 0;
        // Lists and tables of the components namespace, whatever their prefix, are no
        // pass-through.
        return children > 0 && !JrxmlCodec::componentChild(node, "list") &&
               !JrxmlCodec::componentChild(node, "table");
    }
    return charts.contains(name) || name == u"crosstab" || name == u"genericElement";
}

void collectPassThrough(pugi::xml_node node, std::vector<pugi::xml_node> &out)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (isPassThrough(child))
            out.push_back(child);
        else
            collectPassThrough(child, out);
    }
}

// Keeps the element children only, without those of the given local name.
void keepElementChildren(pugi::xml_node node, const char *leftOut)
{
    for (pugi::xml_node child = node.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        const char *name =
            std::strchr(child.name(), ':') ? std::strchr(child.name(), ':') + 1 : child.name();
        if (child.type() != pugi::node_element || std::strcmp(name, leftOut) == 0)
            node.remove_child(child);
        child = next;
    }
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

QByteArray reportWithHeader(const QByteArray &body, const QByteArray &rootAttrs)
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:schemaLocation=\"http://jasperreports.sourceforge.net/jasperreports "
           "http://jasperreports.sourceforge.net/xsd/jasperreport.xsd\" name=\"r\"" +
           rootAttrs + ">" + body + "</jasperReport>";
}

QByteArray expectUnchanged(const QByteArray &in)
{
    const QByteArray out = roundTrip(in);
    for (const canonicaldiff::Difference &d : canonicaldiff::compare(in, out))
        ADD_FAILURE() << canonicaldiff::describe(d).toStdString() << "\nin: " << in.toStdString()
                      << "\nout:\n"
                      << out.toStdString();
    EXPECT_EQ(roundTrip(out), out);
    return out;
}

QByteArray reportWithTitle(const QByteArray &elements, const QByteArray &head)
{
    return "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\">" + head +
           "<title><band height=\"50\">" + elements + "</band></title></jasperReport>";
}

ToolResult runTool(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

bool haveXmllint()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty();
}

QByteArray canonicalPassThrough(const QByteArray &jrxml)
{
    pugi::xml_document source;
    if (!source.load_buffer(jrxml.constData(), size_t(jrxml.size()),
                            pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_comments))
        return "unreadable";
    std::vector<pugi::xml_node> found;
    collectPassThrough(source, found);

    pugi::xml_document items;
    pugi::xml_node all = items.append_child("all");
    for (pugi::xml_node element : found) {
        pugi::xml_node wrapper = all.append_child("item");
        for (pugi::xml_node up = element.parent(); up; up = up.parent()) {
            for (pugi::xml_attribute attr : up.attributes()) {
                const bool declaration = std::strcmp(attr.name(), "xmlns") == 0 ||
                                         std::strncmp(attr.name(), "xmlns:", 6) == 0;
                if (declaration && !wrapper.attribute(attr.name()))
                    wrapper.append_attribute(attr.name()).set_value(attr.value());
            }
        }
        pugi::xml_node copy = wrapper.append_copy(element);
        if (std::strcmp(copy.name(), "componentElement") == 0) {
            keepElementChildren(copy, "reportElement");
            while (copy.first_child() && copy.first_child().next_sibling())
                copy.remove_child(copy.last_child()); // one component per element
        } else if (copy.child("chart")) {
            while (copy.first_attribute())
                copy.remove_attribute(copy.first_attribute());
            keepElementChildren(copy.child("chart"), "reportElement");
            keepElementChildren(copy, "");
        } else {
            keepElementChildren(copy, "reportElement");
        }
    }
    std::ostringstream text;
    items.save(text, "", pugi::format_raw);
    const ToolResult canonical =
        runTool(QStringLiteral("xmllint"), {QStringLiteral("--exc-c14n"), QStringLiteral("-")},
                QByteArray::fromStdString(text.str()));
    return canonical.err.isEmpty() ? canonical.out : "xmllint: " + canonical.err;
}

} // namespace codectest
