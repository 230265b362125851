package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.JsonNodeFactory;
import com.fasterxml.jackson.databind.node.ObjectNode;

import net.sf.jasperreports.engine.JRException;
import net.sf.jasperreports.engine.JRParameter;
import net.sf.jasperreports.engine.JasperFillManager;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.data.JRMapCollectionDataSource;
import net.sf.jasperreports.engine.design.JRDesignExpression;
import net.sf.jasperreports.engine.design.JRDesignField;
import net.sf.jasperreports.engine.design.JRDesignParameter;
import net.sf.jasperreports.engine.design.JRDesignScriptlet;
import net.sf.jasperreports.engine.design.JRDesignVariable;
import net.sf.jasperreports.engine.design.JasperDesign;
import net.sf.jasperreports.engine.type.CalculationEnum;
import net.sf.jasperreports.engine.type.ResetTypeEnum;

import java.math.BigDecimal;
import java.text.SimpleDateFormat;
import java.util.Arrays;
import java.util.Date;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.atomic.AtomicReference;

/**
 * The "evaluateExpression" command. The expression becomes the only variable of a tiny report that
 * declares the given fields and parameters; the report is compiled in the requested language and
 * filled with one record holding the sample field values, so the engine evaluates the expression
 * exactly as it would inside a real report.
 */
final class ExpressionEvaluator {
    static final String VALUE_VARIABLE = "QuillmarkExpressionValue__";
    static final String RESULT_PARAMETER = "QuillmarkExpressionResult__";
    private static final String SCRIPTLET = "QuillmarkExpression__";

    private final ReportEngine engine;

    ExpressionEvaluator(ReportEngine engine) {
        this.engine = engine;
    }

    ObjectNode evaluate(Params p) throws Exception {
        String expression = p.text("expression");
        if (expression.isBlank()) {
            throw new RequestException("The expression is empty.");
        }
        String language = p.optionalText("language");
        if (language == null || language.isBlank()) {
            language = JasperDesign.LANGUAGE_JAVA;
        }
        Object value = evaluate(expression, language.trim(), p.array("fields"),
                p.array("parameters"));
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        String text = display(value);
        if (text == null) {
            result.putNull("value");
        } else {
            result.put("value", text);
        }
        return result;
    }

    Object evaluate(String expression, String language, JsonNode fields, JsonNode parameters)
            throws Exception {
        JasperDesign design = new JasperDesign();
        design.setName("ExpressionTest");
        design.setLanguage(language);
        design.setPageWidth(595);
        design.setPageHeight(842);
        design.setColumnWidth(555);
        design.setLeftMargin(20);
        design.setRightMargin(20);

        Map<String, Object> record = new HashMap<>();
        for (Binding b : Binding.list(fields, "field")) {
            JRDesignField field = new JRDesignField();
            field.setName(b.name);
            field.setValueClassName(declarableClass(b));
            addOnce(() -> design.addField(field), "field", b.name);
            Object value = ParameterValues.convertOne("Field", b.name, b.className, null, b.value);
            if (value != null) {
                record.put(b.name, value);
            }
        }

        Map<String, Object> params = new HashMap<>();
        for (Binding b : Binding.list(parameters, "parameter")) {
            String className = b.className;
            JRParameter builtIn = design.getParametersMap().get(b.name);
            if (builtIn != null) {
                className = builtIn.getValueClassName(); // e.g. REPORT_LOCALE keeps its class
            } else {
                JRDesignParameter parameter = new JRDesignParameter();
                parameter.setName(b.name);
                parameter.setValueClassName(declarableClass(b));
                parameter.setForPrompting(false);
                design.addParameter(parameter);
            }
            Object value = ParameterValues.convertOne("Parameter", b.name, className, null,
                    b.value);
            if (value != null) {
                params.put(b.name, value);
            }
        }

        JRDesignParameter holder = new JRDesignParameter();
        holder.setName(RESULT_PARAMETER);
        holder.setValueClassName(AtomicReference.class.getName());
        holder.setForPrompting(false);
        design.addParameter(holder);

        JRDesignVariable variable = new JRDesignVariable();
        variable.setName(VALUE_VARIABLE);
        variable.setValueClassName(Object.class.getName());
        variable.setCalculation(CalculationEnum.NOTHING);
        variable.setResetType(ResetTypeEnum.REPORT);
        variable.setExpression(new JRDesignExpression(expression));
        design.addVariable(variable);

        JRDesignScriptlet scriptlet = new JRDesignScriptlet();
        scriptlet.setName(SCRIPTLET);
        scriptlet.setValueClassName(EvaluationScriptlet.class.getName());
        design.addScriptlet(scriptlet);

        JasperReport report = ReportEngine.compileDesign(design, engine.baseContext());
        AtomicReference<Object> result = new AtomicReference<>();
        params.put(RESULT_PARAMETER, result);
        JasperFillManager.getInstance(engine.baseContext()).fill(report, params,
                new JRMapCollectionDataSource(List.of(record)));
        return result.get();
    }

    /**
     * The class to declare. A binding of a class this process cannot load (a report's own class)
     * is declared as Object when it has no sample value, so that it does not fail every test of
     * an expression that does not even use it.
     */
    private static String declarableClass(Binding b) {
        if (b.value != null) {
            return b.className;
        }
        try {
            Class.forName(b.className, false, ExpressionEvaluator.class.getClassLoader());
            return b.className;
        } catch (ClassNotFoundException | LinkageError e) {
            return Object.class.getName();
        }
    }

    /** How a value reads in the expression builder. */
    static String display(Object value) {
        if (value == null) {
            return null;
        }
        if (value instanceof java.sql.Date || value instanceof java.sql.Time
                || value instanceof java.sql.Timestamp) {
            return value.toString();
        }
        if (value instanceof Date) {
            return new SimpleDateFormat("yyyy-MM-dd HH:mm:ss").format((Date) value);
        }
        if (value instanceof BigDecimal) {
            return ((BigDecimal) value).toPlainString();
        }
        if (value instanceof Object[]) {
            return Arrays.deepToString((Object[]) value);
        }
        return value.toString();
    }

    @FunctionalInterface
    private interface Adder {
        void add() throws JRException;
    }

    private static void addOnce(Adder adder, String kind, String name) throws RequestException {
        try {
            adder.add();
        } catch (JRException e) {
            throw new RequestException("The " + kind + " \"" + name + "\" is listed twice.", e);
        }
    }

    /** One field or parameter of the request: name, class and optional sample value. */
    private static final class Binding {
        final String name;
        final String className;
        final String value;

        private Binding(String name, String className, String value) {
            this.name = name;
            this.className = className;
            this.value = value;
        }

        static List<Binding> list(JsonNode array, String kind) throws RequestException {
            java.util.ArrayList<Binding> out = new java.util.ArrayList<>();
            for (JsonNode item : array) {
                if (!item.isObject()) {
                    throw new RequestException("Each " + kind + " must be an object.");
                }
                JsonNode name = item.get("name");
                if (name == null || !name.isTextual() || name.textValue().isBlank()) {
                    throw new RequestException("A " + kind + " has no \"name\".");
                }
                JsonNode cls = item.get("class");
                String className = cls == null || !cls.isTextual() || cls.textValue().isBlank()
                        ? "java.lang.String" : cls.textValue().trim();
                String value = Params.scalarText(item.get("value"),
                        "The value of " + kind + " \"" + name.textValue() + "\"");
                out.add(new Binding(name.textValue(), className, value));
            }
            return out;
        }
    }
}
