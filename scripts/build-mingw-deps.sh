#!/usr/bin/env bash
# Builds static PCRE2, minizip and libsodium for MinGW-w64 from Debian's source tarballs; a library
# already in PREFIX is left as it is.
# usage: build-mingw-deps.sh SRC_DIR PREFIX
set -euo pipefail
src=$1
prefix=$2
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
work="$src/work"
rm -rf "$work" && mkdir -p "$work" "$prefix/lib" "$prefix/include/minizip"

if [ ! -f "$prefix/lib/libpcre2-8.a" ]; then
    tar -xf "$src"/pcre2_*.orig.tar.* -C "$work"
    pcre=$(ls -d "$work"/pcre2-*)
    cmake -S "$pcre" -B "$work/pcre2-build" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=$cc \
        -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DPCRE2_BUILD_PCRE2GREP=OFF \
        -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=ON >/dev/null
    cmake --build "$work/pcre2-build" -j"$(nproc)" >/dev/null
    cmake --install "$work/pcre2-build" >/dev/null
    echo "build-mingw-deps: PCRE2 installed into $prefix"
fi

if [ ! -f "$prefix/lib/libminizip.a" ]; then
    tar -xf "$src"/zlib_*.orig.tar.* -C "$work"
    mz=$(ls -d "$work"/zlib-*)/contrib/minizip
    objs=()
    for f in unzip ioapi iowin32 zip; do
        $cc -O2 -c "$mz/$f.c" -o "$work/$f.o"
        objs+=("$work/$f.o")
    done
    $ar rcs "$prefix/lib/libminizip.a" "${objs[@]}"
    cp "$mz"/unzip.h "$mz"/ioapi.h "$mz"/iowin32.h "$mz"/zip.h "$prefix/include/minizip/"
    echo "build-mingw-deps: minizip installed into $prefix"
fi

# libsodium with Debian's own patches (its security fixes) applied and its build files made again,
# as Debian builds it (its source holds no configure script). Users of the static library define
# SODIUM_STATIC.
if [ ! -f "$prefix/lib/libsodium.a" ]; then
    tar -xf "$src"/libsodium_*.orig.tar.* -C "$work"
    sodium=$(ls -d "$work"/libsodium-*)
    tar -xf "$src"/libsodium_*.debian.tar.* -C "$sodium"
    if [ -f "$sodium/debian/patches/series" ]; then
        sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$sodium/debian/patches/series" | while read -r patch_name _; do
            patch -d "$sodium" -p1 -s <"$sodium/debian/patches/$patch_name"
        done
    fi
    # Its assertions name their source files: named from the source folder, the program does not
    # depend on where the library was built (the release is reproducible).
    (cd "$sodium" && autoreconf -fi >/dev/null 2>&1 && ./configure --host=x86_64-w64-mingw32 CC=$cc --prefix="$prefix" --disable-shared \
        --enable-static --disable-dependency-tracking CPPFLAGS="-fmacro-prefix-map=$sodium/=" >/dev/null &&
        make -j"$(nproc)" >/dev/null && make install >/dev/null)
    echo "build-mingw-deps: libsodium installed into $prefix"
fi
