package com.quillmark.sidecar;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.stream.Stream;
import net.sf.jasperreports.engine.DefaultJasperReportsContext;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.export.HtmlExporter;
import net.sf.jasperreports.engine.fonts.FontFamily;
import net.sf.jasperreports.engine.fonts.SimpleFontFace;
import net.sf.jasperreports.engine.fonts.SimpleFontFamily;
import net.sf.jasperreports.extensions.ExtensionsRegistry;
import net.sf.jasperreports.extensions.ExtensionsEnvironment;

/**
 * Font families for the faces the designer offers and the names reports commonly use, so that the
 * engine lays text out and writes PDFs in the face the designer's canvas draws, embedded, instead
 * of falling back to Helvetica. Each family is backed by font files found when the engine first
 * needs them: in a {@code fonts} folder beside the jar (fonts shipped with the program), then in
 * the system's font folders. The free faces (DejaVu, Liberation, Carlito) are families under
 * their own names. Where a named face itself is installed it is used; otherwise a free face with
 * the same metrics (Liberation for Arial, Helvetica, Times New Roman and Courier New, Carlito for
 * Calibri) or the face the system itself substitutes (DejaVu Sans for Verdana, and DejaVu Sans,
 * Serif and Sans Mono for the logical SansSerif, Serif and Monospaced; SansSerif is also the
 * engine's face for text without a font). Every family has its own bold, italic and bold-italic
 * faces where their files are found. A family whose regular face is nowhere to be found is left
 * out, and the engine treats that name as before. The report itself is never changed.
 *
 * <p>Installed by {@link #install()} when the sidecar starts.
 */
public final class SystemFontFamilies {

    /**
     * One family: its name, per style the file names to look for (the preferred first), the
     * family that documents (RTF, ODT, XLSX, HTML) name for it, and the generic CSS family that
     * HTML falls back to.
     */
    record Family(String name, List<String> normal, List<String> bold, List<String> italic,
            List<String> boldItalic, String documentName, String genericFamily) {
    }

    /** The files chosen for one family; a missing style is left to the engine to derive. */
    record Chosen(Family family, Path normal, Path bold, Path italic, Path boldItalic) {
        String name() {
            return family.name();
        }
    }

    /**
     * A free family: its name, its generic CSS family, and the file names of its regular, bold,
     * italic and bold-italic faces.
     */
    private record Faces(String name, String genericFamily, List<String> files) {
        /** The faces' files named {@code stem} + regular, -Bold, -italic and -Bold + italic. */
        static Faces of(String name, String genericFamily, String stem, String regular,
                String italic) {
            return new Faces(name, genericFamily, List.of(stem + regular + ".ttf",
                    stem + "-Bold.ttf", stem + "-" + italic + ".ttf",
                    stem + "-Bold" + italic + ".ttf"));
        }
    }

    private static final Faces DEJAVU_SANS =
            Faces.of("DejaVu Sans", "sans-serif", "DejaVuSans", "", "Oblique");
    private static final Faces DEJAVU_SERIF =
            Faces.of("DejaVu Serif", "serif", "DejaVuSerif", "", "Italic");
    private static final Faces DEJAVU_SANS_MONO =
            Faces.of("DejaVu Sans Mono", "monospace", "DejaVuSansMono", "", "Oblique");
    private static final Faces LIBERATION_SANS =
            Faces.of("Liberation Sans", "sans-serif", "LiberationSans", "-Regular", "Italic");
    private static final Faces LIBERATION_SERIF =
            Faces.of("Liberation Serif", "serif", "LiberationSerif", "-Regular", "Italic");
    private static final Faces LIBERATION_MONO =
            Faces.of("Liberation Mono", "monospace", "LiberationMono", "-Regular", "Italic");
    private static final Faces CARLITO =
            Faces.of("Carlito", "sans-serif", "Carlito", "-Regular", "Italic");

