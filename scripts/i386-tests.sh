#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A model made by the native build (build/) read on a 32-bit target: builds
# the core, the builder, the file layer and the model's tests for i386
# (-m32) in build-i386/, runs the tests over the native model, and compares
# what read_with_model prints (a digest of the whole model as read, and the
# reader's output on a text) with the native build's. The i386 programs run
# directly where the kernel runs them, else under qemu-i386. Exits 77
# (skipped) where there is no g++-multilib or no way to run them.
set -euo pipefail
cd "$(dirname "$0")/.."
model=build/share/bivano/greek.model
if [[ ! -f build/CMakeCache.txt ]]; then
    echo "The native build is missing: run ./test.sh (or configure build/ with -DBIVANO_BUILD_TESTS=ON) first." >&2
    exit 1
fi
cmake --build build --parallel "$(nproc)" --target bivano greek_model read_with_model > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main() { return 0; }\n' > "$work/probe.cpp"
if ! g++ -m32 "$work/probe.cpp" -o "$work/probe" 2> /dev/null; then
    echo "No 32-bit compiler (g++-multilib): skipped." >&2
    exit 77
fi
run=()
if ! "$work/probe" 2> /dev/null; then
    if command -v qemu-i386 > /dev/null && qemu-i386 -L / "$work/probe"; then
        run=(qemu-i386 -L /)
    else
        echo "This machine runs no i386 programs (no qemu-i386 either): skipped." >&2
        exit 77
    fi
fi
cmake -S tests/i386 -B build-i386 -DCMAKE_BUILD_TYPE=Release \
    -DBIVANO_WERROR="${BIVANO_WERROR:-OFF}" -DBIVANO_TEST_MODEL="$PWD/$model" > /dev/null
cmake --build build-i386 --parallel "$(nproc)"
"${run[@]}" build-i386/core_tests_i386 --gtest_brief=1
build/bivano latin < bench/accents_sample.txt > "$work/latin.txt"
build/tests/read_with_model "$model" < "$work/latin.txt" > "$work/native.txt"
"${run[@]}" build-i386/read_with_model "$model" < "$work/latin.txt" > "$work/i386.txt"
head -n 2 "$work/native.txt"
diff -u "$work/native.txt" "$work/i386.txt"
echo "The i386 build reads the native model the same."
