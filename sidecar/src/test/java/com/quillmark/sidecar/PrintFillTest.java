package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import net.sf.jasperreports.engine.JRPrintText;
import net.sf.jasperreports.engine.JasperPrint;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.design.JRDesignField;
import net.sf.jasperreports.repo.InputStreamResource;
import net.sf.jasperreports.repo.ResourceBundleResource;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.sql.Timestamp;
import java.util.ArrayList;
import java.util.List;
import java.util.ListResourceBundle;
import java.util.ResourceBundle;

/** The rows of data the print comparison fills with, and what it answers for missing resources. */
class PrintFillTest {

    private static List<Object> column(String className) throws Exception {
        JRDesignField field = new JRDesignField();
        field.setName("f");
        field.setValueClassName(className);
        DataRows rows = new DataRows();
        List<Object> values = new ArrayList<>();
        while (rows.next()) {
            values.add(rows.getFieldValue(field));
        }
        return values;
    }

    @Test
    void sevenRowsMadeFromEachFieldsClassTheSameOnEveryFill() throws Exception {
        assertEquals(List.of("f 1", "f 1", "f 2", "f 2", "f 3", "f 3", "f 4"),
                column("java.lang.String"));
        assertEquals(List.of(10, 10, 20, 20, 30, 30, 40), column("java.lang.Integer"));
        assertEquals(new BigDecimal("12.50"), column("java.math.BigDecimal").get(0));
        assertEquals(List.of(true, false, true, false, true, false, true),
                column("java.lang.Boolean"));
        List<Object> days = column("java.sql.Timestamp");
        assertEquals(Timestamp.class, days.get(0).getClass());
        assertEquals(24 * 3600 * 1000L,
                ((Timestamp) days.get(1)).getTime() - ((Timestamp) days.get(0)).getTime());
        List<Object> unknown = column("java.util.Collection");
        assertEquals(DataRows.COUNT, unknown.size());
        assertTrue(unknown.stream().allMatch(v -> v == null));
        assertEquals(column("java.lang.Double"), column("java.lang.Double"));
    }

    @Test
    void missingKeysAnswerThemselvesAndMissingPicturesOnePixel() throws Exception {
        ResourceBundle own = new ListResourceBundle() {
            @Override
            protected Object[][] getContents() {
                return new Object[][] {{"title", "Titel"}};
            }
        };
        assertEquals("Titel", new PrintFill.KeyBundle(own).getString("title"));
        assertEquals("missing.key", new PrintFill.KeyBundle(own).getString("missing.key"));
        assertEquals("any", new PrintFill.KeyBundle(null).getString("any"));

        PrintFill.MissingResources missing = new PrintFill.MissingResources();
        InputStreamResource picture = missing.getResource("image.flag", InputStreamResource.class);
        assertNotNull(picture);
        assertArrayEquals(PrintFill.MissingResources.PIXEL, picture.getInputStream().readAllBytes());
        assertNull(missing.getResource("styles.jrtx", InputStreamResource.class));
        assertNull(missing.getResource("data/adapter.jrdax", InputStreamResource.class));
        assertNull(missing.getResource("Sub.jasper", InputStreamResource.class));
        // The bundle of the fixed locale may be missing beside a base bundle that is there.
        assertNull(missing.getResource("i18n_en_US.properties", ResourceBundleResource.class));
        assertNull(missing.getResource("i18n_en.properties", ResourceBundleResource.class));
        assertEquals("k", missing.getResource("i18n.properties", ResourceBundleResource.class)
                .getResourceBundle().getString("k"));
    }

    @Test
    void fillsAReportWithRowsAPictureAndKeysItDoesNotHave(@TempDir Path dir) throws Exception {
        Path jrxml = dir.resolve("Rows.jrxml");
        Files.writeString(jrxml, "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                + "jasperreports\" name=\"Rows\" resourceBundle=\"absent\" pageWidth=\"595\" "
                + "pageHeight=\"842\" columnWidth=\"555\" leftMargin=\"20\" rightMargin=\"20\" "
                + "topMargin=\"20\" bottomMargin=\"20\">"
                + "<field name=\"name\" class=\"java.lang.String\"/>"
                + "<detail><band height=\"20\"><textField><reportElement x=\"0\" y=\"0\" "
                + "width=\"200\" height=\"20\"/><textFieldExpression><![CDATA[$R{label} + \" \" "
                + "+ $F{name}]]></textFieldExpression></textField><image><reportElement "
                + "x=\"200\" y=\"0\" width=\"20\" height=\"20\"/><imageExpression>"
                + "<![CDATA[\"absent.png\"]]></imageExpression></image></band></detail>"
                + "</jasperReport>", StandardCharsets.UTF_8);
        ReportEngine engine = new ReportEngine();
        JasperReport report = ReportEngine.compileFile(jrxml, engine.baseContext());
        JasperPrint print = PrintFill.ROWS.fill(engine, report, dir);
        assertEquals(1, print.getPages().size());
        assertEquals(2 * DataRows.COUNT, print.getPages().get(0).getElements().size());
        assertEquals("label name 1",
                ((JRPrintText) print.getPages().get(0).getElements().get(0)).getFullText());
        // The empty record is filled as the designer's preview fills it: without these answers.
        assertThrows(Exception.class, () -> PrintFill.RECORD.fill(engine, report, dir));
    }
}
