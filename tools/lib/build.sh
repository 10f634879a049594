# Builds of the shipped program and of the test bench. One toolchain, i686,
# for everything: the tests, the lab programs and the benchmark's programs are
# 32-bit programs like the shipped one, and they run the shipped file itself.

# orv_build_shipped BUILD: tools/build into BUILD; BUILD/ORVRemove.exe is what ships.
orv_build_shipped() {
  "$ORV_ROOT/tools/build" "$1" >/dev/null || { echo "build of ORVRemove.exe failed" >&2; return 1; }
}

# orv_configure_bench BUILD BENCH TYPE: configures the test bench in BENCH
# (build type TYPE) around the shipped BUILD/ORVRemove.exe.
orv_configure_bench() {
  local build=$1 bench=$2 type=$3
  cmake -S "$ORV_ROOT" -B "$bench" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE="$type" \
        -DCMAKE_TOOLCHAIN_FILE="$ORV_ROOT/cmake/toolchain-i686.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$ORV_ROOT/tools/wine-run" \
        -DORV_BUILD_TESTS=ON -DORV_SHIPPED_EXE="$build/ORVRemove.exe" >/dev/null ||
    { echo "cmake could not configure $bench" >&2; return 1; }
}

# orv_build_targets BENCH [TARGET...]: builds the targets (all without any),
# quietly; on failure shows the end of a serial rebuild's output.
orv_build_targets() {
  local bench=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$bench" "${targets[@]}" --parallel "$(nproc)" -- --no-print-directory >/dev/null 2>&1 ||
    { cmake --build "$bench" "${targets[@]}" -- --no-print-directory 2>&1 | tail -40
      echo "build in $bench failed" >&2; return 1; }
}
