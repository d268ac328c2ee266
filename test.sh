#!/usr/bin/env bash
# Builds everything and runs every test headless. --sanitize builds with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/ and runs the same suite there.
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=build
for arg in "$@"; do
    case "$arg" in
        --sanitize) BUILD_DIR=build-sanitize; CMAKE_EXTRA="-DGLEISTRON_SANITIZE=ON" ;;
        *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
    esac
done

source scripts/prepare.sh

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout 600
