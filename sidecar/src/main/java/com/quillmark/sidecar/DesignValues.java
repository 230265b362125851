package com.quillmark.sidecar;

import net.sf.jasperreports.components.list.ListComponent;
import net.sf.jasperreports.components.table.BaseColumn;
import net.sf.jasperreports.components.table.Cell;
import net.sf.jasperreports.components.table.Column;
import net.sf.jasperreports.components.table.TableComponent;
import net.sf.jasperreports.crosstabs.JRCrosstab;
import net.sf.jasperreports.engine.DefaultJasperReportsContext;
import net.sf.jasperreports.engine.JRBand;
import net.sf.jasperreports.engine.JRBoxContainer;
import net.sf.jasperreports.engine.JRBreak;
import net.sf.jasperreports.engine.JRChart;
import net.sf.jasperreports.engine.JRChild;
import net.sf.jasperreports.engine.JRComponentElement;
import net.sf.jasperreports.engine.JRDataset;
import net.sf.jasperreports.engine.JRElement;
import net.sf.jasperreports.engine.JRElementGroup;
import net.sf.jasperreports.engine.JREllipse;
import net.sf.jasperreports.engine.JRField;
import net.sf.jasperreports.engine.JRFont;
import net.sf.jasperreports.engine.JRFrame;
import net.sf.jasperreports.engine.JRGenericElement;
import net.sf.jasperreports.engine.JRGraphicElement;
import net.sf.jasperreports.engine.JRGroup;
import net.sf.jasperreports.engine.JRImage;
import net.sf.jasperreports.engine.JRLine;
import net.sf.jasperreports.engine.JRLineBox;
import net.sf.jasperreports.engine.JRParameter;
import net.sf.jasperreports.engine.JRPropertiesUtil;
import net.sf.jasperreports.engine.JRPen;
import net.sf.jasperreports.engine.JRRectangle;
import net.sf.jasperreports.engine.JRScriptlet;
import net.sf.jasperreports.engine.JRSection;
import net.sf.jasperreports.engine.JRSortField;
import net.sf.jasperreports.engine.JRStaticText;
import net.sf.jasperreports.engine.JRStyle;
import net.sf.jasperreports.engine.JRSubreport;
import net.sf.jasperreports.engine.JRTextElement;
import net.sf.jasperreports.engine.JRTextField;
import net.sf.jasperreports.engine.JRVariable;
import net.sf.jasperreports.engine.JRException;
import net.sf.jasperreports.engine.JRExpressionCollector;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.design.JRJavacCompiler;
import net.sf.jasperreports.engine.design.JRVerifier;
import net.sf.jasperreports.engine.design.JasperDesign;
import net.sf.jasperreports.engine.type.HorizontalTextAlignEnum;
import net.sf.jasperreports.engine.type.ModeEnum;
import net.sf.jasperreports.engine.type.NamedEnum;
import net.sf.jasperreports.engine.xml.JRXmlLoader;

