#!/usr/bin/env bash
# Builds sidecar/target/sidecar.jar and runs its tests against a throwaway PostgreSQL server on
# loopback. Exits non-zero on any failure. Needs: a JDK 17, Maven, PostgreSQL 15 server binaries
# (the tests that need a database skip, with a message, when PostgreSQL is not installed).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
started=$(date +%s)

# shellcheck source=../scripts/test-postgres.sh
source "$here/../scripts/test-postgres.sh"

trap stop_test_postgres EXIT

# shellcheck source=maven.sh
source "$here/maven.sh"

if [ -n "${QUILLMARK_TEST_PG_HOST:-}" ]; then
    echo "sidecar: using the PostgreSQL server at $QUILLMARK_TEST_PG_HOST:$QUILLMARK_TEST_PG_PORT"
elif test_postgres_installed; then
    start_test_postgres
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
