package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertEquals;

import org.junit.jupiter.api.Test;

/** Which query texts count as one statement, without a database. */
class SingleStatementTest {

    private static String outcome(String sql, boolean sqlServer) {
        try {
            return "ok " + SingleStatement.require(sql, sqlServer);
        } catch (RequestException e) {
            return e.getMessage();
        }
    }

    @Test
    void aSeparatorCountsOnlyOutsideStringsIdentifiersAndComments() {
        String more = SingleStatement.MORE_THAN_ONE;
        String ends = SingleStatement.ENDS_TRANSACTION;
        // text, PostgreSQL outcome, SQL Server outcome
        String[][] cases = {
            {"SELECT 1", "ok SELECT 1", "ok SELECT 1"},
            {"SELECT 1 ;  \n", "ok SELECT 1 ", "ok SELECT 1 "},
            {"SELECT 1; -- end\n/* c */", "ok SELECT 1", "ok SELECT 1"},
            {"SELECT 1;;", more, more},
            {"SELECT 1; SELECT 2", more, more},
            {"SELECT 'a;b', \"c;\"\"d\" -- ;\n", "ok SELECT 'a;b', \"c;\"\"d\" -- ;\n",
                "ok SELECT 'a;b', \"c;\"\"d\" -- ;\n"},
            {"SELECT 'it''s; fine'", "ok SELECT 'it''s; fine'", "ok SELECT 'it''s; fine'"},
            {"SELECT E'\\'; x'", "ok SELECT E'\\'; x'", more},
            {"SELECT /* a /* nested ; */ still; */ 1", "ok SELECT /* a /* nested ; */ still; */ 1",
                "ok SELECT /* a /* nested ; */ still; */ 1"},
            {"SELECT $q$ ; $q$, $$;$$", "ok SELECT $q$ ; $q$, $$;$$", more},
            {"SELECT $1; DROP TABLE t", more, more},
            {"SELECT [a;b] FROM t", more, "ok SELECT [a;b] FROM t"},
            {"COMMIT DELETE FROM t", "ok COMMIT DELETE FROM t", ends},
            {"SELECT 'commit', [rollback] FROM t", "ok SELECT 'commit', [rollback] FROM t",
                "ok SELECT 'commit', [rollback] FROM t"},
            {"SELECT 'unterminated; x", "ok SELECT 'unterminated; x",
                "ok SELECT 'unterminated; x"},
        };
        for (String[] c : cases) {
            assertEquals(c[1], outcome(c[0], false), "PostgreSQL: " + c[0]);
            assertEquals(c[2], outcome(c[0], true), "SQL Server: " + c[0]);
        }
    }
}
