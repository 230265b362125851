package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.lowagie.text.pdf.PdfDictionary;
import com.lowagie.text.pdf.PdfName;
import com.lowagie.text.pdf.PdfObject;
import com.lowagie.text.pdf.PdfReader;

import org.junit.jupiter.api.Assumptions;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

import java.awt.GraphicsEnvironment;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeMap;
import java.util.TreeSet;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.zip.ZipEntry;
import java.util.zip.ZipInputStream;

/**
 * Text in each family the designer offers or reports commonly name prints in that family's own
 * regular, bold, italic and bold-italic faces, embedded in the PDF, and the documents that name
 * fonts name the family with bold and italic flags.
 */
class FontFacesTest extends SharedSidecarTest {

    /** The four styles: their attributes and the words that end a text in them. */
    private static final String[][] STYLES = {{"", "regular"}, {"isBold=\"true\"", "bold"},
        {"isItalic=\"true\"", "italic"}, {"isBold=\"true\" isItalic=\"true\"", "bold italic"}};

    /**
     * A family as a report names it; the free family that must be installed for it; the
     * PostScript names of the faces it prints in, per style; the family documents name; and
     * whether the named face prints in itself where it is installed (its row is passed over
     * then).
     */
    record Family(String name, String freeFamily, List<String> faces, String documentName,
            boolean ownFaceWins) {
        Family(String name, String freeFamily, List<String> faces, String documentName) {
            this(name, freeFamily, faces, documentName, false);
        }

        @Override
        public String toString() {
            return name;
        }
    }

    private static List<String> faces(String base, String italic) {
        return List.of(base, base + "-Bold", base + "-" + italic, base + "-Bold" + italic);
    }

    private static final List<String> DEJAVU_SANS = faces("DejaVuSans", "Oblique");
    private static final List<String> DEJAVU_SERIF = faces("DejaVuSerif", "Italic");
    private static final List<String> DEJAVU_MONO = faces("DejaVuSansMono", "Oblique");
    private static final List<String> LIBERATION_SANS = faces("LiberationSans", "Italic");
    private static final List<String> LIBERATION_SERIF = faces("LiberationSerif", "Italic");
    private static final List<String> LIBERATION_MONO = faces("LiberationMono", "Italic");
    private static final List<String> CARLITO = faces("Carlito", "Italic");

    static List<Family> families() {
        return List.of(
                new Family("DejaVu Sans", "DejaVu Sans", DEJAVU_SANS, "DejaVu Sans"),
                new Family("DejaVu Serif", "DejaVu Serif", DEJAVU_SERIF, "DejaVu Serif"),
                new Family("DejaVu Sans Mono", "DejaVu Sans Mono", DEJAVU_MONO,
                        "DejaVu Sans Mono"),
                new Family("SansSerif", "DejaVu Sans", DEJAVU_SANS, "DejaVu Sans"),
                new Family("Serif", "DejaVu Serif", DEJAVU_SERIF, "DejaVu Serif"),
                new Family("Monospaced", "DejaVu Sans Mono", DEJAVU_MONO, "DejaVu Sans Mono"),
                new Family("Verdana", "DejaVu Sans", DEJAVU_SANS, "Verdana", true),
                new Family("Liberation Sans", "Liberation Sans", LIBERATION_SANS,
                        "Liberation Sans"),
                new Family("Liberation Serif", "Liberation Serif", LIBERATION_SERIF,
                        "Liberation Serif"),
                new Family("Liberation Mono", "Liberation Mono", LIBERATION_MONO,
                        "Liberation Mono"),
                new Family("Arial", "Liberation Sans", LIBERATION_SANS, "Arial", true),
                new Family("Helvetica", "Liberation Sans", LIBERATION_SANS, "Helvetica"),
                new Family("Times New Roman", "Liberation Serif", LIBERATION_SERIF,
                        "Times New Roman", true),
                new Family("Courier New", "Liberation Mono", LIBERATION_MONO, "Courier New", true),
                new Family("Carlito", "Carlito", CARLITO, "Carlito"),
                new Family("Calibri", "Carlito", CARLITO, "Calibri", true));
    }

    private static final Set<String> INSTALLED = Set.of(
            GraphicsEnvironment.getLocalGraphicsEnvironment().getAvailableFontFamilyNames());

    /** Passes the family over where the machine cannot print it as the table says. */
    private static void assumePrintable(Family family) {
        Assumptions.assumeTrue(INSTALLED.contains(family.freeFamily()),
                family.freeFamily() + " is not installed (fonts-dejavu, fonts-liberation2, "
                        + "fonts-crosextra-carlito)");
        Assumptions.assumeTrue(!family.ownFaceWins() || !INSTALLED.contains(family.name()),
                family.name() + " is installed and prints in itself");
    }

