package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.lowagie.text.Document;
import com.lowagie.text.Font;
import com.lowagie.text.FontFactory;
import com.lowagie.text.Paragraph;
import com.lowagie.text.pdf.BaseFont;
import com.lowagie.text.pdf.PdfWriter;

import org.junit.jupiter.api.Assumptions;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/** The PDF writer's faces named by file. */
class InMemoryFontFilesTest {

    private static final Path DEJAVU = Path.of("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

    @TempDir
    Path dir;

    @Test
    void aFaceIsReadOnceAndEmbedsInEveryPdfAfterItsFileIsGone() throws Exception {
        Assumptions.assumeTrue(Files.isRegularFile(DEJAVU), "DejaVu Sans is not installed");
        new ReportEngine(); // installs the engine's font factory
        Path face = Files.copy(DEJAVU, dir.resolve("Face.ttf"));

        ByteArrayOutputStream first = writePdf(face, "Before");
        Files.delete(face);
        // Embedding the subset of the face reads its glyph tables again when the PDF is closed.
        ByteArrayOutputStream second = assertDoesNotThrow(() -> writePdf(face, "After"));

        for (ByteArrayOutputStream pdf : new ByteArrayOutputStream[] {first, second}) {
            String text = pdf.toString(StandardCharsets.ISO_8859_1);
            assertTrue(text.contains("/FontFile2"), "the face is embedded");
            assertTrue(text.contains("DejaVuSans"), "under its own name");
        }
    }

    private static ByteArrayOutputStream writePdf(Path face, String text) throws Exception {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        Document document = new Document();
        PdfWriter.getInstance(document, out);
        document.open();
        Font font = FontFactory.getFont(face.toString(), BaseFont.IDENTITY_H, BaseFont.EMBEDDED,
                12, Font.NORMAL, null);
        document.add(new Paragraph(text, font));
        document.close();
        return out;
    }
}