    /**
     * The families in the order the engine is to search them. The engine answers a font name
     * with the first family that is named so or that has a face of that name, family by family;
     * so the free faces come first under their own names, before the families that borrow their
     * files (whose regular face would otherwise answer for "DejaVu Serif" and lend bold text its
     * regular face). Then the named faces: Windows and Linux (core fonts) file names, then macOS
     * ones, then the substitute.
     */
    static final List<Family> FAMILIES = List.of(
            own(DEJAVU_SANS),
            own(DEJAVU_SERIF),
            own(DEJAVU_SANS_MONO),
            own(LIBERATION_SANS),
            own(LIBERATION_SERIF),
            own(LIBERATION_MONO),
            own(CARLITO),
            named("Arial", List.of("arial.ttf", "Arial.ttf"),
                    List.of("arialbd.ttf", "Arial Bold.ttf", "Arial_Bold.ttf"),
                    List.of("ariali.ttf", "Arial Italic.ttf", "Arial_Italic.ttf"),
                    List.of("arialbi.ttf", "Arial Bold Italic.ttf", "Arial_Bold_Italic.ttf"),
                    LIBERATION_SANS),
            named("Helvetica", List.of(), List.of(), List.of(), List.of(), LIBERATION_SANS),
            named("Times New Roman", List.of("times.ttf", "Times New Roman.ttf"),
                    List.of("timesbd.ttf", "Times New Roman Bold.ttf",
                            "Times_New_Roman_Bold.ttf"),
                    List.of("timesi.ttf", "Times New Roman Italic.ttf",
                            "Times_New_Roman_Italic.ttf"),
                    List.of("timesbi.ttf", "Times New Roman Bold Italic.ttf",
                            "Times_New_Roman_Bold_Italic.ttf"),
                    LIBERATION_SERIF),
            named("Courier New", List.of("cour.ttf", "Courier New.ttf"),
                    List.of("courbd.ttf", "Courier New Bold.ttf", "Courier_New_Bold.ttf"),
                    List.of("couri.ttf", "Courier New Italic.ttf", "Courier_New_Italic.ttf"),
                    List.of("courbi.ttf", "Courier New Bold Italic.ttf",
                            "Courier_New_Bold_Italic.ttf"),
                    LIBERATION_MONO),
            named("Calibri", List.of("calibri.ttf", "Calibri.ttf"),
                    List.of("calibrib.ttf", "Calibri Bold.ttf"),
                    List.of("calibrii.ttf", "Calibri Italic.ttf"),
                    List.of("calibriz.ttf", "Calibri Bold Italic.ttf"), CARLITO),
            named("Verdana", List.of("verdana.ttf", "Verdana.ttf"),
                    List.of("verdanab.ttf", "Verdana Bold.ttf"),
                    List.of("verdanai.ttf", "Verdana Italic.ttf"),
                    List.of("verdanaz.ttf", "Verdana Bold Italic.ttf"), DEJAVU_SANS),
            logical("SansSerif", DEJAVU_SANS),
            logical("Serif", DEJAVU_SERIF),
            logical("Monospaced", DEJAVU_SANS_MONO));

    /** How deep below a font folder files are looked for. */
    private static final int MAX_DEPTH = 6;

    private SystemFontFamilies() {
    }

    /**
     * Puts the families ahead of the engine's own, which name SansSerif, Serif and Monospaced
     * without any face (so that those went to PDF as Helvetica, Times and Courier while text was
     * measured in another face). The families are made on first use; making them asks the engine
     * for other extensions, which it answers from its own registry.
     */
    static synchronized void install() {
        ExtensionsRegistry engine = ExtensionsEnvironment.getSystemExtensionsRegistry();
        if (engine instanceof AheadOfTheEngine) {
            return;
        }
        ExtensionsEnvironment.setSystemExtensionsRegistry(new AheadOfTheEngine(engine));
    }

