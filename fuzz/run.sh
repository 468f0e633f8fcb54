#!/usr/bin/env bash
# Builds every fuzz target with clang++ and runs each for a short while on a copy of its seed
# corpus (fuzz/corpus/<target>/). Usage: fuzz/run.sh [seconds per target, default 30]
# With 0 seconds each target only replays its seed corpus, which is what the test command does:
# the same inputs every run, so a test run never depends on what a random search happens to find.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DORU_FUZZ=ON -DORU_TESTS=OFF -DORU_SANITIZE=OFF -DORU_BENCH=OFF -DORU_WERROR=ON >/dev/null
targets=()
for src in fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build build-fuzz --target "${targets[@]}"
failed=0
for t in "${targets[@]}"; do
    work="$(mktemp -d)"
    [ -d "fuzz/corpus/$t" ] && cp -r "fuzz/corpus/$t/." "$work/"
    if [ "$seconds" = 0 ]; then limit=(-runs=0); else limit=(-max_total_time="$seconds"); fi
    if ./build-fuzz/"$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$PWD/build-fuzz/$t-" \
        -print_final_stats=0 "$work" >"build-fuzz/$t.log" 2>&1; then
        echo "fuzz $t: clean ($(grep -c '' "build-fuzz/$t.log") log lines)"
    else
        echo "fuzz $t: FAILED, see build-fuzz/$t.log"; tail -30 "build-fuzz/$t.log"; failed=1
    fi
    rm -rf "$work"
done
exit "$failed"
