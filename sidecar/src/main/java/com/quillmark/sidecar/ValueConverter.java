package com.quillmark.sidecar;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.ZoneId;
import java.util.ArrayList;
import java.util.Collection;
import java.util.Date;
import java.util.LinkedHashSet;
import java.util.Locale;
import java.util.TimeZone;

/**
 * Turns the texts that the designer sends for parameters and sample field values into objects of
 * the class that the report declares.
 *
 * <p>Rules: text-like classes take the text unchanged (an empty text stays an empty text); for every
 * other class the text is trimmed and an empty text means "no value given" ({@code null}). Dates
 * are {@code yyyy-MM-dd}, timestamps {@code yyyy-MM-dd HH:mm:ss} (seconds, fraction and time part
 * optional), times {@code HH:mm[:ss]}; collections are comma-separated items of the nested class.
 */
public final class ValueConverter {

    /** Thrown when a text does not convert; the message says why, for the report author. */
    public static final class ConversionException extends Exception {
        private static final long serialVersionUID = 1L;

        ConversionException(String message, Throwable cause) {
            super(message, cause);
        }
    }

    private ValueConverter() {
    }

    /**
     * @param className the declared class name, e.g. {@code java.lang.Integer}
     * @param nestedClassName the element class of a collection, or {@code null}
     * @return the converted value, or {@code null} when the text means "not given"
     */
    public static Object convert(String className, String nestedClassName, String text)
            throws ConversionException {
        if (text == null) {
            return null;
        }
        String cls = className == null || className.isEmpty() ? "java.lang.String" : className;
        if (isTextClass(cls)) {
            return text;
        }
        String t = text.trim();
        if (t.isEmpty()) {
            return null;
        }
        try {
            switch (cls) {
                case "java.lang.Integer":
                case "int":
                    return Integer.valueOf(t);
                case "java.lang.Long":
                case "long":
                    return Long.valueOf(t);
                case "java.lang.Short":
                case "short":
                    return Short.valueOf(t);
                case "java.lang.Byte":
                case "byte":
                    return Byte.valueOf(t);
                case "java.lang.Double":
                case "double":
                    return Double.valueOf(t);
                case "java.lang.Float":
                case "float":
                    return Float.valueOf(t);
                case "java.math.BigDecimal":
                case "java.lang.Number":
                    return new BigDecimal(t);
                case "java.math.BigInteger":
                    return new BigDecimal(t).toBigIntegerExact();
                case "java.lang.Boolean":
                case "boolean":
                    return parseBoolean(t);
                case "java.lang.Character":
                case "char":
                    if (t.codePointCount(0, t.length()) != 1) {
                        throw new ConversionException("\"" + text + "\" is not a single character",
                                null);
                    }
                    return t.charAt(0);
                case "java.util.Date":
                    return Date.from(parseDateTime(t).atZone(ZoneId.systemDefault()).toInstant());
                case "java.sql.Date":
                    return java.sql.Date.valueOf(parseDateTime(t).toLocalDate());
                case "java.sql.Timestamp":
                    return Timestamp.valueOf(parseDateTime(t));
                case "java.sql.Time":
                    return Time.valueOf(LocalTime.parse(t));
                case "java.time.LocalDate":
                    return parseDateTime(t).toLocalDate();
                case "java.time.LocalDateTime":
                    return parseDateTime(t);
                case "java.time.LocalTime":
                    return LocalTime.parse(t);
                case "java.util.Locale":
                    return Locale.forLanguageTag(t.replace('_', '-'));
                case "java.util.TimeZone":
                    return TimeZone.getTimeZone(ZoneId.of(t));
                case "java.util.Collection":
                case "java.util.List":
                case "java.util.ArrayList":
                    return splitItems(t, nestedClassName, new ArrayList<>());
                case "java.util.Set":
                case "java.util.HashSet":
                case "java.util.LinkedHashSet":
                    return splitItems(t, nestedClassName, new LinkedHashSet<>());
                default:
                    throw new ConversionException(
                            "values of class " + cls + " cannot be given as text", null);
            }
        } catch (ConversionException e) {
            throw e;
        } catch (RuntimeException e) {
            throw new ConversionException("\"" + text + "\" is not " + describe(cls), e);
        }
    }

    /** Classes whose value is the text itself, so an empty text is a real (empty) value. */
    public static boolean isTextClass(String cls) {
        switch (cls) {
            case "java.lang.String":
            case "java.lang.Object":
            case "java.lang.CharSequence":
            case "java.lang.Comparable":
            case "java.io.Serializable":
                return true;
            default:
                return false;
        }
    }

    private static Boolean parseBoolean(String t) throws ConversionException {
        if (t.equalsIgnoreCase("true")) {
            return Boolean.TRUE;
        }
        if (t.equalsIgnoreCase("false")) {
            return Boolean.FALSE;
        }
        throw new ConversionException("\"" + t + "\" is not true or false", null);
    }

    /** {@code yyyy-MM-dd}, optionally followed by a blank or 'T' and {@code HH:mm[:ss[.fff]]}. */
    static LocalDateTime parseDateTime(String t) {
        int sep = t.indexOf(' ');
        if (sep < 0) {
            sep = t.indexOf('T');
        }
        if (sep < 0) {
            return LocalDate.parse(t).atStartOfDay();
        }
        LocalDate date = LocalDate.parse(t.substring(0, sep));
        LocalTime time = LocalTime.parse(t.substring(sep + 1).trim());
        return date.atTime(time);
    }

    private static Collection<Object> splitItems(String t, String nested, Collection<Object> into)
            throws ConversionException {
        String itemClass = nested == null || nested.isEmpty() ? "java.lang.String" : nested;
        for (String item : t.split(",")) {
            String trimmed = item.trim();
            if (!trimmed.isEmpty()) {
                into.add(convert(itemClass, null, trimmed));
            }
        }
        return into;
    }

    private static String describe(String cls) {
        switch (cls) {
            case "java.lang.Integer":
            case "java.lang.Long":
            case "java.lang.Short":
            case "java.lang.Byte":
            case "java.math.BigInteger":
            case "int":
            case "long":
            case "short":
            case "byte":
                return "a whole number in the range of " + cls;
            case "java.lang.Double":
            case "java.lang.Float":
            case "java.math.BigDecimal":
            case "java.lang.Number":
            case "double":
            case "float":
                return "a number";
            case "java.util.Date":
            case "java.sql.Date":
            case "java.time.LocalDate":
                return "a date in the form yyyy-MM-dd";
            case "java.sql.Timestamp":
            case "java.time.LocalDateTime":
                return "a date and time in the form yyyy-MM-dd HH:mm:ss";
            case "java.sql.Time":
            case "java.time.LocalTime":
                return "a time in the form HH:mm:ss";
            case "java.util.TimeZone":
                return "a time zone id such as Europe/Paris";
            default:
                return "a valid " + cls;
        }
    }
}