    /** The engine's registry, with these families first in its list of font families. */
    private static final class AheadOfTheEngine implements ExtensionsRegistry {
        private final ExtensionsRegistry engine;
        private List<FontFamily> families;
        private Thread making;

        AheadOfTheEngine(ExtensionsRegistry engine) {
            this.engine = engine;
        }

        @Override
        @SuppressWarnings("unchecked")
        public <T> List<T> getExtensions(Class<T> extensionType) {
            List<T> theirs = engine.getExtensions(extensionType);
            if (!FontFamily.class.equals(extensionType)) {
                return theirs;
            }
            List<FontFamily> ours = families();
            if (ours.isEmpty()) {
                return theirs;
            }
            List<T> all = new ArrayList<>((List<T>) ours);
            if (theirs != null) {
                all.addAll(theirs);
            }
            return all;
        }

        private synchronized List<FontFamily> families() {
            if (families != null) {
                return families;
            }
            if (making == Thread.currentThread()) {
                return List.of(); // asked again while loading the files
            }
            making = Thread.currentThread();
            try {
                families = fontFamilies();
            } finally {
                making = null;
            }
            return families;
        }
    }

    private static List<FontFamily> fontFamilies() {
        List<FontFamily> families = new ArrayList<>();
        // Families that share a file share its face, loaded once.
        Map<Path, SimpleFontFace> faces = new HashMap<>();
        for (Chosen chosen : choose(FAMILIES, index(fontFolders()))) {
            try {
                families.add(toFontFamily(chosen, faces));
            } catch (RuntimeException e) {
                // A damaged font file: the name falls back to the engine's default, as before.
                System.err.println("Font family " + chosen.name() + " left out: " + e);
            }
        }
        return Collections.unmodifiableList(families);
    }

    /** A free family under its own name, from its own files only. */
    private static Family own(Faces faces) {
        List<String> files = faces.files();
        return new Family(faces.name(), List.of(files.get(0)), List.of(files.get(1)),
                List.of(files.get(2)), List.of(files.get(3)), faces.name(),
                faces.genericFamily());
    }

    /** A face that documents name as it is, printed from its own files or else the substitute's. */
    private static Family named(String name, List<String> normal, List<String> bold,
            List<String> italic, List<String> boldItalic, Faces substitute) {
        List<String> files = substitute.files();
        return new Family(name, with(normal, files.get(0)), with(bold, files.get(1)),
                with(italic, files.get(2)), with(boldItalic, files.get(3)), name,
                substitute.genericFamily());
    }

    /**
     * One of Java's logical families, which exist nowhere outside it: printed in the substitute,
     * and named in documents as the substitute so that they show the face the text was laid out
     * in.
     */
    private static Family logical(String name, Faces substitute) {
        Family faces = own(substitute);
        return new Family(name, faces.normal(), faces.bold(), faces.italic(),
                faces.boldItalic(), substitute.name(), substitute.genericFamily());
    }

    private static List<String> with(List<String> names, String last) {
        List<String> all = new ArrayList<>(names);
        all.add(last);
        return List.copyOf(all);
    }

    /**
     * The files of each family found in {@code index} (lower-cased file name to path), in the
     * order of {@code families}; a family without a regular face is left out.
     */
    static List<Chosen> choose(List<Family> families, Map<String, Path> index) {
        List<Chosen> chosen = new ArrayList<>();
        for (Family family : families) {
            Path normal = first(family.normal(), index);
            if (normal == null) {
                continue;
            }
            chosen.add(new Chosen(family, normal, first(family.bold(), index),
                    first(family.italic(), index), first(family.boldItalic(), index)));
        }
        return chosen;
    }

    private static Path first(List<String> names, Map<String, Path> index) {
        for (String name : names) {
            Path path = index.get(name.toLowerCase(Locale.ROOT));
            if (path != null) {
                return path;
            }
        }
        return null;
    }

