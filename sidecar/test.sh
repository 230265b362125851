#!/usr/bin/env bash
# Builds sidecar/target/sidecar.jar and runs its tests against a throwaway PostgreSQL server on
# loopback. Exits non-zero on any failure. Needs: a JDK 17, Maven, PostgreSQL 15 server binaries
# (the tests that need a database skip, with a message, when PostgreSQL is not installed).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
started=$(date +%s)
PGBIN="${PGBIN:-/usr/lib/postgresql/15/bin}"

work="$(mktemp -d "${TMPDIR:-/tmp}/quillmark-sidecar-test.XXXXXX")"
pg_as=()
pg_data="$work/pg/data"
pg_running=0

cleanup() {
    if [ "$pg_running" = 1 ]; then
        "${pg_as[@]}" "$PGBIN/pg_ctl" -D "$pg_data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

free_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

start_postgres() {
    mkdir -p "$work/pg"
    if [ "$(id -u)" = 0 ]; then
        # the server refuses to run as root
        chown -R postgres: "$work"
        pg_as=(runuser -u postgres --)
    fi
    local password="quillmark-test-pw"
    printf '%s\n' "$password" >"$work/pg/pwfile"
    if [ "$(id -u)" = 0 ]; then
        chown postgres: "$work/pg/pwfile"
    fi
    "${pg_as[@]}" "$PGBIN/initdb" -D "$pg_data" -U quillmark --pwfile="$work/pg/pwfile" \
        --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --no-locale --no-sync \
        >"$work/pg/initdb.log" 2>&1 || { cat "$work/pg/initdb.log"; return 1; }
    local port attempt
    for attempt in 1 2 3 4 5; do
        port="$(free_port)"
        if "${pg_as[@]}" "$PGBIN/pg_ctl" -D "$pg_data" -l "$work/pg/server.log" -w -t 30 \
            -o "-p $port -k $work/pg -c listen_addresses=127.0.0.1 -c fsync=off" \
            start >/dev/null 2>&1; then
            pg_running=1
            break
        fi
    done
    if [ "$pg_running" != 1 ]; then
        cat "$work/pg/server.log" >&2
        return 1
    fi
    "${pg_as[@]}" "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$work/pg" -p "$port" \
        -U quillmark -d postgres -c "CREATE DATABASE sample" >/dev/null
    "${pg_as[@]}" "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$work/pg" -p "$port" \
        -U quillmark -d sample >/dev/null <<'SQL'
CREATE TABLE customers (
    id      integer PRIMARY KEY,
    name    text NOT NULL,
    city    text,
    balance numeric(10, 2),
    joined  date,
    active  boolean
);
INSERT INTO customers VALUES
    (1, 'Ada Lovelace',   'London', 1250.50, '2021-03-14', true),
    (2, 'Alan Turing',    'Wilmslow', 99.00, '2022-06-23', true),
    (3, 'Grace Hopper',   NULL,       0.00,  '2020-12-09', false),
    (4, 'Edsger Dijkstra','Nuenen',   12.75, '2023-05-11', true),
    (5, 'Barbara Liskov', 'Boston',   NULL,  NULL,         NULL);
SQL
    export QUILLMARK_TEST_PG_HOST=127.0.0.1
    export QUILLMARK_TEST_PG_PORT="$port"
    export QUILLMARK_TEST_PG_DB=sample
    export QUILLMARK_TEST_PG_USER=quillmark
    export QUILLMARK_TEST_PG_PASSWORD="$password"
}

# shellcheck source=maven.sh
source "$here/maven.sh"

if [ -x "$PGBIN/initdb" ]; then
    start_postgres
else
    echo "sidecar: PostgreSQL not found in $PGBIN; the database tests will be skipped"
fi

status=0
rm -rf "$here/target/surefire-reports"
mvn_quiet package || status=$?

# Maven is quiet; print what ran from the test reports, with the reason of each skip.
reports="$here/target/surefire-reports"
if [ -d "$reports" ]; then
    tests=0 failures=0 errors=0 skipped=0
    for f in "$reports"/TEST-*.xml; do
        [ -e "$f" ] || continue
        head="$(grep -m1 '<testsuite' "$f")"
        get() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$head"; }
        tests=$((tests + $(get tests)))
        failures=$((failures + $(get failures)))
        errors=$((errors + $(get errors)))
        skipped=$((skipped + $(get skipped)))
        sed -n 's/.*Assumption failed: \(.*\)$/sidecar: skipped: \1/p' "$f" | sort -u
    done
    failed=$((failures + errors))
    echo "sidecar: $((tests - failed - skipped)) passed, $failed failed, $skipped skipped"
    [ "$failed" = 0 ] || status=1
    if [ "$tests" = 0 ]; then
        echo "sidecar: no test ran" >&2
        status=1
    fi
else
    echo "sidecar: no test reports were written" >&2
    status=1
fi

echo "sidecar: test.sh took $(($(date +%s) - started)) s"
exit "$status"
