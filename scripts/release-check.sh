#!/usr/bin/env bash
# The release as a user meets it, run by scripts/test.sh after the Windows build:
#  1. Reproducible: a release made from build/windows (built by the tests) and one built afresh in a
#     folder of its own give the same program, language module, Update.dll, portable archive and
#     installer.
#  2. Signable: the release signed with a certificate made here for the run (none is kept) passes
#     `osslsigncode verify`, the uninstaller the installer writes included.
#  3. In a fresh Wine prefix of its own: `setup.exe /S` installs the program into Program Files with
#     its uninstall key; the next version over it keeps the cache and the installation records; the
#     program starts from Program Files and from the unpacked portable archive anywhere; the silent
#     uninstaller keeps the downloaded packages and the customisations, and with "/TAKEBACK
#     /DELETEPACKAGES" it takes back the customisations through the program and leaves no file
#     and no registry key behind (listings before and after compared).
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
export LUMAFORGE_SKIP_BOOTSTRAP=1
work="$root/build/release-check"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "release-check: FAILED: $*" >&2; exit 1; }

echo "== release check: two builds compared"
scripts/release.sh --build-dir "$root/build/windows" --dist "$work/dist-a" >"$work/a.log" 2>&1 ||
    { tail -n 30 "$work/a.log"; fail "the release from build/windows"; }
scripts/release.sh --build-dir "$work/build" --dist "$work/dist" >"$work/b.log" 2>&1 ||
    { tail -n 30 "$work/b.log"; fail "the fresh release build"; }
source "$work/build/generated/release.env"
name="Lumaforge-$LUMAFORGE_VERSION"
for file in Lumaforge.exe Lumaforge.CHS Update.dll; do
    cmp "$root/build/windows/program/$file" "$work/build/program/$file" || fail "$file differs between two builds"
done
cmp "$work/dist-a/$name-portable.zip" "$work/dist/$name-portable.zip" || fail "the portable archives differ"
cmp "$work/dist-a/$name-setup.exe" "$work/dist/$name-setup.exe" || fail "the installers differ"
(cd "$work/dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS"
echo "same bytes: Lumaforge.exe, Lumaforge.CHS, Update.dll, $name-portable.zip, $name-setup.exe"

echo "== release check: signing with a throw-away certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lumaforge release check" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
scripts/release.sh --build-dir "$work/build" --dist "$work/signed" --sign "$work/cert.pem" "$work/key.pem" \
    >"$work/signed.log" 2>&1 || { tail -n 30 "$work/signed.log"; fail "the signed release"; }
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1 || { cat "$work/verify.log"; fail "verify $1"; }; }
unzip -q "$work/signed/$name-portable.zip" -d "$work/signed/portable"
verify "$work/signed/portable/$name/Lumaforge.exe"
verify "$work/signed/portable/$name/Update.dll"
verify "$work/signed/$name-setup.exe"
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/build/program/Lumaforge.exe" >/dev/null 2>&1; then
    fail "an unsigned program passed the verification"
fi
echo "signed and verified: Lumaforge.exe, Update.dll, $name-setup.exe"

