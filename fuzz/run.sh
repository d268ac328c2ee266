#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer and UBSan on) in
# build-fuzz/ and runs each for SECONDS (default 30). A crash leaves its input in build-fuzz/;
# such an input belongs as a fixture under tests/fixtures/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
EXTRA_PACKAGES="clang libclang-rt-14-dev"
BUILD_DIR=build-fuzz
CMAKE_EXTRA="-DGLEISTRON_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++"
source scripts/prepare.sh
for target in gtb2 legacy lsbfile route answers; do
    corpus="$BUILD_DIR/corpus/$target"
    mkdir -p "$corpus"
    cp -n fuzz/corpus/$target/* "$corpus"/ 2>/dev/null || true
    echo "fuzzing $target for $seconds s"
    (cd "$BUILD_DIR" && QT_LOGGING_RULES="*.debug=false" \
        ./bin/fuzz_$target -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=0 \
        "corpus/$target" 2>&1 | tail -3)
done
echo "fuzzing done: no crash"
