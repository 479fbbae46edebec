#!/usr/bin/env bash
# Builds a release of Lumaforge for Windows into dist/:
#   Lumaforge-<version>-setup.exe     the installer (NSIS)
#   Lumaforge-<version>-portable.zip  the program folder, to unpack and run anywhere
#   SHA256SUMS
# The version is the CMake project's. Two runs on one commit give the same program, language
# module, Update.dll, archive and installer, byte for byte, unless signed (time stamps come from the
# commit: SOURCE_DATE_EPOCH).
#
#   scripts/release.sh [--sign CERT KEY] [--build-dir DIR] [--dist DIR] [--no-installer]
#
# --sign signs the program, Update.dll, the uninstaller and the installer with Authenticode
# (osslsigncode); CERT is the certificate (PEM or DER, with its chain), KEY its private key (PEM).
# --build-dir builds in another folder than build/release; --no-installer makes the archive only.
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"

usage() { sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
build_dir="$root/build/release"
dist="$root/dist"
cert=""
key=""
installer=1
while [ $# -gt 0 ]; do
    case "$1" in
        --sign) [ $# -ge 3 ] || usage; cert=$(realpath "$2"); key=$(realpath "$3"); shift 3 ;;
        --build-dir) [ $# -ge 2 ] || usage; build_dir=$(realpath -m "$2"); shift 2 ;;
        --dist) [ $# -ge 2 ] || usage; dist=$(realpath -m "$2"); shift 2 ;;
        --no-installer) installer=0; shift ;;
        *) usage ;;
    esac
done
if [ -n "$cert" ]; then
    [ -f "$cert" ] || { echo "release: no certificate at $cert" >&2; exit 1; }
    [ -f "$key" ] || { echo "release: no key at $key" >&2; exit 1; }
fi

[ -n "${LUMAFORGE_SKIP_BOOTSTRAP:-}" ] || scripts/bootstrap.sh
# Every time stamp of the release is the commit's, unless the caller set one.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH

echo "== release: building in $build_dir"
cmake --preset release -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j"${LUMAFORGE_JOBS:-$(nproc)}" --target Lumaforge LumaforgeCHS
# LUMAFORGE_VERSION, LUMAFORGE_FILE_VERSION, LUMAFORGE_HOME_URL, LUMAFORGE_SUPPORT_EMAIL
source "$build_dir/generated/release.env"
name="Lumaforge-$LUMAFORGE_VERSION"

# The program folder as it ships: only what the program needs beside it, nothing a run left there.
stage="$build_dir/stage/$name"
rm -rf "$build_dir/stage"
mkdir -p "$stage/cache"
built="$build_dir/program"
for file in Lumaforge.exe Lumaforge.CHS Update.dll DudedOzodare-x64.exe DudedOzodare-x86.exe; do
    cp "$built/$file" "$stage/$file"
done
cp -r src/res/folder-icons "$stage/cache/icons"

sign() {
    local file=$1
    osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Lumaforge" -i "$LUMAFORGE_HOME_URL" \
        -in "$file" -out "$file.signed" >/dev/null
    mv "$file.signed" "$file"
}
if [ -n "$cert" ]; then
    echo "== release: signing the program and Update.dll"
    sign "$stage/Lumaforge.exe"
    sign "$stage/Update.dll"
fi

# The installer keeps the files' times: the commit's, as in the archive.
find "$build_dir/stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$dist"
rm -f "$dist/$name-setup.exe" "$dist/$name-portable.zip" "$dist/SHA256SUMS"
echo "== release: $name-portable.zip"
# Entries in name order, each with the commit's time and the same attributes, so that the archive
# depends on nothing but the files.
python3 - "$build_dir/stage" "$name" "$dist/$name-portable.zip" <<'EOF'
import os, sys, time, zipfile
stage, top, out = sys.argv[1:]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
paths = []
for folder, folders, files in os.walk(os.path.join(stage, top)):
    for name in folders + files:
        paths.append(os.path.relpath(os.path.join(folder, name), stage))
with zipfile.ZipFile(out, "w") as archive:
    for path in sorted(paths, key=lambda p: p.replace(os.sep, "/")):
        full = os.path.join(stage, path)
        arcname = path.replace(os.sep, "/") + ("/" if os.path.isdir(full) else "")
        info = zipfile.ZipInfo(arcname, stamp)
        info.create_system = 0  # MS-DOS: attributes as Windows reads them
        if os.path.isdir(full):
            info.external_attr = 0x10  # directory
            archive.writestr(info, b"")
        else:
            info.external_attr = 0x20  # archive
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(full, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
EOF

if [ "$installer" = 1 ]; then
    echo "== release: $name-setup.exe"
    defines=(
        -DVERSION="$LUMAFORGE_VERSION" -DFILE_VERSION="$LUMAFORGE_FILE_VERSION"
        -DPROGRAM_DIR="$stage" -DICON="$root/src/res/lumaforge.ico" -DOUT_FILE="$dist/$name-setup.exe"
        -DHOME_URL="$LUMAFORGE_HOME_URL" -DSUPPORT_EMAIL="$LUMAFORGE_SUPPORT_EMAIL"
    )
    if [ -n "$cert" ]; then
        # makensis signs the uninstaller it writes into the installer through this command.
        signer="$build_dir/sign-uninstaller.sh"
        printf '#!/bin/sh\nosslsigncode sign -certs "%s" -key "%s" -h sha256 -n Lumaforge -in "$1" -out "$1.signed" >/dev/null && mv "$1.signed" "$1"\n' \
            "$cert" "$key" >"$signer"
        chmod +x "$signer"
        defines+=(-DSIGN_COMMAND="$signer")
    fi
    makensis -V2 -INPUTCHARSET UTF8 "${defines[@]}" installer/lumaforge.nsi
    [ -z "$cert" ] || sign "$dist/$name-setup.exe"
fi

(cd "$dist" && sha256sum -- "$name"-* >SHA256SUMS)
echo "== release: $dist"
cat "$dist/SHA256SUMS"
