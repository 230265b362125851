package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.error;
import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ObjectNode;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/** render, compile, fill and export through one sidecar process. */
class ReportCommandsTest extends SharedSidecarTest {

    static Path hello;

    @BeforeAll
    static void copyReport() throws Exception {
        hello = TestSidecar.report("hello.jrxml", dir);
    }

    private static JsonNode renderHello(String name, ObjectNode values) throws Exception {
        return sidecar.request("render", params(
                "jrxmlPath", hello.toString(),
                "jasperPath", dir.resolve(name + ".jasper").toString(),
                "jrprintPath", dir.resolve(name + ".jrprint").toString(),
                "pdfPath", dir.resolve(name + ".pdf").toString(),
                "paramValues", values));
    }

    /** Exports a print file and returns the output as text. */
    private static String exportText(String jrprint, String format) throws Exception {
        Path out = dir.resolve(jrprint + "-out." + format);
        ok(sidecar.request("export", params("jrprintPath", dir.resolve(jrprint).toString(),
                "outputPath", out.toString(), "format", format)));
        return Files.readString(out, StandardCharsets.UTF_8);
    }

    @Test
    void renderWritesCompiledReportPrintAndPdfWithEmbeddedExtensionFont() throws Exception {
        JsonNode result = ok(renderHello("render", params()));
        assertTrue(result.get("pageCount").asInt() >= 1);
        assertTrue(result.get("compileMs").isIntegralNumber());
        assertTrue(result.get("fillMs").isIntegralNumber());
        assertTrue(Files.size(dir.resolve("render.jasper")) > 0);
        assertTrue(Files.size(dir.resolve("render.jrprint")) > 0);
        byte[] pdf = Files.readAllBytes(dir.resolve("render.pdf"));
        String pdfText = new String(pdf, StandardCharsets.ISO_8859_1);
        assertTrue(pdfText.startsWith("%PDF"));
        // "DejaVu Sans" comes from the font extension inside the jar and is embedded
        assertTrue(pdfText.contains("DejaVuSans"), "font extension not loaded");
    }

    @Test
    void parameterTextsAreConvertedToTheDeclaredClasses() throws Exception {
        ok(renderHello("given", params("Count", "41", "Day", "2024-03-01")));
        String csv = exportText("given.jrprint", "csv");
        assertTrue(csv.contains("Next: 42 on 2024-03-01"), csv);
        // one empty record without a data source: the detail band prints once
        assertEquals(1, csv.split("Detail line", -1).length - 1, csv);

        // an empty text means "not given": the default expression applies
        ok(renderHello("defaults", params("Count", "", "Day", "", "Undeclared", "x")));
        assertTrue(exportText("defaults.jrprint", "csv").contains("Next: 8 on no day"));
    }

    @Test
    void aValueThatDoesNotConvertIsAnErrorNamingTheParameter() throws Exception {
        String count = error(renderHello("bad", params("Count", "forty-one")));
        assertTrue(count.startsWith("Parameter \"Count\" (java.lang.Integer)"), count);
        assertTrue(count.contains("NumberFormatException"), count);

        String day = error(renderHello("bad", params("Day", "03/01/2024")));
        assertTrue(day.startsWith("Parameter \"Day\" (java.util.Date)"), day);
        assertTrue(day.contains("yyyy-MM-dd"), day);
    }

    @Test
    void compileErrorKeepsTheEngineMessageNamingTheMissingField() throws Exception {
        Path jrxml = TestSidecar.report("missing-field.jrxml", dir);
        Path jasper = dir.resolve("missing-field.jasper");
        String text = error(sidecar.request("compile", params("jrxmlPath", jrxml.toString(),
                "jasperPath", jasper.toString())));
        assertTrue(text.contains("JRValidationException"), text);
        assertTrue(text.contains("Field not found : xyz"), text);
        assertFalse(Files.exists(jasper), "a failed compile writes no compiled report");
    }

    @Test
    void aFieldClassTheEngineCannotLoadIsReportedByTheField() throws Exception {
        Path jrxml = TestSidecar.report("unloadable-class.jrxml", dir);
        String text = error(sidecar.request("compile", params("jrxmlPath", jrxml.toString(),
                "jasperPath", dir.resolve("unloadable-class.jasper").toString())));
        assertTrue(text.startsWith("Field \"Picture\" is declared with the class [B, which the "
                + "engine cannot load."), text);
        assertTrue(text.contains("ClassNotFoundException"), "the engine's own words follow");
    }

    @Test
    void expressionsThatDoNotCompileAreNamedAsWritten() throws Exception {
        Path jrxml = dir.resolve("Typos.jrxml");
        Files.writeString(jrxml, "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                + "jasperreports\" name=\"Typos\"><subDataset name=\"Rows\"><field name=\"n\" "
                + "class=\"java.lang.Integer\"/><variable name=\"v\" class=\"java.lang.Integer\">"
                + "<variableExpression><![CDATA[$F{n} +* 2]]></variableExpression></variable>"
                + "</subDataset><title><band height=\"20\"><textField><reportElement x=\"0\" "
                + "y=\"0\" width=\"100\" height=\"20\"/><textFieldExpression><![CDATA[(\"a\" +\n"
                + "   1]]></textFieldExpression></textField></band></title></jasperReport>");
        String text = error(sidecar.request("compile", params("jrxmlPath", jrxml.toString(),
                "jasperPath", dir.resolve("Typos.jasper").toString())));
        assertTrue(text.contains("\nSyntax error, insert \")\" to complete Expression, in the "
                + "expression: (\"a\" + 1\n"), "on one line: " + text);
        assertTrue(text.contains("\nSyntax error on token \"+\", ++ expected, in the expression: "
                + "$F{n} +* 2\n"), "a sub-dataset's too: " + text);
        assertEquals(2, text.split("in the expression: ", -1).length - 1, "once each: " + text);
        assertTrue(text.contains("//$JR_EXPR_ID="), "the engine's own list follows: " + text);
    }

