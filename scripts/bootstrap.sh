#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build, run and test Lumaforge.
# Idempotent: every step checks first, so a second run takes a second or two.
set -euo pipefail
source "$(dirname "$0")/env.sh"
deps="$root/build/deps"
prefix="$deps/mingw"

packages=(
    cmake make g++ python3 git
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei locales
    libpcre2-dev nlohmann-json3-dev zlib1g-dev libminizip-dev libgtest-dev libgmock-dev
    dpkg-dev unzip
    libsodium-dev patch autoconf automake libtool nginx openssl
    clang libclang-rt-dev
    nsis osslsigncode
)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine reads the ANSI code page from the locale; the zh_CN.UTF-8 locale must exist for GBK (936).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    echo "bootstrap: generating the zh_CN.UTF-8 locale"
    sudo_if_needed sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
fi

# PCRE2, minizip and libsodium are not packaged for MinGW: build them from Debian's source packages.
if [ ! -f "$prefix/lib/libpcre2-8.a" ] || [ ! -f "$prefix/lib/libminizip.a" ] || [ ! -f "$prefix/lib/libsodium.a" ]; then
    "$root/scripts/add-deb-src.sh"
    mkdir -p "$deps/src"
    (cd "$deps/src" && { ls pcre2_*.orig.tar.* zlib_*.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only pcre2 zlib >/dev/null; })
    (cd "$deps/src" && { ls libsodium_*.orig.tar.* libsodium_*.debian.tar.* >/dev/null 2>&1 || apt-get source --download-only libsodium >/dev/null; })
    "$root/scripts/build-mingw-deps.sh" "$deps/src" "$prefix"
fi

# The Wine prefix (see env.sh), never in the user's home. Wine's own output goes to a log that is
# printed when a step fails, so a failure explains itself.
wine_log="$root/build/wine-setup.log"
wine_step() {
    local attempt
    for attempt in 1 2 3; do
        "$@" </dev/null >>"$wine_log" 2>&1 && return 0
        echo "bootstrap: '$*' failed (attempt $attempt)" >>"$wine_log"
        wineserver -k >/dev/null 2>&1 || true
        sleep 2
    done
    echo "bootstrap: '$*' failed; Wine said:" >&2
    tail -n 40 "$wine_log" >&2
    return 1
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "bootstrap: creating the Wine prefix"
    mkdir -p "$WINEPREFIX"
    # Judged by the registry it leaves behind: wineboot's exit code says little.
    wine_step sh -c 'wineboot -i; wineserver -w; test -f "$WINEPREFIX/system.reg"'
fi
# Every window opens inside one Wine desktop: it looks like Windows and, without a window manager,
# spares each new top-level window the X server's mapping delay.
if ! grep -q '"Default"="1024x768"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    if ! { wine_step wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
           wine_step wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f; }; then
        # The registry files are plain text that Wine reads at its next start.
        echo "bootstrap: writing the Wine desktop keys into user.reg directly"
        wineserver -k >/dev/null 2>&1 || true
        printf '\n[Software\\\\Wine\\\\Explorer] %s\n"Desktop"="Default"\n\n[Software\\\\Wine\\\\Explorer\\\\Desktops] %s\n"Default"="1024x768"\n' \
            "$(date +%s)" "$(date +%s)" >>"$WINEPREFIX/user.reg"
    fi
    wineserver -w || true
fi
