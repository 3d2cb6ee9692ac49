#!/bin/sh
# Builds a fuzzer with clang into build-fuzz/ and runs it for a bounded time
# (default 60 s). Exits non-zero on a crash, leak or sanitizer report.
#   fuzz/run.sh            the import-file reader, 60 seconds
#   fuzz/run.sh 300        five minutes
#   fuzz/run.sh 60 jet     the reader of old (Jet) databases
set -e
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-60}"
TARGET="${2:-import}"
BUILD_DIR=build-fuzz

if ! command -v clang++ >/dev/null 2>&1 \
    || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        clang libclang-rt-14-dev
fi

# The project adds the folder under ZANDOR_FUZZ; until it does, the folder
# builds on its own.
if grep -q "add_subdirectory(fuzz)" CMakeLists.txt; then
    SOURCE_DIR=.
else
    SOURCE_DIR=fuzz
fi
cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZANDOR_FUZZ=ON \
    > "$BUILD_DIR.configure.log" 2>&1 || { cat "$BUILD_DIR.configure.log"; exit 1; }
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
CORPUS="$BUILD_DIR/corpus-$TARGET"
SEEDS="$BUILD_DIR/seeds-$TARGET"
mkdir -p "$CORPUS"
case "$TARGET" in
    import)
        cmake --build "$BUILD_DIR" -j 2 --target fuzz_import
        python3 fuzz/make_seeds.py "$SEEDS"
        # -max_len covers the largest file the reader can use.
        MAX_LEN=10400 ;;
    jet)
        cmake --build "$BUILD_DIR" -j 2 --target fuzz_jet make_jet_seeds
        "$(find "$BUILD_DIR" -name make_jet_seeds -type f -perm -u+x | head -n 1)" "$SEEDS"
        # libmdb keeps its own caches for the life of the process.
        export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
        # Small databases of a dozen 4096-byte pages.
        MAX_LEN=65536 ;;
    *) echo "unknown fuzz target $TARGET (import, jet)"; exit 2 ;;
esac
FUZZER="$(find "$BUILD_DIR" -name "fuzz_$TARGET" -type f -perm -u+x | head -n 1)"
"$FUZZER" "$CORPUS" "$SEEDS" -max_total_time="$SECONDS_TO_RUN" \
    -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$BUILD_DIR/"
echo "corpus: $(ls "$CORPUS" | wc -l) files in $CORPUS"
