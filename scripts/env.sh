# Sourced by the scripts: where the build, the Wine prefix and the demo server live.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Wine prefix lives inside the build tree. Wine refuses a prefix that its user does not own,
# which happens on shares that map root to another user: there it moves to the temporary folder,
# one per checkout.
wine_home="$root/build"
mkdir -p "$wine_home"
if [ "$(stat -c %u "$wine_home")" != "$(id -u)" ]; then
    wine_home="${TMPDIR:-/tmp}/lumaforge-$(id -u)-$(printf %s "$root" | md5sum | cut -c1-12)"
    mkdir -p "$wine_home"
fi
export WINEPREFIX="$wine_home/wineprefix"
unset wine_home
export WINEDEBUG=-all
# The program is 64-bit and there is no 32-bit Wine here, whatever the caller's environment says.
export WINEARCH=win64
# The ANSI code page of the program under Wine follows the locale: 936 (GBK) as on Chinese systems.
export LC_ALL=zh_CN.UTF-8
export LUMAFORGE_DEMO_PORT=18480
