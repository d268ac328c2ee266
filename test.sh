#!/usr/bin/env bash
# Builds everything and runs every test headless. --sanitize builds with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/ and runs the same suite there; --tsan builds with
# ThreadSanitizer in build-tsan/ and runs the window and job tests there.
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=build
TESTS=()
for arg in "$@"; do
    case "$arg" in
        # The suite under the sanitizers, but for the fault suite, the package and the driver
        # test, which the plain run covers and which would double the time here.
        # A program that passes but whose exit LeakSanitizer flags for 152 bytes inside Qt's
        # own library (seen once, not reproducible) runs once more; our leaks fail twice.
        --sanitize) BUILD_DIR=build-sanitize; CMAKE_EXTRA="-DGLEISTRON_SANITIZE=ON"
                    TESTS=(-LE '^(faults|package|driver)$' --repeat until-pass:2) ;;
        # The window and the jobs under ThreadSanitizer: the tests where threads meet.
        --tsan) BUILD_DIR=build-tsan; CMAKE_EXTRA="-DGLEISTRON_TSAN=ON"
                TSAN_TESTS="tst_backupjobs tst_backuptab tst_mainwindow tst_lsbupdate tst_search tst_routestab"
                BUILD_TARGETS="$TSAN_TESTS gleistron-sim gleistron-cli ftd2xx"
                TESTS=(-R "^(${TSAN_TESTS// /|})\$")
                # Forks (QProcess) are exec'd at once; reports inside Debian's Qt, which is not
                # built with ThreadSanitizer, are suppressed.
                export TSAN_OPTIONS="die_after_fork=0 halt_on_error=1 suppressions=$PWD/tests/tsan.supp" ;;
        *) echo "usage: ./test.sh [--sanitize|--tsan]" >&2; exit 2 ;;
    esac
done

# The driver test's guest: QEMU, a static busybox for its initramfs, and the tools that build it;
# the package test's checkers: lintian, the AppStream and desktop entry validators, man and
# bash-completion.
if [[ $BUILD_DIR == build ]]; then
    EXTRA_PACKAGES="qemu-system-x86 busybox-static cpio binutils socat util-linux
                    lintian appstream desktop-file-utils man-db bash-completion"
fi
source scripts/prepare.sh

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout 600 "${TESTS[@]}"
