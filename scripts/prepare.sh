# Sourced by run.sh and test.sh: installs what is missing, then configures and builds.
# BUILD_DIR and CMAKE_EXTRA may be set by the caller.

# help2man makes the tools' manual pages from their --help.
packages=(cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-tools-dev
          qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev poppler-utils ccache
          help2man ${EXTRA_PACKAGES:-})

missing=()
for p in "${packages[@]}"; do
    # No pipe into grep -q: under pipefail an early exit of grep fails the query.
    [[ $(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# Builds of another clone of the tree, or of the same sources under another build folder, share
# their compiled objects: paths below the tree are hashed relative to it.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
BUILD_DIR=${BUILD_DIR:-build}
if [[ ! -f "$BUILD_DIR/CMakeCache.txt" ]]; then
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        ${CMAKE_EXTRA:-} >/dev/null
fi
# Progress lines are dropped; warnings and errors stay.
# BUILD_TARGETS, when set, limits the build to those targets.
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$BUILD_DIR" -j"$(nproc)" "${targets[@]}" 2>&1 | { grep -v -E '^\[ *[0-9]+%\]' || true; }
