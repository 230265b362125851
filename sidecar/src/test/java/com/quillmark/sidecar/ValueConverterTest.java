package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.Timestamp;
import java.util.List;
import java.util.Locale;
import java.util.Set;

/** Text to declared class, in process: the rules the designer's parameter prompt relies on. */
class ValueConverterTest {

    private static Object convert(String cls, String text) throws Exception {
        return ValueConverter.convert(cls, null, text);
    }

    @Test
    void convertsToTheDeclaredClass() throws Exception {
        assertEquals(Integer.valueOf(-12), convert("java.lang.Integer", " -12 "));
        assertEquals(Long.valueOf(9_000_000_000L), convert("java.lang.Long", "+9000000000"));
        assertEquals(Short.valueOf((short) 7), convert("java.lang.Short", "7"));
        assertEquals(Double.valueOf(1.5e3), convert("java.lang.Double", "1.5e3"));
        assertEquals(new BigDecimal("0.10"), convert("java.math.BigDecimal", "0.10"));
        assertEquals(BigInteger.TEN, convert("java.math.BigInteger", "10.0"));
        assertEquals(Boolean.TRUE, convert("java.lang.Boolean", "TRUE"));
        assertEquals(java.sql.Date.valueOf("2024-02-29"), convert("java.sql.Date", "2024-02-29"));
        assertEquals(Timestamp.valueOf("2024-03-01 13:45:10"),
                convert("java.sql.Timestamp", "2024-03-01 13:45:10"));
        assertEquals(Timestamp.valueOf("2024-03-01 00:00:00"),
                convert("java.sql.Timestamp", "2024-03-01"));
        assertEquals(Locale.CANADA_FRENCH, convert("java.util.Locale", "fr_CA"));
        assertEquals(List.of(1, 2, 3), ValueConverter.convert("java.util.List",
                "java.lang.Integer", "1, 2,,3"));
        assertEquals(Set.of("a", "b"), ValueConverter.convert("java.util.Set", null, "a,b,a"));
    }

    @Test
    void emptyTextIsNoValueExceptForTextClasses() throws Exception {
        assertNull(convert("java.lang.Integer", ""));
        assertNull(convert("java.util.Date", "   "));
        assertEquals("", convert("java.lang.String", ""));
        assertEquals("  padded ", convert("java.lang.String", "  padded "));
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
            "java.lang.Integer   | 1,000     | whole number",
            "java.lang.Integer   | 3000000000| whole number",
            "java.math.BigInteger| 1.5       | whole number",
            "java.lang.Double    | abc       | a number",
            "java.lang.Boolean   | yes       | true or false",
            "java.util.Date      | 2024-02-30| yyyy-MM-dd",
            "java.sql.Timestamp  | 2024-03-01 25:00| yyyy-MM-dd HH:mm:ss",
            "com.example.Money   | 12        | cannot be given as text"})
    void refusesTextsThatDoNotFit(String cls, String text, String reason) {
        ValueConverter.ConversionException e = assertThrows(
                ValueConverter.ConversionException.class, () -> convert(cls, text));
        assertTrue(e.getMessage().contains(reason), e.getMessage());
    }
}
