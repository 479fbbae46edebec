#!/usr/bin/env bash
# Builds static PCRE2 and minizip for MinGW-w64 from Debian's source tarballs.
# usage: build-mingw-deps.sh SRC_DIR PREFIX
set -euo pipefail
src=$1
prefix=$2
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
work="$src/work"
rm -rf "$work" && mkdir -p "$work" "$prefix/lib" "$prefix/include/minizip"

tar -xf "$src"/pcre2_*.orig.tar.* -C "$work"
pcre=$(ls -d "$work"/pcre2-*)
cmake -S "$pcre" -B "$work/pcre2-build" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=$cc \
    -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2GREP=OFF \
    -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=ON >/dev/null
cmake --build "$work/pcre2-build" -j"$(nproc)" >/dev/null
cmake --install "$work/pcre2-build" >/dev/null

tar -xf "$src"/zlib_*.orig.tar.* -C "$work"
mz=$(ls -d "$work"/zlib-*)/contrib/minizip
objs=()
for f in unzip ioapi iowin32 zip; do
    $cc -O2 -c "$mz/$f.c" -o "$work/$f.o"
    objs+=("$work/$f.o")
done
$ar rcs "$prefix/lib/libminizip.a" "${objs[@]}"
cp "$mz"/unzip.h "$mz"/ioapi.h "$mz"/iowin32.h "$mz"/zip.h "$prefix/include/minizip/"
echo "build-mingw-deps: PCRE2 and minizip installed into $prefix"
