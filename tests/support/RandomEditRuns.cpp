#include "RandomEditRuns.h"

#include "PaddedTables.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <span>

using namespace Qt::StringLiterals;

namespace {

const QByteArray ownReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Mixed" pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20" rightMargin="20" topMargin="20" bottomMargin="20">
  <style name="Base" isDefault="true" fontSize="9"/>
  <style name="Heading" fontSize="14" isBold="true">
    <conditionalStyle>
      <conditionExpression><![CDATA[$V{REPORT_COUNT} % 2 == 0]]></conditionExpression>
      <style isItalic="true" forecolor="#336699"/>
    </conditionalStyle>
  </style>
  <style name="HeadingChild" style="Heading"/>
  <subDataset name="Lines"><field name="Item" class="java.lang.String"/></subDataset>
  <field name="Country" class="java.lang.String"/>
  <field name="Amount" class="java.lang.Double"/>
  <variable name="Total" class="java.lang.Double" resetType="Group" resetGroup="CountryGroup" calculation="Sum">
    <variableExpression><![CDATA[$F{Amount}]]></variableExpression>
  </variable>
  <group name="CountryGroup">
    <groupExpression><![CDATA[$F{Country}]]></groupExpression>
    <groupHeader><band height="20">
      <textField><reportElement style="Heading" x="0" y="0" width="200" height="20"/>
        <textFieldExpression><![CDATA[$F{Country}]]></textFieldExpression></textField>
    </band></groupHeader>
    <groupFooter><band height="20">
      <textField evaluationTime="Group" evaluationGroup="CountryGroup">
        <reportElement x="0" y="0" width="100" height="20" printWhenGroupChanges="CountryGroup"/>
        <textFieldExpression><![CDATA[$V{Total}]]></textFieldExpression></textField>
    </band></groupFooter>
  </group>
  <detail><band height="60">
    <textField><reportElement style="HeadingChild" x="0" y="0" width="100" height="20"/>
      <textFieldExpression><![CDATA[$F{Amount}]]></textFieldExpression></textField>
    <componentElement><reportElement x="0" y="20" width="200" height="20"/>
      <jr:list xmlns:jr="http://jasperreports.sourceforge.net/jasperreports/components">
        <datasetRun subDataset="Lines"/>
        <jr:listContents height="20">
          <textField><reportElement style="Heading" x="0" y="0" width="100" height="20"/>
            <textFieldExpression><![CDATA[$F{Item}]]></textFieldExpression></textField>
        </jr:listContents>
      </jr:list>
    </componentElement>
  </band></detail>
</jasperReport>
)";

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// The reports of our own in the older form, then those with comments inside: ours in the
// namespace form and in the older form, and the corpus reports that hold some, then ours with
// return values and in another expression language. They take seeds besides those of the other
// reports (runs()), so that each seed stays on the report it ran on before they came.
const QString olderFormReports[] = {u"OlderFormOrders"_s, u"OlderFormProducts"_s};
const QString commentedReports[] = {u"CommentsEverywhere"_s, u"CommentsOlderForm"_s};
const QString commentedCorpusReports[] = {u"unicode/UnicodeReport.jrxml"_s,
                                          u"map/MapReport4.jrxml"_s};
const QString ownDataReports[] = {u"ReturnValues"_s, u"OtherLanguage"_s};

bool ridesOnOthersSeeds(const RandomEditRuns::Report &report)
{
    for (const auto &names :
         {std::span<const QString>(olderFormReports), std::span<const QString>(commentedReports),
          std::span<const QString>(commentedCorpusReports),
          std::span<const QString>(ownDataReports)}) {
        if (std::find(names.begin(), names.end(), report.name) != names.end())
            return true;
    }
    return false;
}

// A report of our own in tests/support/reports.
QByteArray ownReportNamed(const QString &name)
{
    return testsupport::readFile(testsupport::sourceDir() + u"/tests/support/reports/"_s + name +
                                 u".jrxml"_s);
}

// The corpus's chart over a sub-dataset calls a class of its sample application, which the
// engine lacks: ours runs a sub-dataset as that one does, and compiles, in its place.
const QString ownSubDatasetChart = u"SubDatasetChart"_s;

// The one report QUILLMARK_REPORT names; empty for every report.
QString chosenReport()
{
    return qEnvironmentVariable("QUILLMARK_REPORT");
}

} // namespace

QString RandomEditRuns::Run::replay() const
{
    return u"seed "_s + QString::number(seed) + u" on "_s + report.name +
           u" (replay with QUILLMARK_SEED="_s + QString::number(seed) + u" QUILLMARK_REPORT="_s +
           report.name + u')';
}

