#!/usr/bin/env bash
# What the designer reads from a corpus report must be what the engine prints with: the engine's
# compiled report, styles resolved as it fills (the sidecar's `read-values`), and the designer's reader (`jrxmlcat values`) print the
# page, the bands, every element's kind, geometry, colours, mode, font, alignment, line and box
# pens, and the data definitions of every report, and the two are compared value by value. A
# difference must be named, with why, in engine-value-differences.txt; a named difference that no
# longer occurs must be taken out of it. Reports the engine cannot load (their components need
# extensions the sidecar does not carry) are counted and left out. Exits 77 (skipped) when the
# corpus, Java or the engine jar is absent.
set -euo pipefail
jrxmlcat=$1
root=$2
known=$(dirname "$0")/engine-value-differences.txt
# shellcheck source=engine-inputs.sh
source "$(dirname "$0")/engine-inputs.sh"
fixtures=$(dirname "$0")/roundtrip-fixtures
mkdir "$work/reports"
cp -r "$corpus/." "$work/reports/"
mkdir "$work/reports/fixtures"
cp "$fixtures"/*.jrxml "$work/reports/fixtures/"

java -Djava.awt.headless=true -jar "$jar" read-values "$work/reports" >"$work/engine.txt" 2>/dev/null
(cd "$work/reports" && find . -name '*.jrxml' | sed 's|^\./||' | LC_ALL=C sort) | while read -r rel; do
  echo "## $rel"
  "$jrxmlcat" values "$work/reports/$rel"
done >"$work/designer.txt"

# Each line of both files: place, name, value (tabs between); "## report" starts a report.
awk -F'\t' -v known="$known" '
  BEGIN {
    while ((getline line < known) > 0) {
      if (line ~ /^#/ || line == "") continue
      split(line, f, "\t")
      nk++; kreport[nk] = f[1]; kplace[nk] = f[2]; kname[nk] = f[3]
      kengine[nk] = f[4]; kdesigner[nk] = f[5]; kwhy[nk] = f[6]; kused[nk] = 0
    }
  }
  /^## / { report = substr($0, 4); side = (FILENAME == ARGV[1]) ? "e" : "d"; reports[report] = 1; next }
  {
    key = report SUBSEP $1 SUBSEP $2
    if (side == "e") {
      if ($1 == "report" && $2 == "load") { unloadable[report] = 1; next }
      engine[key] = $3
    } else {
      designer[key] = $3
    }
    keys[key] = 1
  }
  END {
    for (key in keys) {
      split(key, k, SUBSEP)
      if (k[1] in unloadable) continue
      compared++
      e = (key in engine) ? engine[key] : "(not read)"
      d = (key in designer) ? designer[key] : "(not read)"
      if (e == d) continue
      differing++
      named = 0
      for (i = 1; i <= nk; i++) {
        if (k[1] ~ kreport[i] && k[2] ~ kplace[i] && k[3] ~ kname[i] && e ~ kengine[i] && d ~ kdesigner[i]) { named = i; break }
      }
      if (named) { kused[named]++; continue }
      unnamed++
      printf "differs: %s %s %s: engine %s, designer %s\n", k[1], k[2], k[3], e, d
    }
    for (r in unloadable) skipped++
    for (r in reports) total++
    for (i = 1; i <= nk; i++) {
      if (kused[i] == 0) {
        printf "no longer differs; remove it from the list: %s %s %s\n", kreport[i], kplace[i], kname[i]
        stale++
      } else {
        printf "named: %d values: %s\n", kused[i], kwhy[i]
      }
    }
    printf "compared %d values of %d reports (%d the engine cannot load left out): %d differ, %d of them named\n",
      compared, total - skipped, skipped, differing + 0, differing - unnamed
    exit (unnamed + stale > 0) ? 1 : 0
  }
' "$work/engine.txt" "$work/designer.txt"
