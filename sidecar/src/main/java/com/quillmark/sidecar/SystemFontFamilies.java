package com.quillmark.sidecar;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.stream.Stream;
import net.sf.jasperreports.engine.DefaultJasperReportsContext;
import net.sf.jasperreports.engine.fonts.FontFamily;
import net.sf.jasperreports.engine.fonts.SimpleFontFamily;
import net.sf.jasperreports.extensions.ExtensionsRegistry;
import net.sf.jasperreports.extensions.ExtensionsEnvironment;

/**
 * Font families for the faces the designer offers and the names reports commonly use, so that the
 * engine lays text out and writes PDFs in the face the designer's canvas draws, embedded, instead
 * of falling back to Helvetica. Each family is backed by font files found when the engine first
 * needs them: in a {@code fonts} folder beside the jar (fonts shipped with the program), then in
 * the system's font folders. Where the named face itself is installed it is used; otherwise a free
 * face with the same metrics (Liberation for Arial, Helvetica, Times New Roman and Courier New,
 * Carlito for Calibri) or the face the system itself substitutes (DejaVu Sans for Verdana, and
 * DejaVu Sans, Serif and Sans Mono for the logical SansSerif, Serif and Monospaced; SansSerif is
 * also the engine's face for text without a font). A family whose regular face is nowhere to be
 * found is left out, and the engine treats that name as before. The report itself is never
 * changed.
 *
 * <p>Installed by {@link #install()} when the sidecar starts.
 */
public final class SystemFontFamilies {

    /** One family: its name and, per style, the file names to look for, the preferred first. */
    record Family(String name, List<String> normal, List<String> bold, List<String> italic,
            List<String> boldItalic) {
    }

    /** The files chosen for one family; a missing style is left to the engine to derive. */
    record Chosen(String name, Path normal, Path bold, Path italic, Path boldItalic) {
    }

    private static final List<String> LIBERATION_SANS = List.of("LiberationSans-Regular.ttf",
            "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
            "LiberationSans-BoldItalic.ttf");
    private static final List<String> DEJAVU_SANS = List.of("DejaVuSans.ttf",
            "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf");
    private static final List<String> DEJAVU_SERIF = List.of("DejaVuSerif.ttf",
            "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf");
    private static final List<String> DEJAVU_SANS_MONO = List.of("DejaVuSansMono.ttf",
            "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
            "DejaVuSansMono-BoldOblique.ttf");

    /** Windows and Linux (core fonts) file names, then macOS ones, then the substitute. */
    static final List<Family> FAMILIES = List.of(
            family("Arial", List.of("arial.ttf", "Arial.ttf"),
                    List.of("arialbd.ttf", "Arial Bold.ttf", "Arial_Bold.ttf"),
                    List.of("ariali.ttf", "Arial Italic.ttf", "Arial_Italic.ttf"),
                    List.of("arialbi.ttf", "Arial Bold Italic.ttf", "Arial_Bold_Italic.ttf"),
                    LIBERATION_SANS),
            family("Helvetica", List.of(), List.of(), List.of(), List.of(), LIBERATION_SANS),
            family("Times New Roman", List.of("times.ttf", "Times New Roman.ttf"),
                    List.of("timesbd.ttf", "Times New Roman Bold.ttf",
                            "Times_New_Roman_Bold.ttf"),
                    List.of("timesi.ttf", "Times New Roman Italic.ttf",
                            "Times_New_Roman_Italic.ttf"),
                    List.of("timesbi.ttf", "Times New Roman Bold Italic.ttf",
                            "Times_New_Roman_Bold_Italic.ttf"),
                    List.of("LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
                            "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf")),
            family("Courier New", List.of("cour.ttf", "Courier New.ttf"),
                    List.of("courbd.ttf", "Courier New Bold.ttf", "Courier_New_Bold.ttf"),
                    List.of("couri.ttf", "Courier New Italic.ttf", "Courier_New_Italic.ttf"),
                    List.of("courbi.ttf", "Courier New Bold Italic.ttf",
                            "Courier_New_Bold_Italic.ttf"),
                    List.of("LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf",
                            "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf")),
            family("Calibri", List.of("calibri.ttf", "Calibri.ttf"),
                    List.of("calibrib.ttf", "Calibri Bold.ttf"),
                    List.of("calibrii.ttf", "Calibri Italic.ttf"),
                    List.of("calibriz.ttf", "Calibri Bold Italic.ttf"),
                    List.of("Carlito-Regular.ttf", "Carlito-Bold.ttf", "Carlito-Italic.ttf",
                            "Carlito-BoldItalic.ttf")),
            family("Verdana", List.of("verdana.ttf", "Verdana.ttf"),
                    List.of("verdanab.ttf", "Verdana Bold.ttf"),
                    List.of("verdanai.ttf", "Verdana Italic.ttf"),
                    List.of("verdanaz.ttf", "Verdana Bold Italic.ttf"), DEJAVU_SANS),
            family("SansSerif", List.of(), List.of(), List.of(), List.of(), DEJAVU_SANS),
            family("Serif", List.of(), List.of(), List.of(), List.of(), DEJAVU_SERIF),
            family("Monospaced", List.of(), List.of(), List.of(), List.of(), DEJAVU_SANS_MONO));

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
        for (Chosen chosen : choose(FAMILIES, index(fontFolders()))) {
            try {
                families.add(toFontFamily(chosen));
            } catch (RuntimeException e) {
                // A damaged font file: the name falls back to the engine's default, as before.
                System.err.println("Font family " + chosen.name() + " left out: " + e);
            }
        }
        return Collections.unmodifiableList(families);
    }

    private static Family family(String name, List<String> normal, List<String> bold,
            List<String> italic, List<String> boldItalic, List<String> substitute) {
        return new Family(name, with(normal, substitute.get(0)), with(bold, substitute.get(1)),
                with(italic, substitute.get(2)), with(boldItalic, substitute.get(3)));
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
            chosen.add(new Chosen(family.name(), normal, first(family.bold(), index),
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
     * The engine's family: the chosen files, loaded now, embedded in PDFs with Unicode encoding.
     * Throws when a file cannot be loaded as a font.
     */
    private static FontFamily toFontFamily(Chosen chosen) {
        SimpleFontFamily family = new SimpleFontFamily(DefaultJasperReportsContext.getInstance());
        family.setName(chosen.name());
        family.setNormal(chosen.normal().toString());
        if (chosen.bold() != null) {
            family.setBold(chosen.bold().toString());
        }
        if (chosen.italic() != null) {
            family.setItalic(chosen.italic().toString());
        }
        if (chosen.boldItalic() != null) {
            family.setBoldItalic(chosen.boldItalic().toString());
        }
        family.setPdfEncoding("Identity-H");
        family.setPdfEmbedded(true);
        return family;
    }
}
