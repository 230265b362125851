package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JRParameter;
import net.sf.jasperreports.engine.JasperFillManager;
import net.sf.jasperreports.engine.JasperPrint;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.SimpleJasperReportsContext;
import net.sf.jasperreports.engine.util.JRResourcesUtil;
import net.sf.jasperreports.governors.MaxPagesGovernor;
import net.sf.jasperreports.repo.InputStreamResource;
import net.sf.jasperreports.repo.RepositoryService;
import net.sf.jasperreports.repo.Resource;
import net.sf.jasperreports.repo.ResourceBundleResource;

import java.awt.image.BufferedImage;
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.Enumeration;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.MissingResourceException;
import java.util.ResourceBundle;
import java.util.TimeZone;
import java.util.regex.Pattern;
import javax.imageio.ImageIO;

/** How the print comparison fills a report. */
enum PrintFill {
    /** One empty record: what the report prints of its own. */
    RECORD("record", "one empty record"),
    /**
     * Seven rows made from the fields' classes, so that groups, conditional styles and running
     * totals print; in a fixed locale and time zone, with missing pictures answered by a
     * one-pixel image and missing resource keys by the key itself, and at most
     * {@value #MAX_PAGES} pages, so that a runaway fill ends.
     */
    ROWS("rows", DataRows.COUNT + " rows of data");

    static final Locale LOCALE = Locale.US;
    static final TimeZone TIME_ZONE = TimeZone.getTimeZone("UTC");
    static final int MAX_PAGES = 200;

    /** The fill's word in the comparison's listing. */
    final String word;
    /** What the fill uses, for the listing's count line. */
    final String description;

    PrintFill(String word, String description) {
        this.word = word;
        this.description = description;
    }

    JasperPrint fill(ReportEngine engine, JasperReport report, Path reportDir) throws Exception {
        if (this == RECORD) {
            return engine.fillReport(report, reportDir, null, null);
        }
        SimpleJasperReportsContext context =
                new SimpleJasperReportsContext(engine.contextFor(reportDir));
        context.setProperty(MaxPagesGovernor.PROPERTY_MAX_PAGES_ENABLED, "true");
        context.setProperty(MaxPagesGovernor.PROPERTY_MAX_PAGES, String.valueOf(MAX_PAGES));
        List<RepositoryService> services =
                new ArrayList<>(context.getExtensions(RepositoryService.class));
        services.add(new MissingResources());
        context.setExtensions(RepositoryService.class, services);

        Map<String, Object> params =
                ParameterValues.convert(report.getParameters(), null, reportDir);
        params.put(JRParameter.REPORT_LOCALE, LOCALE);
        params.put(JRParameter.REPORT_TIME_ZONE, TIME_ZONE);
        params.put(JRParameter.REPORT_RESOURCE_BUNDLE,
                new KeyBundle(bundleOf(context, report.getResourceBundle())));
        return JasperFillManager.getInstance(context).fill(report, params, new DataRows());
    }

    private static ResourceBundle bundleOf(JasperReportsContext context, String baseName) {
        if (baseName == null) {
            return null;
        }
        try {
            return JRResourcesUtil.loadResourceBundle(context, baseName, LOCALE);
        } catch (MissingResourceException e) {
            return null;
        }
    }

    /** The report's own bundle where it has the key; the key itself where not. */
    static final class KeyBundle extends ResourceBundle {
        private final ResourceBundle own;

        KeyBundle(ResourceBundle own) {
            this.own = own;
        }

        @Override
        protected Object handleGetObject(String key) {
            return own != null && own.containsKey(key) ? own.getObject(key) : key;
        }

        @Override
        public Enumeration<String> getKeys() {
            return own != null ? own.getKeys() : Collections.emptyEnumeration();
        }
    }

    /**
     * Asked last, for what no other repository has: a picture is a one-pixel image, and a
     * resource bundle (of the report or of a dataset) answers every key with the key itself.
     * Data, templates and compiled reports stay missing.
     */
    static final class MissingResources implements RepositoryService {
        private static final Pattern NO_PICTURE = Pattern.compile(
                "(?i).*\\.(jasper|jrxml|jrtx|jrdax|properties|xml|json|csv|xlsx?|txt|jar|class)$");
        // The bundle of the fixed locale, asked for before the base bundle, may be missing while
        // the base bundle is there.
        private static final Pattern LOCALE_BUNDLE = Pattern.compile(
                ".*_" + LOCALE.getLanguage() + "(_" + LOCALE.getCountry() + ")?\\.properties$");
        static final byte[] PIXEL = onePixel();

        @Override
        public Resource getResource(String uri) {
            return getResource(uri, InputStreamResource.class);
        }

        @Override
        public <K extends Resource> K getResource(String uri, Class<K> resourceType) {
            if (uri == null) {
                return null;
            }
            if (resourceType.isAssignableFrom(ResourceBundleResource.class)) {
                if (LOCALE_BUNDLE.matcher(uri).matches()) {
                    return null;
                }
                ResourceBundleResource keys = new ResourceBundleResource();
                keys.setResourceBundle(new KeyBundle(null));
                return resourceType.cast(keys);
            }
            if (NO_PICTURE.matcher(uri).matches()
                    || !resourceType.isAssignableFrom(InputStreamResource.class)) {
                return null;
            }
            InputStreamResource picture = new InputStreamResource();
            picture.setInputStream(new ByteArrayInputStream(PIXEL));
            return resourceType.cast(picture);
        }

        @Override
        public void saveResource(String uri, Resource resource) {
            throw new UnsupportedOperationException("the comparison saves nothing");
        }

        private static byte[] onePixel() {
            try {
                ByteArrayOutputStream png = new ByteArrayOutputStream();
                ImageIO.write(new BufferedImage(1, 1, BufferedImage.TYPE_INT_ARGB), "png", png);
                return png.toByteArray();
            } catch (IOException e) {
                throw new UncheckedIOException(e);
            }
        }
    }
}
