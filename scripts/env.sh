# Sourced by the scripts: where the build, the Wine prefix and the demo server live.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
# The ANSI code page of the program under Wine follows the locale: 936 (GBK) as on Chinese systems.
export LC_ALL=zh_CN.UTF-8
export LUMAFORGE_DEMO_PORT=18480
