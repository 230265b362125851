package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;

import net.sf.jasperreports.engine.JRParameter;

import java.io.File;
import java.nio.file.Path;
import java.util.HashMap;
import java.util.Iterator;
import java.util.Map;

/** Builds the fill parameters of a compiled report from the designer's "paramValues" texts. */
final class ParameterValues {
    static final String SUBREPORT_DIR = "SUBREPORT_DIR";

    private ParameterValues() {
    }

    /**
     * Converts each given text to its parameter's declared class. Texts for names the report does
     * not declare are ignored; {@code SUBREPORT_DIR}, unless given, is the report's own folder.
     */
    static Map<String, Object> convert(JRParameter[] declared, JsonNode values, Path reportDir)
            throws RequestException {
        Map<String, JRParameter> byName = new HashMap<>();
        if (declared != null) {
            for (JRParameter p : declared) {
                byName.put(p.getName(), p);
            }
        }
        Map<String, Object> out = new HashMap<>();
        if (values != null) {
            for (Iterator<Map.Entry<String, JsonNode>> it = values.fields(); it.hasNext();) {
                Map.Entry<String, JsonNode> e = it.next();
                JRParameter p = byName.get(e.getKey());
                if (p == null) {
                    continue;
                }
                String text = Params.scalarText(e.getValue(),
                        "The value of parameter \"" + e.getKey() + "\"");
                Object value = convertOne("Parameter", p.getName(), p.getValueClassName(),
                        p.getNestedTypeName(), text);
                if (value != null) {
                    out.put(p.getName(), value);
                }
            }
        }
        if (reportDir != null && isUnset(out.get(SUBREPORT_DIR))) {
            JRParameter p = byName.get(SUBREPORT_DIR);
            if (p == null || ValueConverter.isTextClass(p.getValueClassName())) {
                out.put(SUBREPORT_DIR, reportDir.toString() + File.separator);
            }
        }
        return out;
    }

    /** One value, with an error that names the parameter or field when it does not convert. */
    static Object convertOne(String kind, String name, String className, String nested,
            String text) throws RequestException {
        try {
            return ValueConverter.convert(className, nested, text);
        } catch (ValueConverter.ConversionException e) {
            throw new RequestException(kind + " \"" + name + "\" (" + className + "): "
                    + e.getMessage() + ".", e.getCause());
        }
    }

    private static boolean isUnset(Object value) {
        return value == null || value instanceof String && ((String) value).isEmpty();
    }
}
