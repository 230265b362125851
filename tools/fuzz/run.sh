#!/usr/bin/env bash
# Builds the reader and writer fuzz target with clang and runs it, seeded with the corpus, the
# golden inputs and its own earlier findings (tools/fuzz/seeds).
#   tools/fuzz/run.sh [SECONDS]     (default 60)
# Needs clang and libFuzzer (Debian: clang, libclang-rt-14-dev). Findings are written to
# build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
corpus=${QUILLMARK_CORPUS:-$root/../shared/corpus}/jrxml-samples
command -v clang++ >/dev/null || { echo "clang++ is absent (apt-get install clang libclang-rt-14-dev)"; exit 1; }
build=$root/build-fuzz
cmake -S "$root/tools/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j4
mkdir -p "$build/seeds" "$build/findings"
find "$corpus" -name '*.jrxml' -exec cp {} "$build/seeds/" \;
cp "$root"/tests/model/golden/*.in.jrxml "$build/seeds/"
# Inputs the target found once, kept so that every run tries them again.
cp "$root"/tools/fuzz/seeds/*.jrxml "$build/seeds/"
cd "$build/findings"
mkdir -p "$build/work"
"$build/jrxml_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
  -artifact_prefix="$build/findings/" "$build/work" "$build/seeds" 2>&1 | tail -n 20
