#!/usr/bin/env bash
# Every kind of number the reader takes (lengths and counts, which the engine reads as whole
# numbers; pen widths and font sizes, which it reads as floats) written in many ways, each in a
# report of its own: where the engine reads the number, the designer reads the same value without
# a word (a float compared at a float's precision); where the engine refuses the report, or reads
# a number that is not finite, the designer names the attribute. Reports the engine's checks of
# the design refuse (a column count below one) are left out. Saved without an edit, every report
# loads in the engine with the values the designer read (where the design checks allow them). Exits 77 (skipped) when Java or the
# engine jar is absent.
set -euo pipefail
jrxmlcat=$1
root=$2
jar=${QUILLMARK_SIDECAR_JAR:-$root/sidecar/target/sidecar.jar}
[ -e "$jar" ] || { echo "skipping: $jar is absent"; exit 77; }
command -v java >/dev/null || { echo "skipping: no java"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The texts, as an attribute value holds them (references as written).
texts=('5' '+5' ' 5 ' '&#9;5&#10;' '05' '-0' '5.0' '5.' '.5' '-.5' '5e0' '1e1' '1E1' '1e+1'
  '1e-1' '1e1f' '0x10' '0X10' '0x1p4' '0x1.8p1' '0x1p-2' '0x' '00x10' '+0x10' '1.5f' '1.5F'
  '1.5d' '2D' 'f' 'Infinity' '-Infinity' 'NaN' '-NaN' 'inf' 'nan' 'infinity' '١٢' '٥' '௧'
  '௦' '５' '5 5' '1_0' '1,5' '2147483647' '2147483648' '-2147483648' '-2147483649' '1e39'
  '1e-50' '3.4028235e38' '1.5e' 'e5' '-' '')
# Each kind: its name, whether the engine holds it as a float, the place and name of its value in
# the lines both sides print, and the report's parts around the text (root attributes, body).
kinds=(
  'x|whole|title/0|x||<title><band height="50"><staticText><reportElement x="@" y="0" width="100" height="20"/><text>t</text></staticText></band></title>'
  'bandHeight|whole|title|height||<title><band height="@"/></title>'
  'columnCount|whole|report|columnCount| columnWidth="1" columnCount="@"|'
  'sidePadding|whole|title/0|leftPadding||<title><band height="50"><staticText><reportElement x="0" y="0" width="100" height="20"/><box leftPadding="@"/><text>t</text></staticText></band></title>'
  'boxPadding|whole|title/0|leftPadding||<title><band height="50"><staticText><reportElement x="0" y="0" width="100" height="20"/><box padding="@"/><text>t</text></staticText></band></title>'
  'sidePen|float|title/0|rightPen.lineWidth||<title><band height="50"><staticText><reportElement x="0" y="0" width="100" height="20"/><box><rightPen lineWidth="@"/></box><text>t</text></staticText></band></title>'
  'linePen|float|title/0|pen.lineWidth||<title><band height="50"><line><reportElement x="0" y="0" width="100" height="20"/><graphicElement><pen lineWidth="@"/></graphicElement></line></band></title>'
  'fontSize|float|title/0|fontSize||<title><band height="50"><staticText><reportElement x="0" y="0" width="100" height="20"/><textElement><font size="@"/></textElement><text>t</text></staticText></band></title>'
  'styleFontSize|float|style:S|fontSize||<style name="S" fontSize="@"/>'
)
head='<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://jasperreports.sourceforge.net/jasperreports http://jasperreports.sourceforge.net/xsd/jasperreport.xsd" name="n"'
mkdir "$work/reports"
: >"$work/cases.txt"
for kind in "${kinds[@]}"; do
  IFS='|' read -r name type place value rootAttrs body <<<"$kind"
  for i in "${!texts[@]}"; do
    report="$name-$i.jrxml"
    printf '%s%s>%s</jasperReport>\n' "$head" "${rootAttrs//@/${texts[$i]}}" "${body//@/${texts[$i]}}" \
      >"$work/reports/$report"
    printf '%s\t%s\t%s\t%s\t%s\n' "$report" "$type" "$place" "$value" "${texts[$i]}" >>"$work/cases.txt"
  done
done

mkdir "$work/saved" "$work/read"
# Each report read by the designer on its own, as many at once as the machine has processors (a
# sanitized reader starts slowly), then gathered in the cases' order.
readOne() {
  {
    echo "## $1"
    "$jrxmlcat" values "$work/reports/$1" | sed 's/^/v\t/'
    "$jrxmlcat" warnings "$work/reports/$1" | sed 's/^/w\t/'
  } >"$work/read/$1.txt"
  "$jrxmlcat" roundtrip "$work/reports/$1" >"$work/saved/$1"
}
export -f readOne
export jrxmlcat work
cut -f1 "$work/cases.txt" | xargs -P "$(nproc)" -I{} bash -c 'readOne "$1"' _ {}
while IFS=$'\t' read -r report _; do
  cat "$work/read/$report.txt"
done <"$work/cases.txt" >"$work/designer.txt"
java -Djava.awt.headless=true -jar "$jar" read-values "$work/reports" >"$work/engine.txt" 2>/dev/null
java -Djava.awt.headless=true -jar "$jar" read-values "$work/saved" >"$work/saved.txt" 2>/dev/null

awk -F'\t' '
  FILENAME == ARGV[1] { type[$1] = $2; place[$1] = $3; name[$1] = $4; text[$1] = $5; order[++n] = $1; next }
  /^## / { report = substr($0, 4); next }
  FILENAME == ARGV[2] {
    if ($1 == "report" && $2 == "load") load[report] = $3
    else engine[report SUBSEP $1 SUBSEP $2] = $3
    next
  }
  FILENAME == ARGV[3] {
    if ($1 == "report" && $2 == "load") savedLoad[report] = $3
    else saved[report SUBSEP $1 SUBSEP $2] = $3
    next
  }
  $1 == "v" { designer[report SUBSEP $2 SUBSEP $3] = $4; next }
  $1 == "w" { warned[report] = warned[report] $2 " " }
  function same(r, e, d,   x, y, m) {
    if (e == d) return 1
    if (type[r] != "float" || e !~ /^-?[0-9.eE+-]+$/ || d !~ /^-?[0-9.eE+-]+$/) return 0
    x = e + 0; y = d + 0; m = (x < 0 ? -x : x); if ((y < 0 ? -y : y) > m) m = (y < 0 ? -y : y)
    return (x - y <= m * 1.2e-7 + 1e-45) && (y - x <= m * 1.2e-7 + 1e-45)
  }
  END {
    for (i = 1; i <= n; i++) {
      r = order[i]; key = r SUBSEP place[r] SUBSEP name[r]
      kind = r; sub(/-[0-9]+\.jrxml$/, "", kind); what = kind "=\"" text[r] "\""
      e = (key in engine) ? engine[key] : "(not read)"
      d = (key in designer) ? designer[key] : "(not read)"
      w = warned[r]
      if (r in load && load[r] ~ /JRValidationException/) { checked++; skipped++; continue }
      checked++
      if (r in load) {
        if (w == "") { printf "%s: the engine refuses it, the designer holds %s without a word\n", what, d; bad++ }
      } else if (e ~ /^-?(Infinity|NaN)$/) {
        if (w !~ /is not a finite number/) { printf "%s: the engine reads %s, the designer says: %s\n", what, e, (w == "" ? "nothing" : w); bad++ }
      } else if (!same(r, e, d) || w != "") {
        printf "%s: the engine reads %s, the designer %s%s\n", what, e, d, (w == "" ? "" : ", saying: " w); bad++
      }
      s = (key in saved) ? saved[key] : "(not read)"
      if (r in savedLoad && savedLoad[r] ~ /JRValidationException/) {
        continue
      } else if (r in savedLoad) {
        printf "%s: saved, the report does not load: %s\n", what, savedLoad[r]; bad++
      } else if (!same(r, s, d)) {
        printf "%s: saved, the engine reads %s where the designer read %s\n", what, s, d; bad++
      }
    }
    printf "%d numbers compared with the engine (%d the design checks refuse left out): %d differ\n", checked - skipped, skipped, bad + 0
    exit bad > 0
  }
 ' "$work/cases.txt" "$work/engine.txt" "$work/saved.txt" "$work/designer.txt"
