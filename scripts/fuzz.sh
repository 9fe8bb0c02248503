#!/usr/bin/env bash
# Builds the script parser's libFuzzer target with clang (address and undefined-behaviour
# sanitizers) and runs it for a bounded time, seeded with the schema corpus and the inputs kept
# from earlier finds.
#
#   scripts/fuzz.sh [seconds] [--keep]
#
# --keep copies every input that crashed, hung or ran out of memory into
# tests/engine/data/fuzz-regressions/, which a normal test replays. The build goes to build-fuzz/
# (or $FUZZ_BUILD_DIR). Exit status: 0 when nothing was found, 1 when something was, 77 when clang
# cannot build libFuzzer targets here.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
keep=no
[[ ${2:-} == --keep ]] && keep=yes
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
regressions=$root/tests/engine/data/fuzz-regressions

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found; install clang and libclang-rt-14-dev (scripts/setup.sh)"
    exit 77
fi
mkdir -p "$build"
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer - -o "$build/probe" 2>/dev/null; then
    echo "fuzz: clang++ cannot link libFuzzer targets (libclang-rt-14-dev missing?)"
    exit 77
fi

set -e
cmake -S "$root/tests/engine/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 >/dev/null

# Seeds: every corpus script and every kept find, in one flat folder.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$build/corpus" "$build/artifacts"
for file in "$root"/tests/engine/data/corpus/*/*/*.sql; do
    case_dir=$(dirname "$file")
    cp "$file" "$seeds/$(basename "$(dirname "$case_dir")")_$(basename "$case_dir")_$(basename "$file")"
done
cp "$regressions"/* "$seeds"/ 2>/dev/null || true

# A dictionary of the Firebird words the parser knows, and the words it reads as text.
{
    grep -o 'SYMBOL(sy[A-Za-z_0-9]*, "[^"]*")' "$root/engine/dbcIBParser.h" | sed -E 's/.*, ("[^"]*")\)/\1/'
    for word in SEQUENCE PACKAGE BODY TERM AUTODDL SQL DIALECT BLOBFILE COMMENT INPUT CONNECT RECONNECT \
        REINSERT ROLLBACK IDENTITY GENERATED ALWAYS START RESTART INCREMENT DETERMINISTIC ENGINE NAME \
        COLLATION SCHEMA USAGE GRANTED BLOCK STATEMENT TRANSACTION DISCONNECT DDL FIELD TEXT BINARY BLR \
        RESTRICT OFF LINGER; do
        echo "\"$word\""
    done
    printf '%s\n' '"SET TERM ^ ;"' '"SET TERM ; ^"' '"^"' '";"' '"--"' '"/*"' '"*/"' '"||"' '"_UTF8"' \
        '"0x"' "\"X'\"" '"\\""' "\"'\"" '"\\x0a"'
} >"$build/firebird.dict"

rm -f "$build"/artifacts/*
set +e
"$build/script_parser_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$build/firebird.dict" -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
    "$build/corpus" "$seeds" 2>"$build/fuzz.log"
status=$?
set -e
tail -n 15 "$build/fuzz.log"

finds=("$build"/artifacts/*)
if [[ ! -e ${finds[0]} ]]; then
    if ((status != 0)); then
        echo "fuzz: the fuzzer failed (status $status) without an input to show; see $build/fuzz.log"
        exit 1
    fi
    echo "fuzz: no crash in ${seconds}s"
    exit 0
fi
echo "fuzz: found ${#finds[@]} input(s):"
for find in "${finds[@]}"; do
    echo "  $find"
    if [[ $keep == yes ]]; then
        cp "$find" "$regressions/"
        echo "    kept as $regressions/$(basename "$find")"
    fi
done
[[ $keep == yes ]] || echo "fuzz: run with --keep to keep them as regression inputs"
exit 1
