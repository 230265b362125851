package com.quillmark.sidecar;

import java.util.Locale;
import java.util.Set;

/**
 * Makes sure a query text for looking at data holds exactly one statement, before anything
 * reaches the database. A {@code ;} separates statements unless it stands in a string, a quoted
 * identifier, a dollar-quoted body or a comment; one {@code ;} at the end is allowed and dropped.
 *
 * <p>SQL Server does not need {@code ;} between statements, and its read-only setting is only a
 * hint, so there a bare COMMIT or ROLLBACK (reserved words in its dialect) is refused as well:
 * either would end the transaction that is rolled back after the query.
 */
final class SingleStatement {

    static final String MORE_THAN_ONE = "The query holds more than one statement. Only a single "
            + "query can run here; remove everything after the first \";\".";
    static final String ENDS_TRANSACTION = "The query ends its transaction (COMMIT or ROLLBACK). "
            + "Only a single query can run here.";

    private static final Set<String> TRANSACTION_END = Set.of("COMMIT", "ROLLBACK");

    private final String sql;
    private final boolean sqlServer;
    private int pos;

    private SingleStatement(String sql, boolean sqlServer) {
        this.sql = sql;
        this.sqlServer = sqlServer;
    }

    /** The statement without a trailing {@code ;}; refuses a text with more than one. */
    static String require(String sql, boolean sqlServer) throws RequestException {
        return new SingleStatement(sql, sqlServer).scan();
    }

    private String scan() throws RequestException {
        int separator = -1;
        while (pos < sql.length()) {
            char c = sql.charAt(pos);
            if (Character.isWhitespace(c)) {
                pos++;
                continue;
            }
            if (skipComment()) {
                continue;
            }
            if (separator >= 0) {
                throw new RequestException(MORE_THAN_ONE);
            }
            if (c == ';') {
                separator = pos++;
            } else if (c == '\'') {
                skipQuoted('\'', isEscapeString());
            } else if (c == '"') {
                skipQuoted('"', false);
            } else if (c == '[' && sqlServer) {
                skipQuoted(']', false);
            } else if (c == '$' && !sqlServer && skipDollarQuoted()) {
                continue;
            } else if (isWordChar(c)) {
                int start = pos;
                while (pos < sql.length() && isWordChar(sql.charAt(pos))) {
                    pos++;
                }
                String word = sql.substring(start, pos).toUpperCase(Locale.ROOT);
                if (sqlServer && TRANSACTION_END.contains(word)) {
                    throw new RequestException(ENDS_TRANSACTION);
                }
            } else {
                pos++;
            }
        }
        return separator < 0 ? sql : sql.substring(0, separator);
    }

    /** Skips a comment at the position; false when there is none. Block comments nest. */
    private boolean skipComment() {
        if (sql.startsWith("--", pos)) {
            int end = sql.indexOf('\n', pos);
            pos = end < 0 ? sql.length() : end + 1;
            return true;
        }
        if (!sql.startsWith("/*", pos)) {
            return false;
        }
        int depth = 0;
        while (pos < sql.length()) {
            if (sql.startsWith("/*", pos)) {
                depth++;
                pos += 2;
            } else if (sql.startsWith("*/", pos)) {
                pos += 2;
                if (--depth == 0) {
                    return true;
                }
            } else {
                pos++;
            }
        }
        return true; // unterminated: the rest is comment
    }

    /** PostgreSQL's E'...' strings take backslash escapes. */
    private boolean isEscapeString() {
        return !sqlServer && pos > 0 && (sql.charAt(pos - 1) == 'E' || sql.charAt(pos - 1) == 'e')
                && (pos < 2 || !isWordChar(sql.charAt(pos - 2)));
    }

    /** Skips from an opening quote past its closing one; a doubled closing quote is kept in. */
    private void skipQuoted(char close, boolean backslashEscapes) {
        pos++;
        while (pos < sql.length()) {
            char c = sql.charAt(pos++);
            if (backslashEscapes && c == '\\') {
                pos++;
            } else if (c == close) {
                if (pos < sql.length() && sql.charAt(pos) == close) {
                    pos++;
                } else {
                    return;
                }
            }
        }
    }

    /** Skips a PostgreSQL $tag$...$tag$ body; false when the {@code $} starts none. */
    private boolean skipDollarQuoted() {
        if (pos > 0 && isWordChar(sql.charAt(pos - 1))) {
            return false; // part of an identifier such as a$b
        }
        int end = pos + 1;
        if (end < sql.length() && Character.isDigit(sql.charAt(end))) {
            return false; // a positional parameter such as $1
        }
        while (end < sql.length()
                && (Character.isLetterOrDigit(sql.charAt(end)) || sql.charAt(end) == '_')) {
            end++;
        }
        if (end >= sql.length() || sql.charAt(end) != '$') {
            return false;
        }
        String tag = sql.substring(pos, end + 1);
        int close = sql.indexOf(tag, end + 1);
        pos = close < 0 ? sql.length() : close + tag.length();
        return true;
    }

    private static boolean isWordChar(char c) {
        return Character.isLetterOrDigit(c) || c == '_' || c == '$' || c == '#' || c == '@';
    }
}
