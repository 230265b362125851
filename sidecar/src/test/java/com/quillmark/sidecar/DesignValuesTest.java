package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;

/** What the engine fills a report with, as {@code read-values} prints it. */
class DesignValuesTest {

    @TempDir
    Path dir;

    private List<String> read(String name, String jrxml) throws Exception {
        Files.writeString(dir.resolve(name), jrxml);
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        try (PrintStream out = new PrintStream(bytes, true, StandardCharsets.UTF_8)) {
            assertTrue(DesignValues.run(dir, out));
        }
        return bytes.toString(StandardCharsets.UTF_8).lines().toList();
    }

    @Test
    void printsTheEnginesValuesWhereTheFileLeavesThemOut() throws Exception {
        List<String> lines = read("r.jrxml",
                "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\""
                        + " name=\"r\"><style name=\"Parent\" fontSize=\"14\"/>"
                        + "<style name=\"Child\" style=\"Parent\"/><title><band height=\"50\">"
                        + "<rectangle><reportElement x=\"1\" y=\"2\" width=\"30\" height=\"40\"/>"
                        + "</rectangle><staticText><reportElement x=\"0\" y=\"0\" width=\"9\""
                        + " height=\"9\" style=\"Child\" backcolor=\"#FF0000\"/><text/></staticText>"
                        + "</band></title><pageHeader><band/></pageHeader></jasperReport>");
        assertTrue(lines.contains("## r.jrxml"), lines.toString());
        for (String expected : List.of("report\tcolumnWidth\t555", "report\ttopMargin\t30",
                "report\twhenNoDataType\tNoPages", "pageHeader\theight\t0",
                "pageHeader\tsplitType\tnone", "title\tsplitType\tnone",
                "title/0\tkind\trectangle", "title/0\tx\t1", "title/0\tmode\tOpaque",
                "title/0\tbackcolor\t#FFFFFF", "title/0\tpen.lineWidth\t1",
                "title/1\tkind\tstaticText", "title/1\tmode\tTransparent",
                "title/1\tfontSize\t14", "title/1\ttopPen.lineWidth\t0",
                "style:Child\tfontSize\t14")) {
            assertTrue(lines.contains(expected), expected + " in " + lines);
        }
        // A transparent element's back colour shows nowhere.
        assertFalse(lines.contains("title/1\tbackcolor\t#FF0000"), lines.toString());
    }

    @Test
    void aStyleWithoutParentTakesTheDefaultStyleAsTheEngineFills() throws Exception {
        List<String> lines = read("d.jrxml",
                "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\""
                        + " name=\"d\"><style name=\"Base\" isDefault=\"true\" fontSize=\"20\""
                        + " forecolor=\"#FF0000\"/><style name=\"Bold\" isBold=\"true\"/>"
                        + "<title><band height=\"30\"><staticText><reportElement x=\"0\" y=\"0\""
                        + " width=\"90\" height=\"30\" style=\"Bold\"/><text/></staticText>"
                        + "</band></title></jasperReport>");
        for (String expected : List.of("style:Bold\tfontSize\t20", "style:Bold\tforecolor\t#FF0000",
                "style:Base\tisBold\tfalse", "title/0\tfontSize\t20",
                "title/0\tforecolor\t#FF0000", "title/0\tisBold\ttrue")) {
            assertTrue(lines.contains(expected), expected + " in " + lines);
        }
    }

    @Test
    void numbersThatAreNotFiniteArePrintedAsTheEngineHoldsThem() throws Exception {
        List<String> lines = read("n.jrxml",
                "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/jasperreports\""
                        + " name=\"n\"><title><band height=\"30\"><staticText><reportElement"
                        + " x=\"0\" y=\"0\" width=\"90\" height=\"30\"/><box><topPen"
                        + " lineWidth=\"NaN\"/></box><textElement><font size=\"1e39\"/>"
                        + "</textElement><text/></staticText></band></title></jasperReport>");
        for (String expected : List.of("title/0\tfontSize\tInfinity",
                "title/0\ttopPen.lineWidth\tNaN")) {
            assertTrue(lines.contains(expected), expected + " in " + lines);
        }
    }

    @Test
    void aReportTheEngineCannotLoadSaysWhy() throws Exception {
        List<String> lines = read("broken.jrxml", "<jasperReport");
        assertTrue(lines.get(1).startsWith("report\tload\t"), lines.toString());
    }
}
