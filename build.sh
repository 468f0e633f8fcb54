#!/usr/bin/env bash
# Set-up and build for oru on a Debian machine.
#   ./build.sh demo   install what is missing, build, and start the editor on the English example,
#                     showing the sentences it generates
#   ./build.sh test   install what is missing, build, run the fuzz targets on their seed corpora
#                     and every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev
          python3-pyte python3-pexpect ncurses-term locales clang libclang-rt-14-dev
          man-db groff-base)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
}

# The README's commands build with warnings as errors and with everything a developer needs; a
# user's own plain CMake build needs none of it.
build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORU_WERROR=ON \
          -DORU_TESTS=ON -DORU_SANITIZE=ON -DORU_BENCH=ON >/dev/null
    cmake --build build "$@"
}

case "${1:-}" in
    demo)
        install_missing
        build --target oru
        cd examples/english && exec ../../build/oru -p english.prc
        ;;
    test)
        install_missing
        build
        fuzz/run.sh 0  # every fuzz target on its seed corpus
        ctest --test-dir build --output-on-failure -j 2
        ;;
    *)
        echo "usage: $0 demo|test" >&2
        exit 2
        ;;
esac
