#!/usr/bin/env bash
# Sets up this machine, builds Parvex and either starts it or runs every test.
#   ./build.sh run    install what is missing, build, start Parvex
#   ./build.sh test   install what is missing, build, run the whole test suite
#                     (normal build with the benchmarks' smoke runs, the Qt-free core again
#                     under ASan/UBSan, the engine's threaded tests under TSan, a bounded fuzz
#                     run), then build and check the package
#   ./build.sh tsan   install what is missing, build and run the engine's tests labelled
#                     "threads" under ThreadSanitizer alone (in build-tsan)
#   ./build.sh package  install what is missing, build, make build/parvex_1.1-N_amd64.deb and
#                     check it
set -euo pipefail
cd "$(dirname "$0")"

JOBS=${JOBS:-$(nproc)}
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config libsqlite3-dev
  qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev libxxhash-dev liburing-dev
  nlohmann-json3-dev python3-jsonschema
  fonts-dejavu-core xdg-utils
  dpkg-dev file desktop-file-utils appstream lintian dbus-daemon libfile-mimeinfo-perl
  btrfs-progs xfsprogs)

install_missing_packages() {
  ./install-packages.sh "${PACKAGES[@]}"
}

configure() { # dir, cmake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

configure_and_build() { # dir, cmake options...
  configure "$@"
  cmake --build "$1" -j "$JOBS"
}

# The Debian package from the normal build, then the checks a user's system would make.
package_and_check() {
  rm -f build/parvex_*.deb
  (cd build && cpack -G DEB >/dev/null)
  tests/package/check-package.sh build/parvex_*.deb
}

# The test builds keep line tables only (-g1): sanitizer reports still name files and lines,
# and the builds take about a quarter less time than with full debug information. The
# sanitizer builds optimise at -O1, which compiles faster and keeps their reports exact.
LINE_TABLES=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")

# ThreadSanitizer over the engine's tests labelled "threads": only what they need is built
# (target parvex_threads_tests), at -O1. The first race the sanitizer reports
# ends the test program with an error, so the run fails.
run_tsan_tests() {
  configure build-tsan -DPARVEX_CORE_ONLY=ON -DPARVEX_TSAN=ON -DPARVEX_BENCHMARKS=OFF \
    -DBUILD_TESTING=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  cmake --build build-tsan -j "$JOBS" --target parvex_threads_tests
  TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1 \
    ctest --test-dir build-tsan -L threads --no-tests=error --output-on-failure -j "$JOBS"
}

run_tests() {
  configure_and_build build-asan -DPARVEX_CORE_ONLY=ON -DPARVEX_SANITIZE=ON -DPARVEX_BENCHMARKS=OFF \
    -DBUILD_TESTING=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$JOBS"

  run_tsan_tests

  # The fuzz build needs its fuzzer alone: the rest of the core is built and tested above.
  configure build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DPARVEX_CORE_ONLY=ON \
    -DPARVEX_FUZZ=ON -DPARVEX_BENCHMARKS=OFF -DBUILD_TESTING=ON "${LINE_TABLES[@]}"
  cmake --build build-fuzz -j "$JOBS" --target tagdoc_fuzzer
  ctest --test-dir build-fuzz --output-on-failure

  # The Qt-free libraries' tests ran above under the sanitizers; this build adds the rest.
  configure_and_build build -DPARVEX_BENCHMARKS=ON -DBUILD_TESTING=ON -DPARVEX_CORE_TESTS=OFF \
    "${LINE_TABLES[@]}"
  ctest --test-dir build --output-on-failure -j "$JOBS"
  package_and_check
}

case "${1:-}" in
run)
  install_missing_packages
  configure_and_build build
  exec build/src/main/parvex
  ;;
test)
  install_missing_packages
  run_tests
  ;;
tsan)
  install_missing_packages
  run_tsan_tests
  ;;
package)
  install_missing_packages
  configure_and_build build
  package_and_check
  ;;
*)
  echo "usage: $0 run|test|tsan|package" >&2
  exit 2
  ;;
esac
