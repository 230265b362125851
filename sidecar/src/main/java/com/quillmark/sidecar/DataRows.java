package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JRDataSource;
import net.sf.jasperreports.engine.JRField;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.ZoneOffset;

/**
 * A fixed number of rows made from each field's declared class, the same on every fill: a text
 * for text classes, numbers for the number classes, dates a day apart (in UTC), alternating
 * Booleans, and null for a class it cannot make. Texts and numbers repeat in pairs, so groups on
 * them break every other row.
 */
final class DataRows implements JRDataSource {
    static final int COUNT = 7;
    private static final LocalDateTime FIRST_DAY = LocalDateTime.of(2024, 1, 15, 9, 30);

    private final int count;
    private int row = -1;

    DataRows() {
        this(COUNT);
    }

    DataRows(int count) {
        this.count = count;
    }

    @Override
    public boolean next() {
        if (row + 1 >= count) {
            return false;
        }
        row++;
        return true;
    }

    @Override
    public Object getFieldValue(JRField field) {
        return value(field.getValueClassName(), field.getName(), row);
    }

    /** The value of a field of that class in the given row (from 0), or null. */
    static Object value(String className, String fieldName, int row) {
        int pair = row / 2 + 1;
        LocalDateTime day = FIRST_DAY.plusDays(row);
        long millis = day.toInstant(ZoneOffset.UTC).toEpochMilli();
        switch (className == null ? "" : className) {
            case "java.lang.String":
            case "java.lang.CharSequence":
                return fieldName + " " + pair;
            case "java.lang.Character":
                return (char) ('A' + row);
            case "java.lang.Integer":
                return pair * 10;
            case "java.lang.Long":
                return pair * 1000L;
            case "java.lang.Short":
                return (short) (pair * 3);
            case "java.lang.Byte":
                return (byte) pair;
            case "java.lang.Double":
            case "java.lang.Number":
                return pair * 12.5;
            case "java.lang.Float":
                return pair * 2.25f;
            case "java.math.BigDecimal":
                return new BigDecimal(pair * 1250).movePointLeft(2);
            case "java.math.BigInteger":
                return BigInteger.valueOf(pair * 100L);
            case "java.lang.Boolean":
                return row % 2 == 0;
            case "java.util.Date":
                return new java.util.Date(millis);
            case "java.sql.Date":
                return new java.sql.Date(millis);
            case "java.sql.Timestamp":
                return new Timestamp(millis);
            case "java.sql.Time":
                return new Time(millis);
            case "java.time.LocalDate":
                return LocalDate.from(day);
            case "java.time.LocalDateTime":
                return day;
            case "java.time.LocalTime":
                return LocalTime.from(day);
            default:
                return null;
        }
    }
}
