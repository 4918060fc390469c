#!/usr/bin/env bash
# Configures and builds every tree: native (clang, sanitizers, Debug), Windows
# x86_64 (optimised with debug information, run under Wine) and Windows i686
# (compiled only). The Windows trees are built as users get the programs; the
# `dist` target strips them and keeps their debug information apart.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RC_BUILD_DIR:-$root/build}
jobs=${RC_JOBS:-$(nproc)}

# ccache, when there, keeps rebuilds short. Paths inside the checkout are
# hashed relative to the build folder, so checkouts side by side share
# objects; without NOHASHDIR the -g builds would hash each checkout's folder.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure() { # dir, build type, extra args...
    local dir=$1 type=$2
    shift 2
    local cached=""
    [ -f "$dir/CMakeCache.txt" ] &&
        cached=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$dir/CMakeCache.txt")
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
    elif [ "$cached" != "$type" ]; then
        # A tree from before keeps its compiler; only the build type changes.
        echo "== reconfigure $dir as $type (was ${cached:-none})"
        cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" >/dev/null
    fi
}

configure "$build/native" Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
configure "$build/win" RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
configure "$build/win32" RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DBUILD_TESTING=OFF

for tree in native win win32; do
    echo "== build $tree"
    cmake --build "$build/$tree" -j "$jobs"
done

# One ctest run covers both test trees.
cat >"$build/CTestTestfile.cmake" <<CTEST
subdirs("native" "win")
CTEST
echo "build: done"