import java.awt.Color;
import java.io.InputStream;
import java.io.PrintStream;
import java.math.BigDecimal;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * Loads and compiles reports with the engine and prints the values the compiled report fills with
 * (each element's and style's values as the engine's style resolution gives them), one per line
 * as {@code place TAB name TAB value}: the page, each band's height and split type, each element's
 * kind, position, size, colours, mode, font, alignment, line and box pens, and the data
 * definitions' names and classes. Each report starts with a line {@code ## relative/path}. The
 * designer's reader prints the same lines for the same file, so the two can be compared value by
 * value. Elements are numbered in their band or container in document order, the elements of
 * element groups counted in their place.
 */
final class DesignValues {

    private final PrintStream out;

    private DesignValues(PrintStream out) {
        this.out = out;
    }

    /** @return false when the path is neither a report nor a folder */
    static boolean run(Path path, PrintStream out) throws Exception {
        List<Path> reports;
        Path base;
        if (Files.isDirectory(path)) {
            base = path;
            try (Stream<Path> walk = Files.walk(path)) {
                reports = walk.filter(f -> f.toString().endsWith(".jrxml")
                        && Files.isRegularFile(f)).sorted().collect(Collectors.toList());
            }
        } else if (Files.isRegularFile(path)) {
            base = path.toAbsolutePath().getParent();
            reports = List.of(path.toAbsolutePath());
        } else {
            System.err.println("read-values: no such report or folder: " + path);
            return false;
        }
        new ReportEngine(); // the engine defaults every mode uses
        DesignValues values = new DesignValues(out);
        for (Path report : reports) {
            out.println("## " + base.relativize(report).toString().replace('\\', '/'));
            JasperReport compiled;
            try (InputStream in = Files.newInputStream(report)) {
                compiled = compiled(JRXmlLoader.load(DefaultJasperReportsContext.getInstance(), in));
            } catch (Throwable t) {
                out.println("report\tload\t" + Server.message(t).lines().findFirst().orElse(""));
                continue;
            }
            values.report(compiled);
        }
        return true;
    }

    /**
     * The compiled report the engine fills. Where only the expressions fail to compile (they use
     * classes of the report's own project), the engine's compiler builds the same report without
     * them: its values do not depend on the expressions' code.
     */
    private static JasperReport compiled(JasperDesign design) throws JRException {
        JasperReportsContext context = DefaultJasperReportsContext.getInstance();
        try {
            return ReportEngine.compileDesign(design, context);
        } catch (JRException | RequestException e) {
            // A field class the engine cannot load fails the compile as the expressions do.
            JRExpressionCollector collector = JRExpressionCollector.collector(context, design);
            if (!JRVerifier.verifyDesign(context, design, collector).isEmpty()) {
                throw e instanceof JRException jr ? jr : new JRException(e);
            }
            return new JasperReport(design, JRJavacCompiler.class.getName(), null, collector, "");
        }
    }

    private void put(String place, String name, Object value) {
        out.println(place + "\t" + name + "\t" + text(value));
    }

    static String text(Object value) {
        if (value == null) {
            return "none";
        }
        if (value instanceof Color) {
            return String.format("#%06X", ((Color) value).getRGB() & 0xFFFFFF);
        }
        if (value instanceof NamedEnum) {
            return ((NamedEnum) value).getName();
        }
        if (value instanceof Float || value instanceof Double) {
            double real = ((Number) value).doubleValue();
            if (Double.isNaN(real) || Double.isInfinite(real)) {
                // "NaN", "Infinity", "-Infinity": a file may give these, and the engine reads them.
                return value.toString();
            }
            BigDecimal number = new BigDecimal(value.toString()).stripTrailingZeros();
            return number.signum() == 0 ? "0" : number.toPlainString();
        }
        return value.toString();
    }

    private void report(JasperReport d) {
        put("report", "pageWidth", d.getPageWidth());
        put("report", "pageHeight", d.getPageHeight());
        put("report", "columnWidth", d.getColumnWidth());
        put("report", "leftMargin", d.getLeftMargin());
        put("report", "rightMargin", d.getRightMargin());
        put("report", "topMargin", d.getTopMargin());
        put("report", "bottomMargin", d.getBottomMargin());
        put("report", "columnCount", d.getColumnCount());
        put("report", "columnSpacing", d.getColumnSpacing());
        put("report", "printOrder", d.getPrintOrderValue());
        // Without one the engine fills as its property says.
        put("report", "whenNoDataType", or(d.getWhenNoDataTypeValue(), JRPropertiesUtil
                .getInstance(DefaultJasperReportsContext.getInstance())
                .getProperty("net.sf.jasperreports.when.no.data.type")));
        put("report", "isFloatColumnFooter", d.isFloatColumnFooter());
        put("report", "isSummaryNewPage", d.isSummaryNewPage());
        put("report", "isSummaryWithPageHeaderAndFooter", d.isSummaryWithPageHeaderAndFooter());
        put("report", "language", d.getLanguage());
        dataset("report", d.getMainDataset());
        for (JRScriptlet s : orNone(d.getScriptlets(), JRScriptlet.class)) {
            put("scriptlet:" + s.getName(), "class", s.getValueClassName());
        }
        for (JRStyle s : orNone(d.getStyles(), JRStyle.class)) {
            style(s);
        }
        for (JRDataset s : orNone(d.getDatasets(), JRDataset.class)) {
            dataset("dataset:" + s.getName(), s);
        }
        band("background", d.getBackground());
        band("title", d.getTitle());
        band("pageHeader", d.getPageHeader());
        band("columnHeader", d.getColumnHeader());
        section("detail", d.getDetailSection());
        band("columnFooter", d.getColumnFooter());
        band("pageFooter", d.getPageFooter());
        band("lastPageFooter", d.getLastPageFooter());
        band("summary", d.getSummary());
        band("noData", d.getNoData());
        for (JRGroup g : orNone(d.getGroups(), JRGroup.class)) {
            String place = "group:" + g.getName();
            put(place, "isStartNewPage", g.isStartNewPage());
            put(place, "isStartNewColumn", g.isStartNewColumn());
            put(place, "isResetPageNumber", g.isResetPageNumber());
            put(place, "isReprintHeaderOnEachPage", g.isReprintHeaderOnEachPage());
            put(place, "keepTogether", g.isKeepTogether());
            put(place, "footerPosition", g.getFooterPositionValue());
            section(place + "/header", g.getGroupHeaderSection());
            section(place + "/footer", g.getGroupFooterSection());
        }
    }

    private void dataset(String place, JRDataset d) {
        // The language of a query that runs.
        if (d.getQuery() != null && d.getQuery().getText() != null
                && !d.getQuery().getText().isBlank()) {
            put(place, "queryLanguage", d.getQuery().getLanguage());
        }
        for (JRParameter p : d.getParameters()) {
            if (!p.isSystemDefined()) {
                put(place + "/parameter:" + p.getName(), "class", p.getValueClassName());
                put(place + "/parameter:" + p.getName(), "isForPrompting", p.isForPrompting());
            }
        }
        for (JRField f : d.getFields() == null ? new JRField[0] : d.getFields()) {
            put(place + "/field:" + f.getName(), "class", f.getValueClassName());
        }
        for (JRVariable v : d.getVariables() == null ? new JRVariable[0] : d.getVariables()) {
            if (v.isSystemDefined()) {
                continue;
            }
            String at = place + "/variable:" + v.getName();
            put(at, "class", v.getValueClassName());
            put(at, "calculation", v.getCalculationValue());
            put(at, "resetType", v.getResetTypeValue());
            put(at, "incrementType", v.getIncrementTypeValue());
        }
        for (JRSortField s : d.getSortFields() == null ? new JRSortField[0] : d.getSortFields()) {
            put(place + "/sortField:" + s.getName(), "order", s.getOrderValue());
            put(place + "/sortField:" + s.getName(), "type", s.getType());
        }
    }

    private void style(JRStyle s) {
        String place = "style:" + s.getName();
        put(place, "isDefault", s.isDefault());
        // What an element of the style gets where the style chain leaves a value out.
        put(place, "fontName", or(s.getFontName(), JRPropertiesUtil.getInstance(
                DefaultJasperReportsContext.getInstance()).getProperty(JRFont.DEFAULT_FONT_NAME)));
        put(place, "fontSize", or(s.getFontsize(), JRPropertiesUtil.getInstance(
                DefaultJasperReportsContext.getInstance()).getFloatProperty(JRFont.DEFAULT_FONT_SIZE)));
        put(place, "isBold", or(s.isBold(), false));
        put(place, "isItalic", or(s.isItalic(), false));
        put(place, "isUnderline", or(s.isUnderline(), false));
        put(place, "textAlignment", or(s.getHorizontalTextAlign(), HorizontalTextAlignEnum.LEFT));
        put(place, "forecolor", s.getForecolor());
        put(place, "backcolor", s.getBackcolor());
        put(place, "boxPen.lineWidth", s.getLineBox().getPen().getLineWidth());
    }

    @SuppressWarnings("unchecked")
    private static <T> T[] orNone(T[] items, Class<T> type) {
        return items == null ? (T[]) java.lang.reflect.Array.newInstance(type, 0) : items;
    }

    private static Object or(Object value, Object fallback) {
        return value == null ? fallback : value;
    }

    private void section(String place, JRSection section) {
        JRBand[] bands = section == null ? null : section.getBands();
        for (int i = 0; bands != null && i < bands.length; i++) {
            band(place + "#" + i, bands[i]);
        }
    }

    private void band(String place, JRBand band) {
        if (band == null) {
            return;
        }
        put(place, "height", band.getHeight());
        put(place, "splitType", band.getSplitTypeValue());
        elements(place, band);
    }

    private void elements(String place, JRElementGroup group) {
        int[] index = {0};
        elements(place, group.getChildren(), index);
    }

    /** The elements in document order, those of element groups in their place. */
    private void elements(String place, List<JRChild> children, int[] index) {
        for (JRChild child : children) {
            if (child instanceof JRElement) {
                element(place + "/" + index[0]++, (JRElement) child);
            } else if (child instanceof JRElementGroup) {
                elements(place, ((JRElementGroup) child).getChildren(), index);
            }
        }
    }

    private void element(String place, JRElement e) {
        put(place, "kind", kind(e));
        put(place, "x", e.getX());
        put(place, "y", e.getY());
        put(place, "width", e.getWidth());
        put(place, "height", e.getHeight());
        put(place, "forecolor", e.getForecolor());
        // A line and a break fill nothing; the back colour of a transparent element shows nowhere.
        if (!(e instanceof JRLine || e instanceof JRBreak)) {
            put(place, "mode", e.getModeValue());
            if (e.getModeValue() == ModeEnum.OPAQUE) {
                put(place, "backcolor", e.getBackcolor());
            }
        }
        put(place, "positionType", e.getPositionTypeValue());
        put(place, "stretchType", e.getStretchTypeValue());
        if (e instanceof JRTextElement) {
            JRTextElement t = (JRTextElement) e;
            put(place, "fontName", t.getFontName());
            put(place, "fontSize", t.getFontsize());
            put(place, "isBold", t.isBold());
            put(place, "isItalic", t.isItalic());
            put(place, "isUnderline", t.isUnderline());
            put(place, "textAlignment", t.getHorizontalTextAlign());
            put(place, "verticalAlignment", t.getVerticalTextAlign());
            put(place, "pdfFontName", t.getPdfFontName());
            put(place, "pdfEncoding", t.getPdfEncoding());
            put(place, "isPdfEmbedded", t.isPdfEmbedded());
            put(place, "markup", t.getMarkup());
        }
        if (e instanceof JRTextField) {
            JRTextField t = (JRTextField) e;
            put(place, "isBlankWhenNull", t.isBlankWhenNull());
            put(place, "pattern", t.getPattern());
            put(place, "evaluationTime", t.getEvaluationTimeValue());
            put(place, "textAdjust", t.getTextAdjust());
        }
        if (e instanceof JRSubreport) {
            JRSubreport s = (JRSubreport) e;
            // Unset, the engine caches (a subreport named by a text) and does not run to the
            // bottom.
            put(place, "isUsingCache", or(s.getUsingCache(), true));
            put(place, "runToBottom", or(s.isRunToBottom(), false));
            put(place, "overflowType", s.getOverflowType());
        }
        if (e instanceof JRLine || e instanceof JRRectangle || e instanceof JREllipse) {
            pen(place, "pen", ((JRGraphicElement) e).getLinePen());
        }
        if (e instanceof JRTextElement || e instanceof JRImage || e instanceof JRFrame) {
            box(place, ((JRBoxContainer) e).getLineBox());
        }
        if (e instanceof JRFrame) {
            elements(place, (JRFrame) e);
        } else if (e instanceof JRComponentElement) {
            Object component = ((JRComponentElement) e).getComponent();
            if (component instanceof ListComponent) {
                put(place, "printOrder", ((ListComponent) component).getPrintOrderValue());
                elements(place, ((ListComponent) component).getContents());
            } else if (component instanceof TableComponent) {
                put(place, "whenNoDataType", ((TableComponent) component).getWhenNoDataType());
                int index = 0;
                for (BaseColumn column : ((TableComponent) component).getColumns()) {
                    if (column instanceof Column) {
                        column(place + "/column" + index++, (Column) column);
                    }
                }
            }
        }
    }

    /** The first element of each of a column's three cells, as the designer holds them. */
    private void column(String place, Column c) {
        put(place, "width", c.getWidth());
        cell(place + ".header", c.getColumnHeader());
        cell(place + ".detail", c.getDetailCell());
        cell(place + ".footer", c.getColumnFooter());
    }

    private void cell(String place, Cell cell) {
        if (cell == null) {
            return;
        }
        put(place, "height", cell.getHeight());
        for (JRChild child : cell.getChildren()) {
            if (child instanceof JRElement) {
                element(place + "/0", (JRElement) child);
                return;
            }
        }
    }

    private void pen(String place, String name, JRPen pen) {
        put(place, name + ".lineWidth", pen.getLineWidth());
        put(place, name + ".lineStyle", pen.getLineStyleValue());
        put(place, name + ".lineColor", pen.getLineColor());
    }

    private void box(String place, JRLineBox box) {
        pen(place, "topPen", box.getTopPen());
        pen(place, "leftPen", box.getLeftPen());
        pen(place, "bottomPen", box.getBottomPen());
        pen(place, "rightPen", box.getRightPen());
        put(place, "leftPadding", box.getLeftPadding());
        put(place, "rightPadding", box.getRightPadding());
        put(place, "topPadding", box.getTopPadding());
        put(place, "bottomPadding", box.getBottomPadding());
    }

    private static String kind(JRElement e) {
        if (e instanceof JRStaticText) {
            return "staticText";
        } else if (e instanceof JRTextField) {
            return "textField";
        } else if (e instanceof JRImage) {
            return "image";
        } else if (e instanceof JRSubreport) {
            return "subreport";
        } else if (e instanceof JRFrame) {
            return "frame";
        } else if (e instanceof JRBreak) {
            return "break";
        } else if (e instanceof JRChart) {
            return "chart";
        } else if (e instanceof JRCrosstab) {
            return "crosstab";
        } else if (e instanceof JRGenericElement) {
            return "genericElement";
        } else if (e instanceof JRRectangle) {
            return "rectangle";
        } else if (e instanceof JREllipse) {
            return "ellipse";
        } else if (e instanceof JRLine) {
            return "line";
        } else if (e instanceof JRComponentElement) {
            Object component = ((JRComponentElement) e).getComponent();
            if (component instanceof ListComponent) {
                return "list";
            }
            return component instanceof TableComponent ? "table" : "component";
        }
        return e.getClass().getSimpleName();
    }
}