    @Test
    void groovyExpressionsThatDoNotCompileAreNamedAsWrittenAndTheReportLoadsAnywhere()
            throws Exception {
        String report = "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                + "jasperreports\" name=\"Groovy\" language=\"groovy\"><parameter name=\"P\" "
                + "class=\"java.lang.String\"/><title><band height=\"40\">"
                + "<textField><reportElement x=\"0\" y=\"0\" width=\"100\" height=\"20\"/>"
                + "<textFieldExpression><![CDATA[\"ok \" + $P{P}]]></textFieldExpression>"
                + "</textField><textField><reportElement x=\"0\" y=\"20\" width=\"100\" "
                + "height=\"20\"/><textFieldExpression><![CDATA[%s]]></textFieldExpression>"
                + "</textField></band></title></jasperReport>";
        String[][] typos = {
            {"\"Total: \" +\n  + ", "Unexpected input, in the expression: \"Total: \" + +\n"},
            {"\"abc", "Unexpected character: '\"', in the expression: \"abc\n"},
            {"new Foo()", "unable to resolve class Foo, in the expression: new Foo()\n"},
        };
        for (String[] typo : typos) {
            Path jrxml = dir.resolve("Groovy.jrxml");
            Files.writeString(jrxml, String.format(report, typo[0]));
            String text = error(sidecar.request("compile", params("jrxmlPath", jrxml.toString(),
                    "jasperPath", dir.resolve("Groovy.jasper").toString())));
            assertTrue(text.contains(typo[1]), "named on one line: " + text);
            assertEquals(1, text.split("in the expression: ", -1).length - 1, "once: " + text);
            assertTrue(text.contains("calculator_"), "Groovy's own words follow: " + text);
        }

        Path good = dir.resolve("GroovyGood.jrxml");
        Files.writeString(good, String.format(report, "1 + 2"));
        Path jasper = dir.resolve("GroovyGood.jasper");
        ok(sidecar.request("compile", params("jrxmlPath", good.toString(), "jasperPath",
                jasper.toString())));
        assertEquals("net.sf.jasperreports.compilers.JRGroovyCompiler",
                ReportEngine.loadReport(jasper).getCompilerClass(),
                "the engine's own compiler loads it");
    }

    @Test
    void fieldClassesAreDeclaredByTheNamesTheEngineLoads() {
        assertEquals("byte[]", FieldClasses.declaredName("[B"));
        assertEquals("java.lang.String[]", FieldClasses.declaredName("[Ljava.lang.String;"));
        assertEquals("int[][]", FieldClasses.declaredName("[[I"));
        assertEquals("java.math.BigDecimal", FieldClasses.declaredName("java.math.BigDecimal"));
        for (String unloadable : new String[] {"com.example.Missing", "[Lcom.example.Missing;",
                "", null}) {
            assertEquals("java.lang.Object", FieldClasses.declaredName(unloadable));
        }
    }

    @ParameterizedTest
    @CsvSource({"pdf, %PDF", "rtf, {\\rtf", "xlsx, PK", "html, <html", "csv, Hello from",
            "xml, <?xml", "odt, PK"})
    void exportsEveryFormat(String format, String start) throws Exception {
        if (!Files.exists(dir.resolve("formats.jrprint"))) {
            ok(renderHello("formats", params("Count", "1")));
        }
        Path out = dir.resolve("sub/folder/report." + format);
        ok(sidecar.request("export", params("jrprintPath",
                dir.resolve("formats.jrprint").toString(), "outputPath", out.toString(),
                "format", format)));
        byte[] bytes = Files.readAllBytes(out);
        assertTrue(bytes.length > 0);
        String head = new String(bytes, 0, Math.min(bytes.length, 400), StandardCharsets.UTF_8);
        assertTrue(head.contains(start), () -> format + " starts with " + head);
        if (format.equals("xml") || format.equals("html")) {
            assertTrue(new String(bytes, StandardCharsets.UTF_8).contains("Hello from Quillmark"));
        }
    }

    @Test
    void unknownExportFormatListsTheKnownOnes() throws Exception {
        ok(renderHello("upper", params()));
        String text = error(sidecar.request("export", params("jrprintPath",
                dir.resolve("upper.jrprint").toString(), "outputPath",
                dir.resolve("upper.PDF").toString(), "format", "PDF")));
        assertTrue(text.contains("pdf, rtf, xlsx, html, csv, xml, odt"), text);
    }

    @Test
    void subreportsAreFoundBesideTheCompiledReport() throws Exception {
        // as in the designer: the JRXML sits in a work folder, the .jasper beside the saved file
        Path work = Files.createDirectories(dir.resolve("work"));
        Path saved = Files.createDirectories(dir.resolve("saved"));
        Path child = TestSidecar.report("child.jrxml", work);
        Path parent = TestSidecar.report("parent.jrxml", work);
        ok(sidecar.request("compile", params("jrxmlPath", child.toString(),
                "jasperPath", saved.resolve("child.jasper").toString())));
        ok(sidecar.request("compile", params("jrxmlPath", parent.toString(),
                "jasperPath", saved.resolve("parent.jasper").toString())));
        ok(sidecar.request("fill", params("jasperPath", saved.resolve("parent.jasper").toString(),
                "jrprintPath", dir.resolve("parent.jrprint").toString(),
                "paramValues", params())));
        assertTrue(exportText("parent.jrprint", "csv").contains("Text from the child report"));
    }
}