echo "== release check: install, upgrade, start and uninstall in a fresh Wine prefix"
export WINEPREFIX="$work/wineprefix"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
drive="$WINEPREFIX/drive_c"
installed="$drive/Program Files/Lumaforge"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaforge'
# Every file and folder of the prefix's drive, and every registry key Wine keeps on the disk.
snapshot() {
    wineserver -w
    (cd "$drive" && find . | sort) >"$1.files"
    for hive in system user; do
        grep '^\[' "$WINEPREFIX/$hive.reg" | sed -e 's/\] [0-9]*$/]/' -e "s/^/$hive /"
    done | sort >"$1.keys"
}
reg_value() { wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
# Starts a program under Xvfb and waits for its main window, then ends it. The caption is the
# Simplified Chinese language module's: the module beside the program was loaded. Wine here now and
# then dies while it launches a process (see scripts/wine-test-launch.sh): a launch that shows no
# window at all is tried again, twice at most.
starts() {
    local attempt
    for attempt in 1 2 3; do
        xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
            cd "$(dirname "$1")" && wine "$1" >"$2" 2>&1 &
            for i in $(seq 90); do
                xdotool search --name "^Lumaforge 桌面美化$" >/dev/null 2>&1 && { wineserver -k; exit 0; }
                sleep 1
            done
            echo "the windows there:"
            for w in $(xdotool search --name . 2>/dev/null); do xdotool getwindowname "$w"; done
            wineserver -k; exit 1' starts "$1" "$work/wine-start.log" >"$work/starts.log" 2>&1 && return 0
        echo "release-check: no window on attempt $attempt" >&2
        cat "$work/starts.log" "$work/wine-start.log" >&2
    done
    return 1
}
# The next version's installer: the same program folder, the version one patch level up.
next_version="$LUMAFORGE_VERSION.1"
makensis -V1 -INPUTCHARSET UTF8 -DVERSION="$next_version" -DFILE_VERSION="$LUMAFORGE_FILE_VERSION" \
    -DPROGRAM_DIR="$work/build/stage/$name" -DICON="$root/src/res/lumaforge.ico" \
    -DOUT_FILE="$work/next-setup.exe" -DHOME_URL="$LUMAFORGE_HOME_URL" -DSUPPORT_EMAIL="$LUMAFORGE_SUPPORT_EMAIL" \
    installer/lumaforge.nsi

snapshot "$work/before"
wine "$work/signed/$name-setup.exe" /S
wineserver -w
for file in Lumaforge.exe Lumaforge.CHS Update.dll Uninstall.exe cache/icons; do
    [ -e "$installed/$file" ] || fail "setup.exe /S did not install $file"
done
verify "$installed/Uninstall.exe"
[ "$(reg_value DisplayVersion)" = "$LUMAFORGE_VERSION" ] || fail "DisplayVersion is '$(reg_value DisplayVersion)'"
for value in DisplayName Publisher DisplayIcon EstimatedSize UninstallString QuietUninstallString; do
    [ -n "$(reg_value "$value")" ] || fail "the uninstall key has no $value"
done
[ -e "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Lumaforge.lnk" ] || fail "no Start-menu shortcut"
starts "$installed/Lumaforge.exe" || fail "the program did not open its window from Program Files"

# A downloaded package, and a customisation made through the program with its record (a file in
# a folder of its own and a registry value, as an installer journals them).
mkdir -p "$installed/cache/theme"
echo "package" >"$installed/cache/theme/Glass.zip"
python3 - "$drive" "$installed" <<'EOF'
import os, sys, zlib
drive, installed = sys.argv[1:]
content = b"pointer of the check"
os.makedirs(os.path.join(drive, "users/Public/Check"))
with open(os.path.join(drive, "users/Public/Check/arrow.cur"), "wb") as f:
    f.write(content)
journal = os.path.join(installed, "journal/cursor/Check")
os.makedirs(journal)
records = [
    'begin "install"',
    'folder-created "C:\\\\users\\\\Public\\\\Check"',
    'file-created "C:\\\\users\\\\Public\\\\Check\\\\arrow.cur" %d %08x' % (len(content), zlib.crc32(content)),
    'key-created HKCU "Software\\\\Lumaforge release check"',
    'value HKCU "Software\\\\Lumaforge release check" "Arrow" was none now sz "C:\\\\users\\\\Public\\\\Check\\\\arrow.cur"',
    "done",
]
with open(os.path.join(journal, "journal.txt"), "w", newline="") as f:
    f.write("Lumaforge install journal 1\r\n" + "".join(r + "\r\n" for r in records))
EOF
wine reg add 'HKCU\Software\Lumaforge release check' /v Arrow /d 'C:\users\Public\Check\arrow.cur' /f >/dev/null 2>&1

wine "$work/next-setup.exe" /S
wineserver -w
[ "$(reg_value DisplayVersion)" = "$next_version" ] || fail "after the upgrade DisplayVersion is '$(reg_value DisplayVersion)'"
[ -f "$installed/cache/theme/Glass.zip" ] || fail "the upgrade lost the downloaded package"
[ -f "$installed/journal/cursor/Check/journal.txt" ] || fail "the upgrade lost the installation records"

# The portable archive, unpacked into a folder of no importance.
portable="$drive/users/Public/Somewhere else"
mkdir -p "$portable"
unzip -q "$work/dist/$name-portable.zip" -d "$portable"
starts "$portable/$name/Lumaforge.exe" || fail "the portable program did not open its window"
rm -rf "$portable"

# The silent uninstaller keeps what is the user's: packages and customisations with their records.
wine "$installed/Uninstall.exe" /S
wineserver -w
[ ! -e "$installed/Lumaforge.exe" ] || fail "the uninstaller left the program"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstaller left its key"
[ -f "$installed/cache/theme/Glass.zip" ] || fail "the silent uninstaller deleted the downloaded package"
[ -f "$drive/users/Public/Check/arrow.cur" ] || fail "the silent uninstaller took back a customisation"
[ -f "$installed/journal/cursor/Check/journal.txt" ] || fail "the silent uninstaller deleted the records"

# Installed again over what was kept, then uninstalled with the customisations and the packages.
wine "$work/signed/$name-setup.exe" /S
wineserver -w
wine "$installed/Uninstall.exe" /S /TAKEBACK /DELETEPACKAGES
wineserver -w
[ ! -e "$drive/users/Public/Check" ] || fail "the customisation was not taken back"
wine reg query 'HKCU\Software\Lumaforge release check' >/dev/null 2>&1 && fail "the customisation's value stayed"
# The uninstaller runs from a copy in the user's temporary folder, which Windows deletes at the
# next start: the restart is part of the uninstall. Wine deletes the file but tries the folder
# first, so an empty "~nsu*.tmp" folder may stay there; it is Wine's, not ours. WinInet's cache
# and cookies of the user are the system's, as they are of every program that goes on line.
wineboot -r >/dev/null 2>&1
snapshot "$work/after"
wininet='/AppData/Local/Microsoft/Windows/INet(Cache|Cookies)(/|$)'
grep -v -E "^\./users/[^/]+/(Temp|AppData/Local/Temp)/~nsu[^/]*\.tmp\$|$wininet" "$work/after.files" \
    >"$work/after.kept" || true
grep -v -E "$wininet" "$work/before.files" >"$work/before.kept" || true
added_files=$(comm -13 "$work/before.kept" "$work/after.kept")
added_keys=$(comm -13 "$work/before.keys" "$work/after.keys")
[ -z "$added_files" ] || fail "the uninstaller left files behind:"$'\n'"$added_files"
[ -z "$added_keys" ] || fail "the uninstaller left registry keys behind:"$'\n'"$added_keys"
if grep -q -i 'lumaforge' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"; then
    grep -i -n 'lumaforge' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" >&2
    fail "the registry still names Lumaforge"
fi
wineserver -k >/dev/null 2>&1 || true
echo "release check: passed"