    /** A report of one text per family and style, each text its family and style's words. */
    private static Path report(String name, List<Family> families) throws IOException {
        StringBuilder band = new StringBuilder();
        int y = 0;
        for (Family family : families) {
            for (String[] style : STYLES) {
                band.append("<staticText><reportElement x=\"0\" y=\"").append(y)
                        .append("\" width=\"500\" height=\"16\"/><textElement><font fontName=\"")
                        .append(family.name()).append("\" ").append(style[0])
                        .append("/></textElement><text><![CDATA[").append(text(family, style))
                        .append("]]></text></staticText>");
                y += 16;
            }
        }
        Path jrxml = dir.resolve(name + ".jrxml");
        Files.writeString(jrxml, "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                + "jasperreports\" name=\"" + name + "\" pageWidth=\"595\" pageHeight=\""
                + (y + 40) + "\" columnWidth=\"555\" leftMargin=\"20\" rightMargin=\"20\" "
                + "topMargin=\"20\" bottomMargin=\"20\"><title><band height=\"" + y + "\">"
                + band + "</band></title></jasperReport>", StandardCharsets.UTF_8);
        return jrxml;
    }

    private static String text(Family family, String[] style) {
        return family.name() + " " + style[1];
    }

    private static Path render(String name, List<Family> families) throws Exception {
        Path jrxml = report(name, families);
        ok(sidecar.request("render", params("jrxmlPath", jrxml.toString(),
                "jasperPath", dir.resolve(name + ".jasper").toString(),
                "jrprintPath", dir.resolve(name + ".jrprint").toString(),
                "pdfPath", dir.resolve(name + ".pdf").toString())));
        return dir.resolve(name + ".jrprint");
    }

