#!/usr/bin/env bash
# Times the sidecar: cold start of the process, then compile, fill and PDF export of a sample
# report in a warm process. Options go to the bench mode: --iterations N (20), --cold N (5).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ ! -f "$here/target/sidecar.jar" ]; then
    (cd "$here" && { mvn -B -q -o -Dstyle.color=never package -DskipTests 2>/dev/null \
        || mvn -B -q -Dstyle.color=never package -DskipTests; })
fi
exec java -Djava.awt.headless=true -jar "$here/target/sidecar.jar" bench "$@"
