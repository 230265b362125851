package com.quillmark.sidecar;

import com.lowagie.text.Font;
import com.lowagie.text.FontFactory;
import com.lowagie.text.FontFactoryImp;
import com.lowagie.text.pdf.BaseFont;

import java.awt.Color;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Locale;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;

/**
 * The PDF writer's fonts, where the engine names a TrueType or OpenType file by its path (as it
 * does for every face of {@link SystemFontFamilies}), are read from the file into memory once.
 * Read from the file itself, every PDF written reads the glyph tables of each embedded face one
 * value at a time, a system call each: several thousand per face and PDF, which took longer than
 * compiling and filling a small report.
 */
final class InMemoryFontFiles extends FontFactoryImp {

    /** The fonts made so far, by file, encoding and embedding. */
    private final Map<String, BaseFont> fonts = new ConcurrentHashMap<>();

    private InMemoryFontFiles() {
    }

    /** Makes the PDF writer ask this factory for its fonts; once is enough. */
    static synchronized void install() {
        if (!(FontFactory.getFontImp() instanceof InMemoryFontFiles)) {
            FontFactory.setFontImp(new InMemoryFontFiles());
        }
    }

    @Override
    public Font getFont(String fontname, String encoding, boolean embedded, float size, int style,
            Color color, boolean cached) {
        if (cached && fontname != null) {
            String key = fontname + '\n' + encoding + '\n' + embedded;
            BaseFont base = fonts.get(key);
            if (base == null && isFontFile(fontname)) {
                base = fonts.computeIfAbsent(key, k -> read(fontname, encoding, embedded));
            }
            if (base != null) {
                return new Font(base, size, style, color);
            }
        }
        return super.getFont(fontname, encoding, embedded, size, style, color, cached);
    }

    /** The face of the file, read whole; null when it does not read (the engine's way decides). */
    private static BaseFont read(String file, String encoding, boolean embedded) {
        try {
            // Not in the writer's own cache: that would hand this face to callers that name the
            // file without asking this factory, which is harmless but not ours to decide.
            return BaseFont.createFont(file, encoding, embedded, false,
                    Files.readAllBytes(Paths.get(file)), null);
        } catch (IOException | RuntimeException e) {
            return null;
        }
    }

    private static boolean isFontFile(String name) {
        String lower = name.toLowerCase(Locale.ROOT);
        if (!lower.endsWith(".ttf") && !lower.endsWith(".otf")) {
            return false;
        }
        try {
            return Files.isRegularFile(Path.of(name));
        } catch (RuntimeException e) {
            return false;
        }
    }
}
