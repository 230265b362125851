# Sourced by the test scripts: a throwaway PostgreSQL server on loopback, with a database
# "sample" holding a small "customers" table, for the tests that query a live database.
# start_test_postgres starts it in a temporary folder of its own and exports
# QUILLMARK_TEST_PG_HOST, _PORT, _DB, _USER and _PASSWORD; stop_test_postgres stops it and
# deletes the folder.
# Needs PostgreSQL 15's server programs in PGBIN.

PGBIN="${PGBIN:-/usr/lib/postgresql/15/bin}"
test_pg_as=()
test_pg_work=""
test_pg_data=""
test_pg_running=0

test_postgres_installed() {
    [ -x "$PGBIN/initdb" ]
}

test_pg_free_port() {
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

start_test_postgres() {
    local work
    work="$(mktemp -d "${TMPDIR:-/tmp}/quillmark-postgres.XXXXXX")"
    test_pg_work="$work"
    test_pg_data="$work/data"
    if [ "$(id -u)" = 0 ]; then
        # the server refuses to run as root
        chown -R postgres: "$work"
        test_pg_as=(runuser -u postgres --)
    fi
    local password="quillmark-test-pw"
    printf '%s\n' "$password" >"$work/pwfile"
    if [ "$(id -u)" = 0 ]; then
        chown postgres: "$work/pwfile"
    fi
    "${test_pg_as[@]}" "$PGBIN/initdb" -D "$test_pg_data" -U quillmark --pwfile="$work/pwfile" \
        --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --no-locale --no-sync \
        >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log"; return 1; }
    local port
    for _ in 1 2 3 4 5; do
        port="$(test_pg_free_port)"
        if "${test_pg_as[@]}" "$PGBIN/pg_ctl" -D "$test_pg_data" -l "$work/server.log" -w -t 30 \
            -o "-p $port -k $work -c listen_addresses=127.0.0.1 -c fsync=off" \
            start >/dev/null 2>&1; then
            test_pg_running=1
            break
        fi
    done
    if [ "$test_pg_running" != 1 ]; then
        cat "$work/server.log" >&2
        return 1
    fi
    "${test_pg_as[@]}" "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$work" -p "$port" \
        -U quillmark -d postgres -c "CREATE DATABASE sample" >/dev/null
    "${test_pg_as[@]}" "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$work" -p "$port" \
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

stop_test_postgres() {
    if [ "$test_pg_running" = 1 ]; then
        "${test_pg_as[@]}" "$PGBIN/pg_ctl" -D "$test_pg_data" -m immediate -w stop >/dev/null 2>&1 || true
        test_pg_running=0
    fi
    if [ -n "$test_pg_work" ]; then
        rm -rf "$test_pg_work"
        test_pg_work=""
    fi
}
