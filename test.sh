#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Run as root (as CI does), the tests themselves run as an unprivileged user with
# a throw-away home, so that file permissions bind them as they bind a user.
# NIMBREL_TEST_AS_ROOT=1 keeps them as root (the permission tests then skip).
# --sanitize (first argument) builds into build-sanitize with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the same suite there; the first finding
# fails the test that met it. Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"

SANITIZE=
if [ "${1:-}" = "--sanitize" ]; then
  SANITIZE=1
  shift
fi

# Qt's test macros end a test with a plain return on failure, which GoogleTest
# counts as a pass: the tests use GoogleTest assertions only.
qt_test_macros='\b(QTRY_[A-Z_]+|QVERIFY(2|_[A-Z_]+)?|QCOMPARE(_[A-Z]+)?|QFAIL|QSKIP|QEXPECT_FAIL)\b'
if grep -rnE "$qt_test_macros" tests/ >&2; then
  echo "test.sh: the lines above use Qt's test macros, which pass a failing GoogleTest test." >&2
  echo "test.sh: use GoogleTest assertions; wait with ASSERT_TRUE(QTest::qWaitFor(...)) or tests/common/WaitFor.h." >&2
  exit 1
fi

./scripts/install-deps
if [ -n "$SANITIZE" ]; then
  BUILD_DIR=${NIMBREL_BUILD_DIR:-build-sanitize}
  # The benchmarks are no tests, and timings under the sanitizers mean nothing.
  BUILD_OPTIONS=(-DNIMBREL_SANITIZE=ON -DNIMBREL_BENCH=OFF)
  # Leaks are reported when a test program ends; what the system's libraries
  # hold is suppressed by name in the file below (each line says why).
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$(pwd)/tests/common/lsan.supp:print_suppressions=0
else
  BUILD_DIR=${NIMBREL_BUILD_DIR:-build}
  BUILD_OPTIONS=(-DNIMBREL_SANITIZE=OFF -DNIMBREL_BENCH=ON)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=ON -DNIMBREL_TOOLS=ON "${BUILD_OPTIONS[@]}"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

if [ "$(id -u)" -ne 0 ] || [ -n "${NIMBREL_TEST_AS_ROOT:-}" ]; then
  cd "$BUILD_DIR"
  exec ctest --output-on-failure --parallel "$(nproc)" "$@"
fi

TEST_USER=nobody
TEST_GROUP=$(id -gn "$TEST_USER")
as_test_user() {
  setpriv --reuid="$TEST_USER" --regid="$TEST_GROUP" --clear-groups "$@"
}
if ! as_test_user test -r "$BUILD_DIR/CTestTestfile.cmake" -a -r tests/common/Fixture.h; then
  echo "test.sh: user $TEST_USER cannot read $(pwd) and its build tree; put the tree where every user" >&2
  echo "test.sh: may read it, or set NIMBREL_TEST_AS_ROOT=1 to run the tests as root." >&2
  exit 1
fi

# Test discovery writes its lists beside the test programs: let root write them
# now, so the test user finds them up to date and only needs Testing/.
(cd "$BUILD_DIR" && ctest -N >/dev/null)
mkdir -p "$BUILD_DIR/Testing"
chown -R "$TEST_USER:$TEST_GROUP" "$BUILD_DIR/Testing"
# The package tests install and pack the build, and both write the list of
# installed files into the build folder.
touch "$BUILD_DIR/install_manifest.txt"
chown "$TEST_USER:$TEST_GROUP" "$BUILD_DIR/install_manifest.txt"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/home" "$scratch/tmp" "$scratch/runtime"
chown -R "$TEST_USER:$TEST_GROUP" "$scratch"
chmod 711 "$scratch"

cd "$BUILD_DIR"
as_test_user env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME \
  HOME="$scratch/home" USER="$TEST_USER" LOGNAME="$TEST_USER" TMPDIR="$scratch/tmp" \
  XDG_RUNTIME_DIR="$scratch/runtime" \
  ctest --output-on-failure --parallel "$(nproc)" "$@"

# The two-user tests (named TwoUsers…) play root in folders of another user,
# "nobody"; as that user they skip, so the whole suite runs them again as root.
if [ $# -eq 0 ]; then
  ctest --output-on-failure -R 'TwoUsers'
fi
