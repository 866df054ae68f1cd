#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz) and runs them for SECONDS in
# all, half each: the reader alone (reader_fuzzer) and both conversions,
# the decoder, the front door and the layout repair (conversion_fuzzer).
#   scripts/fuzz.sh [SECONDS]        600 when not given
# New inputs are kept in build-fuzz/corpus/, starting from fuzz/corpus/;
# an input that breaks a promise or crashes is written to
# build-fuzz/artifacts/ and the script fails. Replay one with
#   build-fuzz/fuzz/reader_fuzzer build-fuzz/artifacts/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [[ $seconds -lt 2 ]]; then
    echo "usage: $0 [SECONDS]  (2 or more)" >&2
    exit 2
fi
BIVANO_FUZZ_DEPS=1 bash scripts/install-deps.sh run
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBIVANO_FUZZ=ON \
    -DBIVANO_BUILD_UI=OFF -DBIVANO_BUILD_CLI=OFF -DBIVANO_BUILD_TESTS=OFF \
    -DBIVANO_BUILD_BENCH=OFF > /dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target reader_fuzzer conversion_fuzzer
mkdir -p build-fuzz/artifacts build-fuzz/corpus/reader build-fuzz/corpus/conversion
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
    local fuzzer=$1 time=$2
    echo "== $fuzzer, $time s"
    # The first folder takes the new inputs; the seeds are only read.
    "build-fuzz/fuzz/$fuzzer" "build-fuzz/corpus/${fuzzer%_fuzzer}" fuzz/corpus/reader \
        -dict=fuzz/reader.dict -max_len=1024 -max_total_time="$time" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/artifacts/ 2>&1 | grep -Ev '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)'
}
run reader_fuzzer $((seconds - seconds / 2))
run conversion_fuzzer $((seconds / 2))
