package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/** Which font files back each family. */
class SystemFontFamiliesTest {

    @TempDir
    Path dir;

    private Path font(String relative) throws Exception {
        Path file = dir.resolve(relative);
        Files.createDirectories(file.getParent());
        return Files.writeString(file, "not really a font");
    }

    private static SystemFontFamilies.Chosen find(List<SystemFontFamilies.Chosen> chosen,
            String name) {
        return chosen.stream().filter(c -> c.name().equals(name)).findFirst().orElse(null);
    }

    @Test
    void theNamedFaceWinsOverItsSubstituteAndAFamilyWithoutARegularFaceIsLeftOut()
            throws Exception {
        Path shipped = font("shipped/LiberationSans-Regular.ttf");
        font("system/truetype/liberation2/LiberationSans-Regular.ttf");
        Path sansBold = font("system/truetype/liberation2/LiberationSans-Bold.ttf");
        Path arial = font("system/msttcorefonts/Arial.ttf");
        Path serif = font("system/truetype/liberation2/LiberationSerif-Regular.ttf");
        Path serifBold = font("system/truetype/liberation2/LiberationSerif-Bold.ttf");
        font("system/truetype/liberation2/LiberationMono-Bold.ttf"); // no regular face
        font("system/readme.txt");

        Map<String, Path> index = SystemFontFamilies.index(
                List.of(dir.resolve("shipped"), dir.resolve("missing"), dir.resolve("system")));
        assertEquals(shipped.toAbsolutePath(), index.get("liberationsans-regular.ttf"),
                "a font shipped with the program comes first");
        assertNull(index.get("readme.txt"));

        List<SystemFontFamilies.Chosen> chosen =
                SystemFontFamilies.choose(SystemFontFamilies.FAMILIES, index);
        // The free faces first under their own names, before the families that borrow them.
        assertEquals(List.of("Liberation Sans", "Liberation Serif", "Arial", "Helvetica",
                "Times New Roman"),
                chosen.stream().map(SystemFontFamilies.Chosen::name).toList());
        SystemFontFamilies.Chosen liberation = find(chosen, "Liberation Sans");
        assertEquals(shipped.toAbsolutePath(), liberation.normal());
        assertEquals(sansBold.toAbsolutePath(), liberation.bold());
        SystemFontFamilies.Chosen arialFamily = find(chosen, "Arial");
        assertEquals(arial.toAbsolutePath(), arialFamily.normal(), "the real face, any case");
        assertEquals(sansBold.toAbsolutePath(), arialFamily.bold(), "the substitute fills in");
        assertNull(arialFamily.italic());
        assertEquals(shipped.toAbsolutePath(), find(chosen, "Helvetica").normal());
        SystemFontFamilies.Chosen times = find(chosen, "Times New Roman");
        assertEquals(serif.toAbsolutePath(), times.normal());
        assertEquals(serifBold.toAbsolutePath(), times.bold());
    }
}