QList<RandomEditRuns::Report> RandomEditRuns::reports()
{
    QList<Report> list{{u"Mixed"_s, ownReport},
                       {u"PaddedTables"_s, testsupport::paddedTablesReport}};
    const QString corpus = testsupport::corpusDir();
    for (const QString &path :
         {u"jasper/FirstJasper.jrxml"_s, u"table/TableReport.jrxml"_s, u"list/ListReport.jrxml"_s,
          ownSubDatasetChart, u"crosstabs/OrdersReport.jrxml"_s, u"book/BookReport.jrxml"_s,
          u"pdfa/TaggedPdfA1Report.jrxml"_s, u"functions/FunctionsReport.jrxml"_s,
          u"map/MapReport3.jrxml"_s, u"charts/MultipleAxisChartReport.jrxml"_s,
          u"text/TextReport.jrxml"_s}) {
        if (path == ownSubDatasetChart) {
            list.append({path, ownReportNamed(path)});
            continue;
        }
        const QString file = QDir(corpus).filePath(u"jrxml-samples/"_s + path);
        if (!corpus.isEmpty() && QFileInfo::exists(file))
            list.append({path, testsupport::readFile(file)});
    }
    // Two of our own in the older form, without the namespace, which the engine reads by the
    // report document type's grammar: the edits turn them to the namespace form where they need it.
    for (const auto &names :
         {std::span<const QString>(olderFormReports), std::span<const QString>(commentedReports)}) {
        for (const QString &name : names) {
            const QByteArray jrxml =
                testsupport::readFile(testsupport::sourceDir() +
                                      u"/tests/tools/roundtrip-fixtures/"_s + name + u".jrxml"_s);
            if (!jrxml.isEmpty())
                list.append({name, jrxml});
        }
    }
    for (const QString &path : commentedCorpusReports) {
        const QString file = QDir(corpus).filePath(u"jrxml-samples/"_s + path);
        if (!corpus.isEmpty() && QFileInfo::exists(file))
            list.append({path, testsupport::readFile(file)});
    }
    // Ours with return values of a subreport, a list and a table in the list, each into a
    // variable of the dataset it stands in, and ours whose expressions are JavaScript.
    for (const QString &name : ownDataReports)
        list.append({name, ownReportNamed(name)});
    return list;
}

QList<RandomEditRuns::Report> RandomEditRuns::hostileReports()
{
    const QByteArray page = R"(pageWidth="595" pageHeight="842" columnWidth="555" leftMargin="20")";
    QList<Report> list;
    for (const auto &[name, hostile] :
         {std::pair{u"WideColumn"_s, R"(pageWidth="595" pageHeight="842" columnWidth="2147483600" )"
                                     R"(leftMargin="20")"},
          std::pair{u"FarLeftMargin"_s, R"(pageWidth="595" pageHeight="842" columnWidth="555" )"
                                        R"(leftMargin="-2147483648")"},
          std::pair{u"LargestPage"_s, R"(pageWidth="2147483647" pageHeight="2147483647" )"
                                      R"(columnWidth="2147483647" leftMargin="0")"}}) {
        QByteArray jrxml = ownReport;
        jrxml.replace(page, hostile);
        list.append({name, jrxml});
    }
    // The report's elements on a prefix of the report namespace, which the engine reads alike.
    list.append({u"Prefixed"_s, testsupport::onPrefix(ownReport, u"j"_s)});
    return list;
}

QList<RandomEditRuns::Run> RandomEditRuns::runs()
{
    const int one = fromEnvironment("QUILLMARK_SEED", -1);
    QList<quint32> seeds;
    if (one >= 0) {
        seeds.append(quint32(one));
    } else {
        for (int s = 0; s < fromEnvironment("QUILLMARK_SEEDS", 50); ++s)
            seeds.append(quint32(s));
    }
    const QList<Report> all = reports();
    QList<Report> others, riders;
    for (const Report &report : all)
        (ridesOnOthersSeeds(report) ? riders : others).append(report);
    const QString chosen = chosenReport();
    QList<Run> list;
    for (const quint32 seed : seeds) {
        // The seed's report, and the reports of our own and with comments that take the seeds of
        // the first reports as well.
        const qsizetype turn = qsizetype(seed % quint32(others.size()));
        QList<Report> on{others.at(turn)};
        for (qsizetype i = turn; i < riders.size(); i += others.size())
            on.append(riders.at(i));
        bool ran = false;
        for (const Report &report : on) {
            if (chosen.isEmpty() || report.name == chosen) {
                list.append({seed, report});
                ran = true;
            }
        }
        if (!ran && one >= 0) {
            // The one seed on the one report named, when the reports include it.
            for (const Report &named : all + hostileReports()) {
                if (named.name == chosen)
                    list.append({seed, named});
            }
        }
    }
    if (one >= 0)
        return list;
    const QList<Report> hostile = hostileReports();
    for (qsizetype i = 0; i < hostile.size(); ++i) {
        for (int k = 0; k < hostileSeeds; ++k) {
            if (chosen.isEmpty() || hostile.at(i).name == chosen)
                list.append({quint32(100000 + i * hostileSeeds + k), hostile.at(i)});
        }
    }
    return list;
}

int RandomEditRuns::edits()
{
    return fromEnvironment("QUILLMARK_EDITS", 200);
}

QList<RandomEditRuns::Shard> RandomEditRuns::corpusShards()
{
    QList<Shard> shards;
    for (int i = 0; i < shardCount; ++i)
        shards.append(
            {u"corpus"_s + QString::number(i + 1) + u"of"_s + QString::number(shardCount), {}});
    const QString corpus = testsupport::corpusDir();
    if (corpus.isEmpty())
        return shards;
    const QDir samples(corpus + u"/jrxml-samples"_s);
    const int one = fromEnvironment("QUILLMARK_SEED", -1);
    const QString chosen = chosenReport();
    int next = 0;
    for (const QString &file : testsupport::corpusReports()) {
        const QString name = samples.relativeFilePath(file);
        if (!chosen.isEmpty() && name != chosen)
            continue;
        // A seed of the report's own, so that a report added to the corpus changes no other's.
        const quint32 seed = one >= 0 ? quint32(one) : 1000 + qChecksum(name.toUtf8());
        shards[next++ % shardCount].runs.append({seed, {name, testsupport::readFile(file)}});
    }
    return shards;
}

int RandomEditRuns::corpusEdits()
{
    return fromEnvironment("QUILLMARK_CORPUS_EDITS", 60);
}
