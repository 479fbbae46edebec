#!/usr/bin/env bash
# Makes `apt-get source` work for Debian's bookworm main: adds a deb-src entry unless an active one
# exists, then fetches the Sources index if apt has none yet. Idempotent.
#
# A standard installation lists its sources in the one-line /etc/apt/sources.list, container images
# in the deb822 /etc/apt/sources.list.d/debian.sources, some machines in both or in neither. The new
# entry copies the mirror and its options from the machine's own bookworm entry: apt refuses two
# entries for one mirror and suite whose Signed-By differ, and deb and deb-src count as one there.
set -euo pipefail

suite=bookworm
component=main
etc=/etc/apt
ours="$etc/sources.list.d/lumaforge-src"
default_uri=http://deb.debian.org/debian
default_keyring=/usr/share/keyrings/debian-archive-keyring.gpg

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

one_line_files=() deb822_files=()
for f in "$etc/sources.list" "$etc"/sources.list.d/*.list; do [ -f "$f" ] && one_line_files+=("$f"); done
for f in "$etc"/sources.list.d/*.sources; do [ -f "$f" ] && deb822_files+=("$f"); done

# Every active entry of both formats, one per URI and suite, as fields separated by \037:
#   format  types  uri  suite  components  options
# options: the one-line [...] text, or the deb822 fields to copy joined by \036 (Signed-By may hold
# a whole key over several lines).
entries() {
    if [ ${#one_line_files[@]} -gt 0 ]; then
        awk '
            { line = $0; sub(/^[ \t]+/, "", line) }
            line == "" || line ~ /^#/ { next }
            {
                type = line; sub(/[ \t].*/, "", type); rest = substr(line, length(type) + 1)
                sub(/^[ \t]+/, "", rest); options = ""
                if (substr(rest, 1, 1) == "[") {
                    close_at = index(rest, "]"); if (close_at == 0) next
                    options = substr(rest, 2, close_at - 2); rest = substr(rest, close_at + 1)
                    gsub(/^[ \t]+|[ \t]+$/, "", options)
                }
                sub(/#.*/, "", rest)
                n = split(rest, word, /[ \t]+/); first = (word[1] == "") ? 2 : 1
                if (n < first + 1) next
                components = ""
                for (i = first + 2; i <= n; i++) if (word[i] != "") components = components " " word[i]
                printf "line\037%s\037%s\037%s\037%s\037%s\n",
                    type, word[first], word[first + 1], substr(components, 2), options
            }' "${one_line_files[@]}"
    fi
    if [ ${#deb822_files[@]} -gt 0 ]; then
        awk '
            BEGIN { RS = "" }
            {
                delete value; delete raw; order = 0; name = ""
                count = split($0, line, "\n")
                for (i = 1; i <= count; i++) {
                    if (line[i] ~ /^#/) continue
                    if (line[i] ~ /^[ \t]/) {
                        if (name != "") { value[name] = value[name] "\n" line[i]; raw[name] = raw[name] "\036" line[i] }
                        continue
                    }
                    colon = index(line[i], ":"); if (colon == 0) continue
                    name = tolower(substr(line[i], 1, colon - 1))
                    text = substr(line[i], colon + 1); sub(/^[ \t]+/, "", text); sub(/[ \t]+$/, "", text)
                    if (!(name in value)) field[++order] = name
                    value[name] = text; raw[name] = line[i]
                }
                if (tolower(value["enabled"]) == "no") next
                options = ""
                for (i = 1; i <= order; i++) {
                    f = field[i]
                    if (f == "types" || f == "uris" || f == "suites" || f == "components" || f == "enabled") continue
                    options = options (options == "" ? "" : "\036") raw[f]
                }
                types = value["types"]; gsub(/[ \t\n]+/, " ", types)
                components = value["components"]; gsub(/[ \t\n]+/, " ", components)
                nu = split(value["uris"], uri, /[ \t\n]+/); ns = split(value["suites"], s, /[ \t\n]+/)
                for (u = 1; u <= nu; u++) for (k = 1; k <= ns; k++) if (uri[u] != "" && s[k] != "")
                    printf "deb822\037%s\037%s\037%s\037%s\037%s\n", types, uri[u], s[k], components, options
            }' "${deb822_files[@]}"
    fi
}

has_word() { [[ " $1 " == *" $2 "* ]]; }

present=0 mirror="" mirror_format="" mirror_components="" mirror_options=""
while IFS=$'\037' read -r format types uri entry_suite components options; do
    [ "$entry_suite" = "$suite" ] || continue
    if has_word "$types" deb-src && has_word "$components" "$component"; then present=1; fi
    # The mirror to copy: the machine's own bookworm entry, main if it has one; never a CD.
    if has_word "$types" deb && [[ "$uri" != cdrom:* ]]; then
        if [ -z "$mirror" ] ||
            { ! has_word "$mirror_components" "$component" && has_word "$components" "$component"; }; then
            mirror=$uri mirror_format=$format mirror_components=$components mirror_options=$options
        fi
    fi
done < <(entries)

if [ "$present" -eq 0 ]; then
    if [ -z "$mirror" ]; then
        mirror=$default_uri mirror_format=deb822 mirror_options="Signed-By: $default_keyring"
    fi
    if [ "$mirror_format" = line ]; then
        file="$ours.list"
        text="deb-src ${mirror_options:+[$mirror_options] }$mirror $suite $component"$'\n'
    else
        file="$ours.sources"
        text="Types: deb-src"$'\n'"URIs: $mirror"$'\n'"Suites: $suite"$'\n'"Components: $component"$'\n'
        [ -n "$mirror_options" ] && text+="${mirror_options//$'\036'/$'\n'}"$'\n'
    fi
    echo "bootstrap: adding a deb-src entry for $mirror $suite $component in $file"
    printf '%s' "$text" | sudo_if_needed tee "$file" >/dev/null
fi

# Also after an earlier run whose apt-get update failed: the entry is there but its index is not.
sources=$(apt-cache showsrc zlib 2>/dev/null || true)
if ! grep -q '^Package: zlib$' <<<"$sources"; then
    echo "bootstrap: fetching the source package index"
    sudo_if_needed apt-get update -qq
fi
