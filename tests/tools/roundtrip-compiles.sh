#!/usr/bin/env bash
# Every corpus report that the engine compiles as it is must still compile after the designer has
# read it and written it back. Exits 77 (skipped) when the corpus, Java or the engine jar is absent.
set -euo pipefail
jrxmlcat=$1
root=$2
baseline=$root/sidecar/src/test/resources/corpus-compile-baseline.txt
known=$(dirname "$0")/roundtrip-known-losses.txt
# shellcheck source=engine-inputs.sh
source "$(dirname "$0")/engine-inputs.sh" "$baseline"
(cd "$corpus" && find . -name '*.jrxml' | sort) | while read -r rel; do
  mkdir -p "$work/$(dirname "$rel")"
  "$jrxmlcat" roundtrip "$corpus/$rel" >"$work/$rel"
done
# Subreports, images and resources beside the reports stay where the reports expect them.
(cd "$corpus" && find . -type f ! -name '*.jrxml') | while read -r rel; do
  mkdir -p "$work/$(dirname "$rel")"
  cp "$corpus/$rel" "$work/$rel"
done

java -Djava.awt.headless=true -jar "$jar" compile-corpus "$work" 2>/dev/null >"$work/result.txt" || true
failed=0
while read -r report; do
  case "$report" in ''|'#'*) continue ;; esac
  if grep -q "^$report	" "$known"; then
    if grep -qxF "OK    $report" "$work/result.txt"; then
      echo "compiles again after a load and save; remove it from $(basename "$known"): $report"
      failed=1
    fi
    continue
  fi
  if ! grep -qxF "OK    $report" "$work/result.txt"; then
    echo "no longer compiles after a load and save: $report"
    grep -F "$report" "$work/result.txt" || true
    failed=1
  fi
done <"$baseline"
[ $failed = 0 ] && echo "every report that compiled before still compiles after a load and save"
exit $failed