    /** The names of the faces embedded in the PDF, without their subset prefix. */
    private static Set<String> embeddedFaces(Path pdf) throws IOException {
        Set<String> faces = new TreeSet<>();
        PdfReader reader = new PdfReader(Files.readAllBytes(pdf));
        try {
            for (int i = 1; i < reader.getXrefSize(); i++) {
                PdfObject object = reader.getPdfObject(i);
                if (!(object instanceof PdfDictionary descriptor)
                        || !PdfName.FONTDESCRIPTOR.equals(descriptor.get(PdfName.TYPE))
                        || descriptor.get(PdfName.FONTFILE2) == null) {
                    continue;
                }
                String name = PdfName.decodeName(descriptor.get(PdfName.FONTNAME).toString());
                faces.add(name.replaceFirst("^[A-Z]{6}\\+", ""));
            }
        } finally {
            reader.close();
        }
        return faces;
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("families")
    void eachStylePrintsInItsOwnEmbeddedFace(Family family) throws Exception {
        assumePrintable(family);
        String name = "Faces" + family.name().replace(" ", "");
        render(name, List.of(family));
        // The PDF writer also sets up the face of text without a font on every page.
        Set<String> expected = new TreeSet<>(family.faces());
        expected.add("DejaVuSans");
        assertEquals(expected, embeddedFaces(dir.resolve(name + ".pdf")));
    }

    /** A font as a document names it for a text. */
    record Named(String family, boolean bold, boolean italic) {
    }

    @Test
    void documentsNameTheFamilyWithStyleFlags() throws Exception {
        families().forEach(FontFacesTest::assumePrintable);
        render("Documents", families());
        Map<String, Named> expected = new TreeMap<>();
        for (Family family : families()) {
            for (String[] style : STYLES) {
                expected.put(text(family, style), new Named(family.documentName(),
                        style[1].contains("bold"), style[1].contains("italic")));
            }
        }
        assertEquals(expected, rtfFonts(exportText("rtf")), "rtf");
        assertEquals(expected, htmlFonts(exportText("html")), "html");
        assertEquals(expected, odtFonts(exported("odt")), "odt");
        assertEquals(expected, xlsxFonts(exported("xlsx")), "xlsx");
    }

    private static Path exported(String format) throws Exception {
        Path out = dir.resolve("Documents." + format);
        ok(sidecar.request("export", params("jrprintPath",
                dir.resolve("Documents.jrprint").toString(), "outputPath", out.toString(),
                "format", format)));
        return out;
    }

    private static String exportText(String format) throws Exception {
        return Files.readString(exported(format), StandardCharsets.UTF_8);
    }

    private static Map<String, Named> rtfFonts(String rtf) {
        Map<Integer, String> table = new HashMap<>();
        Matcher font = Pattern.compile("\\{\\\\f(\\d+)\\\\fnil ([^;]*);\\}").matcher(rtf);
        while (font.find()) {
            table.put(Integer.valueOf(font.group(1)), font.group(2));
        }
        Map<String, Named> texts = new TreeMap<>();
        Matcher run = Pattern.compile("\\\\f(\\d+)\\\\fs\\d+(\\\\b)?(\\\\i)?\\\\cf\\d+ ([^\\\\]*)"
                + "\\\\plain").matcher(rtf);
        while (run.find()) {
            texts.put(run.group(4), new Named(table.get(Integer.valueOf(run.group(1))),
                    run.group(2) != null, run.group(3) != null));
        }
        return texts;
    }

    private static Map<String, Named> htmlFonts(String html) {
        Map<String, Named> texts = new TreeMap<>();
        Matcher span = Pattern.compile("font-family: ([^;]*);([^\">]*)\">([^<]*)<").matcher(html);
        while (span.find()) {
            // A family the browser may lack is followed by a generic one.
            String[] list = span.group(1).split(",\\s*");
            assertTrue(list.length == 2 && Set.of("serif", "sans-serif", "monospace")
                    .contains(list[1]), span.group(1));
            texts.put(span.group(3), new Named(list[0].replace("'", ""),
                    span.group(2).contains("font-weight: bold"),
                    span.group(2).contains("font-style: italic")));
        }
        return texts;
    }

    private static Map<String, Named> odtFonts(Path odt) throws IOException {
        String content = zipEntry(odt, "content.xml");
        Map<String, Named> styles = new HashMap<>();
        Matcher style = Pattern.compile("<style:style style:name=\"(T\\d+)\" style:family=\"text\">"
                + "\\s*<style:text-properties ([^>]*?)/?>").matcher(content);
        while (style.find()) {
            String properties = style.group(2);
            styles.put(style.group(1), new Named(attribute(properties, "style:font-name"),
                    properties.contains("fo:font-weight=\"bold\""),
                    properties.contains("fo:font-style=\"italic\"")));
        }
        Map<String, Named> texts = new TreeMap<>();
        Matcher span = Pattern.compile("<text:span text:style-name=\"(T\\d+)\">([^<]*)<")
                .matcher(content);
        while (span.find()) {
            texts.put(span.group(2), styles.get(span.group(1)));
        }
        return texts;
    }

    private static Map<String, Named> xlsxFonts(Path xlsx) throws IOException {
        List<String> strings = all(zipEntry(xlsx, "xl/sharedStrings.xml"),
                "<t xml:space=\"preserve\">([^<]*)</t>");
        String styles = zipEntry(xlsx, "xl/styles.xml");
        List<String> fonts = all(styles.substring(styles.indexOf("<fonts")), "<font>(.*?)</font>");
        String cellXfs = styles.substring(styles.indexOf("<cellXfs"),
                styles.indexOf("</cellXfs>"));
        List<String> fontIds = all(cellXfs, "<xf [^>]*fontId=\"(\\d+)\"");
        Map<String, Named> texts = new TreeMap<>();
        Matcher cell = Pattern.compile("<c r=\"\\w+\" s=\"(\\d+)\" t=\"s\"><v>(\\d+)</v>")
                .matcher(zipEntry(xlsx, "xl/worksheets/sheet1.xml"));
        while (cell.find()) {
            String font = fonts.get(Integer.parseInt(
                    fontIds.get(Integer.parseInt(cell.group(1)))));
            texts.put(strings.get(Integer.parseInt(cell.group(2))),
                    new Named(attribute(font, "name val"), font.contains("<b val=\"true\""),
                            font.contains("<i val=\"true\"")));
        }
        return texts;
    }

    private static String attribute(String text, String name) {
        Matcher value = Pattern.compile(name + "=\"([^\"]*)\"").matcher(text);
        return value.find() ? value.group(1) : null;
    }

    private static List<String> all(String text, String regex) {
        List<String> found = new ArrayList<>();
        Matcher match = Pattern.compile(regex, Pattern.DOTALL).matcher(text);
        while (match.find()) {
            found.add(match.group(1));
        }
        return found;
    }

    private static String zipEntry(Path zip, String name) throws IOException {
        try (InputStream file = Files.newInputStream(zip);
                ZipInputStream entries = new ZipInputStream(file)) {
            for (ZipEntry entry; (entry = entries.getNextEntry()) != null;) {
                if (entry.getName().equals(name)) {
                    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
                    entries.transferTo(bytes);
                    return bytes.toString(StandardCharsets.UTF_8);
                }
            }
        }
        throw new IOException(name + " is not in " + zip);
    }
}
