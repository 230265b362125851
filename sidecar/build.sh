#!/usr/bin/env bash
# Builds target/sidecar.jar, the report engine the designer starts, when it is missing or older
# than its sources (pom.xml, src/main); the tests are not run (test.sh does that). Needs a JDK 17
# and Maven. The first build on a machine downloads JasperReports and the libraries it uses (about
# 70 MB) from Maven Central into ~/.m2; later builds work offline.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=maven.sh
source "$here/maven.sh"

jar="$here/target/sidecar.jar"
if [ -f "$jar" ] && [ -z "$(find "$here/pom.xml" "$here/src/main" -newer "$jar" -print -quit)" ]; then
    exit 0
fi
echo "sidecar: building target/sidecar.jar"
started=$(date +%s)
mvn_quiet package -DskipTests
echo "sidecar: built target/sidecar.jar in $(($(date +%s) - started)) s"
