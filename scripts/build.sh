#!/usr/bin/env bash
# Configures and builds every tree: native (clang, sanitizers), Windows x86_64
# (run under Wine) and Windows i686 (compiled only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${RC_BUILD_DIR:-$root/build}
jobs=${RC_JOBS:-$(nproc)}

configure() { # dir, extra args...
    local dir=$1
    shift
    [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
}

configure "$build/native" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
configure "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DBUILD_TESTING=OFF

for tree in native win win32; do
    echo "== build $tree"
    cmake --build "$build/$tree" -j "$jobs"
done

# One ctest run covers both test trees.
cat >"$build/CTestTestfile.cmake" <<CTEST
subdirs("native" "win")
CTEST
echo "build: done"
