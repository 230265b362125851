#!/usr/bin/env bash
# The include check on small source trees: each upward include is caught and named, and the
# includes the rule allows pass. Usage: check-includes-test.sh PATH_TO_CHECK_INCLUDES
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# tree: a fresh src/ with the folders and one header in each.
tree() {
  rm -rf "$work/src"
  for folder in model document workspace edits widgets app canvas engine inspector setup; do
    mkdir -p "$work/src/$folder"
    echo '#pragma once' >"$work/src/$folder/Header.h"
  done
}

# expect PASS|FAIL FILE LINE: writes LINE into FILE of a fresh tree and runs the check.
expect() {
  local outcome=$1 file=$2 text=$3
  tree
  printf '#include <QString>\n%s\n' "$text" >"$work/src/$file"
  local output status
  output=$("$check" "$work/src" 2>&1)
  status=$?
  if [ "$outcome" = PASS ] && [ $status -ne 0 ]; then
    echo "FAILED: $file with '$text' should pass: $output"
    failures=$((failures + 1))
  elif [ "$outcome" = FAIL ]; then
    if [ $status -eq 0 ]; then
      echo "FAILED: $file with '$text' should fail"
      failures=$((failures + 1))
    elif ! grep -q "src/$file:2:" <<<"$output"; then
      echo "FAILED: $file with '$text' is not named with its line: $output"
      failures=$((failures + 1))
    fi
  fi
}

expect PASS main.cpp '#include "app/Header.h"'
expect PASS app/Main.cpp '#include "canvas/Header.h"'
expect PASS app/Main.cpp '#include "Header.h"'
expect PASS canvas/View.cpp '#include "widgets/Header.h"'
expect PASS canvas/View.cpp '#include "engine/Header.h"'
expect PASS widgets/Part.cpp '#include "workspace/Header.h"'
expect PASS workspace/Model.cpp '#include "document/Header.h"'
expect PASS document/Store.cpp '#include "model/Header.h"'
expect PASS model/Value.cpp '#include <gtest/gtest.h>'
expect PASS canvas/View.cpp '#include "../widgets/Header.h"'

expect FAIL canvas/View.cpp '#include "app/Header.h"'
expect FAIL engine/Sheet.h '  #  include <app/Header.h>'
expect FAIL canvas/View.cpp '#include "../app/Header.h"'
expect FAIL widgets/Part.cpp '#include "app/Header.h"'
expect FAIL widgets/Part.cpp '#include "canvas/Header.h"'
expect FAIL workspace/Model.h '#include "widgets/Header.h"'
expect FAIL document/Store.cpp '#include "workspace/Header.h"'
expect FAIL document/Store.cpp '#include "canvas/Header.h"'
expect FAIL model/Value.h '#include "document/Header.h"'
expect FAIL model/Value.h '#include "./../app/Header.h"'

expect PASS edits/Write.cpp '#include "workspace/Header.h"'
expect PASS inspector/Card.cpp '#include "edits/Header.h"'
expect FAIL edits/Write.cpp '#include "widgets/Header.h"'
expect FAIL widgets/Part.cpp '#include "edits/Header.h"'

# circle OUTCOME FILE:INCLUDE ...: a fresh tree with each include written into its file, checked
# as a whole; a circle must be named at the first include's file and line.
circle() {
  local outcome=$1
  shift
  tree
  local entry
  for entry in "$@"; do
    printf '#include <QString>\n#include "%s"\n' "${entry#*:}" >>"$work/src/${entry%%:*}"
  done
  local output status
  output=$("$check" "$work/src" 2>&1)
  status=$?
  if [ "$outcome" = PASS ] && [ $status -ne 0 ]; then
    echo "FAILED: $* should pass: $output"
    failures=$((failures + 1))
  elif [ "$outcome" = FAIL ]; then
    if [ $status -eq 0 ]; then
      echo "FAILED: $* should fail as a circle"
      failures=$((failures + 1))
    elif ! grep -q "src/${1%%:*}:2: .*again" <<<"$output"; then
      echo "FAILED: $* is not named as a circle at its line: $output"
      failures=$((failures + 1))
    fi
  fi
}

circle PASS canvas/A.cpp:engine/Header.h engine/B.cpp:widgets/Header.h
circle PASS canvas/A.cpp:engine/Header.h setup/C.cpp:engine/Header.h inspector/D.cpp:setup/Header.h
circle FAIL canvas/A.cpp:engine/Header.h engine/B.cpp:canvas/Header.h
circle FAIL inspector/A.cpp:setup/Header.h setup/B.cpp:canvas/Header.h canvas/C.h:inspector/Header.h
circle FAIL engine/A.cpp:../canvas/Header.h canvas/B.cpp:engine/Header.h

if [ $failures -gt 0 ]; then
  exit 1
fi
echo "the include check catches every upward include and every circle of folders"
