package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.error;
import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ArrayNode;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** evaluateExpression: the engine evaluates in the report's language with sample values. */
class ExpressionTest extends SharedSidecarTest {


    /** Bindings from triples name, class, value (value null for "no value"). */
    private static ArrayNode bindings(String... triples) {
        ArrayNode list = Client.params().arrayNode();
        for (int i = 0; i < triples.length; i += 3) {
            var b = list.addObject().put("name", triples[i]).put("class", triples[i + 1]);
            if (triples[i + 2] != null) {
                b.put("value", triples[i + 2]);
            }
        }
        return list;
    }

    private static JsonNode evaluate(String expression, String language, ArrayNode fields,
            ArrayNode parameters) throws Exception {
        return sidecar.request("evaluateExpression", params("expression", expression,
                "language", language, "fields", fields, "parameters", parameters));
    }

    @ParameterizedTest
    @CsvSource({"java", "groovy", "javascript"})
    void evaluatesInEachReportLanguage(String language) throws Exception {
        assertEquals("3", ok(evaluate("1 + 2", language, bindings(), bindings()))
                .get("value").asText());
    }

    @Test
    void fieldsAndParametersAreBoundToTheirSampleValues() throws Exception {
        ArrayNode fields = bindings("Name", "java.lang.String", "ada",
                "Unused", "com.example.NotOnTheClassPath", null,
                "Joined", "java.sql.Date", "2024-02-29");
        ArrayNode parameters = bindings("Count", "java.lang.Integer", "41",
                "Rate", "java.math.BigDecimal", "0.25",
                "REPORT_LOCALE", "java.util.Locale", "de_CH");
        JsonNode result = ok(evaluate(
                "$F{Name}.toUpperCase() + ($P{Count} + 1) + \" \" + $P{Rate}.add($P{Rate}) "
                        + "+ \" \" + $F{Joined} + \" \" + $P{REPORT_LOCALE}", "java", fields,
                parameters));
        assertEquals("ADA42 0.50 2024-02-29 de_CH", result.get("value").asText());

        // a binding without a value is null, and a null result has no text
        JsonNode nothing = ok(evaluate("$F{Name}", "java",
                bindings("Name", "java.lang.String", null), bindings()));
        assertTrue(nothing.get("value").isNull());
    }

    @Test
    void builtInFunctionsAreAvailable() throws Exception {
        assertEquals("abc", ok(evaluate("LOWER(\"ABC\")", "java", bindings(), bindings()))
                .get("value").asText());
    }

    @Test
    void errorsNameWhatIsWrong() throws Exception {
        String undeclared = error(evaluate("$F{Missing} + 1", "java", bindings(), bindings()));
        assertTrue(undeclared.contains("Field not found : Missing"), undeclared);

        String badSample = error(evaluate("$P{Count}", "java", bindings(),
                bindings("Count", "java.lang.Integer", "12x")));
        assertTrue(badSample.startsWith("Parameter \"Count\" (java.lang.Integer)"), badSample);

        String syntax = error(evaluate("1 +", "java", bindings(), bindings()));
        assertTrue(syntax.contains("Syntax error"), syntax);
        assertTrue(syntax.contains(", in the expression: 1 +\n"), "named as written: " + syntax);

        String groovy = error(evaluate("(1 + 2", "groovy", bindings(), bindings()));
        assertTrue(groovy.contains("Unexpected input, in the expression: (1 + 2\n"),
                "named as written, without the generated code: " + groovy);
    }
}
