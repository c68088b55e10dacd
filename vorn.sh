#!/usr/bin/env bash
# Vorn's build commands for a Debian 12 machine. Each installs the Debian packages that are
# missing (as root or through sudo), configures and builds.
#   ./vorn.sh run     build, install for this user under $VORN_PREFIX (default ~/.local: the
#                     program in lib/vorn, its menu entry and icon in share) and start the
#                     installed program: the notes live beside it
#   ./vorn.sh test    build with AddressSanitizer and UndefinedBehaviorSanitizer, run every test;
#                     then the threaded ones again under ThreadSanitizer
#   ./vorn.sh bench   build optimised and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
    fonts-dejavu-core fonts-wqy-microhei)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool x11-utils
    openbox imagemagick trayer python3 python3-aiosmtpd swaks curl desktop-file-utils clang
    libclang-rt-14-dev)
# postfix only for its load tools smtp-source and smtp-sink; no mail daemon is started.
BENCH_PACKAGES=(libbenchmark-dev python3 xvfb x11-utils trayer postfix)

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q \
        "${missing[@]}"
}

build() { # build <folder> <cmake options>...
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja "$@"
    cmake --build "$folder"
}

case "${1:-}" in
run)
    ensure_packages "${BUILD_PACKAGES[@]}"
    build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_BUILD_TESTS=OFF
    prefix=${VORN_PREFIX:-$HOME/.local}
    cmake --install build/release --prefix "$prefix"
    exec "$prefix/lib/vorn/vorn"
    ;;
test)
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build/test -DCMAKE_BUILD_TYPE=Debug -DVORN_SANITIZE=ON -DVORN_BUILD_BENCH=ON
    (cd build/test &&
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
            ctest --output-on-failure -j "$(nproc)")
    # The tests of code that runs on several threads, again under ThreadSanitizer.
    cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_TSAN=ON
    cmake --build build/tsan --target vorn_thread_tests
    (cd build/tsan &&
        TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/../../tests/tsan.supp" \
            ctest --output-on-failure -L threads -j "$(nproc)")
    # The parsers of untrusted text under libFuzzer, which needs clang.
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DVORN_FUZZ=ON -DVORN_BUILD_TESTS=OFF
    cmake --build build/fuzz --target vorn_fuzzers
    tests/fuzz/run_fuzzers.sh build/fuzz
    ;;
bench)
    ensure_packages "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    build build/bench -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=ON
    bench/index_vs_python.sh build/bench/bench/bench_storage
    bench/startup_vs_floor.sh build/bench/src/app/vorn build/bench/bench/bench_floor_windows \
        build/bench/bench/bench_save_sequence
    build/bench/bench/bench_snapping
    bench/smtp_vs_sink.sh build/bench/bench/bench_smtp_server
    build/bench/bench/bench_colourpicker
    exec bench/drag_under_xvfb.sh build/bench/bench/bench_drag
    ;;
*)
    echo "usage: $0 run | test | bench" >&2
    exit 2
    ;;
esac