    /**
     * Every TrueType file below the folders, by lower-cased file name; a name found in an
     * earlier folder wins. Folders that are missing or unreadable are passed over.
     */
    static Map<String, Path> index(List<Path> folders) {
        Map<String, Path> index = new LinkedHashMap<>();
        for (Path folder : folders) {
            if (!Files.isDirectory(folder)) {
                continue;
            }
            try (Stream<Path> files = Files.walk(folder, MAX_DEPTH)) {
                files.filter(Files::isRegularFile).forEach(file -> {
                    String name = file.getFileName().toString().toLowerCase(Locale.ROOT);
                    if (name.endsWith(".ttf")) {
                        index.putIfAbsent(name, file.toAbsolutePath());
                    }
                });
            } catch (IOException | RuntimeException e) {
                // an unreadable folder holds nothing we can use
            }
        }
        return index;
    }

    /** The fonts shipped beside the jar, then the user's and the system's font folders. */
    static List<Path> fontFolders() {
        List<Path> folders = new ArrayList<>();
        try {
            Path jar = Paths.get(SystemFontFamilies.class.getProtectionDomain().getCodeSource()
                    .getLocation().toURI());
            folders.add(jar.resolveSibling("fonts"));
        } catch (Exception e) {
            // not loaded from a file: nothing shipped beside it
        }
        String home = System.getProperty("user.home", "");
        String dataHome = System.getenv("XDG_DATA_HOME");
        if (dataHome == null || dataHome.isEmpty()) {
            dataHome = home + "/.local/share";
        }
        folders.add(Paths.get(dataHome, "fonts"));
        folders.add(Paths.get(home, ".fonts"));
        folders.add(Paths.get(home, "Library", "Fonts"));
        folders.add(Paths.get("/usr/local/share/fonts"));
        folders.add(Paths.get("/usr/share/fonts"));
        folders.add(Paths.get("/Library/Fonts"));
        folders.add(Paths.get("/System/Library/Fonts"));
        String windows = System.getenv("WINDIR");
        if (windows != null && !windows.isEmpty()) {
            folders.add(Paths.get(windows, "Fonts"));
        }
        String localAppData = System.getenv("LOCALAPPDATA");
        if (localAppData != null && !localAppData.isEmpty()) {
            folders.add(Paths.get(localAppData, "Microsoft", "Windows", "Fonts"));
        }
        return folders;
    }

    /**
     * The engine's family: the chosen files, loaded now (or taken from {@code faces}, where each
     * face loaded is kept by file), embedded in PDFs with Unicode encoding, and named in
     * documents by the family's document name (in HTML with its generic family after it). Throws
     * when a file cannot be loaded as a font.
     */
    private static FontFamily toFontFamily(Chosen chosen, Map<Path, SimpleFontFace> faces) {
        JasperReportsContext context = DefaultJasperReportsContext.getInstance();
        SimpleFontFamily family = new SimpleFontFamily(context);
        family.setName(chosen.name());
        family.setNormalFace(face(chosen.normal(), faces, context));
        if (chosen.bold() != null) {
            family.setBoldFace(face(chosen.bold(), faces, context));
        }
        if (chosen.italic() != null) {
            family.setItalicFace(face(chosen.italic(), faces, context));
        }
        if (chosen.boldItalic() != null) {
            family.setBoldItalicFace(face(chosen.boldItalic(), faces, context));
        }
        family.setPdfEncoding("Identity-H");
        family.setPdfEmbedded(true);
        String documentName = chosen.family().documentName();
        family.setDefaultExportFont(documentName);
        family.setExportFonts(Map.of(HtmlExporter.HTML_EXPORTER_KEY,
                "'" + documentName + "', " + chosen.family().genericFamily()));
        return family;
    }

    private static SimpleFontFace face(Path file, Map<Path, SimpleFontFace> faces,
            JasperReportsContext context) {
        SimpleFontFace face = faces.get(file);
        if (face == null) {
            face = new SimpleFontFace(context);
            face.setTtf(file.toString());
            faces.put(file, face);
        }
        return face;
    }
}
